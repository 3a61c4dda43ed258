#pragma once

#include <QObject>

// Service mode offers the factory functions the family windows create hidden
// (calibration pages, the "Set ModeNum" page, serial-number groups, the address
// "Set" button). Ctrl+Shift+S in any family window toggles it for all windows.
// It is off at start and never stored.
class ServiceMode : public QObject
{
    Q_OBJECT

public:
    static ServiceMode &instance();

    bool isOn() const { return m_on; }
    void setOn(bool on);
    void toggle() { setOn(!m_on); }

signals:
    void changed(bool on);

private:
    ServiceMode() = default;
    bool m_on = false;
};
