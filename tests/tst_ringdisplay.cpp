#include "rings/ring_display.h"
#include "support/recording_form.h"

#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

using platform::DrawStyle;

class tst_RingDisplay : public QObject
{
    Q_OBJECT

private slots:
    void drawIdleRingsInOrder();
    void penAfterwards_data();
    void penAfterwards();
    void secondCallDrawsTheSameAgain();
    void sizeIsReadAfresh();
    void failingCallStopsTheRoutine();
    void animationCycle_data();
    void animationCycle();
    void arcsAreSolidAndFiveWide_data();
    void arcsAreSolidAndFiveWide();
    void tallAreaArcsUseCenterY();
};

namespace {

constexpr float X = 1327.5f;
constexpr float Y = 1147.5f;
const float Pi = float(3.141592);
const float HalfPi = float(3.141592 / 2);
const float ThreeHalfPi = float(9.424776 / 2);
constexpr platform::Colour Red = platform::RGB(200, 0, 0);
constexpr platform::Colour Green = platform::RGB(0, 200, 0);
constexpr platform::Colour Blue = platform::RGB(0, 0, 200);
constexpr platform::Colour Black = platform::RGB(0, 0, 0);

// Runs the idle picture, then `steps` animation calls, and returns what the last call drew.
std::vector<std::string> LastStep(RecordingForm &form, rings::RingDisplay &display, int steps)
{
    display.DrawIdleRings();
    for (int i = 0; i < steps; ++i) {
        form.picture.calls.clear();
        display.AdvanceAnimation();
    }
    return form.picture.calls;
}

} // namespace

void tst_RingDisplay::drawIdleRingsInOrder()
{
    RecordingForm form;
    rings::RingDisplay display(form);
    QVERIFY(!display.StepIndex().has_value());
    display.DrawIdleRings();
    QCOMPARE(display.StepIndex(), std::optional<int>(0));
    const std::vector<std::string> expected{
        "DrawWidth 1",
        "DrawStyle 3",
        CircleCall(1327.5f, 1147.5f, 474.f),
        CircleCall(1327.5f, 1147.5f, 703.6f),
        CircleCall(1327.5f, 1147.5f, 933.2f),
        "DrawStyle 0",
        "DrawWidth 5",
    };
    QCOMPARE(form.picture.calls, expected);
}

void tst_RingDisplay::penAfterwards_data()
{
    QTest::addColumn<int>("widthBefore");
    QTest::addColumn<int>("styleBefore");
    QTest::newRow("thin dash-dot") << 1 << int(DrawStyle::DashDot);
    QTest::newRow("thin solid") << 1 << int(DrawStyle::Solid);
    QTest::newRow("wide dash-dot") << 9 << int(DrawStyle::DashDot);
    QTest::newRow("already 5 and solid") << 5 << int(DrawStyle::Solid);
}

void tst_RingDisplay::penAfterwards()
{
    QFETCH(int, widthBefore);
    QFETCH(int, styleBefore);
    RecordingForm form;
    form.picture.drawWidth = widthBefore;
    form.picture.drawStyle = DrawStyle(styleBefore);
    rings::RingDisplay(form).DrawIdleRings();
    QCOMPARE(form.picture.drawWidth, 5);
    QCOMPARE(form.picture.drawStyle, DrawStyle::Solid);
    // Whatever the pen was, the circles themselves are thin and dash-dot.
    QCOMPARE(form.picture.calls.at(2), CircleCall(1327.5f, 1147.5f, 474.f));
}

void tst_RingDisplay::secondCallDrawsTheSameAgain()
{
    RecordingForm form;
    rings::RingDisplay display(form);
    display.DrawIdleRings();
    const std::vector<std::string> once = form.picture.calls;
    display.DrawIdleRings();
    std::vector<std::string> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    QCOMPARE(form.picture.calls, twice);
    QVERIFY(std::find(once.begin(), once.end(), "Cls") == once.end());
}

void tst_RingDisplay::sizeIsReadAfresh()
{
    RecordingForm form;
    rings::RingDisplay display(form);
    display.DrawIdleRings();
    form.picture.calls.clear();
    form.picture.width = 2295;
    form.picture.height = 2655;
    display.DrawIdleRings();
    QCOMPARE(form.picture.calls.at(2), CircleCall(1147.5f, 1327.5f, 474.f));
}

