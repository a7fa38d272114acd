#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <sys/stat.h>

#include "fileio/FileIO.h"
#include "fileio/FileReplacement.h"
#include "fileio/VersionFolder.h"
#include "tests/common/FaultyFileOperations.h"
#include "tests/common/Scratch.h"

namespace fs = std::filesystem;

namespace {

}  // namespace

TEST(FileIO, ReadsWholeFileAndReplacesIt) {
    ScratchDir dir;
    const auto path = dir.File("filmy.xml");
    fileio::ReplaceFileAtomically(path, std::string("new\0content", 11));
    EXPECT_EQ(fileio::ReadWholeFile(path), std::string("new\0content", 11));
    fileio::ReplaceFileAtomically(path, "");
    EXPECT_EQ(fileio::ReadWholeFile(path), "");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"filmy.xml"});
}

TEST(FileIO, MissingFileGivesTheSystemText) {
    ScratchDir dir;
    try {
        fileio::ReadWholeFile(dir.File("none.xml"));
        FAIL();
    } catch (const fileio::FileError& error) {
        EXPECT_EQ(error.ErrorNumber(), ENOENT);
        EXPECT_STREQ(error.what(), "No such file or directory");
    }
}

TEST(FileIO, ReplacementKeepsPermissionBits) {
    ScratchDir dir;
    const auto path = dir.File("filmy.xml");
    WriteBytes(path, "old");
    ::chmod(path.c_str(), 0640);
    fileio::ReplaceFileAtomically(path, "new");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(FileIO, ReplacingThroughALinkKeepsTheLink) {
    ScratchDir dir;
    WriteBytes(dir.File("real.xml"), "old");
    fs::create_symlink(dir.File("real.xml"), dir.File("link.xml"));
    fileio::ReplaceFileAtomically(dir.File("link.xml"), "new");
    EXPECT_TRUE(fs::is_symlink(dir.File("link.xml")));
    EXPECT_EQ(fileio::ReadWholeFile(dir.File("real.xml")), "new");
}

// Whatever step fails, the old file stays byte for byte and no temporary file is left.
TEST(FileIO, FailedReplacementLeavesOldFileIntact) {
    const Fault faults[] = {
        {Fault::Create, EACCES}, {Fault::Write, ENOSPC, 1}, {Fault::Write, ENOSPC, 3}, {Fault::Write, EIO, 2},
        {Fault::Flush, EIO},     {Fault::Close, EIO},       {Fault::Rename, EXDEV},
    };
    const std::string old = "<old catalogue>\r\n\x01\xff";
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.Describe());
        ScratchDir dir;
        const auto path = dir.File("filmy.xml");
        WriteBytes(path, old);
        const FaultyFileOperations failing(fault, 4);  // small writes, so that a later one can fail
        try {
            fileio::ReplaceFileAtomically(path, "a much longer new catalogue content");
            FAIL() << "no error";
        } catch (const fileio::FileError& error) {
            EXPECT_EQ(error.ErrorNumber(), fault.Error);
        }
        EXPECT_EQ(fileio::ReadWholeFile(path), old);
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"filmy.xml"});
    }
}

TEST(FileIO, WriteThatStopsMakingProgressCountsAsFullDisk) {
    ScratchDir dir;
    const auto path = dir.File("filmy.xml");
    WriteBytes(path, "old");
    const FaultyFileOperations stalling({Fault::WriteNothing, 0, 1});
    try {
        fileio::ReplaceFileAtomically(path, "new");
        FAIL();
    } catch (const fileio::FileError& error) {
        EXPECT_EQ(error.ErrorNumber(), ENOSPC);
    }
    EXPECT_EQ(fileio::ReadWholeFile(path), "old");
    EXPECT_EQ(dir.Names().size(), 1u);
}

TEST(FileIO, ReplacementInPiecesReplacesOnlyWhenCommitted) {
    ScratchDir dir;
    const auto path = dir.File("filmy.xml");
    WriteBytes(path, "old");
    {
        fileio::FileReplacement replacement(path);
        replacement.Write("first ");
        replacement.Write("");
        replacement.Write("second");
        EXPECT_EQ(fileio::ReadWholeFile(path), "old") << "nothing happens to the file before the commit";
        replacement.Commit();
    }
    EXPECT_EQ(fileio::ReadWholeFile(path), "first second");
    {
        fileio::FileReplacement dropped(path);
        dropped.Write("never committed");
    }
    EXPECT_EQ(fileio::ReadWholeFile(path), "first second");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"filmy.xml"}) << "a dropped replacement leaves nothing behind";
}

