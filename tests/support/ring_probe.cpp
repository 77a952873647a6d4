#include "ring_probe.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

QColor PixelAt(const QImage &image, QPointF logical)
{
    const QPointF device = logical * image.devicePixelRatio();
    const QPoint pixel(int(std::floor(device.x())), int(std::floor(device.y())));
    if (!image.rect().contains(pixel))
        return QColor();
    return image.pixelColor(pixel);
}

QPointF OnCircle(QPointF centre, double radius, double degrees)
{
    const double radians = degrees * std::numbers::pi / 180;
    // Screen y grows downwards; angles grow counter-clockwise as seen.
    return centre + QPointF(radius * std::cos(radians), -radius * std::sin(radians));
}

} // namespace

int Distance(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

QString InkName(Ink ink)
{
    switch (ink) {
    case Ink::Background:
        return QStringLiteral("background");
    case Ink::Dark:
        return QStringLiteral("dark");
    case Ink::Red:
        return QStringLiteral("red");
    case Ink::Green:
        return QStringLiteral("green");
    case Ink::Blue:
        return QStringLiteral("blue");
    case Ink::Other:
        return QStringLiteral("other");
    }
    return {};
}

Ink Classify(QColor pixel, QColor background)
{
    if (!pixel.isValid() || Distance(pixel, background) < 60)
        return Ink::Background;
    const int r = pixel.red(), g = pixel.green(), b = pixel.blue();
    constexpr int lead = 60;
    if (r > g + lead && r > b + lead)
        return Ink::Red;
    if (g > r + lead && g > b + lead)
        return Ink::Green;
    if (b > r + lead && b > g + lead)
        return Ink::Blue;
    if (std::max({r, g, b}) - std::min({r, g, b}) < 40 && qGray(r, g, b) < qGray(background.rgb()))
        return Ink::Dark;
    return Ink::Other;
}

Ink InkAt(const QImage &image, QPointF centre, double radius, double degrees, QColor background,
          double reach)
{
    QColor strongest = background;
    for (double offset = -reach; offset <= reach + 1e-9; offset += 0.25) {
        const QColor pixel = PixelAt(image, OnCircle(centre, radius + offset, degrees));
        if (pixel.isValid() && Distance(pixel, background) > Distance(strongest, background))
            strongest = pixel;
    }
    return Classify(strongest, background);
}

double Coverage(const QImage &image, QPointF centre, double radius, double fromDegrees,
                double toDegrees, Ink ink, QColor background, double reach)
{
    double span = toDegrees - fromDegrees;
    if (span <= 0)
        span += 360;
    const int samples = std::max(1, int(span * std::numbers::pi / 180 * radius * 4));
    int hits = 0;
    for (int i = 0; i < samples; ++i) {
        const double degrees = fromDegrees + span * (i + 0.5) / samples;
        if (InkAt(image, centre, radius, degrees, background, reach) == ink)
            ++hits;
    }
    return double(hits) / samples;
}

QString DashDotFault(const QImage &image, QPointF centre, double radius, QColor background)
{
    const int samples = std::max(8, int(2 * std::numbers::pi * radius * 4));
    std::vector<bool> dark(std::size_t(samples), false);
    for (int i = 0; i < samples; ++i)
        dark[std::size_t(i)] =
            InkAt(image, centre, radius, 360.0 * i / samples, background, 1.0) == Ink::Dark;
    const auto gap = std::find(dark.begin(), dark.end(), false);
    if (gap == dark.end())
        return QStringLiteral("solid");
    // Walk once round from a gap, measuring each dark run in pixels.
    int dots = 0, dashes = 0, run = 0;
    for (int k = 1; k <= samples; ++k) {
        if (dark[std::size_t((gap - dark.begin() + k) % samples)]) {
            ++run;
            continue;
        }
        if (run > 0 && run <= 12)
            ++dots;
        else if (run >= 18)
            ++dashes;
        else if (run > 0)
            return QStringLiteral("a run of %1 px, neither dot nor dash").arg(run / 4.0);
        run = 0;
    }
    if (dashes < 3 || std::abs(dots - dashes) > 2)
        return QStringLiteral("%1 dashes and %2 dots").arg(dashes).arg(dots);
    return {};
}

bool IsUniform(const QImage &image, QColor colour)
{
    const QRgb expected = colour.rgba();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != expected)
                return false;
    return true;
}

QString ExactText(float value)
{
    return QString::asprintf("%.9g", double(value));
}
