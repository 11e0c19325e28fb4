// One load and one save for every file the program keeps, with the same care for each: a file
// that cannot be read is never overwritten in the session, one that did not read cleanly is kept
// whole before it is replaced, a folder that takes no new file gets the file rewritten in place,
// and the files added beside the statistics file move to the user's own folder where the program's
// folder takes no new file at all.
#include "app/form_kavri_meter.h"
#include "base/text_util.h"

namespace kavri {

std::string formKavriMeter::UserFolderFor() {
    const auto local = os_.shell.Folder(ShellFolder::LocalAppData);
    if (!local || local->empty()) return {};
    return InFolder(InFolder(*local, "KavriStat\\Folders"), PathKey(os_.windowing.AppPath()));
}

std::optional<std::string> formKavriMeter::LoadKept(KeptFile& file, std::size_t limit) {
    file.path = InFolder(os_.windowing.AppPath(), file.name);
    // A file added beside the statistics lives in the user's folder when it is there and not here.
    if (const std::string elsewhere = file.movable ? UserFolderFor() : std::string();
        !elsewhere.empty() && !os_.files.FileLen(file.path) && os_.files.FileLen(InFolder(elsewhere, file.name)))
        file.path = InFolder(elsewhere, file.name);
    auto bytes = Recovered(file.path);
    file.recovered = bytes.has_value();
    file.missing = !file.recovered && !FileExists(file.path);
    if (file.recovered || file.missing) return bytes;
    bytes = os_.files.ReadText(file.path, limit);
    if (!bytes) {
        file.locked = true;
        ReportProblem(Notice::StatsUnreadable, file.path);
    }
    return bytes;
}

void formKavriMeter::Loaded(KeptFile& file, bool clean, std::size_t size, std::size_t limit, std::uint64_t revision) {
    // A recovered copy was written whole by the program itself.
    file.backupPending = !file.recovered && (!clean || size >= limit);
    file.savedRevision = revision - (file.recovered ? 1 : 0);  // the file on disk does not hold a copy's bytes yet
}

std::pair<FileStatus, std::string> formKavriMeter::WriteKept(KeptFile& file, const std::string& bytes) {
    if (file.backupPending) {
        // A file that did not read cleanly is kept whole, as it stands on disk, before it is replaced.
        const std::string backup = InFolder(std::string(FolderOf(file.path)), file.backupName);
        if (const FileStatus kept = os_.files.CopyWhole(file.path, backup); !kept) return {kept, backup};
        file.backupPending = false;
    }
    FileStatus saved = os_.files.WriteWholeFile(file.path, bytes);
    if (saved.error == FileError::FolderDenied) saved = RewriteInPlace(file.path, bytes, saved);
    return {saved, file.path};
}

bool formKavriMeter::SaveKept(KeptFile& file, std::uint64_t revision, const std::string& bytes) {
    if (file.locked) return false;
    if (file.path.empty()) file.path = InFolder(os_.windowing.AppPath(), file.name);  // saved before any load
    auto [status, concerned] = WriteKept(file, bytes);
    // Not even one new file beside the program: one that may move goes to the user's folder.
    if (status.error == FileError::FolderDenied && concerned == file.path && file.movable) {
        const std::string elsewhere = UserFolderFor();
        if (!elsewhere.empty() && FolderOf(file.path) != elsewhere && os_.files.MakeFolder(elsewhere)) {
            file.path = InFolder(elsewhere, file.name);
            std::tie(status, concerned) = WriteKept(file, bytes);
            if (status) ReportProblem(Notice::KeptInUserFolder, file.path);
        }
    }
    if (!status) {
        ReportProblem(SaveNotice(status.error, concerned), concerned);
        return false;
    }
    DropRecoveryCopy(file.path);
    // A good save ends a failing state of this file quietly.
    ForgetNotices(file.path);
    ForgetNotices(InFolder(std::string(FolderOf(file.path)), file.backupName));
    file.savedRevision = revision;
    return true;
}

}  // namespace kavri
