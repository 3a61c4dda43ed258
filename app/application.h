#pragma once

#include <QApplication>

#include <exception>
#include <functional>

// The application object. An exception that leaves an event handler (a
// conversion error from invalid numeric text, for example) is shown in the
// standard error box and the program goes on.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Shows the standard error box for an exception.
    static void showException(const std::exception &error);
    // Runs a handler where its control, menu or timer calls it: an exception
    // stops there and is shown in the standard error box ("Unexpected error"
    // for one that is no std::exception). notify's catch is the last resort.
    static void runHandler(const std::function<void()> &handler);
    // Tests replace the box with a recorder; an empty hook restores the box.
    using ErrorHook = std::function<void(const QString &text)>;
    static void setErrorHook(ErrorHook hook);
};
