#include "platform/qt/picture_box.h"

#include "platform/qt/qt_colour.h"
#include "platform/runtime_error.h"
#include "platform/twips.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::qt {

namespace {

// Beyond this many strokes between two Cls the image is scaled, not redrawn,
// when the pixel ratio changes: memory stays bounded for any caller.
constexpr std::size_t MaxRememberedStrokes = 1024;

// 2π as the nearest single-precision value above it, so a caller's float 2π passes.
constexpr float FullTurn = 6.2831855f;

// Dash, gap, dot, gap, in pen widths: reads as dash-dot at one pixel.
const QList<qreal> DashDotPattern{6, 3, 1, 3};

bool IsDashed(const auto &stroke)
{
    return stroke.style == DrawStyle::DashDot && stroke.width == 1;
}

double Degrees(double radians)
{
    return radians * 180.0 / std::numbers::pi;
}

void Validate(const CircleRequest &request)
{
    if (!std::isfinite(request.x) || !std::isfinite(request.y) || !std::isfinite(request.radius))
        throw RuntimeError::InvalidArgument("Circle needs a finite centre and radius");
    if (request.arc) {
        for (const float angle : {request.arc->start, request.arc->end})
            if (!(angle >= 0 && angle <= FullTurn))
                throw RuntimeError::InvalidArgument("Circle angles must lie from 0 to 2π");
    }
}

// A painter that maps logical pixels to `ratio` device pixels each. Qt 6.4's
// never maps to fewer than one: below a scale of 1 it drew the picture a
// quarter too large at 0.8, from the widget's unscaled place in the window.
// Qt 6.8's maps as it should.
void PaintAtRatio([[maybe_unused]] QPainter &painter, [[maybe_unused]] qreal ratio)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    const QTransform device = painter.deviceTransform();
    if (ratio >= 1 || device.m11() != 1)
        return;
    const QTransform wanted = QTransform::fromScale(ratio, ratio) *
                              QTransform::fromTranslate(device.dx() * ratio, device.dy() * ratio);
    painter.setWorldTransform(wanted * device.inverted());
#endif
}

} // namespace

PictureBox::PictureBox(QWidget *parent, bool bordered) : QFrame(parent)
{
    if (bordered) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(2);
        // Shaded in greys that show on the white ground as well as on any window:
        // the theme's light edge would vanish against the picture.
        QPalette shades = palette();
        shades.setColor(QPalette::Dark, QColor(128, 128, 128));
        shades.setColor(QPalette::Light, QColor(192, 192, 192));
        setPalette(shades);
    }
    persistent_ = BlankImage(background_);
    FollowScaleInOpacity();
}

void PictureBox::FollowScaleInOpacity()
{
    // The frame and the image together cover every pixel, except below a scale
    // of 1, where the frame's edges fall between device pixels: there the
    // window's background is to show, as it does around every other control.
    setAttribute(Qt::WA_OpaquePaintEvent, devicePixelRatioF() >= 1);
}

float PictureBox::Width() const
{
    return static_cast<float>(width() * TwipsPerPixel);
}

float PictureBox::Height() const
{
    return static_cast<float>(height() * TwipsPerPixel);
}

void PictureBox::SetAutoRedraw(bool on)
{
    autoRedraw_ = on;
}

void PictureBox::Cls()
{
    strokes_.clear();
    strokesComplete_ = true;
    transient_ = QImage();
    persistent_ = BlankImage(background_);
    update(contentsRect());
}

void PictureBox::SetDrawWidth(int pixels)
{
    if (pixels < 1 || pixels > 32767)
        throw RuntimeError::InvalidArgument("DrawWidth must be from 1 to 32767, not " +
                                            std::to_string(pixels));
    drawWidth_ = pixels;
}

void PictureBox::SetDrawStyle(DrawStyle style)
{
    if (style != DrawStyle::Solid && style != DrawStyle::DashDot)
        throw RuntimeError::InvalidArgument("DrawStyle " + std::to_string(int(style)) +
                                            " is not supported");
    drawStyle_ = style;
}

void PictureBox::Circle(const CircleRequest &request)
{
    Validate(request);
    const Stroke stroke{request, drawWidth_, drawStyle_};
    QRectF drawn;
    if (autoRedraw_) {
        EnsureImageMatchesScreen();
        drawn = Render(persistent_, stroke);
        if (strokesComplete_ && strokes_.size() < MaxRememberedStrokes) {
            strokes_.push_back(stroke);
        } else {
            strokesComplete_ = false;
            strokes_.clear();
        }
    } else {
        // Without a persistent image, drawing on a hidden surface is lost.
        if (!isVisible())
            return;
        if (transient_.isNull())
            transient_ = BlankImage(Qt::transparent);
        drawn = Render(transient_, stroke);
    }
    update(OnWidget(drawn));
}

