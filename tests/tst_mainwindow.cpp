#include "support/ring_model.h"
#include "support/tarvelo_window.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCryptographicHash>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

#include <cmath>
#include <map>
#include <memory>
#include <set>

using platform::qt::PictureBox;

namespace {

// The rings' common centre in the inner area's pixels.
const QPointF RingCentre(1327.5 / 15, 1147.5 / 15);

using Window = TarveloWindow;

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void frame();
    void font();
    void icon();
    void drawingAreaAndTimer();
    void idlePictureBeforeFirstShow();
    void firstPaintShowsIdlePicture();
    void coveringKeepsThePicture();
    void nothingMovesWithoutAClick();
    void textIsReadable_data();
    void textIsReadable();
    void missingElementsRaise_data();
    void missingElementsRaise();
};

void tst_MainWindow::initTestCase()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

void tst_MainWindow::frame()
{
    Window window;
    QCOMPARE(window.form.objectName(), QStringLiteral("Tarvelo"));
    QCOMPARE(window.form.windowTitle(), QStringLiteral("https://example.org/tarvelo Tarvelo"));
    QCOMPARE(window.form.size(), QSize(461, 345));
    QCOMPARE(window.form.minimumSize(), QSize(461, 345));
    QCOMPARE(window.form.maximumSize(), QSize(461, 345));
    const Qt::WindowFlags flags = window.form.windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QCOMPARE(window.form.palette().color(QPalette::Window), QColor(192, 192, 255));
    QVERIFY(window.form.autoFillBackground());
    QCOMPARE(QString::fromStdString(shell::TarveloDescription().version), QStringLiteral("1.00"));
}

void tst_MainWindow::font()
{
    Window window;
    const QFont font = window.form.font();
    QCOMPARE(font.family(), QStringLiteral("Times New Roman"));
    QCOMPARE(font.pointSizeF(), 12.0);
    QCOMPARE(font.weight(), QFont::Normal);
    QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
}

void tst_MainWindow::icon()
{
    Window window;
    const QIcon icon = window.form.windowIcon();
    QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
    const QImage image =
        icon.pixmap(QSize(32, 32), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(32, 32));
    std::set<QRgb> colours;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            colours.insert(image.pixel(x, y));
    QVERIFY2(colours.size() <= 256, qPrintable(QString::number(colours.size())));
    // The hamburger as it was drawn and looked at; a change to any pixel must be
    // looked at again and this digest renewed.
    const QByteArrayView pixels(image.constBits(), image.sizeInBytes());
    QCOMPARE(QCryptographicHash::hash(pixels, QCryptographicHash::Sha256).toHex(),
             QByteArray("3ee88f64b3b305d073932f5b157c768145a8ad61ea18da2d1f556a9c7ce35080"));
}

void tst_MainWindow::drawingAreaAndTimer()
{
    Window window;
    PictureBox &picture = window.picture();
    QCOMPARE(picture.geometry(), QRect(32, 48, 177, 153));
    QCOMPARE(picture.frameShadow(), QFrame::Sunken);
    // The frame shows on all four sides, against the white picture too.
    const QImage framed = picture.grab().toImage();
    for (const QPoint side : {QPoint(88, 1), QPoint(1, 76), QPoint(175, 76), QPoint(88, 151)})
        QVERIFY2(Distance(framed.pixelColor(side), Qt::white) > 120,
                 qPrintable(framed.pixelColor(side).name()));
    QCOMPARE(picture.Width(), 2655.f);
    QCOMPARE(picture.Height(), 2295.f);
    const auto &timer = window.form.Item<platform::Timer>("Timer1", 0);
    QVERIFY(!timer.Enabled());
    QCOMPARE(timer.Interval(), 500);
}

void tst_MainWindow::idlePictureBeforeFirstShow()
{
    Window window;
    QVERIFY(window.form.Load());
    QVERIFY(!window.form.isVisible());
    const QString fault = IdlePictureFault(window.picture().persistentImage(), RingCentre);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    QCOMPARE(window.step(), std::optional<int>(0));
}

