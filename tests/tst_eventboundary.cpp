#include "platform/qt/event_boundary.h"
#include "platform/qt/qt_form.h"
#include "platform/timer.h"
#include "shell/tarvelo_description.h"
#include "support/faulty_module.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>

// Whatever a handler throws stops at the event boundary: reported once, the
// form handles nothing more, and the event loop ends with the error status.

using Event = FaultyModule::Event;
using Fault = FaultyModule::Fault;

Q_DECLARE_METATYPE(Event)
Q_DECLARE_METATYPE(Fault)

class tst_EventBoundary : public QObject
{
    Q_OBJECT

private slots:
    void faultEndsTheProgram_data();
    void faultEndsTheProgram();
};

void tst_EventBoundary::faultEndsTheProgram_data()
{
    QTest::addColumn<Event>("event");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("number");
    const int invalid = platform::RuntimeError::InvalidArgumentCode;
    const int internal = platform::RuntimeError::InternalCode;
    QTest::newRow("failing call in load") << Event::Load << Fault::PlatformCall << invalid;
    QTest::newRow("failing call in a click") << Event::Click << Fault::PlatformCall << invalid;
    QTest::newRow("failing call in a tick") << Event::Tick << Fault::PlatformCall << invalid;
    QTest::newRow("standard exception in a click")
        << Event::Click << Fault::StandardException << internal;
    QTest::newRow("unknown exception in a tick") << Event::Tick << Fault::Unknown << internal;
}

void tst_EventBoundary::faultEndsTheProgram()
{
    QFETCH(Event, event);
    QFETCH(Fault, fault);
    QFETCH(int, number);

    std::vector<int> reported;
    const auto previous = platform::qt::SetErrorReporter(
        [&](const platform::RuntimeError &error) { reported.push_back(error.Number()); });
    platform::qt::QtForm form(shell::TarveloDescription());
    FaultyModule module(form, event, fault);
    form.Bind(&module);

    const bool loaded = form.Load();
    QCOMPARE(loaded, event != Event::Load);
    if (loaded) {
        form.show();
        auto *start = static_cast<QAbstractButton *>(form.Widget("Command1", 0));
        if (event == Event::Click)
            QTimer::singleShot(0, start, [start] { start->click(); });
        // A hang would end here instead, with another status.
        QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
        QCOMPARE(QCoreApplication::exec(), 1);
    }
    QCOMPARE(reported, std::vector<int>{number});
    QVERIFY(form.Failed());
    QVERIFY(!form.Item<platform::Timer>("Timer1", 0).Enabled());

    // Nothing reaches the module any more.
    const int handled = module.handled;
    static_cast<QAbstractButton *>(form.Widget("Command1", 1))->click();
    QVERIFY(!form.Load());
    QCOMPARE(module.handled, handled);
    QCOMPARE(reported.size(), std::size_t(1));
    platform::qt::SetErrorReporter(previous);
}

QTEST_MAIN(tst_EventBoundary)
#include "tst_eventboundary.moc"
