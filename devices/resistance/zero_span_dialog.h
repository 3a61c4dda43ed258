#pragma once

#include <QDialog>
#include <QPointer>

#include <functional>

class QLabel;
class QPushButton;

// The zero/span confirmation dialog of both resistance transmitter windows
// ("Warning !"): shown without blocking when the first point of a calibration
// is set. "Yes" lets the window poll the point's count; "No", Escape and
// closing the dialog give the window its commands back. Either answer tells
// the window that asked, when it is still shown; an answer to a question the
// window has withdrawn does nothing. Its texts are the same in every
// language.
class TForm6 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm6(QWidget *parent = nullptr);
    ~TForm6() override;

    // Shows the question for this window; `answered` gets its answer.
    void ask(QWidget *window, std::function<void(bool yes)> answered);
    // Closes the question of this window without an answer.
    void withdraw(const QWidget *window);
    bool asking(const QWidget *window) const { return window && m_window == window; }

    // "Yes" and "No".
    void Button1Click();
    void Button2Click();

    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void answer(bool yes);

    QLabel *m_text;
    QPushButton *m_yes;
    QPushButton *m_no;
    QPointer<QWidget> m_window;
    std::function<void(bool yes)> m_answered;
};
