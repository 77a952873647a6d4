#include "platform/qt/animation_relay.h"

#include "platform/qt/form_timer.h"
#include "platform/qt/picture_box.h"
#include "platform/qt/reader_events.h"

#include <QAccessible>
#include <QPushButton>

namespace platform::qt {

void AnimationRelay::AddTeller(QWidget *widget)
{
    tellers_.push_back({widget, widget->accessibleDescription()});
}

void AnimationRelay::AddPicture(PictureBox *picture)
{
    pictures_.push_back(picture);
}

void AnimationRelay::Follow(FormTimer &timer)
{
    // A button that tells the animation drives it: Qt (6.4 and 6.8) names a
    // button the controller of whatever receives its click, and has no other
    // way to say so.
    for (const Teller &teller : tellers_)
        if (auto *button = qobject_cast<QPushButton *>(teller.widget))
            for (PictureBox *picture : pictures_)
                QObject::connect(button, &QPushButton::clicked, picture, [] {});
    timer.OnEnabledChanged([this](bool on) { Tell(on); });
    Tell(timer.Enabled());
}

void AnimationRelay::Tell(bool running)
{
    for (PictureBox *picture : pictures_) {
        picture->SetAnimated(running);
        QAccessible::State changed;
        changed.animated = changed.busy = true;
        QAccessibleStateChangeEvent event(picture, changed);
        QAccessible::updateAccessibility(&event);
        SendStateChanged(picture, "animated", running);
        SendStateChanged(picture, "busy", running);
    }
    // A changed description reaches screen readers as an event of its own, so the
    // focused button speaks the new state without the focus moving.
    for (const Teller &teller : tellers_) {
        teller.widget->setAccessibleDescription(
            (teller.description.isEmpty() ? QString() : teller.description + QLatin1Char(' ')) +
            (running ? running_ : stopped_));
        SendDescriptionChanged(teller.widget);
    }
}

} // namespace platform::qt
