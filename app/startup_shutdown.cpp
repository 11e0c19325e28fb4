// Start-up, the close request, shutdown, Refresh and Exit.
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
    currentIndex = -1;
    MarkTickTime();
    Timer1_Timer();
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
