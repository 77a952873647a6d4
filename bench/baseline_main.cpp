// The bare Qt yardstick as a program of its own, for start-up and run-time figures.
#include "baseline_window.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    BaselineWindow window;
    window.show();
    return QApplication::exec();
}
