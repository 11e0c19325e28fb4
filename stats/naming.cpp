// The commands that name games: the naming dialog for a games line (the name kept with the
// game's total) and the import of a list of names, which "kvrnames.csv" keeps. A typed name wins
// over the list.
#include "app/form_kavri_meter.h"
#include "app/texts.h"
#include "base/game_id.h"
#include "base/text_util.h"
#include "discimage/disc_lists.h"
#include "discimage/identify.h"
#include "discimage/image_path.h"
#include "stats/file_title.h"

namespace kavri {
namespace {

constexpr std::size_t kNamesFileMax = 64 * 1024 * 1024;  // well above 100,000 of the longest lines
constexpr int kMbExclamation = 48;
constexpr std::size_t kListDiscsRead = 8;  // more than any game's discs

// One of the first discs the ".m3u" list at listPath names is of game id. A name not in UTF-8 is
// in the system code page, as the list's own reading takes it.
bool ListHolds(FileSystem& files, CodePage& codePage, const std::string& listPath, const std::string& id) {
    const auto list = files.OpenDiskFile(listPath);
    const auto text = list ? list->ReadAt(0, kListLimit) : std::nullopt;
    const auto discs = text ? ParseM3u(*text) : std::vector<std::string>();
    for (std::size_t i = 0; i < discs.size() && i < kListDiscsRead; ++i) {
        const auto disc = BesideList(listPath, IsUtf8(discs[i]) ? discs[i] : codePage.FromCodePage(discs[i]));
        if (disc && KindOf(*disc) != ImageKind::M3u && IdKey(IdentifyImage(files, codePage, *disc).id) == IdKey(id))
            return true;
    }
    return false;
}

std::string Plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string ImportedText(std::size_t taken, std::size_t notUnderstood, std::size_t leftOut) {
    std::string text = "Imported " + Plural(taken, "game name", "game names") + ". ";
    text += notUnderstood == 0 ? std::string("Every line was understood.")
                               : Plural(notUnderstood, "line was", "lines were") + " not understood.";
    if (leftOut > 0)
        text += " " + Plural(leftOut, "name past the first 100000 was", "names past the first 100000 were") + " left out.";
    return text;
}

}  // namespace

void formKavriMeter::LoadNames() {
    if (const auto bytes = LoadKept(namesFile, kNamesFileMax)) nameList = ParseNameList(*bytes);
}

// The name the user typed, else the imported list's, else the one its image file gave.
std::string formKavriMeter::GameName(const std::string& id) {
    const GameTotal* game = gameTotals.Find(id);
    if (game && game->nameFrom == NameFrom::Typed && !game->name.empty()) return game->name;
    if (const std::string* listed = nameList.Find(id)) return *listed;
    if (game && game->nameFrom == NameFrom::File) return game->name;
    return {};
}

std::string formKavriMeter::GameTitle(const std::string& id) { return TitleOf(GameName(id), id); }

std::string formKavriMeter::TitleOf(const std::string& name, const std::string& ids) {
    if (name.empty() || ids.empty()) return name + ids;
    return name + os_.codePage.ToCodePage(" \u2014 ").value_or(" - ") + ids;
}

bool formKavriMeter::HasTypedName(int line) {
    if (line < 0 || line >= lstGames.Count()) return false;
    const GameTotal* game = gameTotals.Find(TotalFromGamesLine(lstGames.Line(line)).id);
    return game && game->nameFrom == NameFrom::Typed && !game->name.empty();
}

// A game first played from an image, never named, is named after the file, or after the title
// inside it. A disc of a ".m3u"
// list the emulator was started with is named after the list: the list is read, and its discs
// identified, away from the tick, and the name given when they answer.
void formKavriMeter::NameAfterFile(const std::string& id, const std::string& path, const std::string& startPath) {
    const GameTotal* game = gameTotals.Find(id);
    if (!game || game->nameFrom == NameFrom::Typed) return;
    if (KindOf(path) == ImageKind::Pbp) return NameAfterTitle(id, path, startPath);
    NameAfterListOrPath(id, path, startPath);
}

// Named as any image's game, when never named: after the list it was started with, else its file.
void formKavriMeter::NameAfterListOrPath(const std::string& id, const std::string& path, const std::string& startPath) {
    const GameTotal* game = gameTotals.Find(id);
    if (!game || game->nameFrom != NameFrom::None) return;
    if (KindOf(startPath) != ImageKind::M3u) return NameAfterPath(id, path, false);
    os_.background.Post([this, &files = os_.files, &codePage = os_.codePage, id, path, startPath] {
        const bool listed = ListHolds(files, codePage, startPath, id);
        return [this, id, path = listed ? startPath : path, listed] { NameAfterPath(id, path, listed); };
    });
}

// A title its maker wrote into the image names the game before its file does: it replaces a name
// a file gave, and the discs that carry one title share it. It is read away from the tick; without
// one, or with one the files cannot hold, the list or file names the game as any image's.
void formKavriMeter::NameAfterTitle(const std::string& id, const std::string& path, const std::string& startPath) {
    os_.background.Post([this, &files = os_.files, id, path, startPath] {
        return [this, id, path, startPath, title = ReadImageTitle(files, path)] {
            const auto inCodePage = title ? os_.codePage.ToCodePage(*title) : std::nullopt;
            if (inCodePage && NameProblem(*title).empty()) return gameTotals.NameFromFile(id, *inCodePage, true);
            NameAfterListOrPath(id, path, startPath);
        };
    });
}

// The first name the path offers that no other game has, when the files can hold it. The discs of
// one set share their name.
void formKavriMeter::NameAfterPath(const std::string& id, const std::string& path, bool ofList) {
    const GameTotal* game = gameTotals.Find(id);
    if (!game || game->nameFrom != NameFrom::None) return;
    const ImageTitles offered = TitlesFromImagePath(path, id);
    for (const std::string& title : offered.titles) {
        const auto inCodePage = os_.codePage.ToCodePage(title);
        if (inCodePage && !ofList && !offered.disc && NameTaken(id, *inCodePage)) continue;
        if (inCodePage && NameProblem(title).empty()) gameTotals.NameFromFile(id, *inCodePage);
        return;
    }
}

// Another game goes by the name, in any letter case.
bool formKavriMeter::NameTaken(const std::string& id, const std::string& name) {
    for (const GameTotal& other : gameTotals.Games())
        if (IdKey(other.id) != IdKey(id) && EqualsNoCase(GameName(other.id), name)) return true;
    return false;
}

std::string formKavriMeter::NameProblem(const std::string& name) {
    switch (CheckName(name)) {
    case NameFault::Quote: return texts::kNameHasQuote;
    case NameFault::NotOneLine: return texts::kNameNotOneLine;
    case NameFault::TooLong: return texts::kNameTooLong;
    case NameFault::None: break;
    }
    return os_.codePage.ToCodePage(name) ? std::string() : texts::kNameOutsideCodePage;
}

void formKavriMeter::NameGame(int line) {
    if (line < 0 || line >= lstGames.Count()) return;
    if (!TotalsWritable()) {
        os_.windowing.MsgBox(texts::kNamesUnsaved, kMbExclamation, texts::kNameTitle);
        return;
    }
    // Ticks go on while the dialog is open and may move the lines: the game is taken now.
    const GameTotal seed = TotalFromGamesLine(lstGames.Line(line));
    const GameTotal* game = gameTotals.Find(seed.id);
    const auto typed = os_.windowing.InputText(texts::kNameTitle, "&Name of " + seed.id + ":",
                                               os_.codePage.FromCodePage(game ? game->name : ""), kNameMaxCharacters,
                                               [this](const std::string& text) { return NameProblem(text); });
    if (typed && NameProblem(*typed).empty()) StoreName(seed, *os_.codePage.ToCodePage(Trim(*typed)));
}

void formKavriMeter::RemoveGameName(int line) {
    if (HasTypedName(line) && TotalsWritable()) StoreName(TotalFromGamesLine(lstGames.Line(line)), "");
}

// A game missing from the totals joins them as its games-list line shows it.
void formKavriMeter::StoreName(const GameTotal& seed, const std::string& name) {
    gameTotals.Name(seed, name);
    SaveTotals();
    ShowPendingNotices();
}

void formKavriMeter::ImportGameNames() {
    const auto path = os_.windowing.ChooseTextFile(texts::kImportTitle);
    if (path) os_.windowing.MsgBox(ImportNames(*path), kMbIconInformation, texts::kImportTitle);
}

std::string formKavriMeter::ImportNames(const std::string& path) {
    if (os_.files.FileLen(path).value_or(0) > std::int64_t{kNameImportMaxBytes}) return texts::kImportTooLarge;
    const auto bytes = os_.files.ReadText(path, kNameImportMaxBytes + 1);
    if (!bytes) return texts::kImportUnreadable;
    if (bytes->size() > kNameImportMaxBytes) return texts::kImportTooLarge;
    const auto text = DecodeText(*bytes, [this](std::string_view b) { return os_.codePage.FromCodePage(b); });
    if (!text) return texts::kImportNotText;
    NameLines lines = ReadNameLines(*text);
    NameList list;
    std::size_t leftOut = 0;
    for (auto& [id, name] : lines.names) {
        const auto inCodePage = os_.codePage.ToCodePage(name);
        if (!inCodePage) ++lines.notUnderstood;
        else if (!list.Put(std::move(id), *inCodePage)) ++leftOut;
    }
    if (list.Size() == 0) return texts::kImportNoLine;
    // The message tells a failure; the list waiting behind a locked file is not replaced.
    if (!SaveKept(namesFile, ++namesRevision, FormatNameList(list))) {
        ForgetNotices(namesFile.path);
        return texts::kImportUnsaved;
    }
    const std::size_t taken = list.Size();
    nameList = std::move(list);
    return ImportedText(taken, lines.notUnderstood, leftOut);
}

}  // namespace kavri
