// Problems the user can mend are told in a balloon on the tray icon, never in a modal box: each
// cause once per session, as soon as the icon is there.
#include <algorithm>
#include <cstring>

#include "app/form_kavri_meter.h"

namespace kavri {
namespace {

struct NoticeText {
    const char* title;
    const char* before;  // the text ahead of the file's path
    const char* after;   // the text after it: what helps
};

NoticeText TextOf(Notice cause) {
    switch (cause) {
    case Notice::StatsUnreadable:
        return {"KavriStat cannot read its statistics", "Another program holds ",
                ", so this session's counts are kept out of it. Close that program, then restart KavriStat."};
    case Notice::SaveDenied:
        return {"KavriStat cannot save its statistics", "Windows does not let it write ",
                ". Move KavriStat to a folder you can write to, such as one in your user folder. "
                "It keeps counting meanwhile."};
    case Notice::SaveInUse:
        return {"KavriStat cannot save its statistics", "Another program holds ",
                ". Close that program; KavriStat keeps counting and saves again."};
    case Notice::SaveDiskFull:
        return {"KavriStat cannot save its statistics", "The disk is full that holds ",
                ". Free some space; KavriStat keeps counting and saves again."};
    case Notice::SaveFailed:
        break;
    }
    return {"KavriStat cannot save its statistics", "Writing ", " failed. KavriStat keeps counting and tries again."};
}

std::uint32_t Bit(Notice cause) { return 1u << static_cast<int>(cause); }

// Copies text into a fixed NUL-terminated field, cut to fit.
template <std::size_t N>
void PutText(char (&field)[N], const std::string& text) {
    const std::size_t length = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

}  // namespace

void formKavriMeter::ReportProblem(Notice cause, const std::string& path) {
    if (noticesShown & Bit(cause)) return;
    pendingNotices[cause] = path;
    ShowPendingNotices();
}

void formKavriMeter::ShowPendingNotices() {
    for (auto it = pendingNotices.begin(); it != pendingNotices.end();) {
        if (!trayAdded || !ShowBalloon(it->first, it->second)) return;
        noticesShown |= Bit(it->first);
        it = pendingNotices.erase(it);
    }
}

bool formKavriMeter::ShowBalloon(Notice cause, const std::string& path) {
    const NoticeText text = TextOf(cause);
    NotifyIconBalloonA balloon{};
    balloon.cbSize = sizeof balloon;
    balloon.hWnd = trayIcon.hWnd;
    balloon.uID = trayIcon.uID;
    balloon.uFlags = kNifInfo;
    balloon.uTimeout = 30000;
    balloon.dwInfoFlags = kNiifWarning;
    PutText(balloon.szInfoTitle, text.title);
    PutText(balloon.szInfo, text.before + path + text.after);
    return os_.shell.Shell_NotifyIconA(kNimModify, &balloon) != 0;
}

}  // namespace kavri
