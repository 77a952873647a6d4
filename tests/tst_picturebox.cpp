#include "platform/qt/picture_box.h"
#include "platform/runtime_error.h"
#include "support/ring_probe.h"

#include <QApplication>
#include <QPaintEvent>
#include <QScreen>
#include <QStyleFactory>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>

using platform::CircleRequest;
using platform::DrawStyle;
using platform::RGB;
using platform::qt::PictureBox;

Q_DECLARE_METATYPE(CircleRequest)
Q_DECLARE_METATYPE(std::optional<platform::Colour>)

namespace {

// A 177 × 153 pixel area with a 2-pixel frame; circles go round its inner centre.
constexpr float CentreX = 86.5f * 15;
constexpr float CentreY = 74.5f * 15;
const QPointF Centre(86.5, 74.5);

std::unique_ptr<PictureBox> MakeSurface(QScreen *screen = nullptr)
{
    auto surface = std::make_unique<PictureBox>(nullptr, true);
    if (screen) {
        surface->setScreen(screen);
        surface->move(screen->geometry().topLeft());
    }
    surface->resize(177, 153);
    surface->SetAutoRedraw(true);
    return surface;
}

float Radians(int degrees)
{
    return float(degrees * std::numbers::pi / 180);
}

// Whether `degrees` lies on the counter-clockwise arc from `from` to `to`.
bool OnArc(int degrees, int from, int to)
{
    const int span = ((to - from) % 360 + 360) % 360;
    const int along = ((degrees - from) % 360 + 360) % 360;
    return along <= span;
}

int DistanceToBoundary(int degrees, int from, int to)
{
    auto gap = [](int a, int b) {
        const int d = std::abs(a - b) % 360;
        return std::min(d, 360 - d);
    };
    return std::min(gap(degrees, from), gap(degrees, to));
}

} // namespace

class tst_PictureBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sizeInTwips();
    void pixelRatio_data();
    void pixelRatio();
    void arcCoversItsSpan_data();
    void arcCoversItsSpan();
    void lineStyle_data();
    void lineStyle();
    void colour_data();
    void colour();
    void clsLeavesBackground();
    void repaintShowsPersistentImage();
    void arcRepaintsOnlyItsCorner();
    void withoutAutoRedrawHiddenDrawingIsLost();
    void radiusOfZeroDrawsNothing();
    void invalidCallsRaise_data();
    void invalidCallsRaise();
};

void tst_PictureBox::initTestCase()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

void tst_PictureBox::sizeInTwips()
{
    const auto surface = MakeSurface();
    QCOMPARE(surface->Width(), 2655.f);
    QCOMPARE(surface->Height(), 2295.f);
    QCOMPARE(surface->contentsRect(), QRect(2, 2, 173, 149));
}

void tst_PictureBox::pixelRatio_data()
{
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QSize>("imageSize");
    // The thin circle's ink grows with its length and its whole-pixel width: one
    // device pixel up to a ratio of 2, two up to 3. A line a fraction wider, as a
    // pen of one logical pixel is at 1.25, carries a quarter more.
    QTest::addColumn<double>("ink");
    QTest::newRow("1") << 1.0 << QSize(173, 149) << 140.0;
    QTest::newRow("1.25") << 1.25 << QSize(217, 187) << 174.0;
    QTest::newRow("1.5") << 1.5 << QSize(260, 224) << 212.0;
    QTest::newRow("2") << 2.0 << QSize(346, 298) << 645.0;
    QTest::newRow("2.5") << 2.5 << QSize(433, 373) << 806.0;
    QTest::newRow("3") << 3.0 << QSize(519, 447) << 1448.0;
    // Ratios that put the inner corner between device pixels.
    QTest::newRow("1.2 (115 dpi)") << 115 / 96.0 << QSize(208, 179) << 168.0;
    QTest::newRow("1.33 (128 dpi)") << 128 / 96.0 << QSize(231, 199) << 191.0;
}

namespace {

// The grey ink in an image: the thin line's darkness summed, in device pixels.
double GreyInk(const QImage &image)
{
    double ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() == c.green() && c.green() == c.blue())
                ink += 1 - c.redF();
        }
    return ink;
}

