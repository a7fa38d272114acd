#pragma once
// FileReplacement: a new version of a file, written in pieces beside it and put
// in its place in one step once complete.
//
// The target (after links are followed) must be a file or not exist yet;
// anything else is refused (EISDIR, EINVAL) at once, and so is a file this user
// may not write in place (EACCES, EROFS). The temporary file beside it
// ("<name>.tmp-<pid>-<n>") is created with the first piece (or at Commit when
// there is none), and it carries the owner, group, permission bits, ACL and
// extended attributes of the file it replaces. Commit flushes it to the disk,
// renames it over the target and makes the rename durable. Until then the
// target stays as it was: a replacement that fails or is dropped removes what
// it wrote, and one that starts removes what replacements of processes that no
// longer run left beside the target.
//
// Where the replacement could not be the same file in all but its bytes (a
// folder this user may not write, an owner, group or attribute this user may
// not give), the file is rewritten in place instead, as an editor would: the
// pieces are gathered in memory, and at Commit the room for them is reserved
// first (a full disk then changes nothing), written over the old bytes, cut to
// length and flushed; a write that fails on the way puts the old bytes back.
// Failures raise FileError; the steps of a replacement by rename go through
// CurrentFileOperations.
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
    bool inPlace_ = false;
    std::string gathered_;  // in place: the new content until Commit
    std::string temporary_;
    int handle_ = -1;  // the temporary file while it is open
};

// True when a replacement of the existing file at path rewrites it in place
// (see above), so that the file's inode takes the new bytes.
bool ReplacesInPlace(const std::string& path);

// Removes the temporary files of replacements whose process no longer runs:
// those of the file named stem in folder, or of any file when stem is empty.
void RemoveStaleTemporaries(const std::string& folder, const std::string& stem);

}  // namespace fileio
