#include "fileio/FileReplacement.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The new file keeps the owner, group and permission bits of the one it
// replaces, as far as this user may give them: the owner only for root, the
// group where the user belongs to it. The mode comes last, since a change of
// owner clears the set-id bits.
void KeepOwnershipAndMode(const std::string& target, int handle) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0) return;
    if (::fchown(handle, info.st_uid, info.st_gid) != 0) {
        // Not root: the owner is this user; outside the file's group its own group stays.
        [[maybe_unused]] const int groupKept = ::fchown(handle, static_cast<uid_t>(-1), info.st_gid);
    }
    ::fchmod(handle, info.st_mode & 07777);
}

}  // namespace

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
}

FileReplacement::~FileReplacement() {
    if (handle_ < 0) return;
    operations_.Close(handle_);
    operations_.Remove(temporary_);
}

void FileReplacement::Create() {
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        temporary_ = target_ + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(temporaryCounter++);
        error = operations_.CreateExclusive(temporary_, handle_);
    }
    if (error) {
        handle_ = -1;
        throw FileError(error);
    }
    KeepOwnershipAndMode(target_, handle_);
}

void FileReplacement::Fail(int error) {
    operations_.Close(handle_);
    operations_.Remove(temporary_);
    handle_ = -1;
    throw FileError(error);
}

void FileReplacement::Write(std::string_view bytes) {
    if (handle_ < 0) Create();
    while (!bytes.empty()) {
        std::size_t written = 0;
        if (const int error = operations_.Write(handle_, bytes.data(), bytes.size(), written)) Fail(error);
        if (written == 0) Fail(ENOSPC);
        bytes.remove_prefix(written);
    }
}

void FileReplacement::Commit() {
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
