#include "monitor/image_choice.h"

#include <algorithm>

namespace kavri {

void ImageChoice::Start(std::string startId) {
    start_ = std::move(startId);
    played_.clear();
    startStands_ = true;
}

const std::string& ImageChoice::Choose(const std::vector<HeldImage>& held) {
    const auto is = [](const std::string& id) { return [&id](const HeldImage& image) { return image.id == id; }; };
    if (!std::all_of(held.begin(), held.end(), is(start_))) startStands_ = false;
    if (!played_.empty() && std::any_of(held.begin(), held.end(), is(played_))) return played_;
    // Handle slots are reused, so the order of the list says nothing of age: the look that first
    // saw a handle does. Among handles first seen together, the last listed.
    const HeldImage* newest = nullptr;
    for (const HeldImage& image : held)
        if (!image.id.empty() && (!newest || image.since >= newest->since)) newest = &image;
    played_ = newest ? newest->id : startStands_ ? start_ : std::string();
    return played_;
}

}  // namespace kavri
