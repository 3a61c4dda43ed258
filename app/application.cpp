#include "application.h"

#include <QMessageBox>

namespace {
Application::ErrorHook &errorHook()
{
    static Application::ErrorHook hook;
    return hook;
}
} // namespace

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName("QuorelWin");
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        showException(error);
    } catch (...) {
        showException(std::runtime_error("Unexpected error"));
    }
    return false;
}

void Application::runHandler(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        showException(error);
    } catch (...) {
        showException(std::runtime_error("Unexpected error"));
    }
}

void Application::showException(const std::exception &error)
{
    const QString text = QString::fromUtf8(error.what());
    if (errorHook()) {
        errorHook()(text);
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("QuorelWin"), text);
}

void Application::setErrorHook(ErrorHook hook)
{
    errorHook() = std::move(hook);
}
