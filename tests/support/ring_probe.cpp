#include "ring_probe.h"

#include <cmath>
#include <numbers>

namespace {

int Distance(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

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