// What a paint of the surface shows of its picture, in device pixels.
QImage PaintedPicture(PictureBox &surface, qreal ratio)
{
    QImage painted((QSizeF(surface.size()) * ratio).toSize(), QImage::Format_RGB32);
    painted.setDevicePixelRatio(ratio);
    surface.render(&painted);
    // The image sits one to one on the device pixel nearest the inner corner; at
    // a fractional ratio its last row and column lie under the frame.
    const QPoint corner(qRound(surface.contentsRect().left() * ratio),
                        qRound(surface.contentsRect().top() * ratio));
    return painted.copy(QRect(corner, surface.persistentImage().size() - QSize(1, 1)));
}

// The logical pixels that hold every device pixel in which two images differ.
QRegion Changed(const QImage &before, const QImage &after, qreal ratio)
{
    QRegion changed;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y))
                changed += QRectF(x / ratio, y / ratio, 1 / ratio, 1 / ratio).toAlignedRect();
    return changed;
}

} // namespace

namespace {

// Collects the region of every paint event a widget receives.
class PaintRecorder : public QObject
{
public:
    QRegion painted;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

} // namespace

// Drawn on one screen and moved to another, the picture is drawn again at the new
// ratio, exactly as if drawn there, and repaints then reuse it. The thin line is
// a whole number of device pixels wide, and the window shows the image pixel
// for pixel, also after an arc is added.
void tst_PictureBox::pixelRatio()
{
    QFETCH(double, ratio);
    QFETCH(QSize, imageSize);
    QFETCH(double, ink);
    const QList<QScreen *> screens = QGuiApplication::screens();
    const auto screen = std::find_if(screens.begin(), screens.end(), [&](QScreen *s) {
        return std::abs(s->devicePixelRatio() - ratio) < 1e-4;
    });
    if (screen == screens.end())
        QSKIP("no screen of this ratio in this run");
    const auto draw = [](PictureBox &surface) {
        surface.SetDrawStyle(DrawStyle::DashDot);
        surface.Circle({CentreX, CentreY, 700, std::nullopt, std::nullopt});
        surface.SetDrawWidth(5);
        surface.SetDrawStyle(DrawStyle::Solid);
        surface.Circle({CentreX, CentreY, 900, RGB(0, 0, 200), {{Radians(270), Radians(0)}}});
    };
    const auto moved = MakeSurface(screens.first()), native = MakeSurface(*screen);
    draw(*moved);
    draw(*native);
    moved->setScreen(*screen);
    moved->move((*screen)->geometry().topLeft());
    moved->show();
    QVERIFY(QTest::qWaitForWindowExposed(moved.get()));
    const QImage image = moved->persistentImage();
    QVERIFY(std::abs(image.devicePixelRatio() - ratio) < 1e-4); // Qt rounds a ratio a little
    QCOMPARE(image.size(), imageSize);
    // Below a ratio of 1 the window's background shows around the frame.
    QCOMPARE(moved->testAttribute(Qt::WA_OpaquePaintEvent), ratio >= 1);
    QCOMPARE(image, native->persistentImage());
    moved->repaint();
    moved->repaint();
    QCOMPARE(moved->persistentImage().cacheKey(), image.cacheKey());

    QVERIFY2(std::abs(GreyInk(image) - ink) < ink * 0.05,
             qPrintable(QStringLiteral("ink %1, not %2").arg(GreyInk(image)).arg(ink)));

    QCOMPARE(
        PaintedPicture(*moved, image.devicePixelRatio()),
        image.convertToFormat(QImage::Format_RGB32).copy(QRect({}, image.size() - QSize(1, 1))));
    PaintRecorder recorder;
    moved->installEventFilter(&recorder);
    moved->SetDrawWidth(5);
    moved->Circle({CentreX, CentreY, 1000, RGB(200, 0, 0), {{Radians(100), Radians(200)}}});
    QTRY_VERIFY(!recorder.painted.isEmpty());
    const QRegion missed = Changed(image, moved->persistentImage(), image.devicePixelRatio())
                               .translated(moved->contentsRect().topLeft()) -
                           recorder.painted;
    QVERIFY2(missed.isEmpty(), qPrintable(QStringLiteral("%1 pixels left stale, about %2,%3")
                                              .arg(missed.rectCount())
                                              .arg(missed.boundingRect().x())
                                              .arg(missed.boundingRect().y())));
}

void tst_PictureBox::arcCoversItsSpan_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("270 to 0: lower-right quarter") << 270 << 0;
    QTest::newRow("270 to 90: right half") << 270 << 90;
    QTest::newRow("270 to 180: three quarters through three o'clock") << 270 << 180;
    QTest::newRow("180 to 270: lower-left quarter") << 180 << 270;
    QTest::newRow("90 to 270: left half") << 90 << 270;
    QTest::newRow("0 to 270: three quarters") << 0 << 270;
}

