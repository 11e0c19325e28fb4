// Start-up, the close request, shutdown, Refresh and Exit.
#include <algorithm>
#include <utility>

#include "app/error_trap.h"
#include "app/form_kavri_meter.h"

namespace kavri {

void formKavriMeter::Form_Load() {
    if (os_.windowing.PrevInstance()) {
        os_.windowing.End();
        return;
    }
    InstallStartupShortcut();
    AddTrayIcon();
    ScanDrives();
    if (!LoadStats()) os_.windowing.Show();
    LoadTotals();
    LoadNames();
    LoadDiary();
    LoadOptions();
    currentIndex = -1;
    MarkTickTime();
    Timer1_Timer();
}

// Highest letter first, as at start; a drive that stays keeps its disc state, so its disc is not
// recorded again, and the current game ends when its drive is gone, as when its disc comes out.
void formKavriMeter::RescanDrives() {
    const std::vector<std::string> before = std::exchange(cdDrives, {});
    const std::vector<DriveState> states = driveStates;
    ScanDrives();
    for (std::size_t i = 0; i < cdDrives.size(); ++i)
        if (const auto was = std::find(before.begin(), before.end(), cdDrives[i]); was != before.end())
            driveStates[i] = states[static_cast<std::size_t>(was - before.begin())];
    if (!gameDrive.empty() && std::find(cdDrives.begin(), cdDrives.end(), gameDrive) == cdDrives.end()) ClearGame();
}

void formKavriMeter::ScanDrives() {
    for (int i = 26; i >= 3; --i) {
        const std::string name{static_cast<char>(64 + i), ':'};
        if (os_.kernel.GetDriveTypeA((name + "\\").c_str()) == kDriveCdrom) cdDrives.push_back(name);
    }
    driveStates.assign(cdDrives.size(), DriveState{});
}

void formKavriMeter::Form_QueryUnload(std::int16_t& Cancel, std::int16_t UnloadMode) {
    if (UnloadMode != 0) return;
    btnRefresh_Click();
    os_.windowing.Hide();
    Cancel = -1;
}

// Each step is tried even when the one before it failed.
void formKavriMeter::Form_Unload(std::int16_t& /*Cancel*/) {
    trayRemoved = true;
    trayAdded = false;
    Trap([&] { os_.shell.Shell_NotifyIconA(kNimDelete, &trayIcon); });
    Trap([&] { SaveStats(); });
    Trap([&] { SaveTotals(); });
    Trap([&] { SaveDiary(); });
    Trap([&] { Timer1_Timer(); });
    Trap([&] { CreditHeldAtExit(); });
    os_.windowing.End();
}

void formKavriMeter::CloseRequested(std::int16_t UnloadMode) {
    std::int16_t cancel = 0;
    Form_QueryUnload(cancel, UnloadMode);
    if (cancel == 0) Form_Unload(cancel);
}

void formKavriMeter::btnRefresh_Click() {
    SaveStats();
    SaveTotals();
    SaveDiary();
    Timer1_Timer();
}

void formKavriMeter::mnuExit_Click() { os_.windowing.Unload(); }

}  // namespace kavri
