// The main window: every field of the program and every event handler.
// Handlers run one at a time on the window's thread; the shell delivers the events.
#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/controls.h"
#include "history/diary.h"
#include "platform/platform.h"
#include "stats/game_names.h"
#include "stats/game_totals.h"

namespace kavri {

// What the user is told of in a balloon on the tray icon, once per session for each file.
enum class Notice {
    StatsUnreadable, StatsRestored, SaveDenied, SaveHeld, SaveReadOnly, SaveDiskFull, SaveFailed, TotalsNewer
};
using NoticeOn = std::pair<Notice, std::string>;  // a notice and the path of the file it is about

// What the disc probe remembers of one CD-ROM drive.
struct DriveState {
    bool mediaPresent = false;  // last answer of the drive's media query that converted
    bool discSeen = false;      // its medium was dealt with and has not left the drive since
};

class formKavriMeter {
public:
    explicit formKavriMeter(Platform platform);

    // ---- Start-up and shutdown (app/startup_shutdown.cpp)
    void Form_Load();
    void Form_QueryUnload(std::int16_t& Cancel, std::int16_t UnloadMode);
    void Form_Unload(std::int16_t& Cancel);
    void btnRefresh_Click();
    void mnuExit_Click();
    // A close of the window for the given reason: asks Form_QueryUnload, then unloads unless cancelled.
    void CloseRequested(std::int16_t UnloadMode);

    // ---- Tray icon and window commands (app/tray.cpp)
    // A tray-icon notification, its mouse message delivered as x in twips. The shell calls it for
    // the icon's notifications only, never for real mouse moves over the window.
    void Form_MouseMove(std::int16_t Button, std::int16_t Shift, float x, float y);
    void mnuShow_Click();
    void mnuAbout_Click();
    void lblCredits_Click();
    // Adds the tray icon again: for a taskbar that was restarted, or one that was not up yet.
    void RestoreTrayIcon();

    // ---- Balloon notices (app/notices.cpp)
    // Tells the user of a problem with the file at path at the end of the tick, unless it was told
    // already. Notices due at once go into one balloon.
    void ReportProblem(Notice cause, const std::string& path);
    // The file at path saved or loaded well: its problems still waiting to be told are dropped.
    void ForgetNotices(const std::string& path);
    void ShowPendingNotices();

    // ---- Monitor (monitor/)
    void Timer1_Timer();
    bool IsRunningApp();
    void ProbeDiscs();
    std::string GetID();
    void RecordGame();

    // ---- Statistics (stats/list_keys.cpp, stats/save_load.cpp)
    void lstTimes_KeyDown(std::int16_t& KeyCode, std::int16_t Shift);
    void lstGames_KeyDown(std::int16_t& KeyCode, std::int16_t Shift);
    void SaveStats();
    bool LoadStats();
    std::string StatsPath();
    std::string BackupPath();

    // ---- The copy kept while a file is rewritten in place (stats/recovery.cpp)
    // Where the copy of the file at path is kept, in the user's local application data; empty
    // when that folder is unknown.
    std::string RecoveryPath(const std::string& path);

    // ---- Total play time per game (stats/totals.cpp)
    void LoadTotals();
    void SaveTotals();
    std::string TotalsPath();
    // The tooltip of a games-list line: the game's total, play count and first-played date.
    std::string GameTip(int line);

    // ---- Game names (stats/names.cpp)
    void LoadNames();
    std::string NamesPath();
    // "Crystal Quest — SLUS-00594" with the name the user typed, else the imported list's; the
    // identifier alone when the game has no name. In the system code page.
    std::string GameTitle(const std::string& id);
    bool HasTypedName(int line);
    // The naming dialog for the game of a games-list line; a name taken is saved at once.
    void NameGame(int line);
    void RemoveGameName(int line);
    // The Open dialog for a list of names, the import, and a message of how it went.
    void ImportGameNames();

    // ---- Play diary (history/diary_save_load.cpp)
    void LoadDiary();
    void SaveDiary();
    std::string DiaryPath();
    // The month abbreviations the program writes: the user's locale's, then English.
    std::vector<std::string> MonthNames();
    // The local date, in days from 1970-01-01.
    std::int64_t Today();

    // ---- Shared helper (app/form_kavri_meter.cpp) and start-up shortcut (startup/)
    bool FileExists(const std::string& path);
    void InstallStartupShortcut();

