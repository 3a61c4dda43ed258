#pragma once

// What the appearance tests of the windows share: screenshots saved to the
// folder named by QUORELWIN_SCREENSHOTS (nothing is saved without it), and the
// captions that do not get the room their text asks for.
#include <QAbstractButton>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

#include <string>
#include <utility>
#include <vector>

inline void saveShot(QWidget *window, const QString &name)
{
    const QString folder = qEnvironmentVariable("QUORELWIN_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    window->grab().save(QDir(folder).filePath(name + ".png"));
}

// Every visible caption gets at least the room its text asks for.
inline std::vector<std::string> clippedCaptions(QWidget *window)
{
    std::vector<std::string> clipped;
    const auto check = [&clipped](QWidget *widget, int needed) {
        if (widget->isVisibleTo(widget->window()) && widget->width() < needed)
            clipped.push_back(widget->objectName().toStdString() + " needs " +
                              std::to_string(needed) + " has " + std::to_string(widget->width()));
    };
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (!label->text().isEmpty())
            check(label, label->sizeHint().width());
        if (!label->pixmap().isNull())
            check(label, label->pixmap().width());
    }
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>())
        if (!button->text().isEmpty())
            check(button, button->sizeHint().width());
    for (QGroupBox *box : window->findChildren<QGroupBox *>())
        check(box, box->fontMetrics().horizontalAdvance(box->title()) + 16);
    return clipped;
}

// The three languages by LangCode, with the names the screenshots carry.
inline constexpr std::pair<int, const char *> Languages[] = {
    {50, "english"}, {1028, "traditional"}, {2052, "simplified"}};
