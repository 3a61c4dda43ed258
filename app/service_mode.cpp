#include "service_mode.h"

ServiceMode &ServiceMode::instance()
{
    static ServiceMode mode;
    return mode;
}

void ServiceMode::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    emit changed(on);
}
