#include "support/resident_memory.h"

#include <psapi.h>
#include <windows.h>

long ResidentKilobytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return -1;
    return long(counters.WorkingSetSize / 1024);
}
