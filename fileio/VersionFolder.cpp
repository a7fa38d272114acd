#include "fileio/VersionFolder.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "fileio/FileIO.h"
#include "fileio/FileReplacement.h"

namespace fileio {
namespace {

std::string ResolvedPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    return error ? path : resolved.string();
}

std::string ExtensionOf(const std::string& path) {
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    return path.substr(dot);
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int Number(std::string_view text) { return std::stoi(std::string(text)); }

// The moment "YYYYMMDD-HHMMSS.ffffffZ" stands for; the year may have more than
// four digits (a clock set far ahead). Nothing for text of another kind.
std::optional<std::int64_t> StampOf(std::string_view text) {
    constexpr std::size_t kAfterYear = 19;  // "MMDD-HHMMSS.ffffffZ"
    if (text.size() < kAfterYear + 4 || text.size() > kAfterYear + 9) return std::nullopt;
    const std::string_view year = text.substr(0, text.size() - kAfterYear), rest = text.substr(year.size());
    if (!AllDigits(year) || !AllDigits(rest.substr(0, 4)) || rest[4] != '-' || !AllDigits(rest.substr(5, 6)) ||
        rest[11] != '.' || !AllDigits(rest.substr(12, 6)) || rest[18] != 'Z')
        return std::nullopt;
    std::tm parts{};
    parts.tm_year = Number(year) - 1900;
    parts.tm_mon = Number(rest.substr(0, 2)) - 1;
    parts.tm_mday = Number(rest.substr(2, 2));
    parts.tm_hour = Number(rest.substr(5, 2));
    parts.tm_min = Number(rest.substr(7, 2));
    parts.tm_sec = Number(rest.substr(9, 2));
    return static_cast<std::int64_t>(::timegm(&parts)) * 1000000 + Number(rest.substr(12, 6));
}

std::string StampText(std::int64_t micros) {
    // Rounded down, so that a moment before 1970 keeps a positive fraction.
    std::int64_t seconds = micros / 1000000, fraction = micros % 1000000;
    if (fraction < 0) fraction += 1000000, --seconds;
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    ::gmtime_r(&time, &parts);
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d.%06dZ", parts.tm_year + 1900, parts.tm_mon + 1,
                  parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, static_cast<int>(fraction));
    return text;
}

// A version's sequence number and moment from its name without the extension:
// "00000042-20261208-083251.123456Z", or the older "20261208-083251.123456Z".
std::optional<std::pair<std::uint64_t, std::int64_t>> ParseVersionName(std::string_view name) {
    if (const auto stamp = StampOf(name)) return std::pair<std::uint64_t, std::int64_t>{0, *stamp};
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos || dash > 19 || !AllDigits(name.substr(0, dash))) return std::nullopt;
    const auto stamp = StampOf(name.substr(dash + 1));
    if (!stamp) return std::nullopt;
    return std::pair<std::uint64_t, std::int64_t>{std::stoull(std::string(name.substr(0, dash))), *stamp};
}

std::int64_t NowMicros() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

// Where the file system cannot link (no hard links at all, another file system
// under the folder, too many links), a copy does.
bool LinkImpossible(int error) {
    return error == EXDEV || error == EPERM || error == EMLINK || error == ENOTSUP || error == EOPNOTSUPP ||
           error == ENOSYS;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// A folder's read, write and search bits from a file's read and write bits.
mode_t FolderModeFor(mode_t fileMode) {
    mode_t mode = 0;
    for (const mode_t shift : {6, 3, 0}) {
        if (fileMode & (04 << shift)) mode |= 05 << shift;
        if (fileMode & (02 << shift)) mode |= 02 << shift;
    }
    return mode | S_IRWXU;
}

}  // namespace

VersionFolder::VersionFolder(const std::string& filePath, std::vector<std::string> numberedWith)
    : file_(ResolvedPath(filePath)),
      folder_(file_ + ".versions"),
      extension_(ExtensionOf(file_)),
      numberedWith_(std::move(numberedWith)) {}

std::vector<Version> VersionFolder::AllVersions() const {
    std::vector<Version> versions;
    DIR* directory = ::opendir(folder_.c_str());
    if (!directory) {
        if (errno == ENOENT) return versions;
        throw FileError(errno);
    }
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        // A temporary file of an unfinished copy ends otherwise and is no version.
        if (name.size() <= extension_.size() || !name.ends_with(extension_)) continue;
        const auto parsed = ParseVersionName(std::string_view(name).substr(0, name.size() - extension_.size()));
        const std::string path = folder_ + "/" + name;
        struct stat info {};
        if (!parsed || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        versions.push_back({path, name, parsed->first, parsed->second, static_cast<std::uint64_t>(info.st_size)});
    }
    ::closedir(directory);
    std::sort(versions.begin(), versions.end(), [](const Version& a, const Version& b) {
        return a.Sequence != b.Sequence ? a.Sequence > b.Sequence : a.Name > b.Name;
    });
    return versions;
}

std::vector<Version> VersionFolder::List() const {
    std::vector<Version> versions = AllVersions();
    struct stat file {};
    if (versions.empty() || ::stat(file_.c_str(), &file) != 0) return versions;
    std::erase_if(versions, [&](const Version& version) {
        struct stat info {};
        return ::stat(version.Path.c_str(), &info) == 0 && SameFile(info, file);
    });
    return versions;
}