void tst_PictureBox::arcCoversItsSpan()
{
    QFETCH(int, from);
    QFETCH(int, to);
    const auto surface = MakeSurface();
    surface->SetDrawWidth(5);
    surface->Circle({CentreX, CentreY, 900, RGB(0, 0, 200), {{Radians(from), Radians(to)}}});
    const QImage image = surface->persistentImage();
    for (int degrees = 5; degrees < 360; degrees += 10) {
        if (DistanceToBoundary(degrees, from, to) < 4)
            continue;
        const Ink expected = OnArc(degrees, from, to) ? Ink::Blue : Ink::Background;
        const Ink seen = InkAt(image, Centre, 60, degrees);
        if (seen != expected)
            QFAIL(qPrintable(QStringLiteral("at %1°: %2, expected %3")
                                 .arg(degrees)
                                 .arg(InkName(seen), InkName(expected))));
    }
}

void tst_PictureBox::lineStyle_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("dashDot");
    QTest::newRow("dash-dot at 1 pixel") << 1 << int(DrawStyle::DashDot) << true;
    QTest::newRow("dash-dot at 5 pixels is solid") << 5 << int(DrawStyle::DashDot) << false;
    QTest::newRow("solid at 1 pixel") << 1 << int(DrawStyle::Solid) << false;
}

void tst_PictureBox::lineStyle()
{
    QFETCH(int, width);
    QFETCH(int, style);
    QFETCH(bool, dashDot);
    const auto surface = MakeSurface();
    surface->SetDrawWidth(width);
    surface->SetDrawStyle(DrawStyle(style));
    surface->Circle({CentreX, CentreY, 700, std::nullopt, std::nullopt});
    const QImage image = surface->persistentImage();
    if (dashDot) {
        const QString fault = DashDotFault(image, Centre, 700 / 15.0);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    } else {
        QVERIFY(Coverage(image, Centre, 700 / 15.0, 0, 360, Ink::Dark) >= 0.99);
    }
}

void tst_PictureBox::colour_data()
{
    QTest::addColumn<std::optional<platform::Colour>>("colour");
    QTest::addColumn<int>("ink");
    QTest::newRow("foreground when absent") << std::optional<platform::Colour>() << int(Ink::Dark);
    QTest::newRow("red") << std::optional(RGB(200, 0, 0)) << int(Ink::Red);
    QTest::newRow("green") << std::optional(RGB(0, 200, 0)) << int(Ink::Green);
    QTest::newRow("blue") << std::optional(RGB(0, 0, 200)) << int(Ink::Blue);
}

void tst_PictureBox::colour()
{
    QFETCH(std::optional<platform::Colour>, colour);
    QFETCH(int, ink);
    const auto surface = MakeSurface();
    surface->SetDrawWidth(5);
    surface->Circle({CentreX, CentreY, 600, colour, std::nullopt});
    QCOMPARE(Coverage(surface->persistentImage(), Centre, 40, 0, 360, Ink(ink)), 1.0);
}

void tst_PictureBox::clsLeavesBackground()
{
    const auto surface = MakeSurface();
    surface->SetDrawWidth(5);
    surface->Circle({CentreX, CentreY, 600, RGB(200, 0, 0), std::nullopt});
    QVERIFY(!IsUniform(surface->persistentImage(), Qt::white));
    surface->Cls();
    QVERIFY(IsUniform(surface->persistentImage(), Qt::white));
}

void tst_PictureBox::repaintShowsPersistentImage()
{
    const auto surface = MakeSurface();
    surface->show();
    QVERIFY(QTest::qWaitForWindowExposed(surface.get()));
    surface->SetDrawWidth(5);
    surface->Circle({CentreX, CentreY, 600, RGB(0, 200, 0), std::nullopt});
    const QPointF centreOnWidget = Centre + QPointF(2, 2);
    QCOMPARE(Coverage(surface->grab().toImage(), centreOnWidget, 40, 0, 360, Ink::Green), 1.0);

    surface->Cls();
    const QImage inner = surface->grab(surface->contentsRect()).toImage();
    QVERIFY(IsUniform(inner, Qt::white));
}

