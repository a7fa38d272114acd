#pragma once
// FileOperations: the few file system calls a safe file replacement makes,
// behind an interface so that tests can make any of them fail.
//
// Every call returns 0 or the system's error number (errno). The process uses
// one instance at a time: the system's own unless a test installs another with
// ScopedFileOperations.
#include <cstddef>
#include <string>

namespace fileio {

class FileOperations {
public:
    virtual ~FileOperations() = default;
    // Creates a new file that must not exist yet, open for writing.
    virtual int CreateExclusive(const std::string& path, int& handle) = 0;
    // Writes some of the bytes; written tells how many.
    virtual int Write(int handle, const char* data, std::size_t size, std::size_t& written) = 0;
    // Forces the written bytes onto the disk.
    virtual int Flush(int handle) = 0;
    virtual int Close(int handle) = 0;
    // Replaces `to` by `from` in one step.
    virtual int Rename(const std::string& from, const std::string& to) = 0;
    virtual int Remove(const std::string& path) = 0;
};

// The operating system's calls.
class SystemFileOperations : public FileOperations {
public:
    int CreateExclusive(const std::string& path, int& handle) override;
    int Write(int handle, const char* data, std::size_t size, std::size_t& written) override;
    int Flush(int handle) override;
    int Close(int handle) override;
    int Rename(const std::string& from, const std::string& to) override;
    int Remove(const std::string& path) override;
};

// The instance in use.
FileOperations& CurrentFileOperations();

// Installs another instance for its lifetime (tests); not for concurrent use.
class ScopedFileOperations {
public:
    explicit ScopedFileOperations(FileOperations& operations);
    ~ScopedFileOperations();
    ScopedFileOperations(const ScopedFileOperations&) = delete;
    ScopedFileOperations& operator=(const ScopedFileOperations&) = delete;

private:
    FileOperations* previous_;
};

}  // namespace fileio
