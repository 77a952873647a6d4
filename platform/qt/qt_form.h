#pragma once

#include "platform/form.h"
#include "platform/window_description.h"

#include <QWidget>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace platform::qt {

class PictureBox;

// The window, built from its description: frame, font, icon and every control
// with its geometry, texts, colours and tab order. Events reach the bound
// module through one boundary that stops any run-time error there.
class QtForm final : public QWidget, public Form
{
public:
    explicit QtForm(const WindowDescription &description);

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

    void ApplyFrame(const WindowDescription &description);
    Element Create(const ControlDescription &control);
    void ApplyTabOrder(const WindowDescription &description);
    void FollowAnimation(const WindowDescription &description);
    // Tells screen readers whether the animation runs.
    void TellAnimation(bool running);
    Element &Find(std::string_view array, std::int16_t index);
    void Dispatch(const std::function<void(FormModule &)> &event);
    void Fail();

    std::map<std::string, std::map<std::int16_t, Element>, std::less<>> arrays_;
    FormModule *module_ = nullptr;
    struct Teller
    {
        QWidget *widget;
        QString description; // before the animation's state
    };
    std::vector<Teller> tellers_;
    std::vector<PictureBox *> animatedPictures_;
    QString running_, stopped_;
    bool loaded_ = false;
    bool failed_ = false;
};

} // namespace platform::qt
