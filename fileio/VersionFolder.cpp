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

#include "fileio/FileIO.h"

namespace fileio {
namespace {

constexpr std::size_t kStampLength = 23;  // "20261208-083251.123456Z"

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

bool AllDigits(const std::string& text, std::size_t from, std::size_t count) {
    for (std::size_t i = from; i < from + count; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

int Number(const std::string& text, std::size_t from, std::size_t count) {
    return std::stoi(text.substr(from, count));
}

// The moment a version name stands for; nothing for a name of another kind.
std::optional<std::int64_t> StampOf(const std::string& name) {
    if (name.size() < kStampLength || !AllDigits(name, 0, 8) || name[8] != '-' || !AllDigits(name, 9, 6) ||
        name[15] != '.' || !AllDigits(name, 16, 6) || name[22] != 'Z')
        return std::nullopt;
    std::tm parts{};
    parts.tm_year = Number(name, 0, 4) - 1900;
    parts.tm_mon = Number(name, 4, 2) - 1;
    parts.tm_mday = Number(name, 6, 2);
    parts.tm_hour = Number(name, 9, 2);
    parts.tm_min = Number(name, 11, 2);
    parts.tm_sec = Number(name, 13, 2);
    return static_cast<std::int64_t>(::timegm(&parts)) * 1000000 + Number(name, 16, 6);
}

std::string StampName(std::int64_t micros) {
    const std::time_t seconds = static_cast<std::time_t>(micros / 1000000);
    std::tm parts{};
    ::gmtime_r(&seconds, &parts);
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d.%06dZ", parts.tm_year + 1900, parts.tm_mon + 1,
                  parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, static_cast<int>(micros % 1000000));
    return text;
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

}  // namespace

VersionFolder::VersionFolder(const std::string& filePath)
    : file_(ResolvedPath(filePath)), folder_(file_ + ".versions"), extension_(ExtensionOf(file_)) {}

std::vector<Version> VersionFolder::List() const {
    std::vector<Version> versions;
    DIR* directory = ::opendir(folder_.c_str());
    if (!directory) {
        if (errno == ENOENT) return versions;
        throw FileError(errno);
    }
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        const auto stamp = StampOf(name);
        struct stat info {};
        // A temporary file of an unfinished copy is no version.
        if (name.compare(std::min(name.size(), kStampLength), std::string::npos, extension_) != 0) continue;
        const std::string path = folder_ + "/" + name;
        if (!stamp || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        versions.push_back({path, name, *stamp, static_cast<std::uint64_t>(info.st_size)});
    }
    ::closedir(directory);
    std::sort(versions.begin(), versions.end(), [](const Version& a, const Version& b) { return a.Name > b.Name; });
    return versions;
}

std::optional<std::string> VersionFolder::Keep() {
    struct stat file {};
    if (::stat(file_.c_str(), &file) != 0) {
        if (errno == ENOENT) return std::nullopt;
        throw FileError(errno);
    }
    if (!S_ISREG(file.st_mode)) return std::nullopt;
    if (::mkdir(folder_.c_str(), 0777) != 0 && errno != EEXIST) throw FileError(errno);

    const std::vector<Version> versions = List();
    std::int64_t stamp = NowMicros();
    if (!versions.empty()) {
        struct stat newest {};
        if (::stat(versions.front().Path.c_str(), &newest) == 0 && newest.st_dev == file.st_dev &&
            newest.st_ino == file.st_ino)
            return std::nullopt;
        stamp = std::max(stamp, versions.front().KeptAt + 1);
    }
    for (int attempt = 0; attempt < 100; ++attempt, ++stamp) {
        const std::string name = StampName(stamp) + extension_;
        const std::string path = folder_ + "/" + name;
        if (::link(file_.c_str(), path.c_str()) == 0) {
            SyncFolder(folder_);
            return name;
        }
        if (errno == EEXIST) continue;
        if (!LinkImpossible(errno)) throw FileError(errno);
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
    const std::uint64_t budget = largest * bounds.SizeFactor;

    std::uint64_t total = 0;
    for (std::size_t i = 0; i < versions.size(); ++i) {
        total += versions[i].Size;
        // Past the bounds: this one and every older one go.
        if (i >= bounds.MaxCount || total > budget) ::unlink(versions[i].Path.c_str());
    }
}

std::optional<std::string> SaveKeepingVersion(const std::string& path, const std::function<void()>& save,
                                              const VersionBounds& bounds) {
    VersionFolder folder(path);
    const std::optional<std::string> kept = folder.Keep();
    try {
        save();
    } catch (...) {
        if (kept) folder.Discard(*kept);
        throw;
    }
    folder.Prune(bounds);
    return kept;
}

}  // namespace fileio
