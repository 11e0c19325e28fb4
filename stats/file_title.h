// A game's name from the name its player gave the image file: "Star Voyager (USA) (Disc 1)
// (v1.1).cue" names "Star Voyager". The extension goes, and so do the bracketed groups at the
// end that only describe the copy: regions, language lists, disc, track, version, revision, "[!]"
// and the game's own identifier. Any other bracketed group is part of the title and stays.
#pragma once

#include <string>
#include <string_view>

namespace kavri {

// The title in UTF-8, from a path in UTF-8; empty when nothing is left.
std::string TitleFromImageFile(std::string_view path, std::string_view gameId);

}  // namespace kavri
