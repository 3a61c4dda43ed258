#include "activity_tables.h"

#include <array>
#include <stdexcept>
#include <string>

namespace {
using A = Activity;
using E = WindowEvent;

constexpr std::array ActivityNames = {
    "idle",        "activation",         "read",          "write",
    "live poll",   "calibration point",  "zero/span run", "trim point",
    "mode change", "serial-number load", "address set",   "zero step"};
constexpr std::array EventNames = {"Read From Device",
                                   "Write To Device",
                                   "live values start",
                                   "calibration Start",
                                   "zero/span first Set Span",
                                   "zero step Start",
                                   "output trim",
                                   "Set ModeNum",
                                   "Load Serial Number",
                                   "address Set",
                                   "activation",
                                   "leaving service mode",
                                   "Scan > Start",
                                   "closing",
                                   "language switch",
                                   "File > Open Configuration",
                                   "File > Save Configuration",
                                   "confirmation Yes/No"};

Response responseOf(char letter)
{
    switch (letter) {
    case 'G': return Response::Go;
    case 'W': return Response::Within;
    case 'S': return Response::Stop;
    case 'R': return Response::Refuse;
    default: break;
    }
    throw std::logic_error(std::string("no response '") + letter + "'");
}

// Every window: a command, a read or a write holds every command control
// off until its end, so nothing else starts meanwhile (a file command waits
// for it); Scan > Start and closing stop it after its running exchange; a
// language switch or the end of service mode only relabel and hide pages.
// The writes a command makes in one go are never cut apart: an event waits
// for them (LineArbiter), so a stop falls before or after them.

// The converter: activation, "Read From Device", "Write To Device" and the
// live values' "Read" stop every timer first, so they end a read or a write
// waiting for its timer, a live poll or a calibration point (whose page also
// ends with service mode); during a point only its "Done" is enabled.
const ActivityTable &converter()
{
    static const ActivityTable table(
        {A::Activation, A::Read, A::Write, A::LivePoll, A::CalibrationPoint, A::TrimPoint,
         A::SerialLoad, A::AddressSet},
        {E::Read, E::Write, E::LiveStart, E::CalibrationStart, E::Trim, E::LoadSerialNumber,
         E::AddressSet, E::Activation, E::LeaveServiceMode, E::ScanStart, E::Close,
         E::LanguageSwitch, E::OpenConfiguration, E::SaveConfiguration},
        {
            // Rd Wr Lv Ca Tr Sn As  Ac Sv Sc Cl La Op Sa
            "R R R R R R R  S W S S W R R", // activation
            "R R R R R R R  S W S S W R R", // read
            "R R R R R R R  S W S S W R R", // write
            "S S R R R R R  S W S S W W W", // live poll
            "S S S R R R R  S S S S W W W", // calibration point
            "R R R R R R R  R W S S W R R", // trim point
            "R R R R R R R  R W S S W R R", // serial-number load
            "R R R R R R R  R W S S W R R", // address set
        });
    return table;
}

// The transmitter: only "Write To Device" and activation stop its timers
// first (activation also a write's storing result still awaited, whose
// request would otherwise fall into its read); "Load Serial Number" waits
// for whatever runs (it would cut a write off from its verdict, or a
// calibration point from its "Done").
const ActivityTable &transmitter()
{
    static const ActivityTable table({A::Activation, A::Read, A::Write, A::LivePoll,
                                      A::CalibrationPoint, A::TrimPoint, A::SerialLoad},
                                     {E::Read, E::Write, E::LiveStart, E::CalibrationStart, E::Trim,
                                      E::LoadSerialNumber, E::Activation, E::LeaveServiceMode,
                                      E::ScanStart, E::Close, E::LanguageSwitch,
                                      E::OpenConfiguration, E::SaveConfiguration},
                                     {
                                         // Rd Wr Lv Ca Tr Sn  Ac Sv Sc Cl La Op Sa
                                         "R R R R R R  S W S S W R R", // activation
                                         "R R R R R R  S W S S W R R", // read
                                         "R R R R R R  S W S S W R R", // write
                                         "R S R R R R  S W S S W W W", // live poll
                                         "R S R R R R  S S S S W W W", // calibration point
                                         "R R R R R R  R W S S W R R", // trim point
                                         "R R R R R R  R W S S W R R", // serial-number load
                                     });
    return table;
}

// The resistance transmitters: a zero/span run keeps the "Set ModeNum"
// buttons and the trim controls (their writes go between the count
// requests) and is not cut short by an activation; "Read From Device" ends
// the live value. The compact window's loose points leave the commands
// enabled, and any of them ends such a run.
const ActivityTable &resistance(bool compact)
{
    const std::vector<Activity> activities = {A::Activation, A::Read,        A::Write,
                                              A::LivePoll,   A::ZeroSpanRun, A::TrimPoint,
                                              A::ModeChange, A::SerialLoad};
    const std::vector<WindowEvent> events = {E::Read,
                                             E::Write,
                                             E::LiveStart,
                                             E::ZeroSpanStart,
                                             E::Trim,
                                             E::ModeChange,
                                             E::LoadSerialNumber,
                                             E::Activation,
                                             E::LeaveServiceMode,
                                             E::ScanStart,
                                             E::Close,
                                             E::LanguageSwitch,
                                             E::OpenConfiguration,
                                             E::SaveConfiguration,
                                             E::DialogAnswer};
    // Rd Wr Lv Zs Tr Md Sn  Ac Sv Sc Cl La Op Sa Dg
    const char *chain = "R R R R R R R  R W S S W R R R";
    static const ActivityTable full(activities, events,
                                    {chain, chain, chain, "S R R R R R R  S W S S W W W R",
                                     "R R R R W W R  R W S S W W W W", chain, chain, chain});
    static const ActivityTable loose(activities, events,
                                     {chain, chain, chain, "S R R R R R R  S W S S W W W R",
                                      "S S S S W W S  R W S S W W W W", chain, chain, chain});
    return compact ? loose : full;
}

// The universal distributor: during a calibration point "Normal", the scroll
// bars and the up-down pairs stay usable; activation, Scan > Start and the
// end of service mode end the point without storing it.
const ActivityTable &distributor()
{
    static const ActivityTable table(
        {A::Activation, A::Read, A::Write, A::LivePoll, A::CalibrationPoint, A::TrimPoint},
        {E::Read, E::Write, E::LiveStart, E::CalibrationStart, E::Trim, E::Activation,
         E::LeaveServiceMode, E::ScanStart, E::Close, E::LanguageSwitch, E::OpenConfiguration,
         E::SaveConfiguration},
        {
            // Rd Wr Lv Ca Tr  Ac Sv Sc Cl La Op Sa
            "R R R R R  S W S S W R R", // activation
            "R R R R R  S W S S W R R", // read
            "R R R R R  S W S S W R R", // write
            "R R R R R  S W S S W W W", // live poll
            "R R R R W  S S S S W W W", // calibration point
            "R R R R R  R W S S W R R", // trim point
        });
    return table;
}

// The V/mA distributor: as the universal one, and its zero step runs its
// 5 s to the end through activation (whose reading runs inside it), the end
// of service mode and Scan > Start.
const ActivityTable &vmaDistributor()
{
    static const ActivityTable table(
        {A::Activation, A::Read, A::Write, A::LivePoll, A::CalibrationPoint, A::ZeroStep,
         A::TrimPoint, A::SerialLoad},
        {E::Read, E::Write, E::LiveStart, E::CalibrationStart, E::ZeroStep, E::Trim,
         E::LoadSerialNumber, E::Activation, E::LeaveServiceMode, E::ScanStart, E::Close,
         E::LanguageSwitch, E::OpenConfiguration, E::SaveConfiguration},
        {
            // Rd Wr Lv Ca Zr Tr Sn  Ac Sv Sc Cl La Op Sa
            "R R R R R R R  S W S S W R R", // activation
            "R R R R R R R  S W S S W R R", // read
            "R R R R R R R  S W S S W R R", // write
            "R R R R R R R  S W S S W W W", // live poll
            "R R R R R W R  S S S S W W W", // calibration point
            "R R R R R R R  W W W S W W W", // zero step
            "R R R R R R R  R W S S W R R", // trim point
            "R R R R R R R  R W S S W R R", // serial-number load
        });
    return table;
}
} // namespace

