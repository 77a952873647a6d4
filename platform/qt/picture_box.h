#pragma once

#include "platform/surface.h"

#include <QFrame>
#include <QImage>
#include <QPainterPath>

#include <vector>

namespace platform::qt {

// A framed drawing surface. With AutoRedraw on, drawing goes into a persistent
// image of the inner area, kept at the screen's device pixel ratio and shown by
// every repaint.
class PictureBox final : public QFrame, public Surface
{
public:
    explicit PictureBox(QWidget *parent, bool bordered);

    float Width() const override;
    float Height() const override;
    void SetAutoRedraw(bool on) override;
    void Cls() override;
    void SetDrawWidth(int pixels) override;
    void SetDrawStyle(DrawStyle style) override;
    void Circle(const CircleRequest &request) override;

    // Whether an animation runs in the picture, for screen readers.
    bool Animated() const { return animated_; }
    void SetAnimated(bool on) { animated_ = on; }

    QColor backgroundColour() const { return background_; }
    QColor foregroundColour() const { return foreground_; }

    // The persistent image as it stands, at the current size and pixel ratio.
    QImage persistentImage();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Stroke
    {
        CircleRequest request;
        int width;
        DrawStyle style;
    };

    void EnsureImageMatchesScreen();
    static QPainterPath Path(const Stroke &stroke);
    // Draws the stroke and returns the part of the image it may have changed.
    QRectF Render(QImage &target, const Stroke &stroke) const;
    void FollowScaleInOpacity();
    // The inner area in device pixels, rounded up.
    QSize PixelSize() const;
    QImage BlankImage(QColor fill) const;
    // Where a rectangle of the image lies on the widget, inside the frame.
    QRect OnWidget(const QRectF &drawn) const;

    QColor background_ = Qt::white;
    QColor foreground_ = Qt::black;
    bool autoRedraw_ = false;
    bool animated_ = false;
    int drawWidth_ = 1;
    DrawStyle drawStyle_ = DrawStyle::Solid;

    QImage persistent_;
    QImage transient_; // drawing with AutoRedraw off, shown by the next repaint only

    // What the persistent image holds since the last Cls, so that it can be drawn
    // again, crisp, when the window moves to a screen of another pixel ratio.
    std::vector<Stroke> strokes_;
    bool strokesComplete_ = true;
};

} // namespace platform::qt
