#pragma once

#include <QMainWindow>

class Link;
class QAction;
class QMenu;
class TForm3;

// The shell every family window shares: the main menu (File > Exit, Language,
// Scan > Start, the hidden Help menu), the window caption "QuorelWin", closing
// (which ends the program), the language entries forwarded to the scan
// window's routines, the help file, and the service-mode key.
//
// A family window is a top-level window of its own with its own task-bar
// entry; it is never destroyed while the program runs.
class FamilyWindow : public QMainWindow
{
    Q_OBJECT

public:
    // className is the window's published name ("TForm1", ...); helpStem names
    // its help files ("QRC" opens "QRC-E.chm", "QRC-T.chm", "QRC-S.chm"), empty
    // for a window whose help entry has no action.
    FamilyWindow(const QString &className, Link &link, TForm3 &scan, const QString &helpStem = {});
    ~FamilyWindow() override;

    // Runs each time the window becomes the active window of the program
    // (ActivationTracker decides when), once the window has been painted. The
    // family window stops its timers, applies the language and reads the
    // module.
    virtual void FormActivate() {}
    // Scan > Start stops the work in progress first (timers, or the flag that
    // suppresses the reload on activation).
    virtual void stopWork() {}
    // Closing the window ends the program: the work in progress stops first.
    virtual void closing() { stopWork(); }
    // Service mode shows or hides the factory functions of the window.
    virtual void serviceModeChanged(bool on) { Q_UNUSED(on) }

    // Shell operations, bound to the menu.
    void Exit1Click();
    void StartClick();
    void EnglishClick();
    void TraditionalClick();
    void SimplifiedClick();
    void ConentsClick();
    // File > Line Traffic...: the scan window's traffic window.
    void TrafficClick();
    // Applies the current language through the scan window's routine for
    // LangCode, as every activation does first.
    void applyCurrentLanguage();

    Link &link() { return m_link; }
    const Link &link() const { return m_link; }
    TForm3 &scanWindow() { return m_scan; }
    QMenu *helpMenu() const { return m_help; }

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void programWindowActivated(QWidget *window);

private:
    Link &m_link;
    TForm3 &m_scan;
    QString m_helpStem;
    QMenu *m_help = nullptr;
};
