// The games of disc images, read away from the window's thread: an image on a network share
// that stops answering holds up a worker, never a tick. Each image is read again only when its
// size or time of last change moved; only reads that finished are remembered.
#pragma once

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

    // The game of the image at path as last read, empty for none; nothing until a first look
    // has answered. Each call has the file looked at again, its answer taken at a later call.
    std::optional<std::string> Find(const std::string& path);

private:
    struct Entry {
        bool asking = false;      // a look is under way
        bool answered = false;    // id holds an answer
        bool remembered = false;  // that answer came from a finished read of the file as stamp says
        FileStamp stamp;
        std::string id;
    };
    struct Answer {
        std::optional<FileStamp> stamp;  // nothing when the file could not be measured
        bool unchanged = false;          // as remembered: not read again
        bool finished = false;
        std::string id;
    };
    void Take(const std::string& key, const Answer& answer);

    FileSystem& files_;
    CodePage& codePage_;
    Background& background_;
    std::map<std::string, Entry> entries_;  // by IdKey of the path
};

}  // namespace kavri
