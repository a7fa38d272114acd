#include "fileio/FileOperations.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace fileio {
namespace {

SystemFileOperations systemOperations;
FileOperations* current = &systemOperations;

}  // namespace

int SystemFileOperations::CreateExclusive(const std::string& path, int& handle) {
    handle = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return handle < 0 ? errno : 0;
}

int SystemFileOperations::Write(int handle, const char* data, std::size_t size, std::size_t& written) {
    written = 0;
    ssize_t result;
    do result = ::write(handle, data, size);
    while (result < 0 && errno == EINTR);
    if (result < 0) return errno;
    written = static_cast<std::size_t>(result);
    // The disk starts on what is written while the rest is still being made,
    // so that the flush at the end waits for little. Only a hint: the flush
    // reports what fails.
    ::sync_file_range(handle, 0, 0, SYNC_FILE_RANGE_WRITE);
    return 0;
}

int SystemFileOperations::Flush(int handle) { return ::fsync(handle) == 0 ? 0 : errno; }

int SystemFileOperations::Close(int handle) { return ::close(handle) == 0 ? 0 : errno; }

int SystemFileOperations::Rename(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int SystemFileOperations::Remove(const std::string& path) { return ::unlink(path.c_str()) == 0 ? 0 : errno; }

FileOperations& CurrentFileOperations() { return *current; }

ScopedFileOperations::ScopedFileOperations(FileOperations& operations) : previous_(current) { current = &operations; }

ScopedFileOperations::~ScopedFileOperations() { current = previous_; }

}  // namespace fileio
