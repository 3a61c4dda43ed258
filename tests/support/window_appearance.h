#pragma once

// Checks of a window's appearance shared by the window tests: every visible
// caption gets the room its text asks for, and with QUORELWIN_SCREENSHOTS set
// to a folder the window is saved there as a picture to be looked at.
#include <QAbstractButton>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QString>
#include <QWidget>

#include <string>
#include <vector>

inline void saveShot(QWidget *window, const QString &name)
{
    const QString folder = qEnvironmentVariable("QUORELWIN_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    window->grab().save(QDir(folder).filePath(name + ".png"));
}

// The visible captions (labels, buttons, group titles, pictures) narrower than
// their text, as "name needs N has M".
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

// The three languages as LangCode and a name for pictures.
inline constexpr std::pair<int, const char *> Languages[] = {
    {50, "english"}, {1028, "traditional"}, {2052, "simplified"}};
