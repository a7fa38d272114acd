// Files that are no files: reading must end, and saving must never put a file
// in the place of something else.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

#include "fileio/FileIO.h"
#include "tests/common/Catalogs.h"
#include "tests/common/Scratch.h"

namespace fs = std::filesystem;

namespace {

int ReadError(const std::string& path) {
    try {
        fileio::ReadWholeFile(path);
    } catch (const fileio::FileError& failure) {
        return failure.ErrorNumber();
    }
    return 0;
}

int ReplaceError(const std::string& path) {
    try {
        fileio::ReplaceFileAtomically(path, "new");
    } catch (const fileio::FileError& failure) {
        return failure.ErrorNumber();
    }
    return 0;
}

}  // namespace

TEST(SpecialFiles, ReadingEndsOnPipesAndDevices) {
    ScratchDir dir;
    const std::string pipe = dir.File("pipe.xml");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // No writer: nothing to read, and no wait for one.
    EXPECT_EQ(fileio::ReadWholeFile(pipe), "");
    // An endless device is refused instead of read until memory runs out.
    EXPECT_EQ(ReadError("/dev/zero"), EINVAL);
    EXPECT_EQ(ReadError(dir.Path()), EISDIR);
}

TEST(SpecialFiles, OnlyFilesAreReplaced) {
    ScratchDir dir;
    const std::string pipe = dir.File("pipe.xml");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(ReplaceError(pipe), EINVAL);
    EXPECT_TRUE(fs::is_fifo(pipe));

    fs::create_directory(dir.File("folder.xml"));
    EXPECT_EQ(ReplaceError(dir.File("folder.xml")), EISDIR);

    // A link that leads nowhere stays a link.
    fs::create_symlink(dir.File("missing/none.xml"), dir.File("dangling.xml"));
    EXPECT_EQ(ReplaceError(dir.File("dangling.xml")), EINVAL);
    EXPECT_TRUE(fs::is_symlink(dir.File("dangling.xml")));

    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"dangling.xml", "folder.xml", "pipe.xml"}));
}
