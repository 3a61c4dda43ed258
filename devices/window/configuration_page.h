#pragma once

#include "configuration_file.h"
#include "register_binding.h"
#include "register_table.h"

#include <QObject>

#include <functional>
#include <map>
#include <utility>
#include <vector>

class QAbstractButton;
class QTimer;
class SharedSettings;
class TrimBinding;
class WindowCommands;
struct InfoBlock;

// The "Read From Device" and "Write To Device" of a window's configuration
// page, described by data and a few hooks: which family and registers the
// page shows, which named timers the chains wait for, how a block is judged
// and shown, and how the fields are checked and converted. The commands
// themselves (activity, status, the chains, the storing result, the address
// and baud step) are the same for every family window.
class ConfigurationPage : public QObject
{
    Q_OBJECT

public:
    // A register binding of the page with the context its fields convert in
    // (as the write converts them).
    using Part = std::pair<const RegisterBinding *, std::function<FieldContext()>>;
    // What "Write To Device" sends: every value converted, in write order,
    // and the address and baud rate of the address and baud step.
    struct Write
    {
        std::vector<FieldWrite> writes;
        int address = 1;
        int baudIndex = -1;
    };
    struct Description
    {
        ModuleFamily family = ModuleFamily::Converter;
        // "Read From Device" and "Write To Device".
        QAbstractButton *readButton = nullptr;
        QAbstractButton *writeButton = nullptr;
        std::vector<Part> parts{};
        // The read's decode of a block, also of a configuration file.
        std::function<void(const RegisterWords &)> show{};

        // "Read From Device": the information block, judged (and shown) by
        // accept; then count() registers from register 0, collected once
        // readWait has run.
        QTimer *readWait = nullptr;
        std::function<bool(const InfoBlock &)> accept{};
        std::function<int()> count{};
        std::function<void()> beforeRead{};       // before the first request
        std::function<void()> afterShow{};        // a sound block has been shown
        std::function<void(bool ok)> readEnded{}; // after the status

        // "Write To Device": the input check (false: "Write Fail", nothing
        // sent), then the values, the first written once writeWait has run;
        // the storing result is read once storingWait has run.
        QTimer *writeWait = nullptr;
        QTimer *storingWait = nullptr;
        std::function<bool()> check{};
        std::function<Write()> values{};
        // The information block the write reads first (resistance family).
        std::function<bool(const InfoBlock &)> moduleCheck{};
        // The window's own ending of a write; false leaves it to the page.
        std::function<bool(bool ok)> writeEnded{};
    };

    ConfigurationPage(WindowCommands &commands, SharedSettings &settings);

    void describe(Description description);
    const Description &description() const { return m_description; }
    bool described() const { return bool(m_description.show); }
    ModuleFamily family() const { return m_description.family; }
    // The trim whose point selectors a sound block arms.
    void setTrim(TrimBinding *trim) { m_trim = trim; }

    // "Read From Device" as its button makes it (the table may refuse it),
    // and as the activation makes it.
    void readCommand();
    void read();
    // "Write To Device".
    void writeCommand();

    // The last configuration read showed a sound block (saving waits for it);
    // a new activation forgets it.
    bool shown() const { return m_shown; }
    void forgetShown() { m_shown = false; }

    // The input check of a binding's selectors: false when a written one is
    // empty (marked red; inputCheckFailed names it and the code its module
    // held).
    bool choicesMade(const RegisterBinding &binding);
    // The ending of a write whose input check failed: "Write Fail", and a
    // message naming each empty choice.
    void inputCheckFailed();
    // Registers 0..count-1 of the last read reply.
    RegisterWords replyWords(int count) const;

private:
    bool decode();
    void write();

    WindowCommands &m_commands;
    SharedSettings &m_settings;
    Description m_description;
    TrimBinding *m_trim = nullptr;
    bool m_shown = false;
    // The empty choices the last input check found, as the message names them.
    std::map<const RegisterField *, QString> m_emptyChoices;
};

// A field of a register table as messages name it: "meaning (control)".
QString describeField(const RegisterField &field);
