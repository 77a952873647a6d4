#pragma once

#include "platform/control.h"

namespace platform {

// While enabled, raises its tick every interval milliseconds.
// Enabling a timer that already runs keeps its rhythm; it does not restart the period.
class Timer : public Control
{
public:
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool on) = 0;
    virtual int Interval() const = 0;
    virtual void SetInterval(int milliseconds) = 0;
};

} // namespace platform
