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
    if (!entry.asking) {
        entry.asking = true;
        const std::optional<FileStamp> known = entry.remembered ? std::optional(entry.stamp) : std::nullopt;
        background_.Post([this, &files = files_, &codePage = codePage_, path, key, known] {
            Answer answer;
            answer.stamp = files.Stamp(path);
            answer.unchanged = answer.stamp && known && *answer.stamp == *known;
            if (answer.stamp && !answer.unchanged) {
                ImageRead read = IdentifyImage(files, codePage, path);
                answer.finished = read.finished;
                answer.id = std::move(read.id);
            }
            return [this, key, answer] { Take(key, answer); };
        });
    }
    if (!entry.answered) return std::nullopt;
    return entry.id;
}

void ImageIds::Take(const std::string& key, const Answer& answer) {
    Entry& entry = entries_[key];
    entry.asking = false;
    if (answer.unchanged) return;
    if (answer.finished) {
        entry = Entry{false, true, true, *answer.stamp, answer.id};
    } else if (!entry.remembered) {
        // Not read to the end (held by another program, a share gone): no game for now, and read
        // again at the next look. A game already known keeps its answer until a read finishes.
        entry.answered = true;
        entry.id.clear();
    }
}

}  // namespace kavri
