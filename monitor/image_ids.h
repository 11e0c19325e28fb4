// The games of disc images, read away from the window's thread: an image on a network share
// that stops answering holds up a worker, never a tick. Each image is read again only when its
// size or time of last change moved; only reads that finished are remembered.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/background.h"
#include "platform/code_page.h"
#include "platform/file_system.h"

namespace kavri {

class ImageIds {
public:
    ImageIds(FileSystem& files, CodePage& codePage, Background& background)
        : files_(files), codePage_(codePage), background_(background) {}

    // A new look begins: Find answers only from files looked at since, so a file changed since an
    // earlier look never answers with the game it held then.
    void NewLook() { ++look_; }
    // The game of the image at path as a look since NewLook found it, empty for none; nothing
    // until that look has answered. The first call of a look has the file looked at, its answer
    // taken at a later call (once the background's work is collected). A file whose size or time
    // of last change moved is read again and answers with what that read found (no game while
    // the read does not finish); one that cannot be measured keeps the game last read.
    // A file opened since the look before (fresh) waits for this look's answer: it may have been
    // replaced in between.
    std::optional<std::string> Find(const std::string& path, bool fresh = false);
    // The game an earlier look found for path, without looking again; nothing before a first
    // answer. Only a guess of what Find will answer.
    std::optional<std::string> Last(const std::string& path) const;
    // Whether the last answer for path found a disc (see ImageRead::disc); false before one.
    bool Disc(const std::string& path) const;

private:
    struct Entry {
        bool asking = false;            // a look is under way
        std::uint64_t answeredIn = 0;   // the look whose answer id holds; 0 for none yet
        bool remembered = false;        // id came from a finished read of the file as stamp says
        FileStamp stamp;
        std::string id;
        bool disc = false;
    };
    struct Answer {
        std::optional<FileStamp> stamp;  // nothing when the file could not be measured
        bool unchanged = false;          // as remembered: not read again
        bool finished = false;
        bool disc = false;
        std::string id;
    };
    void Ask(Entry& entry, const std::string& path, const std::string& key);
    void Take(const std::string& key, std::uint64_t look, const Answer& answer);

    FileSystem& files_;
    CodePage& codePage_;
    Background& background_;
    std::map<std::string, Entry> entries_;  // by IdKey of the path
    std::uint64_t look_ = 1;
};

}  // namespace kavri
