// The program's fixed texts.
#pragma once

namespace kavri::texts {

inline constexpr const char* kCaption = "Kavri! Statistics 1.0";
inline constexpr const char* kAuthorCredit = "by Quillon";
inline constexpr const char* kTitle = "Kavri! Usage Meter (Executions/Time)";
inline constexpr const char* kRefresh = "Refresh";
inline constexpr const char* kHistory = "History";
inline constexpr const char* kOptions = "&Options\xE2\x80\xA6";
inline constexpr const char* kPlayedGames = "Played Games";
inline constexpr const char* kLastUsed = "Last Used:";
inline constexpr const char* kDayHeadings[8] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Total"};
inline constexpr const char* kFirstWebPage = "https://quillon.example/";
inline constexpr const char* kSecondWebPage = "https://kavristat.quillon.example/";

inline constexpr const char* kMenuShow = "Open Statistics...";
inline constexpr const char* kMenuAbout = "About Tallyo 1.0...";
inline constexpr const char* kMenuExit = "E&xit";

// The games list's menu, in UTF-8.
inline constexpr const char* kMenuGameHistory = "&History of this game\xE2\x80\xA6";
inline constexpr const char* kMenuNameGame = "&Name this game\xE2\x80\xA6";
inline constexpr const char* kMenuRemoveName = "&Remove name";
inline constexpr const char* kMenuImportNames = "&Import game names\xE2\x80\xA6";

// Naming a game, and why a name is refused.
inline constexpr const char* kNameTitle = "Name this game";
inline constexpr const char* kNameHasQuote = "A name cannot hold a double quote (\").";
inline constexpr const char* kNameNotOneLine = "A name is one line of text.";
inline constexpr const char* kNameTooLong = "A name has at most 100 characters.";
inline constexpr const char* kNameOutsideCodePage = "This computer's code page has no place for a character of it.";
inline constexpr const char* kNamesUnsaved =
    "Names are kept in kvrgames.csv, which KavriStat leaves as it is in this session: it could not be read, "
    "or a newer version of KavriStat wrote it.";

// Importing a list of names.
inline constexpr const char* kImportTitle = "Import game names";
inline constexpr const char* kImportUnreadable = "The file could not be read. No names were imported.";
inline constexpr const char* kImportTooLarge = "The file is larger than 16 MB. No names were imported.";
inline constexpr const char* kImportNotText = "The file is not a text file. No names were imported.";
inline constexpr const char* kImportNoLine =
    "The file holds no line of the form \"identifier, name\", such as \"SLUS-00594, Crystal Quest\". "
    "No names were imported.";
inline constexpr const char* kImportUnsaved =
    "KavriStat could not save the names in kvrnames.csv beside it. No names were imported.";

}  // namespace kavri::texts
