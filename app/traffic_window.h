#pragma once

#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;
class QTimer;
class QTreeView;
class TrafficModel;
class TrafficRecord;

// The line traffic window: every request and reply on the line as the link
// recorded it, one line each with its time, direction, rate, bytes and the
// decoded meaning. It follows the record from a timer while it is shown, so
// the exchanges never wait for it; Pause freezes the view (the record goes
// on), Clear empties view and record, Copy takes the selected lines as text,
// Save writes every line as text or CSV.
//
// One window for the whole program, opened from the File menu of the scan
// window and of every family window.
class TrafficWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TrafficWindow(TrafficRecord &record);
    ~TrafficWindow() override;

    // Takes what the record gained (unless paused) and keeps the last line in
    // view when it was in view before.
    void refresh();
    void PauseClick(bool paused);
    void ClearClick();
    void CopyClick();
    void SaveClick();
    // Writes every line to path: CSV for a name ending in ".csv", text for any
    // other. False, with a message, when the file cannot be written.
    bool saveTo(const QString &path);

    TrafficModel &model() { return *m_model; }

    QTreeView *Lines = nullptr;
    QPushButton *Pause = nullptr;
    QPushButton *Clear = nullptr;
    QPushButton *Copy = nullptr;
    QPushButton *Save = nullptr;
    QLabel *Count = nullptr;
    QTimer *Refresh = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void showCount();

    TrafficRecord &m_record;
    std::unique_ptr<TrafficModel> m_model;
    QString m_folder; // where the last file was saved
};
