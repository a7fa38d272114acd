#include "fileio/FileReplacement.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fileio/FileAttributes.h"
#include "fileio/FileIO.h"
#include "fileio/FileOperations.h"

namespace fileio {
namespace {

std::atomic<unsigned> temporaryCounter{0};

// A link is replaced where it points, so that the link itself survives.
std::string ResolvedTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool AllDigits(std::string_view text) {
    if (text.empty() || text.size() > 9) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// The process that wrote a temporary file "<stem>.tmp-<pid>-<n>", or 0 for a
// name of another kind.
pid_t WriterOf(std::string_view name, std::string_view stem) {
    if (!stem.empty() && !name.starts_with(std::string(stem) + ".tmp-")) return 0;
    const std::size_t tmp = name.rfind(".tmp-");
    if (tmp == std::string_view::npos) return 0;
    const std::string_view rest = name.substr(tmp + 5);
    const std::size_t dash = rest.find('-');
    if (dash == std::string_view::npos || !AllDigits(rest.substr(0, dash)) || !AllDigits(rest.substr(dash + 1)))
        return 0;
    return static_cast<pid_t>(std::stol(std::string(rest.substr(0, dash))));
}

void WriteAll(int handle, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(handle, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) throw FileError(written < 0 ? errno : ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

// The file's bytes replaced by these, in the file itself.
void RewriteInPlace(const std::string& path, std::string_view bytes) {
    const std::string old = ReadWholeFile(path);
    const int handle = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (handle < 0) throw FileError(errno);
    try {
        // Room first: a disk too full for the new bytes leaves the old ones alone.
        if (bytes.size() > old.size()) {
            const int error = ::posix_fallocate(handle, 0, static_cast<off_t>(bytes.size()));
            if (error && error != EOPNOTSUPP && error != EINVAL) throw FileError(error);
        }
        try {
            WriteAll(handle, bytes);
            if (::ftruncate(handle, static_cast<off_t>(bytes.size())) != 0) throw FileError(errno);
            if (::fsync(handle) != 0) throw FileError(errno);
        } catch (const FileError&) {
            if (::lseek(handle, 0, SEEK_SET) == 0) {
                WriteAll(handle, old);
                [[maybe_unused]] const int cut = ::ftruncate(handle, static_cast<off_t>(old.size()));
            }
            throw;
        }
    } catch (...) {
        ::close(handle);
        throw;
    }
    if (::close(handle) != 0) throw FileError(errno);
}

}  // namespace

bool ReplacesInPlace(const std::string& path) {
    const std::string target = ResolvedTarget(path);
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    return ::faccessat(AT_FDCWD, DirectoryOf(target).c_str(), W_OK | X_OK, AT_EACCESS) != 0 ||
           !CanCarryAttributes(target);
}

void RemoveStaleTemporaries(const std::string& folder, const std::string& stem) {
    DIR* directory = ::opendir(folder.c_str());
    if (!directory) return;
    while (const dirent* entry = ::readdir(directory)) {
        const pid_t writer = WriterOf(entry->d_name, stem);
        // A process that still runs (or that this user may not signal) may still be writing.
        if (writer <= 0 || writer == ::getpid() || ::kill(writer, 0) == 0 || errno != ESRCH) continue;
        ::unlinkat(::dirfd(directory), entry->d_name, 0);
    }
    ::closedir(directory);
}

FileReplacement::FileReplacement(const std::string& path)
    : operations_(CurrentFileOperations()), target_(ResolvedTarget(path)) {
    // Only a file is replaced: a rename over a device, a pipe or a link that
    // leads nowhere (/dev/stdout on a pipe, say) would put a file in its place.
    struct stat existing {};
    if (::lstat(target_.c_str(), &existing) != 0) return;
    if (!S_ISREG(existing.st_mode)) throw FileError(S_ISDIR(existing.st_mode) ? EISDIR : EINVAL);
    // The rename needs only the folder's permission; the file's own decides,
    // as for a write in place (a read-only file, another user's file).
    if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) throw FileError(errno);
    inPlace_ = ReplacesInPlace(target_);
}

FileReplacement::~FileReplacement() {
    if (handle_ < 0) return;
    operations_.Close(handle_);
    operations_.Remove(temporary_);
}

void FileReplacement::Create() {
    RemoveStaleTemporaries(DirectoryOf(target_), BaseNameOf(target_));
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        temporary_ = target_ + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(temporaryCounter++);
        error = operations_.CreateExclusive(temporary_, handle_);
    }
    if (error) {
        handle_ = -1;
        throw FileError(error);
    }
    if (const int carried = CarryAttributes(target_, handle_)) Fail(carried);
}

void FileReplacement::Fail(int error) {
    operations_.Close(handle_);
    operations_.Remove(temporary_);
    handle_ = -1;
    throw FileError(error);
}

void FileReplacement::Write(std::string_view bytes) {
    if (inPlace_) {
        gathered_.append(bytes);
        return;
    }
    if (handle_ < 0) Create();
    while (!bytes.empty()) {
        std::size_t written = 0;
        if (const int error = operations_.Write(handle_, bytes.data(), bytes.size(), written)) Fail(error);
        if (written == 0) Fail(ENOSPC);
        bytes.remove_prefix(written);
    }
}

void FileReplacement::Commit() {
    if (inPlace_) {
        RewriteInPlace(target_, gathered_);
        return;
    }
    if (handle_ < 0) Create();
    int error = operations_.Flush(handle_);
    const int closeError = operations_.Close(handle_);
    handle_ = -1;
    if (!error) error = closeError;
    if (!error) error = operations_.Rename(temporary_, target_);
    if (error) {
        operations_.Remove(temporary_);
        throw FileError(error);
    }
    SyncFolder(DirectoryOf(target_));
}

}  // namespace fileio