void tst_MainWindow::firstPaintShowsIdlePicture()
{
    Window window;
    QVERIFY(window.Open());
    // On screen the inner area starts inside the 2-pixel frame.
    const QString fault =
        IdlePictureFault(window.picture().grab().toImage(), RingCentre + QPointF(2, 2));
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

void tst_MainWindow::coveringKeepsThePicture()
{
    Window window;
    QVERIFY(window.Open());
    const QImage before = window.picture().grab().toImage();
    window.form.hide();
    window.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window.form));
    QCOMPARE(window.picture().grab().toImage(), before);
}

void tst_MainWindow::nothingMovesWithoutAClick()
{
    Window window;
    QVERIFY(window.Open());
    const QImage before = window.picture().persistentImage();
    // Longer than two timer periods: a running timer would have drawn by now.
    QTest::qWait(1100);
    QCOMPARE(window.picture().persistentImage(), before);
    QCOMPARE(window.step(), std::optional<int>(0));
}

namespace {

// WCAG 2 contrast ratio of two colours, from 1 to 21.
double Contrast(QColor a, QColor b)
{
    auto luminance = [](QColor colour) {
        auto linear = [](double channel) {
            return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
               0.0722 * linear(colour.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette DarkPalette()
{
    QPalette dark(QColor(53, 53, 53), QColor(42, 42, 42));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(238, 238, 236));
    return dark;
}

} // namespace

// The text of every control against its own ground: the ground is the commonest
// colour, the text the pixel that stands out from it most.
void tst_MainWindow::textIsReadable_data()
{
    QTest::addColumn<QPalette>("palette");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("inset"); // past a frame or bevel
    for (const auto &[theme, palette] :
         {std::pair{"light", QApplication::style()->standardPalette()},
          std::pair{"dark", DarkPalette()}}) {
        QTest::addRow("%s, title", theme) << palette << "Label1(0)" << 0;
        QTest::addRow("%s, Start", theme) << palette << "Command1(0)" << 5;
        QTest::addRow("%s, Stop", theme) << palette << "Command1(1)" << 5;
        QTest::addRow("%s, description", theme) << palette << "Text1(0)/viewport" << 0;
    }
}

void tst_MainWindow::textIsReadable()
{
    QFETCH(QPalette, palette);
    QFETCH(QString, control);
    QFETCH(int, inset);
    const QPalette previous = QApplication::palette();
    QApplication::setPalette(palette);
    {
        Window window;
        QWidget *widget = window.form.findChild<QWidget *>(control.section(QLatin1Char('/'), 0, 0));
        if (control.endsWith(QLatin1String("/viewport")))
            widget = static_cast<QAbstractScrollArea *>(widget)->viewport();
        const QImage image =
            widget->grab(widget->rect().adjusted(inset, inset, -inset, -inset)).toImage();
        std::map<QRgb, int> count;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ++count[image.pixel(x, y)];
        const QColor ground =
            std::max_element(count.begin(), count.end(), [](const auto &a, const auto &b) {
                return a.second < b.second;
            })->first;
        double best = 1;
        for (const auto &[pixel, n] : count)
            best = std::max(best, Contrast(QColor(pixel), ground));
        QVERIFY2(best >= 4.5,
                 qPrintable(QStringLiteral("%1:1 on %2").arg(best).arg(ground.name())));
    }
    QApplication::setPalette(previous);
}

void tst_MainWindow::missingElementsRaise_data()
{
    QTest::addColumn<QString>("array");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("number");
    QTest::newRow("no such array")
        << QStringLiteral("Picture2") << 0 << int(platform::RuntimeError::NoSuchControlCode);
    QTest::newRow("no such element")
        << QStringLiteral("Picture1") << 1 << int(platform::RuntimeError::NoSuchControlCode);
    QTest::newRow("a picture is not a timer")
        << QStringLiteral("Picture1") << 0 << int(platform::RuntimeError::WrongControlKindCode);
}

void tst_MainWindow::missingElementsRaise()
{
    QFETCH(QString, array);
    QFETCH(int, index);
    QFETCH(int, number);
    Window window;
    try {
        window.form.Item<platform::Timer>(array.toStdString(), std::int16_t(index));
        QFAIL("no run-time error was raised");
    } catch (const platform::RuntimeError &error) {
        QCOMPARE(error.Number(), number);
    }
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
