// In a folder where no new file may be made, a file is rewritten in place, and a crash or a power
// cut could leave it torn. So a complete copy of what is written goes first to the user's local
// application data, and goes again once the rewrite is done (a failed removal is tried again at
// every later good save). A copy met at the next start stands for a rewrite that was cut short,
// and its bytes are loaded instead of the file's, unless the file is that rewrite done or a save
// made after it. To tell these apart the copy also holds the bytes the rewrite replaced:
//   "KavriStat recovery",1,<length of the new bytes>,<length of the old ones>  CR LF
//   the new bytes, then the old ones
#include <algorithm>
#include <charconv>

#include "app/form_kavri_meter.h"
#include "base/text_util.h"
#include "stats/stats_file.h"

namespace kavri {
namespace {

// A name for the copy that no other file's copy shares: the key of the file's full path, then
// its own name.
std::string CopyName(const std::string& path) { return PathKey(path) + "-" + std::string(FileNameOf(path)); }

constexpr std::string_view kMark = "\"KavriStat recovery\",1,";

std::string CopyOf(std::string_view fresh, std::string_view before) {
    return std::string(kMark) + std::to_string(fresh.size()) + "," + std::to_string(before.size()) + "\r\n" +
           std::string(fresh) + std::string(before);
}

struct Copy {
    std::string fresh;                  // what the rewrite wrote
    std::optional<std::string> before;  // what it replaced; nothing in a copy without it
};

// Reads digits and the character after them from the front of bytes.
bool TakeLength(std::string_view& bytes, std::size_t& length, std::string_view after) {
    const auto [end, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), length);
    bytes.remove_prefix(static_cast<std::size_t>(end - bytes.data()));
    if (error != std::errc() || !bytes.starts_with(after)) return false;
    bytes.remove_prefix(after.size());
    return true;
}

// A copy as written, or one of an earlier version (the new bytes alone); nothing when its lengths lie.
std::optional<Copy> ReadCopy(std::string_view bytes) {
    if (!bytes.starts_with(kMark)) return Copy{std::string(bytes), std::nullopt};
    bytes.remove_prefix(kMark.size());
    std::size_t freshLength = 0, beforeLength = 0;
    if (!TakeLength(bytes, freshLength, ",") || !TakeLength(bytes, beforeLength, "\r\n")) return std::nullopt;
    if (freshLength > bytes.size() || beforeLength != bytes.size() - freshLength) return std::nullopt;
    return Copy{std::string(bytes.substr(0, freshLength)), std::string(bytes.substr(freshLength))};
}

// The file as a rewrite from before to fresh may leave it when cut short: the room for the longer
// of the two taken, and each byte either's (the room past the old bytes reads as zeros).
bool TornBetween(std::string_view file, std::string_view before, std::string_view fresh) {
    if (file.size() != std::max(before.size(), fresh.size()) && file.size() != before.size()) return false;
    for (std::size_t i = 0; i < file.size(); ++i) {
        const char old = i < before.size() ? before[i] : '\0';
        if (file[i] != old && (i >= fresh.size() || file[i] != fresh[i])) return false;
    }
    return true;
}

constexpr std::size_t kCopyReadLimit = 2 * kStatsReadLimit + 64;

}  // namespace

std::string formKavriMeter::RecoveryPath(const std::string& path) {
    const auto local = os_.shell.Folder(ShellFolder::LocalAppData);
    if (!local || local->empty()) return {};
    return InFolder(InFolder(*local, "KavriStat\\Recovery"), CopyName(path));
}

FileStatus formKavriMeter::RewriteInPlace(const std::string& path, const std::string& bytes, FileStatus denied) {
    const std::string copy = RecoveryPath(path);
    // Without an old file, or without a place for the copy, the folder's refusal stands.
    if (!os_.files.FileLen(path) || copy.empty()) return denied;
    // What the file holds now tells a torn rewrite from a later save; unread, the copy cannot.
    const auto before = os_.files.ReadText(path, kStatsReadLimit);
    FileStatus kept = os_.files.MakeFolder(std::string(FolderOf(copy)));
    if (kept) kept = os_.files.WriteWholeFile(copy, before ? CopyOf(bytes, *before) : std::string(bytes));
    if (!kept) return denied;
    recoveryKept.insert(path);
    return os_.files.RewriteFile(path, bytes);
}

void formKavriMeter::DropRecoveryCopy(const std::string& path) {
    if (!recoveryKept.count(path)) return;
    const std::string copy = RecoveryPath(path);
    // One that could not be removed is tried again at the next good save.
    if (os_.files.Erase(copy) || !os_.files.FileLen(copy)) recoveryKept.erase(path);
}

std::optional<std::string> formKavriMeter::Recovered(const std::string& path) {
    const std::string copy = RecoveryPath(path);
    if (copy.empty() || !FileExists(copy)) return std::nullopt;
    const auto bytes = os_.files.ReadText(copy, kCopyReadLimit);
    if (!bytes) return std::nullopt;
    recoveryKept.insert(path);  // it goes at the next good save
    const auto kept = ReadCopy(*bytes);
    if (!kept) return std::nullopt;
    const auto file = os_.files.ReadText(path, kStatsReadLimit);
    // The rewrite was done and only the copy's removal was cut short.
    if (file == kept->fresh) return std::nullopt;
    // The file was saved again after it: the copy is older than the file.
    if (file && kept->before && !TornBetween(*file, *kept->before, kept->fresh)) return std::nullopt;
    ReportProblem(Notice::StatsRestored, path);
    return kept->fresh;
}

}  // namespace kavri
