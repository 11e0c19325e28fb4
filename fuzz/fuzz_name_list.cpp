// Reads arbitrary bytes as a list of names to import: every name taken keeps the rules, and the
// program's own copy of the list reads back as exactly what was taken.
#include <cstdint>
#include <string>

#include "stats/name_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto text = kavri::DecodeText(std::string_view(reinterpret_cast<const char*>(data), size),
                                        [](std::string_view bytes) { return std::string(bytes); });
    if (!text) return 0;
    kavri::NameList list;
    for (auto& [id, name] : kavri::ReadNameLines(*text).names) {
        if (name.empty() || kavri::CheckName(name) != kavri::NameFault::None || kavri::NameKey(id).empty()) __builtin_trap();
        list.Put(id, name);
    }
    if (kavri::ParseNameList(kavri::FormatNameList(list)).Entries() != list.Entries()) __builtin_trap();
    return 0;
}
