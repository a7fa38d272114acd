#pragma once
// VersionFolder: the earlier contents of one file, kept in "<name>.versions/"
// beside it, so that a change can be taken back.
//
// A version is the whole file as it was just before a save replaced it. Its
// name is the moment it was kept, in UTC to the microsecond, followed by the
// file's extension ("20261208-083251.123456Z.xml"), so that names sort by time;
// a new name always sorts after every version already there, even when the
// clock went back. A version is a hard link to the file that is about to be
// replaced, which costs no copy (a save replaces the file by rename and never
// writes into it, so the linked content stays as it was); only where the file
// system cannot link there is the file copied. Other files in the folder are
// left alone.
//
// The folder belongs to the file with its links resolved, so every spelling of
// one file finds the same folder. Whoever changes the folder must hold the
// file's lock (CatalogLock) as for a change of the file; reading needs none.
// Failures raise FileError.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace fileio {

struct Version {
    std::string Path;
    std::string Name;
    std::int64_t KeptAt = 0;  // microseconds since 1970-01-01 UTC, read from the name
    std::uint64_t Size = 0;
};

// The newest MaxCount versions stay, and of those no more than add up to
// SizeFactor times the largest of the file and its versions: measured against
// the largest rather than the current size, so that a catalogue that shrank
// (emptied, or an old small version restored) never costs the larger states
// that came before it. The newest version therefore always stays.
struct VersionBounds {
    std::size_t MaxCount = 100;
    std::uint64_t SizeFactor = 20;
};

class VersionFolder {
public:
    explicit VersionFolder(const std::string& filePath);

    const std::string& Path() const { return folder_; }
    // Newest first; empty when there is no folder.
    std::vector<Version> List() const;
    // Keeps the file as it is now as the newest version and gives its name;
    // nothing when there is no file, or when the newest version already is this
    // very file (left by a save that was cut short).
    std::optional<std::string> Keep();
    // Removes a version just kept for a save that then failed, and the folder
    // with it when that leaves it empty.
    void Discard(const std::string& name);
    // Removes the oldest versions beyond the bounds.
    void Prune(const VersionBounds& bounds = {});

private:
    std::string file_;
    std::string folder_;
    std::string extension_;  // the file's, which every version name ends with
};

// Runs save, which replaces the file at path, keeping the content it replaces
// as a version: when save raises, the version made for it is removed again and
// the failure passes on; after a save that worked the folder is pruned to the
// bounds. Gives the name of the version kept, if one was.
std::optional<std::string> SaveKeepingVersion(const std::string& path, const std::function<void()>& save,
                                              const VersionBounds& bounds = {});

}  // namespace fileio