TEST(FileIO, ReplacementRefusesDirectoriesBeforeWriting) {
    ScratchDir dir;
    fs::create_directories(dir.File("catalogue"));
    try {
        fileio::FileReplacement replacement(dir.File("catalogue"));
        FAIL();
    } catch (const fileio::FileError& error) {
        EXPECT_EQ(error.ErrorNumber(), EISDIR);
    }
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"catalogue"});
}

// Saves of random sizes, some failing, some on a full disk, some (as a restore)
// not pruning, against a plain model of the versions: each save that works keeps
// the content it replaced as the newest version; a full disk costs the oldest
// versions, one per failed try, never the newest; the newest MaxCount stay, as
// long as they add up to no more than SizeFactor times the largest of the file
// and its versions; a failed save keeps nothing and prunes nothing.
TEST(FileVersions, SavesKeepTheReplacedContentNewestFirstWithinTheBounds) {
    ScratchDir dir;
    const std::string path = dir.File("filmy.xml");
    const fileio::VersionBounds bounds{7, 3, 0};
    std::mt19937 random(20261208);
    std::vector<std::string> model;  // newest first
    std::string current;
    bool exists = false;
    for (int save = 0; save < 80; ++save) {
        const std::string content(random() % 3 == 0 ? random() % 3000 : random() % 300, char('a' + save % 26));
        const bool fails = random() % 5 == 0, prunes = random() % 4 != 0;
        int fullFor = random() % 4 == 0 ? static_cast<int>(random() % 3) + 1 : 0;

        std::vector<std::string> expected = model;
        if (exists) expected.insert(expected.begin(), current);
        int room = fullFor;
        for (; room > 0 && expected.size() >= 2; --room) expected.pop_back();
        const bool works = room == 0 && !fails;
        try {
            fileio::SaveKeepingVersion(
                path,
                [&] {
                    if (fullFor-- > 0) throw fileio::FileError(ENOSPC);
                    if (fails) throw fileio::FileError(EIO);
                    fileio::ReplaceFileAtomically(path, content);
                },
                prunes ? std::optional(bounds) : std::nullopt);
            EXPECT_TRUE(works);
        } catch (const fileio::FileError&) {
            EXPECT_FALSE(works);
        }
        if (works) {
            current = content, exists = true;
        } else if (exists) {
            expected.erase(expected.begin());  // the version made for the save goes again
        }
        std::size_t largest = current.size(), total = 0, kept = 0;
        for (const std::string& version : expected) largest = std::max(largest, version.size());
        while (kept < expected.size() && kept < bounds.MaxCount && total + expected[kept].size() <= 3 * largest)
            total += expected[kept++].size();
        if (works && prunes) expected.resize(kept);
        model = expected;
        std::vector<std::string> stored;
        std::uint64_t previous = ~0ull;
        for (const fileio::Version& version : fileio::VersionFolder(path).List()) {
            EXPECT_LT(version.Sequence, previous);
            EXPECT_EQ(version.Name.substr(version.Name.size() - 4), ".xml");
            previous = version.Sequence;
            stored.push_back(fileio::ReadWholeFile(version.Path));
        }
        ASSERT_EQ(stored, model) << "after save " << save;
    }
}

// A version is the replaced file itself, linked; where the folder lies on
// another file system it is a copy. Keeping the same file twice keeps it once,
// and it is listed only once the file has been replaced.
TEST(FileVersions, KeptByLinkOrWhereLinksAreImpossibleByCopy) {
    ScratchDir dir;
    const std::string path = dir.File("filmy.xml");
    WriteBytes(path, "first");
    struct stat original {};
    ASSERT_EQ(::stat(path.c_str(), &original), 0);
    fileio::VersionFolder folder(dir.File("./filmy.xml"));
    // Kept twice, as by a save killed before its rename and the next one.
    ASSERT_TRUE(folder.Keep());
    const auto name = folder.Keep();
    ASSERT_TRUE(name);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), {}), 1);
    struct stat linked {};
    ASSERT_EQ(::stat((folder.Path() + "/" + *name).c_str(), &linked), 0);
    EXPECT_EQ(linked.st_ino, original.st_ino);
    EXPECT_TRUE(folder.List().empty()) << "the file itself is no earlier state";
    folder.Discard(*name);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"filmy.xml"});

    // /dev/shm is a file system of its own.
    const std::string shm = "/dev/shm/kinovka-versions-" + std::to_string(::getpid());
    struct stat memory {};
    if (::stat("/dev/shm", &memory) != 0 || memory.st_dev == original.st_dev) GTEST_SKIP() << "no second file system";
    fs::create_directories(shm);
    fs::create_directory_symlink(shm, path + ".versions");
    fileio::SaveKeepingVersion(path, [&] { fileio::ReplaceFileAtomically(path, "second"); });
    const std::vector<fileio::Version> copied = folder.List();
    fs::remove_all(shm);
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_EQ(copied[0].Size, 5u);
}
