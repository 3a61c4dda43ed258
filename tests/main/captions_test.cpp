// The seven windows of the program together, as the program switches their
// language: every control the caption table names exists, and after each
// switch (English, Traditional, Simplified, back to English) every page of
// every window, service-mode pages included, shows its captions whole and
// without one caption lying over another. With QUORELWIN_SCREENSHOTS set to a
// folder the pages are saved there.
#include "appearance.h"
#include "language_switch.h"
#include "window_rig.h"

#include <QTabWidget>

namespace {

// Captioned controls that lie over a visible sibling (same parent, both
// visible). Controls in a layout never do; this finds hand-placed ones.
std::vector<std::string> overlappingCaptions(QWidget *window)
{
    std::vector<std::string> overlaps;
    const auto captioned = [](QWidget *widget) {
        return !widget->objectName().isEmpty() && !widget->objectName().startsWith("qt_") &&
               widget->isVisibleTo(widget->window()) &&
               (qobject_cast<QLabel *>(widget) || qobject_cast<QAbstractButton *>(widget) ||
                qobject_cast<QGroupBox *>(widget));
    };
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (!captioned(widget) || !widget->parentWidget())
            continue;
        for (QObject *object : widget->parentWidget()->children()) {
            auto *other = qobject_cast<QWidget *>(object);
            if (!other || other <= widget || !captioned(other))
                continue;
            if (widget->geometry().intersects(other->geometry()))
                overlaps.push_back(widget->objectName().toStdString() + " over " +
                                   other->objectName().toStdString());
        }
    }
    return overlaps;
}

} // namespace

TEST(Captions, EveryWindowEveryPageEveryLanguage)
{
    const QString before = QDir::currentPath();
    QDir::setCurrent(QCoreApplication::applicationDirPath()); // where the pictures are

    std::vector<std::unique_ptr<Rig>> rigs;
    i18n::WindowSet windows;
    for (const FamilyWindowInfo &family : familyWindows()) {
        rigs.push_back(makeRig(family.window, family.module));
        Rig &rig = *rigs.back();
        rig.press("BtnP1"); // a read shows what depends on the module (tables, panels)
        rig.window().serviceModeChanged(true);
        windows.push_back({family.window, &rig.window()});
    }
    windows.push_back({"TForm3", &rigs.front()->scan()});

    EXPECT_EQ(i18n::missingControls(windows), std::vector<i18n::CaptionTarget>{});

    int pages = 0;
    const std::pair<int, const char *> order[] = {Languages[0], Languages[1], Languages[2],
                                                  Languages[0]};
    for (const auto &[code, language] : order) {
        for (auto &rig : rigs)
            rig->link().ComBuf[cb::LangCode] = static_cast<std::int16_t>(code);
        i18n::switchLanguage(code, windows);
        for (const auto &[name, window] : windows) {
            window->show();
            const auto tabs = window->findChildren<QTabWidget *>();
            const int count = tabs.isEmpty() ? 1 : tabs.front()->count();
            for (int page = 0; page < count; ++page) {
                if (!tabs.isEmpty())
                    tabs.front()->setCurrentIndex(page);
                window->adjustSize();
                QApplication::processEvents();
                for (auto &rig : rigs) // a window that came up reads its module
                    rig->settle();
                const std::string where =
                    name.toStdString() + " page " + std::to_string(page) + " " + language;
                EXPECT_EQ(clippedCaptions(window), std::vector<std::string>{}) << where;
                EXPECT_EQ(overlappingCaptions(window), std::vector<std::string>{}) << where;
                saveShot(window, QString("%1-page%2-%3").arg(name).arg(page).arg(language));
                ++pages;
            }
            window->hide();
        }
    }
    std::printf("%d pages looked at in 4 language switches\n", pages);
    for (auto &rig : rigs)
        rig->window().serviceModeChanged(false);
    QDir::setCurrent(before);
}
