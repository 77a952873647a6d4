#include "platform/qt/qt_form.h"

#include "platform/qt/accessibility.h"
#include "platform/qt/animation_relay.h"
#include "platform/qt/control_factory.h"
#include "platform/qt/event_boundary.h"
#include "platform/qt/form_timer.h"
#include "platform/qt/picture_box.h"
#include "platform/qt/qt_string.h"
#include "platform/qt/tab_order.h"
#include "platform/qt/window_frame.h"
#include "platform/runtime_error.h"

#include <QCoreApplication>

namespace platform::qt {

QtForm::QtForm(const WindowDescription &description)
{
    InstallAccessibility(ToQString(description.accessibleDescription));
    ApplyFrame(*this, description);
    const RaiseEvent raise = [this](const auto &event) { Dispatch(event); };
    std::vector<std::pair<int, QWidget *>> tabOrder;
    for (const ControlDescription &control : description.controls) {
        auto &elements = arrays_[control.array];
        if (elements.contains(control.index))
            throw RuntimeError::InvalidArgument(
                "the window describes " + ElementName(control.array, control.index) + " twice");
        const auto [element, widget] = CreateControl(this, control, raise);
        elements.emplace(control.index, Element{element, widget});
        if (control.tabIndex && widget && widget->focusPolicy() != Qt::NoFocus)
            tabOrder.emplace_back(*control.tabIndex, widget);
    }
    ApplyTabOrder(std::move(tabOrder));
    FollowAnimation(description);
}

QtForm::~QtForm() = default;

void QtForm::FollowAnimation(const WindowDescription &description)
{
    if (!description.animation)
        return;
    const AnimationDescription &animation = *description.animation;
    auto *timer =
        dynamic_cast<FormTimer *>(Find(animation.timerArray, animation.timerIndex).control);
    if (!timer)
        throw RuntimeError(RuntimeError::WrongControlKindCode,
                           "the animation's " +
                               ElementName(animation.timerArray, animation.timerIndex) +
                               " is not a timer");
    animation_ = std::make_unique<AnimationRelay>(ToQString(animation.running),
                                                  ToQString(animation.stopped));
    for (const ControlDescription &control : description.controls) {
        QWidget *widget = Find(control.array, control.index).widget;
        if (control.tellsAnimation && widget)
            animation_->AddTeller(widget);
        if (auto *picture = dynamic_cast<PictureBox *>(widget); control.showsAnimation && picture)
            animation_->AddPicture(picture);
    }
    animation_->Follow(*timer);
}

Control &QtForm::Item(std::string_view array, std::int16_t index)
{
    return *Find(array, index).control;
}

QWidget *QtForm::Widget(std::string_view array, std::int16_t index)
{
    return Find(array, index).widget;
}

QtForm::Element &QtForm::Find(std::string_view array, std::int16_t index)
{
    if (const auto elements = arrays_.find(array); elements != arrays_.end())
        if (const auto element = elements->second.find(index); element != elements->second.end())
            return element->second;
    throw RuntimeError(RuntimeError::NoSuchControlCode,
                       "there is no control " + ElementName(array, index));
}

bool QtForm::Load()
{
    if (!loaded_) {
        loaded_ = true;
        Dispatch([](FormModule &module) { module.Load(); });
    }
    return !failed_;
}

void QtForm::Dispatch(const std::function<void(FormModule &)> &event)
{
    if (failed_ || !module_)
        return;
    if (!RunHandler([&] { event(*module_); }))
        Fail();
}

void QtForm::Fail()
{
    failed_ = true;
    for (auto &[name, elements] : arrays_)
        for (auto &[index, element] : elements)
            if (auto *timer = dynamic_cast<Timer *>(element.control))
                timer->SetEnabled(false);
    QCoreApplication::exit(RuntimeErrorExitStatus);
}

} // namespace platform::qt