Activity activityOf(WindowEvent event)
{
    switch (event) {
    case E::Read: return A::Read;
    case E::Write: return A::Write;
    case E::LiveStart: return A::LivePoll;
    case E::CalibrationStart: return A::CalibrationPoint;
    case E::ZeroSpanStart: return A::ZeroSpanRun;
    case E::ZeroStep: return A::ZeroStep;
    case E::Trim: return A::TrimPoint;
    case E::ModeChange: return A::ModeChange;
    case E::LoadSerialNumber: return A::SerialLoad;
    case E::AddressSet: return A::AddressSet;
    case E::Activation: return A::Activation;
    default: break;
    }
    return A::Idle;
}

bool holdsCommandControls(Activity activity)
{
    return activity != A::Idle && activity != A::TrimPoint && activity != A::ModeChange;
}

std::string_view activityName(Activity activity)
{
    return ActivityNames[static_cast<std::size_t>(activity)];
}

std::string_view eventName(WindowEvent event)
{
    return EventNames[static_cast<std::size_t>(event)];
}

ActivityTable::ActivityTable(std::vector<Activity> activities, std::vector<WindowEvent> events,
                             const std::vector<std::string_view> &rows)
    : m_activities(std::move(activities))
    , m_events(std::move(events))
{
    if (rows.size() != m_activities.size())
        throw std::logic_error("activity table: one row per activity");
    for (std::string_view row : rows) {
        std::vector<Response> responses;
        for (char letter : row)
            if (letter != ' ')
                responses.push_back(responseOf(letter));
        if (responses.size() != m_events.size())
            throw std::logic_error("activity table: one response per event");
        m_responses.push_back(std::move(responses));
    }
}

Response ActivityTable::response(Activity activity, WindowEvent event) const
{
    if (activity == A::Idle)
        return Response::Go;
    std::size_t row = 0, column = 0;
    while (row < m_activities.size() && m_activities[row] != activity)
        ++row;
    while (column < m_events.size() && m_events[column] != event)
        ++column;
    // An event the window does not have changes nothing of an activity it
    // has not either.
    if (row == m_activities.size() || column == m_events.size())
        return Response::Refuse;
    return m_responses[row][column];
}

const ActivityTable &activityTable(std::string_view window)
{
    if (window == "TForm1")
        return converter();
    if (window == "TForm2")
        return transmitter();
    if (window == "TForm4")
        return resistance(false);
    if (window == "TForm10")
        return resistance(true);
    if (window == "TForm5")
        return distributor();
    if (window == "TForm7")
        return vmaDistributor();
    throw std::logic_error("no activity table for " + std::string(window));
}
