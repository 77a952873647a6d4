#include "platform/qt/process.h"

namespace platform::qt {

std::string PrepareProcess()
{
    return {};
}

int FinishProcess(int status)
{
    return status;
}

} // namespace platform::qt