    // ---- Controls
    std::string Caption;
    PushButton btnRefresh;
    PollTimer Timer1;
    ListBox lstTimes;
    ListBox lstGames;
    Label Label1;
    Label lblCredits;  // tag: the tooltip
    std::array<Label, 8> lblTimes;
    std::array<Label, 8> lblTime;
    std::array<Label, 8> lblDay;
    Label lblTimesUsed;
    Label lblGames;
    Menu mnuMain;
    static constexpr int mnuShow = 0, mnuSep = 1, mnuAbout = 2, mnuSep1 = 3, mnuExit = 4;

    // ---- Application shell fields
    std::vector<std::string> cdDrives;
    NotifyIconDataA trayIcon{};
    bool trayBusy = false;
    bool trayAdded = false;    // the shell took the icon; until it does, every tick asks again
    bool trayRemoved = false;  // removed at the end: never added again
    std::set<NoticeOn> noticesShown;        // told this session
    std::vector<NoticeOn> pendingNotices;   // waiting for the icon, in the order they arose

    // ---- Monitor fields
    bool emulatorRunning = false;
    std::int64_t lastTickMinute = 0;   // the UTC minute of the last tick that counted from then on
    std::uint64_t lastTickAsleep = 0;  // the clock's time asleep at that tick
    std::string runStartText;
    std::int32_t runMinutes = 0;
    std::int32_t gameMinutes = 0;
    std::string currentEntry;
    std::int16_t currentIndex = 0;

    // ---- Disc state: one entry per drive of cdDrives
    std::string currentDrive;
    std::vector<DriveState> driveStates;
    std::string gameDrive;  // drive holding the disc of the current game
    std::string currentGameId;  // identifier of the current game, whose total its minutes go to

    // ---- Statistics file state
    std::uint64_t savedRevision = 0;  // model revision that the file on disk holds
    bool statsLocked = false;         // the file exists but could not be read: never overwrite it
    std::uint64_t lockedRevision = 0; // model revision when the locked file was met
    bool backupPending = false;       // the file did not read cleanly: copy it whole before replacing it
    std::set<std::string> recoveryKept;  // files whose copy for an in-place rewrite may be there

    // ---- Totals file state, alike
    GameTotals gameTotals;
    std::uint64_t totalsSavedRevision = 0;
    bool totalsLocked = false;
    bool totalsBackupPending = false;
    bool totalsSeedPending = false;  // no totals file: they start from the games list once it is loaded
    bool totalsNewer = false;        // a later version wrote the file: read, never replaced

    // ---- Imported game names
    NameList nameList;

    // ---- Diary file state, alike
    Diary diary;
    std::uint64_t diarySavedRevision = 0;
    bool diaryLocked = false;
    bool diaryBackupPending = false;
    bool diaryImportPending = false;  // no diary file: it is built from the runs list once that is loaded

    // Sum of the revisions of every control that holds statistics.
    std::uint64_t ModelRevision() const;

private:
    void ScanDrives();
    void AddTrayIcon();
    void MarkTickTime();
    bool HasCurrentGame() const;
    void CountRunStart(int day);
    void CreditMinutes(int day, std::int32_t minutes);
    void ClearGame();
    void Recorded(const std::string& id, const std::string& dateText);
    bool ProbeDrive(DriveState& drive, char* reply);
    void ApplyLoadedStats(const std::string& bytes);
    void RetryLockedLoad();
    // Saves bytes to path with the care both files get; false, and the cause told, when it failed.
    bool SaveFile(const std::string& path, const std::string& backup, bool& backupPending, const std::string& bytes);
    Notice SaveNotice(FileError error, const std::string& path);
    FileStatus RewriteInPlace(const std::string& path, const std::string& bytes, FileStatus denied);
    void DropRecoveryCopy(const std::string& path);
    // The bytes kept for a rewrite of path that was cut short, when they differ from the file's.
    std::optional<std::string> Recovered(const std::string& path);
    // A file kept beside the statistics, as read at start-up.
    struct CompanionFile {
        std::optional<std::string> bytes;  // nothing when missing or unreadable
        bool missing = false;
        bool recovered = false;  // the bytes are those of a rewrite that was cut short
        bool Damaged(bool clean) const;
    };
    // Reads it; one that exists but cannot be read is marked locked and told.
    CompanionFile ReadCompanion(const std::string& path, bool& locked);
    void SeedTotals();
    bool TotalsWritable() const { return !totalsLocked && !totalsNewer; }
    // Why the user's name (UTF-8) cannot be kept, or nothing.
    std::string NameProblem(const std::string& name);
    void StoreName(const GameTotal& seed, const std::string& name);
    // Imports the list at path; the message telling how it went.
    std::string ImportNames(const std::string& path);
    void ImportDiary();

    Platform os_;
};

}  // namespace kavri
