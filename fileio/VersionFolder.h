#pragma once
// VersionFolder: the earlier contents of one file, kept in "<name>.versions/"
// beside it, so that a change can be taken back.
//
// A version is the whole file as it was just before a save replaced it. Its
// name is a sequence number, one more than any version already there, and the
// moment it was kept, in UTC to the microsecond, followed by the file's
// extension ("00000042-20261208-083251.123456Z.xml"). The order of versions is
// the order of their numbers, whatever the clock said; the time is only shown.
// Files that change together may share one numbering (numberedWith): a new
// version of any of them is numbered above every version of all of them, so
// that their numbers tell the order of their changes across the folders too.
// Names of the older form, the time alone ("20261208-083251.123456Z.xml"), are
// still read, as older than every numbered version.
//
// A version is a hard link to the file that is about to be replaced, which
// costs no copy (a save replaces the file by rename and never writes into it,
// so the linked content stays as it was); where the file system cannot link, or
// where the file will be rewritten in place (FileReplacement.h), it is a copy.
// A link to the file itself, left by a save killed before its rename, is no
// earlier state: it is not listed, and the next Keep removes it. Other files in
// the folder are left alone, but for the temporary files of copies that are no
// longer being made.
//
// The folder belongs to the file with its links resolved, so every spelling of
// one file finds the same folder. It is made with the file's owner and group
// (as far as this user may give them) and with the read and write bits of the
// file's mode, so that whoever may change the file may also keep its versions.
// Whoever changes the folder must hold the file's lock (CatalogLock) as for a
// change of the file; reading needs none. Failures raise FileError.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace fileio {

struct Version {
    std::string Path;
    std::string Name;
    std::uint64_t Sequence = 0;  // 0 for a name of the older form
    std::int64_t KeptAt = 0;     // microseconds since 1970-01-01 UTC, read from the name
    std::uint64_t Size = 0;
};

// The newest MaxCount versions stay, unless together they pass the larger of
// MinimumBudget and SizeFactor times the largest of the file and its versions;
// then the oldest of them go too. Measured against the largest rather than the
// current size, so that a catalogue that shrank (emptied, or an old small
// version restored) never costs the larger states that came before it. The
// newest version therefore always stays.
struct VersionBounds {
    std::size_t MaxCount = 100;
    std::uint64_t SizeFactor = 20;
    std::uint64_t MinimumBudget = std::uint64_t{256} << 20;
};

class VersionFolder {
public:
    // numberedWith: the other files whose versions share this file's numbering.
    explicit VersionFolder(const std::string& filePath, std::vector<std::string> numberedWith = {});

    const std::string& Path() const { return folder_; }
    // Newest first; empty when there is no folder.
    std::vector<Version> List() const;
    // Keeps the file as it is now as the newest version and gives its name;
    // nothing when there is no file.
    std::optional<std::string> Keep();
    // Removes a version just kept for a save that then failed, and the folder
    // with it when that leaves it empty.
    void Discard(const std::string& name);
    // Removes the oldest versions beyond the bounds.
    void Prune(const VersionBounds& bounds = {});
    // Removes the oldest version, never the newest; false when there is none to remove.
    bool RemoveOldest();

private:
    std::vector<Version> AllVersions() const;
    void MakeFolder() const;

    std::string file_;
    std::string folder_;
    std::string extension_;  // the file's, which every version name ends with
    std::vector<std::string> numberedWith_;
};

// What SaveKeepingVersion did beside the save.
struct VersionedSave {
    std::optional<std::string> Kept;  // the name of the version kept
    int NotKept = 0;                  // why the file's previous content could not be kept (errno), or 0
    std::size_t RemovedForSpace = 0;  // oldest versions removed so that the save fitted on a full disk
};

// Runs save, which replaces the file at path, keeping the content it replaces
// as a version. A version that cannot be kept does not stop the save (NotKept
// tells why). When the save fails for a full disk, the oldest versions are
// removed one by one, the newest never, and the save tried again. When save
// fails for good, the version made for it is removed again and the failure
// passes on. After a save that worked the folder is pruned to the bounds, if
// any are given: an undo walking back through the versions gives none, so that
// it never removes the states it walks to. numberedWith as for VersionFolder.
VersionedSave SaveKeepingVersion(const std::string& path, const std::function<void()>& save,
                                 const std::optional<VersionBounds>& bounds = VersionBounds{},
                                 const std::vector<std::string>& numberedWith = {});

// A failure that more free space would mend.
bool IsDiskFull(int error);

}  // namespace fileio
