#pragma once

#include "ring_probe.h"

#include <QImage>
#include <QPointF>
#include <QString>

#include <array>

// What a user expects to see at each step of the ring cycle, written down
// independently of the code that draws it.

// Quarters of a ring by the angle at their middle, counter-clockwise from three o'clock.
inline constexpr std::array<int, 4> Quarters{45, 135, 225, 315};

// The radii of the dash-dot circles of the window's drawing area, in pixels.
inline constexpr std::array<double, 3> IdleRadii{474 / 15.0, 703.6 / 15.0, 933.2 / 15.0};

// The ink at a ring's quarter after `step` (0 to 7): a colour where an arc lies,
// else Dark, for the dash-dot circle.
Ink ExpectedInk(int step, int ring, int quarter);

// Empty when the image shows the idle picture around `centre`: every circle
// dark with dash-dot gaps, and background only between them; else what is amiss.
QString IdlePictureFault(const QImage &image, QPointF centre);

// One letter a quarter, ring by ring: r, g, b for a colour, d for dash-dot, ? else.
QString Signature(const QImage &image, QPointF centre);
QString ExpectedSignature(int step);

// Which step of the cycle an image shows: 1 to 6, 0 for the idle picture, -1 for none.
int StepShown(const QImage &image, QPointF centre);

// The drawing area's persistent image after each step 0 to 7, drawn on a fresh
// window: index 0 is the idle picture as loaded.
std::array<QImage, 8> CanonicalPictures();
