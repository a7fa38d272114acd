#pragma once
// What tells one state of a file from another without reading it: the device
// and inode, the size, and the modification and change times to the nanosecond.
// A file replaced by a rename gets a new inode; one rewritten in place a new
// change time, since every write sets it, even one that restores the old
// modification time.
#include <cstdint>
#include <optional>
#include <string>

namespace fileio {

struct FileIdentity {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t ModifiedSeconds = 0;
    std::int64_t ModifiedNanoseconds = 0;
    std::int64_t ChangedSeconds = 0;
    std::int64_t ChangedNanoseconds = 0;
    bool operator==(const FileIdentity&) const = default;
};

// None when the file cannot be looked at (missing, no permission).
std::optional<FileIdentity> IdentityOf(const std::string& path);

}  // namespace fileio
