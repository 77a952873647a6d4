#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QString>

// Pixel probes that tolerate anti-aliasing: they look a little to either side
// of a circle's path and report the strongest ink found.

enum class Ink
{
    Background,
    Dark,
    Red,
    Green,
    Blue,
    Other
};

QString InkName(Ink ink);

// How far apart two colours are: the sum of their channels' differences.
int Distance(QColor a, QColor b);

// What a pixel shows against the given background.
Ink Classify(QColor pixel, QColor background);

// The ink on the circle of `radius` around `centre` (logical pixels; the image's
// device pixel ratio is applied) at `degrees`, counter-clockwise from three o'clock.
Ink InkAt(const QImage &image, QPointF centre, double radius, double degrees,
          QColor background = Qt::white, double reach = 1.5);

// Share of points along the arc from `fromDegrees` to `toDegrees` (counter-clockwise)
// that show `ink`, sampled every quarter pixel of arc length.
double Coverage(const QImage &image, QPointF centre, double radius, double fromDegrees,
                double toDegrees, Ink ink, QColor background = Qt::white, double reach = 1.0);

// Empty when the circle of `radius` reads as dash-dot: dashes and dots in turn,
// each dot a few pixels at most; else what it shows instead.
QString DashDotFault(const QImage &image, QPointF centre, double radius,
                     QColor background = Qt::white);

// True when no pixel of the image differs from `colour`.
bool IsUniform(const QImage &image, QColor colour);

// Nine significant digits: equal texts mean equal single-precision values.
QString ExactText(float value);
