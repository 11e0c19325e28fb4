#include "monitor/held_files.h"

namespace kavri {
namespace {

constexpr std::uint32_t kPathBudgetMs = 300;  // a handle's path not had by then is given up for this look

}  // namespace

std::optional<std::vector<HeldFile>> HeldFiles::Look(Kernel& kernel, std::uint32_t processId) {
    ++looks_;
    // A list not had this time says nothing of what is held: the last answer stands.
    if (kernel.ProcessHandles(processId, list_) != HandleList::Listed) return std::nullopt;
    std::vector<HeldFile> held;
    decltype(known_) seen;
    unanswered_ = false;
    for (const OpenHandle& handle : list_) {
        if (handle.processId != processId || !handle.file) continue;
        const std::pair key{handle.value, handle.object};
        const auto known = known_.find(key);
        // Where the list names no object a slot's reuse cannot be told: such a handle is asked at
        // every look, and keeps its age while it gives the same path.
        if (known != known_.end() && handle.object != 0) {
            seen.insert(*known);
        } else {
            const HandlePath answer = kernel.PathOfHandle(processId, handle, kPathBudgetMs);
            using Outcome = HandlePath::Outcome;
            if (answer.outcome == Outcome::Pending) {
                // Its worker is still held up from an earlier look: what the slot last answered
                // stands, so an image played is not taken out and counted again when it answers.
                if (known == known_.end()) {
                    unanswered_ = true;
                    continue;
                }
                seen.insert(*known);
            } else if (answer.outcome == Outcome::NotAsked && known != known_.end()) {
                seen.insert(*known);  // asked at a later look; meanwhile its last answer stands
            } else if (answer.outcome == Outcome::TimedOut || answer.outcome == Outcome::NoWorker ||
                       answer.outcome == Outcome::NotAsked) {
                // A handle not answered yet may be the image played, reopened: the look is not whole.
                for (auto& [asked, file] : seen) known_[asked] = std::move(file);  // not asked again
                return std::nullopt;
            } else {
                const std::string path = answer.outcome == Outcome::Path ? answer.path : std::string();
                const bool same = known != known_.end() && known->second.path == path;
                seen[key] = Known{path, same ? known->second.since : looks_};
            }
        }
        if (const Known& file = seen[key]; !file.path.empty()) held.push_back({file.path, file.since});
    }
    known_ = std::move(seen);  // closed handles are forgotten
    return held;
}

void HeldFiles::Clear() {
    known_.clear();
    looks_ = 0;
}

}  // namespace kavri
