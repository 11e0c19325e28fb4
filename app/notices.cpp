// What the user can mend is told in a balloon on the tray icon, never in a modal box: each notice
// once per file and session, at the end of the tick that met it or as soon as the icon is there.
// Notices due at once share a balloon, grouped by cause; what does not fit waits for the next.
#include <algorithm>

#include "app/form_kavri_meter.h"
#include "base/text_util.h"

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
        return {kCannotSave, "Windows does not let KavriStat write ",
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
    case Notice::KeptInUserFolder:
        return {"KavriStat keeps some files in your user folder", "Windows does not let KavriStat make new files beside it, so it keeps ",
                ". Your statistics stay in kvrstat.csv beside the program."};
    case Notice::OptionsIgnored:
        return {"KavriStat counts time away from the game", "",
                " is damaged or from a newer KavriStat, so time away from the game counts as play. "
                "Choose again in Options."};
    case Notice::SaveFailed:
        break;
    }
    return {kCannotSave, "Writing ", " failed. KavriStat keeps counting and tries again."};
}

// The notices of one cause, the files named together.
struct Group {
    Notice cause;
    std::vector<std::string> paths;
};

std::vector<Group> ByCause(const std::vector<NoticeOn>& notices) {
    std::vector<Group> groups;
    for (const NoticeOn& notice : notices) {
        auto group =
            std::find_if(groups.begin(), groups.end(), [&](const Group& g) { return g.cause == notice.first; });
        if (group == groups.end()) group = groups.insert(groups.end(), Group{notice.first, {}});
        group->paths.push_back(notice.second);
    }
    return groups;
}

// "a", "a and b", "a, b and c".
std::string Listed(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    return text;
}

// The files of a group: one by its full path; several of one folder by their names and the
// folder; or by their names alone when short is asked for.
std::string Files(const std::vector<std::string>& paths, bool shortForm) {
    std::vector<std::string> names;
    for (const std::string& path : paths) names.emplace_back(FileNameOf(path));
    if (shortForm) return Listed(names);
    const std::string_view folder = FolderOf(paths.front());
    const bool oneFolder = std::all_of(paths.begin(), paths.end(), [&](const std::string& p) { return FolderOf(p) == folder; });
    if (paths.size() == 1 || !oneFolder) return Listed(paths);
    return Listed(names) + " in " + std::string(folder);
}

std::u16string Line(const Group& group, bool shortForm) {
    const NoticeText words = TextOf(group.cause);
    return Utf16FromUtf8(words.before + Files(group.paths, shortForm) + words.after);
}

struct Balloon {
    std::u16string text;
    std::string title;
    std::vector<NoticeOn> told;
};

// As many causes as fit in the balloon, a line each, in the order they arose; the rest wait for
// the next one. The first always goes: by file names if its paths are too long, else cut.
Balloon Compose(const std::vector<NoticeOn>& notices) {
    Balloon balloon;
    for (const Group& group : ByCause(notices)) {
        std::u16string line = Line(group, false);
        if (balloon.text.empty()) {
            if (line.size() > kInfoLength) line = Line(group, true);
            if (line.size() > kInfoLength) line = line.substr(0, kInfoLength - 1) + u"\u2026";
        } else if (balloon.text.size() + 1 + line.size() > kInfoLength) {
            continue;
        } else {
            line.insert(0, 1, u'\n');
        }
        balloon.text += line;
        const std::string title = TextOf(group.cause).title;
        balloon.title = balloon.title.empty() || balloon.title == title ? title : "KavriStat needs your attention";
        for (const std::string& path : group.paths) balloon.told.emplace_back(group.cause, path);
    }
    return balloon;
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
    // Where a file was restored from, or where it now lives, stays worth telling however well it saves.
    std::erase_if(pendingNotices, [&](const NoticeOn& notice) {
        return notice.second == path && notice.first != Notice::StatsRestored && notice.first != Notice::KeptInUserFolder;
    });
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
    const Balloon composed = Compose(pendingNotices);
    PutText(balloon.szInfoTitle, Utf16FromUtf8(composed.title));
    PutText(balloon.szInfo, composed.text);
    if (os_.shell.Shell_NotifyIconW(kNimModify, &balloon) == 0) return;
    // What did not fit stays waiting for the next balloon.
    for (const NoticeOn& notice : composed.told) {
        noticesShown.insert(notice);
        std::erase(pendingNotices, notice);
    }
}

}  // namespace kavri
