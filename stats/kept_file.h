// The state of one file the program keeps: where it lives and what its last load and save left.
// Every file goes through the same load and save (stats/kept_files.cpp), so that a rule for one
// holds for all.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace kavri {

struct KeptFile {
    KeptFile(std::string fileName, std::string backupFileName, bool mayMove)
        : name(std::move(fileName)), backupName(std::move(backupFileName)), movable(mayMove) {}

    std::string name;            // "kvrgames.csv"
    std::string backupName;      // "kvrgames.bak": one that did not read cleanly is kept whole there
    // Added beside the statistics file: where the program's folder takes no new file, it lives in
    // a folder of the user's local application data kept for that program folder.
    bool movable = false;
    std::string path;            // where it lives; set when it is loaded
    bool locked = false;         // it exists but could not be read: never overwritten in this session
    bool missing = false;        // there was none when it was loaded
    bool recovered = false;      // its bytes came from the copy of a rewrite that was cut short
    bool backupPending = false;  // it did not read cleanly: copied whole before it is first replaced
    std::uint64_t savedRevision = 0;  // the revision of what it holds on disk
};

}  // namespace kavri
