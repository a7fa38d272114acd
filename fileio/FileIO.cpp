#include "fileio/FileIO.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "fileio/FileOperations.h"
#include "fileio/FileReader.h"

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

// Makes the rename itself durable; a failure here loses nothing already renamed.
void SyncDirectory(const std::string& directory) {
    const int handle = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) return;
    ::fsync(handle);
    ::close(handle);
}

int CreateTemporary(FileOperations& operations, const std::string& target, std::string& name, int& handle) {
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        name = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(temporaryCounter++);
        error = operations.CreateExclusive(name, handle);
    }
    return error;
}

int WriteAll(FileOperations& operations, int handle, std::string_view bytes) {
    while (!bytes.empty()) {
        std::size_t written = 0;
        if (const int error = operations.Write(handle, bytes.data(), bytes.size(), written)) return error;
        if (written == 0) return ENOSPC;
        bytes.remove_prefix(written);
    }
    return 0;
}

// The new file keeps the permission bits of the one it replaces.
void KeepMode(const std::string& target, int handle) {
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) ::fchmod(handle, info.st_mode & 07777);
}

}  // namespace

FileError::FileError(int errorNumber)
    : std::runtime_error(std::generic_category().message(errorNumber)), errorNumber_(errorNumber) {}

std::string ReadWholeFile(const std::string& path) {
    FileReader file(path);
    std::string content;
    content.reserve(static_cast<std::size_t>(file.Size()));
    char chunk[65536];
    while (const std::size_t got = file.Read(chunk, sizeof chunk)) content.append(chunk, got);
    return content;
}

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    FileOperations& operations = CurrentFileOperations();
    const std::string target = ResolvedTarget(path);
    // Only a file is replaced: a rename over a device, a pipe or a link that
    // leads nowhere (/dev/stdout on a pipe, say) would put a file in its place.
    struct stat existing {};
    if (::lstat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode))
        throw FileError(S_ISDIR(existing.st_mode) ? EISDIR : EINVAL);
    std::string temporary;
    int handle = -1;
    if (const int error = CreateTemporary(operations, target, temporary, handle)) throw FileError(error);
    KeepMode(target, handle);
    int error = WriteAll(operations, handle, bytes);
    if (!error) error = operations.Flush(handle);
    const int closeError = operations.Close(handle);
    if (!error) error = closeError;
    if (!error) error = operations.Rename(temporary, target);
    if (error) {
        operations.Remove(temporary);
        throw FileError(error);
    }
    SyncDirectory(DirectoryOf(target));
}

}  // namespace fileio
