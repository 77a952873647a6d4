#include "platform/qt/form_timer.h"

#include "platform/runtime_error.h"

#include <string>

namespace platform::qt {

FormTimer::FormTimer(QObject *parent, std::function<void()> onTick) : QObject(parent), timer_(this)
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, std::move(onTick));
}

void FormTimer::SetEnabled(bool on)
{
    const bool changed = on != enabled_;
    enabled_ = on;
    Apply();
    if (changed && changed_)
        changed_(on);
}

void FormTimer::SetInterval(int milliseconds)
{
    if (milliseconds < 0 || milliseconds > 65535)
        throw RuntimeError::InvalidArgument("Interval must be from 0 to 65535 ms, not " +
                                            std::to_string(milliseconds));
    if (milliseconds == timer_.interval())
        return;
    timer_.setInterval(milliseconds); // restarts a running timer with the new period
    Apply();
}

void FormTimer::Apply()
{
    // An interval of 0 means the timer never ticks, enabled or not.
    const bool shouldRun = enabled_ && timer_.interval() > 0;
    if (shouldRun && !timer_.isActive())
        timer_.start(); // an already running timer keeps its period
    else if (!shouldRun)
        timer_.stop();
}

} // namespace platform::qt
