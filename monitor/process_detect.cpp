// Whether the emulator runs: a walk of the Tool Help process snapshot.
#include <cstring>

#include "app/error_trap.h"
#include "app/form_kavri_meter.h"
#include "monitor/process_name.h"

namespace kavri {

bool formKavriMeter::IsRunningApp() {
    bool running = false;
    std::uint32_t emulator = 0;
    const Handle snapshot = os_.kernel.CreateToolhelp32Snapshot(kTh32csSnapProcess, 0);
    ProcessEntry32 entry;
    std::memset(&entry, 0, sizeof entry);
    entry.dwSize = sizeof entry;
    // A failing step ends the walk with the result so far; the snapshot is closed either way.
    Trap([&] {
        for (std::int32_t more = os_.kernel.Process32First(snapshot, &entry); more != 0;
             more = os_.kernel.Process32Next(snapshot, &entry)) {
            const void* nul = std::memchr(entry.szExeFile, '\0', sizeof entry.szExeFile);
            if (nul == nullptr) break;  // a name without its end: the walk stops here
            const std::string_view name(entry.szExeFile, static_cast<const char*>(nul) - entry.szExeFile);
            if (IsEmulatorName(name)) {
                running = true;
                emulator = entry.th32ProcessID;
                break;
            }
        }
    });
    if (snapshot != kInvalidHandle) os_.kernel.CloseHandle(snapshot);
    imageWatch.EmulatorFound(emulator);
    return running;
}

}  // namespace kavri
