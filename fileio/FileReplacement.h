#pragma once
// FileReplacement: a new version of a file, written in pieces beside it and put
// in its place in one step once complete.
//
// The target (after links are followed) must be a file or not exist yet;
// anything else is refused (EISDIR, EINVAL) at once, and so is a file this user
// may not write in place (EACCES, EROFS). The temporary file beside it is
// created with the first piece (or at Commit when there is none), and it keeps
// the permission bits of the file it replaces, and its owner and group where
// the user may set them. Commit flushes it to the
// disk, renames it over the target and makes the rename durable. Until then the
// target stays as it was: a replacement that fails or is dropped removes what it
// wrote. Failures raise FileError; every step goes through CurrentFileOperations.
#include <string>
#include <string_view>

namespace fileio {

class FileOperations;

class FileReplacement {
public:
    explicit FileReplacement(const std::string& path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    void Write(std::string_view bytes);
    void Commit();

private:
    void Create();
    // Closes and removes the temporary file, then raises the error.
    [[noreturn]] void Fail(int error);

    FileOperations& operations_;
    std::string target_;
    std::string temporary_;
    int handle_ = -1;  // the temporary file while it is open
};

}  // namespace fileio
