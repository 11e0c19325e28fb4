// What the user can mend is told in a balloon on the tray icon, never in a modal box: each notice
// once per file and session, at the end of the tick that met it or as soon as the icon is there,
// and notices due at once in one balloon, so that none hides another.
#include <algorithm>

#include "app/form_kavri_meter.h"
#include "app/text_util.h"

namespace kavri {
namespace {

constexpr std::size_t kInfoLength = 255;  // the balloon's text field, less its terminating NUL

struct NoticeText {
    const char* title;
    const char* before;  // the text ahead of the file's path
    const char* after;   // the text after it: what helps
};

NoticeText TextOf(Notice cause) {
    constexpr const char* kCannotSave = "KavriStat cannot save its statistics";
    switch (cause) {
    case Notice::StatsUnreadable:
        return {"KavriStat cannot read its statistics", "Another program holds ",
                ", so this session's counts are kept out of it. Close that program, then restart KavriStat."};
    case Notice::StatsRestored:
        return {"KavriStat restored its statistics", "Saving ",
                " was cut short last time. KavriStat took it back from the copy it keeps in your user folder."};
    case Notice::SaveDenied:
        return {kCannotSave, "Windows does not let it write ",
                ". Move KavriStat to a folder you can write to, such as one in your user folder. "
                "It keeps counting meanwhile."};
    case Notice::SaveHeld:
        return {kCannotSave, "Another program holds ",
                ". Close it in the other program; KavriStat saves as soon as it can and keeps counting."};
    case Notice::SaveReadOnly:
        return {kCannotSave, "",
                " is read-only. Clear that in its properties; KavriStat saves as soon as it can and keeps counting."};
    case Notice::SaveDiskFull:
        return {kCannotSave, "The disk is full that holds ", ". Free some space; KavriStat keeps counting and saves again."};
    case Notice::TotalsNewer:
        return {"KavriStat keeps a file as it is", "",
                " was written by a newer version of KavriStat. This one reads it but leaves it as it is, so play "
                "time per game is not kept until the newer version runs again."};
    case Notice::SaveFailed:
        break;
    }
    return {kCannotSave, "Writing ", " failed. KavriStat keeps counting and tries again."};
}

// The notices as one text, a line each, naming each file by its full path or by its name alone.
std::u16string Text(const std::vector<NoticeOn>& notices, bool fullPaths) {
    std::string text;
    for (const auto& [cause, path] : notices) {
        const NoticeText words = TextOf(cause);
        if (!text.empty()) text += "\n";
        text += words.before + std::string(fullPaths ? std::string_view(path) : FileNameOf(path)) + words.after;
    }
    return Utf16FromUtf8(text);
}

// The balloon's text: full paths where they fit, else file names, else cut with an ellipsis.
std::u16string BalloonText(const std::vector<NoticeOn>& notices) {
    std::u16string text = Text(notices, true);
    if (text.size() > kInfoLength) text = Text(notices, false);
    if (text.size() > kInfoLength) text = text.substr(0, kInfoLength - 1) + u"\u2026";
    return text;
}

std::string BalloonTitle(const std::vector<NoticeOn>& notices) {
    const std::string first = TextOf(notices.front().first).title;
    const bool alike = std::all_of(notices.begin(), notices.end(),
                                   [&](const NoticeOn& n) { return first == TextOf(n.first).title; });
    return alike ? first : "KavriStat needs your attention";
}

// Copies text into a fixed NUL-terminated field, cut to fit.
template <std::size_t N>
void PutText(char16_t (&field)[N], const std::u16string& text) {
    const std::size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.begin(), length, field);
    field[length] = u'\0';
}

}  // namespace

void formKavriMeter::ReportProblem(Notice cause, const std::string& path) {
    NoticeOn notice{cause, path};
    if (noticesShown.count(notice) || std::find(pendingNotices.begin(), pendingNotices.end(), notice) !=
                                          pendingNotices.end())
        return;
    pendingNotices.push_back(std::move(notice));
}

void formKavriMeter::ForgetNotices(const std::string& path) {
    // A restored file stays worth telling however well it saves afterwards.
    std::erase_if(pendingNotices,
                  [&](const NoticeOn& notice) { return notice.second == path && notice.first != Notice::StatsRestored; });
}

void formKavriMeter::ShowPendingNotices() {
    if (!trayAdded || pendingNotices.empty()) return;
    NotifyIconBalloonW balloon{};
    balloon.cbSize = sizeof balloon;
    balloon.hWnd = trayIcon.hWnd;
    balloon.uID = trayIcon.uID;
    balloon.uFlags = kNifInfo;
    balloon.uTimeout = 30000;
    balloon.dwInfoFlags = kNiifWarning;
    PutText(balloon.szInfoTitle, Utf16FromUtf8(BalloonTitle(pendingNotices)));
    PutText(balloon.szInfo, BalloonText(pendingNotices));
    if (os_.shell.Shell_NotifyIconW(kNimModify, &balloon) == 0) return;
    noticesShown.insert(pendingNotices.begin(), pendingNotices.end());
    pendingNotices.clear();
}

}  // namespace kavri
