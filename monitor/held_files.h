// The disk files a process holds open, each handle asked for its path once while it stays open.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/kernel.h"

namespace kavri {

struct HeldFile {
    std::string path;
    std::uint64_t since = 0;  // the look at which its handle was first seen
};

class HeldFiles {
public:
    // One look at the files process processId holds: the handles not known yet are asked for
    // their path, those known (same value, same object) are not. Nothing when an answer that may
    // matter is missing (no list had, a path not had in time, no worker free), so the caller
    // changes nothing.
    // A handle whose worker is still held up from an earlier look keeps its last answer; one
    // never answered is passed over.
    std::optional<std::vector<HeldFile>> Look(Kernel& kernel, std::uint32_t processId);
    void Clear();
    // Whether the last look passed over a handle whose worker is held up before it ever answered.
    bool Unanswered() const { return unanswered_; }
    // The number of the last look: a file whose since is it was first seen then.
    std::uint64_t LastLook() const { return looks_; }

private:
    struct Known {
        std::string path;  // empty for no disk file
        std::uint64_t since = 0;
    };
    std::map<std::pair<std::uintptr_t, std::uint64_t>, Known> known_;  // by value and object
    std::vector<OpenHandle> list_;                                      // reused from look to look
    std::uint64_t looks_ = 0;
    bool unanswered_ = false;
};

}  // namespace kavri
