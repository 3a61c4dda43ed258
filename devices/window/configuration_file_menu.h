#pragma once

#include "configuration_file.h"

#include <QObject>
#include <QString>

#include <optional>

class ConfigurationPage;
class QMainWindow;
class SharedSettings;
class WindowCommands;

// The configuration files of a window (File > Open Configuration... and
// File > Save Configuration...): what the page shows, converted as "Write To
// Device" converts it, in a file, and a file shown on the page as a read
// shows a block. Nothing is sent to the module either way.
class ConfigurationFileMenu : public QObject
{
    Q_OBJECT

public:
    // Adds the two entries above the first entry of the window's File menu.
    ConfigurationFileMenu(QMainWindow &window, WindowCommands &commands, ConfigurationPage &page,
                          SharedSettings &settings);

    // File > Save Configuration...: a file name, then save.
    void SaveConfigurationClick();
    // File > Open Configuration...: a file, then (when the file and the page
    // have them) whether its address and baud rate are taken over as well,
    // then open.
    void OpenConfigurationClick();
    // Writes what the page shows into a configuration file. Refused with a
    // message (false) until a read has shown the module's configuration,
    // while a command runs, or when a field holds nothing a register can take.
    bool save(const QString &path);
    // Fills the page from a configuration file as a read fills it, then runs
    // each field's exit rule and tells the operator what was corrected.
    // The address and baud rate are taken over only when takeSettings. A file
    // of another family or a damaged one is refused with a message (false),
    // the page left as it was.
    bool open(const QString &path, bool takeSettings);

private:
    // False, with a message, while a command runs or the window has no page
    // for files; saving also waits for a read.
    bool mayUseFiles(bool saving);
    std::optional<Configuration> load(const QString &path);
    void apply(const Configuration &configuration, bool takeSettings, const QString &path);
    // The address and baud rate of a file, as the page would show them; empty
    // when the file or the page has none.
    QString settingsOf(const Configuration &configuration) const;
    // What the operator is told of an opened file.
    QString openedText(const Configuration &configuration, const QString &path,
                       const QStringList &corrected, const QStringList &notOnModule,
                       bool settingsKept) const;

    QMainWindow &m_window;
    WindowCommands &m_commands;
    ConfigurationPage &m_page;
    SharedSettings &m_settings;
};