void VersionFolder::MakeFolder() const {
    struct stat file {};
    if (::stat(file_.c_str(), &file) != 0) throw FileError(errno);
    if (::mkdir(folder_.c_str(), 0700) != 0) {
        if (errno == EEXIST) return;
        throw FileError(errno);
    }
    // As for the file itself: the owner only by root, the group where this user belongs to it.
    if (::chown(folder_.c_str(), file.st_uid, file.st_gid) != 0) {
        [[maybe_unused]] const int groupGiven = ::chown(folder_.c_str(), static_cast<uid_t>(-1), file.st_gid);
    }
    ::chmod(folder_.c_str(), FolderModeFor(file.st_mode));
}

std::optional<std::string> VersionFolder::Keep() {
    struct stat file {};
    if (::stat(file_.c_str(), &file) != 0) {
        if (errno == ENOENT) return std::nullopt;
        throw FileError(errno);
    }
    if (!S_ISREG(file.st_mode)) return std::nullopt;
    MakeFolder();

    std::uint64_t sequence = 1;
    for (const Version& version : AllVersions()) {
        struct stat info {};
        if (::stat(version.Path.c_str(), &info) == 0 && SameFile(info, file)) {
            ::unlink(version.Path.c_str());  // left by a save killed before its rename
            continue;
        }
        sequence = std::max(sequence, version.Sequence + 1);
    }
    for (const std::string& other : numberedWith_)
        for (const Version& version : VersionFolder(other).AllVersions())
            sequence = std::max(sequence, version.Sequence + 1);
    RemoveStaleTemporaries(folder_, "");
    const bool copy = ReplacesInPlace(file_);
    for (int attempt = 0; attempt < 100; ++attempt, ++sequence) {
        char number[32];
        std::snprintf(number, sizeof number, "%08llu-", static_cast<unsigned long long>(sequence));
        const std::string name = number + StampText(NowMicros()) + extension_;
        const std::string path = folder_ + "/" + name;
        if (!copy) {
            if (::link(file_.c_str(), path.c_str()) == 0) {
                SyncFolder(folder_);
                return name;
            }
            if (errno == EEXIST) continue;
            if (!LinkImpossible(errno)) throw FileError(errno);
        }
        if (::access(path.c_str(), F_OK) == 0) continue;
        ReplaceFileAtomically(path, ReadWholeFile(file_));
        return name;
    }
    throw FileError(EEXIST);
}

void VersionFolder::Discard(const std::string& name) {
    ::unlink((folder_ + "/" + name).c_str());
    ::rmdir(folder_.c_str());  // only when empty
}

void VersionFolder::Prune(const VersionBounds& bounds) {
    const std::vector<Version> versions = List();
    struct stat file {};
    std::uint64_t largest = ::stat(file_.c_str(), &file) == 0 ? static_cast<std::uint64_t>(file.st_size) : 0;
    for (const Version& version : versions) largest = std::max(largest, version.Size);
    const std::uint64_t budget = std::max(bounds.MinimumBudget, largest * bounds.SizeFactor);

    std::uint64_t total = 0;
    for (std::size_t i = 0; i < versions.size(); ++i) {
        total += versions[i].Size;
        // Past the bounds: this one and every older one go.
        if (i >= bounds.MaxCount || total > budget) ::unlink(versions[i].Path.c_str());
    }
}

bool VersionFolder::RemoveOldest() {
    // The version a running save has just kept is still the file itself, and the newest.
    const std::vector<Version> versions = AllVersions();
    if (versions.size() < 2) return false;
    return ::unlink(versions.back().Path.c_str()) == 0;
}

bool IsDiskFull(int error) { return error == ENOSPC || error == EDQUOT; }

namespace {

// Runs step; while it fails for a full disk, removes the oldest version (never
// the newest) and runs it again.
void MakingRoom(VersionFolder& folder, std::size_t& removed, const std::function<void()>& step) {
    while (true) {
        try {
            step();
            return;
        } catch (const FileError& failure) {
            if (!IsDiskFull(failure.ErrorNumber()) || !folder.RemoveOldest()) throw;
            ++removed;
        }
    }
}

}  // namespace

VersionedSave SaveKeepingVersion(const std::string& path, const std::function<void()>& save,
                                 const std::optional<VersionBounds>& bounds,
                                 const std::vector<std::string>& numberedWith) {
    VersionFolder folder(path, numberedWith);
    VersionedSave outcome;
    // A version is worth less than the save: what keeps it from being kept is
    // told, and the save goes on.
    try {
        MakingRoom(folder, outcome.RemovedForSpace, [&] { outcome.Kept = folder.Keep(); });
    } catch (const FileError& failure) {
        outcome.NotKept = failure.ErrorNumber();
    }
    try {
        MakingRoom(folder, outcome.RemovedForSpace, save);
    } catch (...) {
        if (outcome.Kept) folder.Discard(*outcome.Kept);
        throw;
    }
    try {
        if (bounds) folder.Prune(*bounds);
    } catch (const FileError&) {
        // The save is done; a folder that cannot be read now is pruned by a later one.
    }
    return outcome;
}

}  // namespace fileio
