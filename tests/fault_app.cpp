// The real program with one fault planted in its load, click or tick handler,
// or memory run out in a tick or in Qt's own code, so that the whole error
// report can be watched from outside. Test use only.
#include "platform/application.h"
#include "shell/tarvelo_description.h"
#include "support/faulty_module.h"

#include <QTimer>

#include <cstring>
#include <new>

int main(int argc, char **argv)
{
    using Event = FaultyModule::Event;
    const char *where = argc > 1 ? argv[1] : "";
    const Event event = std::strcmp(where, "load") == 0    ? Event::Load
                        : std::strcmp(where, "click") == 0 ? Event::Click
                                                           : Event::Tick;
    const auto fault = std::strcmp(where, "memory") == 0 ? FaultyModule::Fault::OutOfMemory
                                                         : FaultyModule::Fault::PlatformCall;
    // The fault's place is ours, not the program's: the program sees no argument.
    int programArgc = argc > 1 ? argc - 1 : argc;
    char **programArgv = argc > 1 ? argv + 1 : argv;
    programArgv[0] = argv[0];
    return platform::RunApplication(programArgc, programArgv, shell::TarveloDescription(),
                                    [event, fault, where](platform::Form &form) {
                                        if (std::strcmp(where, "qt-memory") == 0)
                                            QTimer::singleShot(0, [] { throw std::bad_alloc(); });
                                        return std::make_unique<FaultyModule>(form, event, fault);
                                    });
}
