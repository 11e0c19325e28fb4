// The main window: every field of the program and every event handler.
// Handlers run one at a time on the window's thread; the shell delivers the events.
#pragma once

#include <array>
#include <map>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/controls.h"
#include "history/diary.h"
#include "history/game_shares.h"
#include "idle/idle_time.h"
#include "monitor/image_watch.h"
#include "platform/platform.h"
#include "stats/name_list.h"
#include "stats/game_totals.h"
#include "stats/kept_file.h"

namespace kavri {

// What the user is told of in a balloon on the tray icon, once per session for each file.
enum class Notice {
    StatsUnreadable, StatsRestored, SaveDenied, SaveHeld, SaveReadOnly, SaveDiskFull, SaveFailed, TotalsNewer,
    KeptInUserFolder, OptionsIgnored
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
    // Windows announced that a drive arrived or left: the CD-ROM drives are collected again.
    void RescanDrives();

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
    // Games played from disc images (monitor/image_probe.cpp): the image the emulator plays
    // counts as a disc newly inserted.
    void ProbeImages();

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

    // ---- Every kept file's load and save (stats/kept_files.cpp)
    // Where the files added beside the statistics file live when the program's folder takes no
    // new file: a folder of the user's local application data kept for the program's folder.
    std::string UserFolderFor();
    // Reads the file, from the place it lives, or from the copy of a rewrite that was cut short;
    // nothing when it is missing or cannot be read (then it is locked and the user told).
    std::optional<std::string> LoadKept(KeptFile& file, std::size_t limit);
    // After a load: what the file holds is the model's revision, unless it came from a copy; one
    // that did not read cleanly, or only up to the limit, is kept whole before it is replaced.
    void Loaded(KeptFile& file, bool clean, std::size_t size, std::size_t limit, std::uint64_t revision);
    // Saves what the file holds at revision; false, and the cause told, when it failed.
    bool SaveKept(KeptFile& file, std::uint64_t revision, const std::string& bytes);

    // ---- Total play time per game (stats/totals.cpp)
    void LoadTotals();
    void SaveTotals();
    // The tooltip of a games-list line: the game's total, play count and first-played date.
    std::string GameTip(int line);

    // ---- Game names (stats/naming.cpp)
    void LoadNames();
    // A game's name, in the system code page: the one the user typed, else the imported list's,
    // else the one its image file gave; empty when it has none.
    std::string GameName(const std::string& id);
    // "Crystal Quest — SLUS-00594"; the identifier alone when the game has no name.
    std::string GameTitle(const std::string& id);
    // A name beside identifiers as GameTitle writes them; either alone when the other is empty.
    std::string TitleOf(const std::string& name, const std::string& ids);
    // Names a game never named after the image it is played from; startPath is the image the
    // emulator was started with, whose name a ".m3u" list gives the discs it names.
    void NameAfterFile(const std::string& id, const std::string& path, const std::string& startPath);
    void NameAfterTitle(const std::string& id, const std::string& path, const std::string& startPath);
    void NameAfterListOrPath(const std::string& id, const std::string& path, const std::string& startPath);
    void NameAfterPath(const std::string& id, const std::string& path, bool ofList);
    bool NameTaken(const std::string& id, const std::string& name);
    bool HasTypedName(int line);
    // The naming dialog for the game of a games-list line; a name taken is saved at once.
    void NameGame(int line);
    void RemoveGameName(int line);
    // The Open dialog for a list of names, the import, and a message of how it went.
    void ImportGameNames();

    // ---- Play diary (history/diary_save_load.cpp)
    void LoadDiary();
    void SaveDiary();
    // The month abbreviations the program writes: the user's locale's, then English.
    std::vector<std::string> MonthNames();
    // The local date, in days from 1970-01-01.
    std::int64_t Today();
    // The History window's Games view: each game's minutes in the period ending today, by name.
    GameShares Shares(SharePeriod period);

    // ---- Time away from the game (idle/time_away.cpp)
    // About once a second while the emulator runs and time away is not counted: the pads, the
    // keyboard and the mouse are looked at.
    void PadTimer_Timer();
    // The Options dialog; a choice taken is saved at once.
    void btnOptions_Click();
    // Windows announced that a device arrived or left: pads and controllers are looked for again.
    void DevicesChanged();
    void LoadOptions();
    // Saves the choice not saved yet; a file that could not be read at start is read again first.
    void SaveOptions();
    // Why idle time cannot be measured, in one sentence; empty when it can.
    std::string IdleBlindText();
    // The program closes while the emulator runs: what is held counts, as when the emulator ends.
    void CreditHeldAtExit();

