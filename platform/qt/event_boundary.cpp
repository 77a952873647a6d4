#include "platform/qt/event_boundary.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <exception>
#include <utility>

namespace platform::qt {

namespace {

void ReportToUser(const RuntimeError &error)
{
    const std::string line = error.Report();
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), line.c_str());
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QMessageBox::critical(QApplication::activeWindow(), QCoreApplication::applicationName(),
                              QString::fromStdString(line));
}

ErrorReporter &CurrentReporter()
{
    static ErrorReporter reporter = ReportToUser;
    return reporter;
}

} // namespace

ErrorReporter SetErrorReporter(ErrorReporter reporter)
{
    return std::exchange(CurrentReporter(), reporter ? std::move(reporter) : ReportToUser);
}

bool RunHandler(const std::function<void()> &handler) noexcept
{
    try {
        try {
            handler();
            return true;
        } catch (const RuntimeError &error) {
            CurrentReporter()(error);
        } catch (const std::exception &error) {
            CurrentReporter()(RuntimeError(RuntimeError::InternalCode,
                                           std::string("Internal error (") + error.what() + ")"));
        } catch (...) {
            CurrentReporter()(RuntimeError(RuntimeError::InternalCode, "Internal error"));
        }
    } catch (...) {
        // The reporter itself failed; stderr is all that is left.
        std::fputs("Run-time error: the error report could not be shown\n", stderr);
    }
    return false;
}

} // namespace platform::qt
