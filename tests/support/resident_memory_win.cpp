#include "support/resident_memory.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <psapi.h>

long ResidentKilobytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return -1;
    return long(counters.WorkingSetSize / 1024);
}
