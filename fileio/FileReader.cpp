#include "fileio/FileReader.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fileio/FileIO.h"

namespace fileio {

FileReader::FileReader(const std::string& path) {
    // Not waiting at the open: a named pipe without a writer would hold it forever.
    handle_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (handle_ < 0) throw FileError(errno);
    struct stat info {};
    int refusal = ::fstat(handle_, &info) != 0 ? errno : 0;
    if (!refusal && !S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode)) refusal = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    if (!refusal && ::fcntl(handle_, F_SETFL, ::fcntl(handle_, F_GETFL) & ~O_NONBLOCK) != 0) refusal = errno;
    if (refusal) {
        ::close(handle_);
        throw FileError(refusal);
    }
    if (S_ISREG(info.st_mode) && info.st_size > 0) size_ = static_cast<std::uint64_t>(info.st_size);
}

FileReader::~FileReader() { ::close(handle_); }

std::size_t FileReader::Read(char* into, std::size_t room) {
    while (true) {
        const ssize_t got = ::read(handle_, into, room);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) throw FileError(errno);
    }
}

}  // namespace fileio
