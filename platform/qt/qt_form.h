#pragma once

#include "platform/form.h"
#include "platform/window_description.h"

#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace platform::qt {

class AnimationRelay;

// The window, built from its description, with its controls addressed by
// array and index. Events reach the bound module through one boundary that
// stops any run-time error there.
class QtForm final : public QWidget, public Form
{
public:
    explicit QtForm(const WindowDescription &description);
    ~QtForm() override;

    using Form::Item;
    Control &Item(std::string_view array, std::int16_t index) override;

    // The widget behind an element; null for a timer.
    QWidget *Widget(std::string_view array, std::int16_t index);

    void Bind(FormModule *module) { module_ = module; }

    // Raises the load event once. False when it, or an earlier event, failed.
    bool Load();

    // After a run-time error the form handles no further event.
    bool Failed() const { return failed_; }

private:
    struct Element
    {
        Control *control;
        QWidget *widget;
    };

    void FollowAnimation(const WindowDescription &description);
    Element &Find(std::string_view array, std::int16_t index);
    void Dispatch(const std::function<void(FormModule &)> &event);
    void Fail();

    std::map<std::string, std::map<std::int16_t, Element>, std::less<>> arrays_;
    std::unique_ptr<AnimationRelay> animation_;
    FormModule *module_ = nullptr;
    bool loaded_ = false;
    bool failed_ = false;
};

} // namespace platform::qt
