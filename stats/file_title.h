// A game's name from the name its player gave the image file: "Star Voyager (USA) (Disc 1)
// (v1.1).cue" names "Star Voyager". The extension goes, and so do the bracketed groups at the
// end that only describe the copy: regions, lists of language codes, a disc ("Disc 2", "CD2",
// "Disc 1 of 3"), a track, a version ("v1.1", "Version 2"), a revision ("Rev A"), "[!]" and the
// game's own identifier. Any other bracketed group is part of the title and stays.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kavri {

// The names an image's path offers its game, best first, in UTF-8. A file whose title says
// nothing of its game ("game.iso", "EBOOT.PBP", "Disc 2.bin", "Track 01.bin", tags alone) offers
// only its folders; another offers its title, then its whole name (tags kept), then its folders.
// A folder offers its title unless that says nothing or is the game's identifier; up to three
// folders above the file are looked at, a drive's or a share's root never.
struct ImageTitles {
    std::vector<std::string> titles;
    bool disc = false;  // the file is one disc of a set: "Saga (Disc 2).iso", "CD2.bin"
};
ImageTitles TitlesFromImagePath(std::string_view path, std::string_view gameId);

}  // namespace kavri