void tst_RingDisplay::failingCallStopsTheRoutine()
{
    RecordingForm form;
    form.picture.failOn = "DrawStyle";
    rings::RingDisplay display(form);
    QVERIFY_THROWS_EXCEPTION(platform::RuntimeError, display.DrawIdleRings());
    const std::vector<std::string> expected{"DrawWidth 1"};
    QCOMPARE(form.picture.calls, expected);
}

void tst_RingDisplay::animationCycle_data()
{
    QTest::addColumn<int>("tick");
    QTest::addColumn<std::vector<std::string>>("calls");
    auto arc = [](float radius, platform::Colour colour, float from, float to) {
        return std::vector<std::string>{"DrawWidth 5", ArcCall(X, Y, radius, colour, from, to)};
    };
    QTest::newRow("1: red lower-left quarter") << 1 << arc(473.75f, Red, Pi, ThreeHalfPi);
    QTest::newRow("2: green left half") << 2 << arc(703.25f, Green, HalfPi, ThreeHalfPi);
    QTest::newRow("3: blue three quarters") << 3 << arc(932.75f, Blue, 0, ThreeHalfPi);
    QTest::newRow("4: blue lower-right, closed") << 4 << arc(932.75f, Blue, ThreeHalfPi, 0);
    QTest::newRow("5: green right half, closed") << 5 << arc(703.25f, Green, ThreeHalfPi, HalfPi);
    QTest::newRow("6: red three quarters, closed") << 6 << arc(473.75f, Red, ThreeHalfPi, Pi);
    QTest::newRow("7: wiped, black dash-dot circles")
        << 7
        << std::vector<std::string>{"DrawWidth 5",
                                    "Cls",
                                    "DrawWidth 1",
                                    "DrawStyle 3",
                                    CircleCall(X, Y, 474.f, Black),
                                    CircleCall(X, Y, 703.6f, Black),
                                    CircleCall(X, Y, 933.2f, Black),
                                    "DrawStyle 0"};
    // From 7 the cycle wraps: nothing drawn at 0, then the red quarter again.
    QTest::newRow("8: nothing") << 8 << std::vector<std::string>{"DrawWidth 5"};
    QTest::newRow("9: red quarter again") << 9 << arc(473.75f, Red, Pi, ThreeHalfPi);
}

void tst_RingDisplay::animationCycle()
{
    QFETCH(int, tick);
    QFETCH(std::vector<std::string>, calls);
    RecordingForm form;
    rings::RingDisplay display(form);
    QCOMPARE(LastStep(form, display, tick), calls);
    QCOMPARE(display.StepIndex(), std::optional<int>(tick % 8));
}

void tst_RingDisplay::arcsAreSolidAndFiveWide_data()
{
    QTest::addColumn<int>("widthBefore");
    QTest::addColumn<int>("styleBefore");
    QTest::newRow("thin dash-dot") << 1 << int(DrawStyle::DashDot);
    QTest::newRow("wide solid") << 12 << int(DrawStyle::Solid);
    QTest::newRow("thin solid") << 1 << int(DrawStyle::Solid);
}

void tst_RingDisplay::arcsAreSolidAndFiveWide()
{
    QFETCH(int, widthBefore);
    QFETCH(int, styleBefore);
    for (int step = 1; step <= 6; ++step) {
        RecordingForm form;
        rings::RingDisplay display(form);
        display.DrawIdleRings();
        for (int i = 1; i < step; ++i)
            display.AdvanceAnimation();
        form.picture.drawWidth = widthBefore;
        form.picture.drawStyle = DrawStyle(styleBefore);
        form.picture.calls.clear();
        display.AdvanceAnimation();
        QVERIFY2(form.picture.calls.back().ends_with(" solid 5"),
                 form.picture.calls.back().c_str());
    }
}

void tst_RingDisplay::tallAreaArcsUseCenterY()
{
    RecordingForm form;
    form.picture.width = 2295;
    form.picture.height = 2655;
    rings::RingDisplay display(form);
    // Circles from the rounded smaller half-size, the arc from CenterY: outside its circle.
    QCOMPARE(LastStep(form, display, 0).at(2), CircleCall(1147.5f, 1327.5f, 474.f));
    QCOMPARE(LastStep(form, display, 1).back(),
             ArcCall(1147.5f, 1327.5f, 563.75f, Red, Pi, ThreeHalfPi));
}

QTEST_APPLESS_MAIN(tst_RingDisplay)
#include "tst_ringdisplay.moc"
