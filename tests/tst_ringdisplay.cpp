#include "rings/ring_display.h"
#include "support/recording_form.h"

#include <QTest>

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
    void stepIndex();
    void failingCallStopsTheRoutine();
};

void tst_RingDisplay::drawIdleRingsInOrder()
{
    RecordingForm form;
    rings::RingDisplay display(form);
    display.DrawIdleRings();
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

void tst_RingDisplay::stepIndex()
{
    RecordingForm form;
    rings::RingDisplay display(form);
    QVERIFY(!display.StepIndex().has_value());
    display.DrawIdleRings();
    QCOMPARE(display.StepIndex(), std::optional<int>(0));
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

QTEST_APPLESS_MAIN(tst_RingDisplay)
#include "tst_ringdisplay.moc"
