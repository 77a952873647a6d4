#pragma once

#include "platform/timer.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace platform::qt {

// A Timer on a precise QTimer: ticks keep their rhythm instead of drifting by
// the time each handler takes, and a stopped timer causes no wake-ups.
class FormTimer final : public QObject, public Timer
{
public:
    FormTimer(QObject *parent, std::function<void()> onTick);

    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool on) override;
    int Interval() const override { return timer_.interval(); }
    void SetInterval(int milliseconds) override;

    // Called with the new state whenever Enabled changes.
    void OnEnabledChanged(std::function<void(bool)> changed) { changed_ = std::move(changed); }

private:
    void Apply();

    QTimer timer_;
    bool enabled_ = false;
    std::function<void(bool)> changed_;
};

} // namespace platform::qt
