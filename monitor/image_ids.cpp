#include "monitor/image_ids.h"

#include "base/game_id.h"
#include "discimage/identify.h"

namespace kavri {
namespace {

constexpr std::size_t kImagesKept = 512;

}  // namespace

std::optional<std::string> ImageIds::Find(const std::string& path, bool fresh) {
    const std::string key = IdKey(path);
    if (entries_.size() >= kImagesKept && !entries_.count(key)) entries_.clear();
    Entry& entry = entries_[key];
    if (entry.answeredIn == look_) return entry.id;
    if (!entry.asking) Ask(entry, path, key);
    // Meanwhile the answer of the look before stands: a file slower to measure than a tick waits
    // still has its game, and one changed since then is told at the next look, never counted as
    // its old game anew (the look before saw it held, so its play goes on).
    if (!fresh && entry.answeredIn != 0 && entry.answeredIn + 1 == look_) return entry.id;
    return std::nullopt;
}

void ImageIds::Ask(Entry& entry, const std::string& path, const std::string& key) {
    entry.asking = true;
    const std::optional<FileStamp> known = entry.remembered ? std::optional(entry.stamp) : std::nullopt;
    background_.Post([this, &files = files_, &codePage = codePage_, path, key, known, look = look_] {
        Answer answer;
        answer.stamp = files.Stamp(path);
        answer.unchanged = answer.stamp && known && *answer.stamp == *known;
        if (answer.stamp && !answer.unchanged) {
            ImageRead read = IdentifyImage(files, codePage, path);
            answer.finished = read.finished;
            answer.disc = read.disc;
            answer.id = std::move(read.id);
        }
        return [this, key, look, answer] { Take(key, look, answer); };
    });
}

std::optional<std::string> ImageIds::Last(const std::string& path) const {
    const auto it = entries_.find(IdKey(path));
    if (it == entries_.end() || it->second.answeredIn == 0) return std::nullopt;
    return it->second.id;
}

bool ImageIds::Disc(const std::string& path) const {
    const auto it = entries_.find(IdKey(path));
    return it != entries_.end() && it->second.disc;
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
        entry.disc = answer.disc;
    } else if (answer.stamp || !entry.remembered) {
        // Not read to the end (held by another program, a share gone): no game for now, and read
        // again at the next look. A file changed since its game was read no longer has that game;
        // one that merely could not be measured keeps it.
        entry.remembered = false;
        entry.id.clear();
        entry.disc = answer.disc;
    }
}

}  // namespace kavri
