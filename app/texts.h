// The program's fixed texts, in UTF-8. Those the main window's controls show and the tray tip
// holds are ASCII, the same in every code page: they are handed to Windows' single-byte calls as
// CodePageText (platform/code_page.h), which takes an ASCII constant as it stands and refuses,
// as the program compiles, one that is not. Any other text is converted, or goes to a wide call.
#pragma once

#include <algorithm>

#include "platform/code_page.h"

namespace kavri::texts {

inline constexpr char kCaption[] = "Kavri! Statistics 1.0";
inline constexpr char kAuthorCredit[] = "by Quillon";
inline constexpr char kTitle[] = "Kavri! Usage Meter (Executions/Time)";
inline constexpr char kRefresh[] = "Refresh";
inline constexpr char kHistory[] = "History";
// The Options button: UTF-8, converted to the code page for the window, where "..." stands in for
// the ellipsis if the code page has none.
inline constexpr char kOptions[] = "&Options\xE2\x80\xA6";
inline constexpr char kOptionsStandIn[] = "&Options...";
inline constexpr char kPlayedGames[] = "Played Games";
inline constexpr char kLastUsed[] = "Last Used:";
inline constexpr const char* kDayHeadings[8] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Total"};
inline constexpr char kFirstWebPage[] = "https://quillon.example/";
inline constexpr char kSecondWebPage[] = "https://kavristat.quillon.example/";

// The tray icon's menu, in UTF-8.
inline constexpr char kMenuShow[] = "Open Statistics...";
inline constexpr char kMenuAbout[] = "About Tallyo 1.0...";
inline constexpr char kMenuExit[] = "E&xit";

// The games list's menu, in UTF-8.
inline constexpr char kMenuGameHistory[] = "&History of this game\xE2\x80\xA6";
inline constexpr char kMenuNameGame[] = "&Name this game\xE2\x80\xA6";
inline constexpr char kMenuRemoveName[] = "&Remove name";
inline constexpr char kMenuImportNames[] = "&Import game names\xE2\x80\xA6";

// Naming a game, and why a name is refused.
inline constexpr char kNameTitle[] = "Name this game";
inline constexpr char kNameHasQuote[] = "A name cannot hold a double quote (\").";
inline constexpr char kNameNotOneLine[] = "A name is one line of text.";
inline constexpr char kNameTooLong[] = "A name has at most 100 characters.";
inline constexpr char kNameOutsideCodePage[] = "This computer's code page has no place for a character of it.";
inline constexpr char kNamesUnsaved[] =
    "Names are kept in kvrgames.csv, which KavriStat leaves as it is in this session: it could not be read, "
    "or a newer version of KavriStat wrote it.";

// Importing a list of names.
inline constexpr char kImportTitle[] = "Import game names";
inline constexpr char kImportUnreadable[] = "The file could not be read. No names were imported.";
inline constexpr char kImportTooLarge[] = "The file is larger than 16 MB. No names were imported.";
inline constexpr char kImportNotText[] = "The file is not a text file. No names were imported.";
inline constexpr char kImportNoLine[] =
    "The file holds no line of the form \"identifier, name\", such as \"SLUS-00594, Crystal Quest\". "
    "No names were imported.";
inline constexpr char kImportUnsaved[] =
    "KavriStat could not save the names in kvrnames.csv beside it. No names were imported.";

// The day headings are held by the window's model, which keeps the code page.
static_assert(std::ranges::all_of(kDayHeadings, [](const char* text) { return IsAscii(text); }));

}  // namespace kavri::texts
