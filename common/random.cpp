#include "random.h"

#include <initializer_list>

#include "system_function.h"

namespace {

DWORD Mix(DWORD h, DWORD value) {
    h ^= value;
    h *= 0x01000193u;  // FNV prime
    return h ^ (h >> 15);
}

}  // namespace

DWORD RandomNumber() {
    // RtlGenRandom, exported by advapi32 under this name. Not through the C
    // runtime's rand_s: it finds it with a call that always fails on the 95
    // family, and then hands back nothing usable.
    static const auto source = SystemFunction<RandomSourceFunction>("advapi32.dll", "SystemFunction036");
    return RandomNumberFrom(source);
}

DWORD RandomNumberFrom(RandomSourceFunction source) {
    DWORD number = 0;
    if (source && source(&number, sizeof(number))) return number;
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    POINT pointer = {};
    GetCursorPos(&pointer);
    DWORD h = 0x811C9DC5u;  // FNV offset
    for (DWORD value : {counter.LowPart, static_cast<DWORD>(counter.HighPart), now.dwLowDateTime,
                        GetTickCount(), GetCurrentProcessId(), GetCurrentThreadId(),
                        static_cast<DWORD>(pointer.x), static_cast<DWORD>(pointer.y),
                        static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(&number))})
        h = Mix(h, value);
    return h;
}
