#include "language_switch.h"

#include "combuf.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QWidget>

#include <map>

namespace i18n {

namespace {

// One control of a window and the texts it shows.
struct WindowCaptionEntry
{
    QString control;
    const Texts *texts;
};

// The caption table regrouped by window, so that each window is searched once.
const QHash<QString, std::vector<WindowCaptionEntry>> &captionsByWindow()
{
    static const QHash<QString, std::vector<WindowCaptionEntry>> byWindow = [] {
        QHash<QString, std::vector<WindowCaptionEntry>> result;
        for (const CaptionRow &row : captionTable()) {
            for (const CaptionTarget &target : row.targets)
                result[target.window].push_back({target.control, &row.texts});
        }
        return result;
    }();
    return byWindow;
}

// A widget that is a window of its own (a dialog created with this window as
// parent), not part of this one. Menus are popup windows but belong to the
// window whose menu bar holds them.
bool isOtherWindow(const QObject *object)
{
    if (!object->isWidgetType())
        return false;
    const auto widget = static_cast<const QWidget *>(object);
    return widget->isWindow() && !qobject_cast<const QMenu *>(widget);
}

// The named objects of one window, collected in one walk. The first object of
// a name wins in the order findChild() uses (a parent's direct children, then
// each child's subtree in turn), so lookups agree with findChild() for all
// controls that are not inside an owned window.
class WindowControls
{
public:
    explicit WindowControls(QWidget *window)
        : m_window(window)
    {
        collect(window);
    }

    QWidget *window() const { return m_window; }

    QObject *find(const QString &name) const
    {
        if (name == QLatin1String(WindowCaption))
            return m_window;
        return m_named.value(name);
    }

private:
    void collect(const QObject *parent)
    {
        const QObjectList &children = parent->children();
        for (QObject *child : children) {
            if (isOtherWindow(child))
                continue;
            const QString name = child->objectName();
            if (!name.isEmpty() && !m_named.contains(name))
                m_named.insert(name, child);
        }
        for (const QObject *child : children) {
            if (!isOtherWindow(child))
                collect(child);
        }
    }

    QWidget *m_window;
    QHash<QString, QObject *> m_named;
};

enum class CaptionKind { None, Action, Menu, WindowTitle, TabPage, GroupBox, Button, Label };

QTabWidget *tabWidgetOfPage(QWidget *widget)
{
    // A page sits in the tab widget's internal stack.
    QWidget *stack = widget->parentWidget();
    auto tabs = stack ? qobject_cast<QTabWidget *>(stack->parentWidget()) : nullptr;
    return tabs && tabs->indexOf(widget) >= 0 ? tabs : nullptr;
}

CaptionKind captionKind(QObject *control, const QWidget *window)
{
    if (qobject_cast<QAction *>(control))
        return CaptionKind::Action;
    if (qobject_cast<QMenu *>(control))
        return CaptionKind::Menu;
    auto widget = qobject_cast<QWidget *>(control);
    if (!widget)
        return CaptionKind::None;
    if (widget == window)
        return CaptionKind::WindowTitle;
    if (tabWidgetOfPage(widget))
        return CaptionKind::TabPage;
    if (qobject_cast<QGroupBox *>(widget))
        return CaptionKind::GroupBox;
    if (qobject_cast<QAbstractButton *>(widget))
        return CaptionKind::Button;
    if (qobject_cast<QLabel *>(widget))
        return CaptionKind::Label;
    return CaptionKind::None;
}

void setCaption(QObject *control, CaptionKind kind, const QString &text)
{
    switch (kind) {
    case CaptionKind::None: break;
    case CaptionKind::Action: static_cast<QAction *>(control)->setText(text); break;
    case CaptionKind::Menu: static_cast<QMenu *>(control)->setTitle(text); break;
    case CaptionKind::WindowTitle: static_cast<QWidget *>(control)->setWindowTitle(text); break;
    case CaptionKind::TabPage: {
        const auto page = static_cast<QWidget *>(control);
        QTabWidget *tabs = tabWidgetOfPage(page);
        tabs->setTabText(tabs->indexOf(page), text);
        break;
    }
    case CaptionKind::GroupBox: static_cast<QGroupBox *>(control)->setTitle(text); break;
    case CaptionKind::Button: static_cast<QAbstractButton *>(control)->setText(text); break;
    case CaptionKind::Label: static_cast<QLabel *>(control)->setText(text); break;
    }
}

void applyWindowCaptions(int langCode, const WindowControls &controls, const QString &name)
{
    const auto entries = captionsByWindow().constFind(name);
    if (entries == captionsByWindow().cend())
        return;
    for (const WindowCaptionEntry &entry : *entries) {
        QObject *control = controls.find(entry.control);
        if (!control)
            continue;
        setCaption(control, captionKind(control, controls.window()),
                   pickText(langCode, *entry.texts));
    }
}

void checkWindowLanguage(int langCode, const WindowControls &controls)
{
    struct LanguageEntry
    {
        const char *name;
        int code;
    };
    static constexpr LanguageEntry entries[] = {{"English", lang::English},
                                                {"Traditional", lang::Traditional},
                                                {"Simplified", lang::Simplified}};
    const int language = effectiveLanguage(langCode);
    QAction *current = nullptr;
    for (const LanguageEntry &entry : entries) {
        auto action = qobject_cast<QAction *>(controls.find(QLatin1String(entry.name)));
        if (!action)
            continue;
        if (entry.code == language)
            current = action;
        else
            action->setChecked(false);
    }
    if (current) {
        current->setCheckable(true);
        current->setChecked(true);
    }
}

bool hasLanguageMenu(const WindowEntry &entry)
{
    return languageWindowNames().contains(entry.name);
}

} // namespace

const QStringList &languageWindowNames()
{
    static const QStringList names{QStringLiteral("TForm3"),  QStringLiteral("TForm1"),
                                   QStringLiteral("TForm2"),  QStringLiteral("TForm4"),
                                   QStringLiteral("TForm10"), QStringLiteral("TForm5"),
                                   QStringLiteral("TForm7")};
    return names;
}

void applyCaptions(int langCode, const WindowSet &windows)
{
    for (const WindowEntry &entry : windows) {
        if (entry.window)
            applyWindowCaptions(langCode, WindowControls(entry.window), entry.name);
    }
}

void setLanguageChecks(int langCode, const WindowSet &windows)
{
    for (const WindowEntry &entry : windows) {
        if (entry.window && hasLanguageMenu(entry))
            checkWindowLanguage(langCode, WindowControls(entry.window));
    }
}

void switchLanguage(int langCode, const WindowSet &windows)
{
    for (const WindowEntry &entry : windows) {
        if (!entry.window)
            continue;
        const WindowControls controls(entry.window);
        if (hasLanguageMenu(entry))
            checkWindowLanguage(langCode, controls);
        applyWindowCaptions(langCode, controls, entry.name);
    }
}

std::vector<CaptionTarget> missingControls(const WindowSet &windows)
{
    std::map<QString, WindowControls> searched;
    for (const WindowEntry &entry : windows) {
        if (entry.window && !searched.contains(entry.name))
            searched.try_emplace(entry.name, entry.window);
    }
    std::vector<CaptionTarget> missing;
    for (const CaptionRow &row : captionTable()) {
        for (const CaptionTarget &target : row.targets) {
            const auto window = searched.find(target.window);
            QObject *control =
                window == searched.end() ? nullptr : window->second.find(target.control);
            if (!control || captionKind(control, window->second.window()) == CaptionKind::None)
                missing.push_back(target);
        }
    }
    return missing;
}

} // namespace i18n
