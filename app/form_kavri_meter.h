// The main window: every field of the program and every event handler.
// Handlers run one at a time on the window's thread; the shell delivers the events.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/controls.h"
#include "platform/platform.h"

namespace kavri {

// What the disc probe remembers of one CD-ROM drive.
struct DriveState {
    bool mediaPresent = false;  // last answer of the drive's media query that converted
    bool discSeen = false;      // its medium was dealt with and has not left the drive since
};

class formKavriMeter {
public:
    explicit formKavriMeter(Platform platform);

    // ---- Start-up and shutdown
    void Form_Load();
    void Form_QueryUnload(std::int16_t& Cancel, std::int16_t UnloadMode);
    void Form_Unload(std::int16_t& Cancel);
    void btnRefresh_Click();
    void mnuExit_Click();
    // A close of the window for the given reason: asks Form_QueryUnload, then unloads unless cancelled.
    void CloseRequested(std::int16_t UnloadMode);

    // ---- Tray icon and window commands
    // A tray-icon notification, its mouse message delivered as x in twips. The shell calls it for
    // the icon's notifications only, never for real mouse moves over the window.
    void Form_MouseMove(std::int16_t Button, std::int16_t Shift, float x, float y);
    void mnuShow_Click();
    void mnuAbout_Click();
    void lblCredits_Click();
    // Adds the tray icon again, for a taskbar that was restarted.
    void RestoreTrayIcon();

    // ---- Monitor
    void Timer1_Timer();
    bool IsRunningApp();
    void ProbeDiscs();
    std::string GetID();
    void RecordGame();

    // ---- Statistics
    void lstTimes_KeyDown(std::int16_t& KeyCode, std::int16_t Shift);
    void lstGames_KeyDown(std::int16_t& KeyCode, std::int16_t Shift);
    void SaveStats();
    bool LoadStats();
    std::string StatsPath();

    // ---- Shared helpers and start-up shortcut
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

    // ---- Monitor fields
    bool emulatorRunning = false;
    LocalDateTime lastTickTime{};
    std::string runStartText;
    std::int32_t runMinutes = 0;
    std::int32_t gameMinutes = 0;
    std::string currentEntry;
    std::int16_t currentIndex = 0;

    // ---- Disc state: one entry per drive of cdDrives
    std::string currentDrive;
    std::vector<DriveState> driveStates;
    std::string gameDrive;  // drive holding the disc of the current game

    // ---- Statistics file state
    std::uint64_t savedRevision = 0;  // model revision that the file on disk holds
    bool statsLocked = false;         // the file exists but could not be read: never overwrite it
    std::uint64_t lockedRevision = 0; // model revision when the locked file was met
    std::string unreadableStats;      // bytes of a file that did not read cleanly, kept on the next save

    // Sum of the revisions of every control that holds statistics.
    std::uint64_t ModelRevision() const;

private:
    void ScanDrives();
    void AddTrayIcon();
    void CountRunStart(int day);
    void CreditMinutes(int day, std::int32_t minutes);
    void ClearGame();
    bool ProbeDrive(DriveState& drive, char* reply);
    void ApplyLoadedStats(const std::string& bytes);
    void RetryLockedLoad();

    Platform os_;
};

}  // namespace kavri