QImage PictureBox::persistentImage()
{
    EnsureImageMatchesScreen();
    return persistent_;
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    EnsureImageMatchesScreen();
    const QRect inner = contentsRect();
    QPainter painter(this);
    PaintAtRatio(painter, painter.device()->devicePixelRatioF());
    drawFrame(&painter);
    if (hasFocus() && frameWidth() > 0) {
        // Focus shows on the frame, never on the picture itself.
        const qreal half = frameWidth() / 2.0;
        painter.setPen(QPen(palette().color(QPalette::Highlight), frameWidth()));
        painter.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
    }
    painter.setClipRect(inner & event->rect());
    // One image pixel to one screen pixel, from the nearest whole pixel: at a
    // fractional ratio the inner area starts between two, and drawing there
    // would resample the whole image on every paint.
    const QPointF at = painter.deviceTransform().map(QPointF(inner.topLeft()));
    const QPointF whole(std::round(at.x()), std::round(at.y()));
    painter.setWorldTransform(painter.deviceTransform().inverted(), true);
    for (QImage *image : {&persistent_, &transient_})
        if (!image->isNull())
            painter.drawImage(QRectF(whole, image->size()), *image, QRectF(image->rect()));
    transient_ = QImage();
}

void PictureBox::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    EnsureImageMatchesScreen();
}

void PictureBox::EnsureImageMatchesScreen()
{
    // Compared in device pixels: at a fractional ratio the image's logical size
    // is not whole and would never match the widget's.
    if (persistent_.devicePixelRatio() == devicePixelRatioF() && persistent_.size() == PixelSize())
        return;
    QImage fresh = BlankImage(background_);
    if (strokesComplete_) {
        for (const Stroke &stroke : strokes_)
            Render(fresh, stroke);
    } else if (!fresh.isNull()) {
        QPainter painter(&fresh);
        PaintAtRatio(painter, fresh.devicePixelRatio());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(QPointF(), persistent_.deviceIndependentSize()), persistent_);
    }
    persistent_ = fresh;
    transient_ = QImage();
    FollowScaleInOpacity();
}

QSize PictureBox::PixelSize() const
{
    const qreal ratio = devicePixelRatioF();
    const QSize logical = contentsRect().size();
    return QSize(qCeil(logical.width() * ratio), qCeil(logical.height() * ratio));
}

QImage PictureBox::BlankImage(QColor fill) const
{
    if (contentsRect().isEmpty())
        return QImage();
    QImage image(PixelSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatioF());
    image.fill(fill);
    return image;
}

QPainterPath PictureBox::Path(const Stroke &stroke)
{
    const CircleRequest &request = stroke.request;
    const QPointF centre(TwipsToPixels(request.x), TwipsToPixels(request.y));
    const double radius = TwipsToPixels(request.radius);
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path;
    if (!request.arc) {
        path.addEllipse(box);
        return path;
    }
    double start = request.arc->start;
    double span = double(request.arc->end) - start;
    if (request.arc->end < request.arc->start)
        span += 2 * std::numbers::pi;
    if (!IsDashed(stroke) && span > 0) {
        // Half a pixel more at each end: where two arcs meet, each anti-aliased
        // end lies on the other's solid colour and no seam shows.
        const double overhang = 0.5 / radius;
        start -= overhang;
        span = std::min(span + 2 * overhang, 2 * std::numbers::pi);
    }
    path.arcMoveTo(box, Degrees(start));
    path.arcTo(box, Degrees(start), Degrees(span));
    return path;
}

QRectF PictureBox::Render(QImage &target, const Stroke &stroke) const
{
    const CircleRequest &request = stroke.request;
    if (target.isNull() || request.radius <= 0)
        return {};
    QPen pen(request.colour ? ToQColor(*request.colour) : foreground_, stroke.width, Qt::SolidLine,
             Qt::FlatCap, Qt::MiterJoin);
    if (IsDashed(stroke)) {
        // A whole number of screen pixels, so that at a fractional ratio the thin
        // line stays crisp and takes Qt's fast path for one-pixel pens instead of
        // stroking every dash as an outline; the pattern keeps its length.
        const qreal ratio = target.devicePixelRatio();
        const qreal onScreen = std::max<qreal>(1, std::floor(ratio));
        pen.setCosmetic(true);
        pen.setWidthF(onScreen);
        QList<qreal> pattern = DashDotPattern;
        for (qreal &length : pattern)
            length *= ratio / onScreen;
        pen.setDashPattern(pattern);
    }
    QPainter painter(&target);
    PaintAtRatio(painter, target.devicePixelRatio());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QPainterPath path = Path(stroke);
    painter.drawPath(path);
    // The pen's half width and the anti-aliasing around the path.
    const double margin = stroke.width / 2.0 + 2;
    return path.boundingRect().adjusted(-margin, -margin, margin, margin);
}

QRect PictureBox::OnWidget(const QRectF &drawn) const
{
    // Clamped so that a far-off circle cannot overflow the integer rectangle.
    const QRectF limit(-1e6, -1e6, 2e6, 2e6);
    return (drawn & limit).translated(contentsRect().topLeft()).toAlignedRect() & contentsRect();
}

} // namespace platform::qt
