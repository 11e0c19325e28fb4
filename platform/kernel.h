// Windows kernel services: drive types and the Tool Help process snapshot.
#pragma once

#include <cstdint>

#include "platform/records.h"

namespace kavri {

class Kernel {
public:
    virtual ~Kernel() = default;
    // Drive type of a root path such as "E:\"; 5 is a CD-ROM drive.
    virtual std::uint32_t GetDriveTypeA(const char* rootPathName) = 0;
    virtual Handle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) = 0;
    // Nonzero when the record now holds an entry.
    virtual std::int32_t Process32First(Handle snapshot, ProcessEntry32* entry) = 0;
    virtual std::int32_t Process32Next(Handle snapshot, ProcessEntry32* entry) = 0;
    virtual std::int32_t CloseHandle(Handle object) = 0;
};

}  // namespace kavri
