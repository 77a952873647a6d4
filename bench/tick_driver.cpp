// Runs a given number of ticks through Tarvelo's real window, or through the
// bare Qt yardstick, offscreen, so callgrind can count instructions per tick.
//   tick_driver tarvelo|baseline TICKS
#include "baseline_window.h"
#include "platform/qt/qt_form.h"
#include "shell/main_window.h"
#include "shell/tarvelo_description.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <cstring>
#include <memory>

namespace {

void RunTicks(QTimer *timer, int ticks)
{
    timer->stop(); // the driver raises every tick itself
    for (int i = 0; i < ticks; ++i) {
        QMetaObject::invokeMethod(timer, "timeout");
        QCoreApplication::processEvents(); // and lets each repaint happen
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int ticks = std::atoi(argv[2]);
    if (std::strcmp(argv[1], "baseline") == 0) {
        BaselineWindow window;
        window.show();
        QCoreApplication::processEvents();
        window.start->click();
        RunTicks(&window.timer, ticks);
        return 0;
    }
    platform::qt::QtForm form(shell::TarveloDescription());
    shell::Tarvelo module(form);
    form.Bind(&module);
    if (!form.Load())
        return 1;
    form.show();
    QCoreApplication::processEvents();
    static_cast<QAbstractButton *>(form.Widget("Command1", 0))->click();
    RunTicks(form.findChild<QTimer *>(), ticks);
    return 0;
}
