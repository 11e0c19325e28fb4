#include "monitor/image_ids.h"

#include "base/game_id.h"
#include "discimage/identify.h"

namespace kavri {
namespace {

constexpr std::size_t kImagesKept = 512;

}  // namespace

std::optional<std::string> ImageIds::Find(const std::string& path) {
    const std::string key = IdKey(path);
    if (entries_.size() >= kImagesKept && !entries_.count(key)) entries_.clear();
    Entry& entry = entries_[key];
    if (entry.answeredIn == look_) return entry.id;
    // A look of an earlier one still under way is waited for, then the file looked at again.
    if (entry.asking) return std::nullopt;
    entry.asking = true;
    const std::optional<FileStamp> known = entry.remembered ? std::optional(entry.stamp) : std::nullopt;
    background_.Post([this, &files = files_, &codePage = codePage_, path, key, known, look = look_] {
        Answer answer;
        answer.stamp = files.Stamp(path);
        answer.unchanged = answer.stamp && known && *answer.stamp == *known;
        if (answer.stamp && !answer.unchanged) {
            ImageRead read = IdentifyImage(files, codePage, path);
            answer.finished = read.finished;
            answer.id = std::move(read.id);
        }
        return [this, key, look, answer] { Take(key, look, answer); };
    });
    return std::nullopt;
}

std::optional<std::string> ImageIds::Last(const std::string& path) const {
    const auto it = entries_.find(IdKey(path));
    if (it == entries_.end() || it->second.answeredIn == 0) return std::nullopt;
    return it->second.id;
}

void ImageIds::Take(const std::string& key, std::uint64_t look, const Answer& answer) {
    Entry& entry = entries_[key];
    entry.asking = false;
    entry.answeredIn = look;
    if (answer.unchanged) return;
    if (answer.finished) {
        entry.remembered = true;
        entry.stamp = *answer.stamp;
        entry.id = answer.id;
    } else if (answer.stamp || !entry.remembered) {
        // Not read to the end (held by another program, a share gone): no game for now, and read
        // again at the next look. A file changed since its game was read no longer has that game;
        // one that merely could not be measured keeps it.
        entry.remembered = false;
        entry.id.clear();
    }
}

}  // namespace kavri
