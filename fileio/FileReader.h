#pragma once
// FileReader: a file read from its start to its end, piece by piece, so that a
// large file need not be held in memory at once.
//
// Only a file or a pipe is read, since only those come to an end: a directory is
// refused with EISDIR and a device (such as /dev/zero) with EINVAL. A named pipe
// is opened without waiting for a writer, so one without a writer reads as empty.
// Failures raise FileError.
#include <cstddef>
#include <cstdint>
#include <string>

namespace fileio {

class FileReader {
public:
    explicit FileReader(const std::string& path);
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Reads up to `room` bytes into `into`; 0 only at the end.
    std::size_t Read(char* into, std::size_t room);
    // The size of a file as it was when opened; 0 for a pipe.
    std::uint64_t Size() const { return size_; }

private:
    int handle_ = -1;
    std::uint64_t size_ = 0;
};

}  // namespace fileio
