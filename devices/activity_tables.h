#pragma once

#include <string_view>
#include <vector>

// What a family window is doing. A window does one of these at a time; the
// work that some activities let run inside them (a trim write during a
// distributor's calibration point, a mode change during a zero/span run, the
// reading of a re-activation during a zero step) is not an activity of its own.
enum class Activity {
    Idle,
    Activation,       // the module's own address and rate restored, then its read
    Read,             // "Read From Device"
    Write,            // "Write To Device", with the storing wait where the module has one
    LivePoll,         // "Measuring Value": from its start to "Stop"
    CalibrationPoint, // from a point's "Start" to its "Done"
    ZeroSpanRun,      // the resistance windows' zero/span points, from the first to the last
    TrimPoint,        // the writes of an output trim control
    ModeChange,       // "Set ModeNum": the mode and its commit
    SerialLoad,       // "Load Serial Number"
    AddressSet,       // the address "Set" button
    ZeroStep,         // the V/mA distributor's zero step and its 5 s of progress
};

// What may happen while a window does something: the command controls
// (each names the activity it starts), then the events of the shell.
enum class WindowEvent {
    Read,
    Write,
    LiveStart,
    CalibrationStart,
    ZeroSpanStart,
    ZeroStep,
    Trim,
    ModeChange,
    LoadSerialNumber,
    AddressSet,
    Activation,
    LeaveServiceMode,
    ScanStart,
    Close,
    LanguageSwitch,
    OpenConfiguration,
    SaveConfiguration,
    DialogAnswer, // "Yes" or "No" of the zero/span confirmation
};

// What an event does during an activity.
enum class Response {
    Go,     // (idle) the event runs; a command starts its activity
    Within, // the event runs inside the activity, which goes on
    Stop,   // the activity stops after its running exchange (nothing more is
            // sent, its timers stop, the controls come back), then the event runs
    Refuse, // nothing happens: the activity goes on, the controls stay as they are
};

// The activity a command starts; Idle for the events of the shell.
Activity activityOf(WindowEvent event);
// True for the activities during which the command controls are off (all
// but the trim writes and the mode change, which leave them as they are).
bool holdsCommandControls(Activity activity);

std::string_view activityName(Activity activity);
std::string_view eventName(WindowEvent event);

// One window's answers, as data: for each activity it has, what each of its
// events does. Idle lets every event go.
class ActivityTable
{
public:
    // rows: one per activity, in the order of `activities`; each row one
    // letter per event, in the order of `events` (G, W, S, R as Response,
    // blanks between them for the eye).
    ActivityTable(std::vector<Activity> activities, std::vector<WindowEvent> events,
                  const std::vector<std::string_view> &rows);

    Response response(Activity activity, WindowEvent event) const;
    const std::vector<Activity> &activities() const { return m_activities; }
    const std::vector<WindowEvent> &events() const { return m_events; }

private:
    std::vector<Activity> m_activities;
    std::vector<WindowEvent> m_events;
    std::vector<std::vector<Response>> m_responses;
};

// The table of a window by its class name ("TForm1", "TForm2", "TForm4",
// "TForm10", "TForm5", "TForm7").
const ActivityTable &activityTable(std::string_view window);
