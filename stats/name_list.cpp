#include "stats/name_list.h"

#include <algorithm>

#include "base/text_util.h"
#include "base/game_id.h"
#include "stats/game_totals.h"
#include "stats/stats_file.h"

namespace kavri {
namespace {

constexpr std::string_view kHeader = "\"KavriStat names\",1\r\n";
constexpr std::string_view kSeparators = ",;\t";

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Letters, maybe "-" or "_", then digits with maybe a dot among them, as "SLUS-00594"; empty when
// the text is no identifier.
std::string CanonicalId(std::string_view text) {
    std::string letters, digits;
    std::size_t i = 0;
    while (i < text.size() && IsLetter(text[i])) letters += UpperAscii(text[i++]);
    if (i < text.size() && (text[i] == '-' || text[i] == '_')) ++i;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) digits += text[i];
        else if (text[i] != '.' || digits.empty()) return {};
    }
    if (letters.empty() || letters.size() > 8 || digits.empty() || digits.size() > 12) return {};
    return letters + "-" + digits;
}

// A field: quoted, with "" for a quote inside, or plain. A plain identifier ends at the first
// separator, a plain name at the end of the line. Nothing when a quote is not closed or something
// other than blanks follows it.
std::optional<std::string> TakeField(std::string_view& text, bool identifier) {
    text = Trim(text);
    if (!text.starts_with('"')) {
        const std::size_t end = identifier ? text.find_first_of(kSeparators) : std::string_view::npos;
        std::string field(Trim(text.substr(0, end)));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end);
        return field;
    }
    std::string field;
    std::size_t i = 1;
    for (; i < text.size(); ++i) {
        if (text[i] == '"' && (i + 1 >= text.size() || text[i + 1] != '"')) break;
        if (text[i] == '"') ++i;
        field += text[i];
    }
    if (i >= text.size()) return std::nullopt;
    text = Trim(text.substr(i + 1), " ");
    if (!identifier && !Trim(text).empty()) return std::nullopt;
    return field;
}

std::optional<std::pair<std::string, std::string>> ReadNameLine(std::string_view line) {
    const auto id = TakeField(line, true);
    if (!id || line.empty() || kSeparators.find(line.front()) == std::string_view::npos) return std::nullopt;
    line.remove_prefix(1);
    const auto name = TakeField(line, false);
    std::string canonical = CanonicalId(*id);
    if (!name || canonical.empty() || name->empty() || CheckName(*name) != NameFault::None) return std::nullopt;
    return std::pair{std::move(canonical), std::move(*name)};
}

}  // namespace

std::string NameKey(std::string_view id) {
    std::string key = IdKey(id);
    std::erase_if(key, [](char c) { return c == '-' || c == '_' || c == '.'; });
    return key;
}

NameFault CheckName(std::string_view name) {
    if (name.find('"') != std::string_view::npos) return NameFault::Quote;
    if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        return NameFault::NotOneLine;
    if (CharacterCount(name) > kNameMaxCharacters) return NameFault::TooLong;
    return NameFault::None;
}

const std::string* NameList::Find(std::string_view id) const {
    const auto it = byKey_.find(NameKey(id));
    return it == byKey_.end() ? nullptr : &it->second.name;
}

bool NameList::Put(std::string id, std::string name) {
    std::string key = NameKey(id);
    const auto it = byKey_.find(key);
    if (it != byKey_.end()) {
        it->second = Entry{std::move(id), std::move(name)};
        return true;
    }
    if (byKey_.size() >= kNameListMax) return false;
    byKey_.emplace(std::move(key), Entry{std::move(id), std::move(name)});
    return true;
}

std::string FormatNameList(const NameList& list) {
    std::string out(kHeader);
    for (const auto& [key, entry] : list.Entries()) out += "\"" + entry.id + "\",\"" + entry.name + "\"\r\n";
    return out;
}

NameList ParseNameList(std::string_view bytes) {
    NameList list;
    if (!bytes.starts_with(kHeader)) return list;
    bytes.remove_prefix(kHeader.size());
    while (!bytes.empty()) {
        const std::size_t end = bytes.find("\r\n");
        FieldReader in(bytes.substr(0, end));
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 2);
        const auto fields = ReadFields<2>(in);
        if (fields && in.AtEnd() && !in.Altered() && !(*fields)[0].empty()) list.Put((*fields)[0], (*fields)[1]);
    }
    return list;
}

std::optional<std::string> DecodeText(std::string_view bytes,
                                      const std::function<std::string(std::string_view)>& fromCodePage) {
    const bool little = bytes.starts_with("\xFF\xFE"), big = bytes.starts_with("\xFE\xFF");
    if (little || big) {
        std::u16string wide;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto low = static_cast<unsigned char>(bytes[i + (big ? 1 : 0)]);
            const auto high = static_cast<unsigned char>(bytes[i + (big ? 0 : 1)]);
            wide += static_cast<char16_t>(high << 8 | low);
        }
        std::optional<std::string> text = Utf8FromUtf16(wide);
        if (bytes.size() % 2 || !text || text->find('\0') != std::string::npos) return std::nullopt;
        return text;
    }
    if (bytes.find('\0') != std::string_view::npos) return std::nullopt;
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    return IsUtf8(bytes) ? std::string(bytes) : fromCodePage(bytes);
}

NameLines ReadNameLines(std::string_view text) {
    NameLines lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (Trim(line, " \t\f\v").empty()) continue;
        if (auto name = ReadNameLine(line)) lines.names.push_back(std::move(*name));
        else ++lines.notUnderstood;
    }
    return lines;
}

}  // namespace kavri
