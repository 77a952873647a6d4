#pragma once

#include "platform/form.h"
#include "platform/surface.h"
#include "platform/timer.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

// Stand-ins for the platform that record what the program asks of them, so
// call order and exact single-precision values can be compared.

class RecordingSurface final : public platform::Surface
{
public:
    float width = 2655;
    float height = 2295;

    // The pen as the program left it.
    int drawWidth = 1;
    platform::DrawStyle drawStyle = platform::DrawStyle::Solid;
    bool autoRedraw = false;

    // One line a drawing call, e.g. "DrawWidth 5" or "Circle 1327.5 1147.5 474".
    std::vector<std::string> calls;

    // The next call of this name raises a run-time error, as a failing platform call would.
    std::string failOn;

    float Width() const override;
    float Height() const override;
    void SetAutoRedraw(bool on) override;
    void Cls() override;
    void SetDrawWidth(int pixels) override;
    void SetDrawStyle(platform::DrawStyle style) override;
    void Circle(const platform::CircleRequest &request) override;

private:
    void Record(const std::string &name, const std::string &call);
};

class RecordingTimer final : public platform::Timer
{
public:
    bool enabled = false;
    int interval = 0;
    std::vector<std::string> calls;

    bool Enabled() const override { return enabled; }
    void SetEnabled(bool on) override;
    int Interval() const override { return interval; }
    void SetInterval(int milliseconds) override;
};

// Picture1(0) and Timer1(0), as the window has them.
class RecordingForm final : public platform::Form
{
public:
    RecordingSurface picture;
    RecordingTimer timer;

    using platform::Form::Item;
    platform::Control &Item(std::string_view array, std::int16_t index) override;
};

// The lines RecordingSurface writes, built from the values a test expects.
std::string CircleCall(float x, float y, float radius);
std::string CircleCall(float x, float y, float radius, platform::Colour colour);
std::string ArcCall(float x, float y, float radius, platform::Colour colour, float start,
                    float end);