    // ---- Shared helper (app/form_kavri_meter.cpp) and start-up shortcut (startup/)
    bool FileExists(const std::string& path);
    void InstallStartupShortcut();

    // ---- Controls
    std::string Caption;
    PushButton btnRefresh;
    PollTimer Timer1;
    PollTimer PadTimer;  // runs while the emulator runs and time away is not counted
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
    bool gameFromImage = false;  // the current game is an image's, which no drive ends

    // ---- The emulator's disc images (monitor/image_watch.cpp)
    ImageWatch imageWatch;

    // ---- Time away from the game (idle/)
    IdleTime idle;

    // ---- The files kept, and what each one's content needs beside its state
    KeptFile statsFile{"kvrstat.csv", "kvrstat.bak", false};  // stays beside the program
    std::uint64_t lockedRevision = 0;  // model revision when the statistics file was met locked
    std::set<std::string> recoveryKept;  // files whose copy for an in-place rewrite may be there
    KeptFile totalsFile{"kvrgames.csv", "kvrgames.bak", true};
    GameTotals gameTotals;
    bool totalsSeedPending = false;  // no totals file: they start from the games list once it is loaded
    bool totalsNewer = false;        // a later version wrote the file: read, never replaced
    KeptFile namesFile{"kvrnames.csv", "kvrnames.bak", true};
    NameList nameList;
    std::uint64_t namesRevision = 0;  // grows with every import
    KeptFile optionsFile{"kvroptions.csv", "kvroptions.bak", true};
    KeptFile diaryFile{"kvrdiary.csv", "kvrdiary.bak", true};
    Diary diary;
    bool diaryImportPending = false;  // no diary file: it is built from the runs list once that is loaded

    // Sum of the revisions of every control that holds statistics.
    std::uint64_t ModelRevision() const;

private:
    void ScanDrives();
    void AddTrayIcon();
    void MarkTickTime();
    bool HasCurrentGame() const;
    void CountRunStart(int day);
    // Minutes to the run, the day slot and Total, the play's games line, the game's total, and the diary.
    void Credit(const PlayedMinute& first, std::int32_t minutes);
    void CreditPlay(const std::string& play, std::int32_t minutes);
    // Runs of minutes alike go in together; the run's line and the current games line show them.
    void CreditPlayed(const std::vector<PlayedMinute>& minutes);
    void ShowRunAndGame();
    // The minutes a tick crossed, each with what its credit goes to.
    std::vector<PlayedMinute> MinutesCrossed(int day, std::int32_t minutes);
    // Every file whose content changed since its last save.
    void SaveChanged();
    bool RereadLockedOptions();
    // While no choice waits behind it, the options file unreadable at start is tried at each tick.
    void RetryLockedOptions();
    void ApplyLoadedOptions(const std::string& bytes);
    void UpdatePadTimer();
    void ClearGame();
    void Recorded(const std::string& id, const std::string& dateText);
    void RecordGameAs(const std::string& id);
    bool ProbeDrive(DriveState& drive, char* reply);
    void ApplyLoadedStats(const std::string& bytes);
    void RetryLockedLoad();
    // Writes the file where it lives with the care every file gets, its backup first when one is
    // due; the status of the backup or of the write and the path it concerns.
    std::pair<FileStatus, std::string> WriteKept(KeptFile& file, const std::string& bytes);
    Notice SaveNotice(FileError error, const std::string& path);
    FileStatus RewriteInPlace(const std::string& path, const std::string& bytes, FileStatus denied);
    void DropRecoveryCopy(const std::string& path);
    // The bytes kept for a rewrite of path that was cut short, when they differ from the file's.
    std::optional<std::string> Recovered(const std::string& path);
    void SeedTotals();
    bool TotalsWritable() const { return !totalsFile.locked && !totalsNewer; }
    // Why the user's name (UTF-8) cannot be kept, or nothing.
    std::string NameProblem(const std::string& name);
    void StoreName(const GameTotal& seed, const std::string& name);
    // Imports the list at path; the message telling how it went.
    std::string ImportNames(const std::string& path);
    void ImportDiary();

    Platform os_;
};

}  // namespace kavri
