#include "zero_span_dialog.h"

#include "application.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TForm6::TForm6(QWidget *parent)
    : QDialog(parent)
    , m_text(new QLabel(QStringLiteral("Do you continue to set  Zero and Span? "), this))
    , m_yes(new QPushButton(QStringLiteral("Yes"), this))
    , m_no(new QPushButton(QStringLiteral("No"), this))
{
    setObjectName("TForm6");
    setWindowTitle(QStringLiteral("Warning !"));
    m_text->setObjectName("Label1");
    m_yes->setObjectName("Button1");
    m_no->setObjectName("Button2");
    for (QPushButton *button : {m_yes, m_no}) {
        button->setAccessibleName(button->objectName());
        button->setAutoDefault(false);
        button->setMinimumWidth(90);
    }
    QPalette red = m_text->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_text->setPalette(red);
    QFont font = m_text->font();
    font.setPointSizeF(font.pointSizeF() * 1.25);
    font.setBold(true);
    m_text->setFont(font);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_yes);
    buttons->addSpacing(24);
    buttons->addWidget(m_no);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(18);
    layout->addWidget(m_text, 0, Qt::AlignCenter);
    layout->addLayout(buttons);

    connect(m_yes, &QPushButton::clicked, this,
            [this] { Application::runHandler([this] { Button1Click(); }); });
    connect(m_no, &QPushButton::clicked, this,
            [this] { Application::runHandler([this] { Button2Click(); }); });
}

TForm6::~TForm6() = default;

void TForm6::ask(QWidget *window, std::function<void(bool)> answered)
{
    m_window = window;
    m_answered = std::move(answered);
    show();
    raise();
    activateWindow();
}

void TForm6::withdraw(const QWidget *window)
{
    if (!asking(window))
        return;
    m_window = nullptr;
    hide();
}

void TForm6::Button1Click()
{
    answer(true);
}

void TForm6::Button2Click()
{
    answer(false);
}

void TForm6::reject()
{
    answer(false);
}

void TForm6::closeEvent(QCloseEvent *event)
{
    answer(false);
    event->accept();
}

void TForm6::answer(bool yes)
{
    // The window is told only while it is shown: a window put away by
    // Scan > Start starts no count poll.
    const QPointer<QWidget> window = m_window;
    const std::function<void(bool)> answered = std::move(m_answered);
    m_window = nullptr;
    m_answered = nullptr;
    if (window && window->isVisible() && answered)
        answered(yes);
    hide();
}
