#include "recording_form.h"

#include "platform/runtime_error.h"

#include <cstdio>

namespace {

// Nine significant digits tell any two floats apart, so equal lines mean equal values.
std::string Exact(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", double(value));
    return text;
}

std::string Describe(const platform::CircleRequest &request)
{
    std::string line = request.arc ? "Arc " : "Circle ";
    line += Exact(request.x) + " " + Exact(request.y) + " " + Exact(request.radius);
    if (request.colour) {
        char colour[16];
        std::snprintf(colour, sizeof colour, " #%06X", unsigned(*request.colour));
        line += colour;
    }
    if (request.arc)
        line += " from " + Exact(request.arc->start) + " to " + Exact(request.arc->end);
    return line;
}

} // namespace

float RecordingSurface::Width() const
{
    return width;
}

float RecordingSurface::Height() const
{
    return height;
}

void RecordingSurface::SetAutoRedraw(bool on)
{
    Record("AutoRedraw", on ? "AutoRedraw true" : "AutoRedraw false");
    autoRedraw = on;
}

void RecordingSurface::Cls()
{
    Record("Cls", "Cls");
}

void RecordingSurface::SetDrawWidth(int pixels)
{
    Record("DrawWidth", "DrawWidth " + std::to_string(pixels));
    drawWidth = pixels;
}

void RecordingSurface::SetDrawStyle(platform::DrawStyle style)
{
    Record("DrawStyle", "DrawStyle " + std::to_string(int(style)));
    drawStyle = style;
}

void RecordingSurface::Circle(const platform::CircleRequest &request)
{
    // Where the real surface would draw solid, say so: it is what the user sees.
    std::string line = Describe(request);
    if (drawStyle != platform::DrawStyle::Solid && drawWidth == 1)
        line += " dash-dot";
    else
        line += " solid " + std::to_string(drawWidth);
    Record("Circle", line);
}

void RecordingSurface::Record(const std::string &name, const std::string &call)
{
    if (name == failOn) {
        failOn.clear();
        throw platform::RuntimeError(480, name + " failed");
    }
    calls.push_back(call);
}

void RecordingTimer::SetEnabled(bool on)
{
    calls.push_back(on ? "Enabled true" : "Enabled false");
    enabled = on;
}

void RecordingTimer::SetInterval(int milliseconds)
{
    calls.push_back("Interval " + std::to_string(milliseconds));
    interval = milliseconds;
}

platform::Control &RecordingForm::Item(std::string_view array, std::int16_t index)
{
    if (array == "Picture1" && index == 0)
        return picture;
    if (array == "Timer1" && index == 0)
        return timer;
    throw platform::RuntimeError(platform::RuntimeError::NoSuchControlCode,
                                 std::string(array) + " element does not exist");
}

std::string CircleCall(float x, float y, float radius)
{
    return Describe({x, y, radius, std::nullopt, std::nullopt}) + " dash-dot";
}

std::string CircleCall(float x, float y, float radius, platform::Colour colour)
{
    return Describe({x, y, radius, colour, std::nullopt}) + " dash-dot";
}

std::string ArcCall(float x, float y, float radius, platform::Colour colour, float start, float end)
{
    return Describe({x, y, radius, colour, platform::ArcAngles{start, end}}) + " solid 5";
}