void tst_PictureBox::arcRepaintsOnlyItsCorner()
{
    const auto surface = MakeSurface();
    surface->show();
    QVERIFY(QTest::qWaitForWindowExposed(surface.get()));
    PaintRecorder recorder;
    surface->installEventFilter(&recorder);
    surface->SetDrawWidth(5);
    surface->Circle({CentreX, CentreY, 900, RGB(0, 0, 200), {{Radians(270), Radians(0)}}});
    QTRY_VERIFY(!recorder.painted.isEmpty());
    // The lower-right quarter of a 60-pixel ring around (88.5, 76.5) on the widget,
    // with room for the pen and anti-aliasing.
    const QRect corner(QPoint(88 - 6, 76 - 6), QPoint(88 + 60 + 6, 76 + 60 + 6));
    QVERIFY2(corner.contains(recorder.painted.boundingRect()),
             qPrintable(QStringLiteral("painted %1,%2 %3x%4")
                            .arg(recorder.painted.boundingRect().x())
                            .arg(recorder.painted.boundingRect().y())
                            .arg(recorder.painted.boundingRect().width())
                            .arg(recorder.painted.boundingRect().height())));
}

void tst_PictureBox::withoutAutoRedrawHiddenDrawingIsLost()
{
    const auto surface = MakeSurface();
    surface->SetAutoRedraw(false);
    surface->Circle({CentreX, CentreY, 600, std::nullopt, std::nullopt});
    QVERIFY(IsUniform(surface->persistentImage(), Qt::white));
    surface->show();
    QVERIFY(QTest::qWaitForWindowExposed(surface.get()));
    QVERIFY(IsUniform(surface->grab(surface->contentsRect()).toImage(), Qt::white));
}

void tst_PictureBox::radiusOfZeroDrawsNothing()
{
    const auto surface = MakeSurface();
    surface->SetDrawWidth(5);
    surface->Circle({CentreX, CentreY, 0, std::nullopt, std::nullopt});
    surface->Circle({CentreX, CentreY, -50, std::nullopt, std::nullopt});
    QVERIFY(IsUniform(surface->persistentImage(), Qt::white));
}

void tst_PictureBox::invalidCallsRaise_data()
{
    QTest::addColumn<int>("drawWidth");
    QTest::addColumn<CircleRequest>("request");
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const CircleRequest fine{CentreX, CentreY, 600, std::nullopt, std::nullopt};
    auto with = [&](auto change) {
        CircleRequest request = fine;
        change(request);
        return request;
    };
    QTest::newRow("pen width 0") << 0 << fine;
    QTest::newRow("negative pen width") << -3 << fine;
    QTest::newRow("radius not a number") << 1 << with([&](CircleRequest &r) { r.radius = nan; });
    QTest::newRow("infinite centre")
        << 1 << with([](CircleRequest &r) { r.x = std::numeric_limits<float>::infinity(); });
    QTest::newRow("angle past a full turn") << 1 << with([](CircleRequest &r) {
        r.arc = platform::ArcAngles{0, 7};
    });
    QTest::newRow("negative angle") << 1 << with([](CircleRequest &r) {
        r.arc = platform::ArcAngles{-0.5f, 1};
    });
    QTest::newRow("angle not a number") << 1 << with([&](CircleRequest &r) {
        r.arc = platform::ArcAngles{0, nan};
    });
}

void tst_PictureBox::invalidCallsRaise()
{
    QFETCH(int, drawWidth);
    QFETCH(CircleRequest, request);
    const auto surface = MakeSurface();
    try {
        surface->SetDrawWidth(drawWidth);
        surface->Circle(request);
        QFAIL("no run-time error was raised");
    } catch (const platform::RuntimeError &error) {
        QCOMPARE(error.Number(), int(platform::RuntimeError::InvalidArgumentCode));
    }
    QVERIFY(IsUniform(surface->persistentImage(), Qt::white));
}

QTEST_MAIN(tst_PictureBox)
#include "tst_picturebox.moc"
