#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "fileio/FileIO.h"
#include "fileio/FileOperations.h"
#include "fileio/FileReplacement.h"

namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir() {
        path_ = fs::temp_directory_path() / ("kinovka-fileio-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_)) names.push_back(entry.path().filename().string());
        return names;
    }

private:
    static inline int counter_ = 0;
    fs::path path_;
};

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// Fails one chosen operation (the n-th write, counting from 1) with a chosen error.
class FailingOperations : public fileio::SystemFileOperations {
public:
    enum Step { AtCreate, AtWrite, AtFlush, AtClose, AtRename };
    FailingOperations(Step step, int error, int onWrite = 1) : step_(step), error_(error), onWrite_(onWrite) {}

    int CreateExclusive(const std::string& path, int& handle) override {
        if (step_ == AtCreate) return error_;
        created = path;
        return SystemFileOperations::CreateExclusive(path, handle);
    }
    int Write(int handle, const char* data, std::size_t size, std::size_t& written) override {
        ++writes_;
        if (step_ == AtWrite && writes_ == onWrite_) {
            written = 0;
            return error_;
        }
        // Small writes, so that a failure can hit a later one.
        return SystemFileOperations::Write(handle, data, std::min<std::size_t>(size, 4), written);
    }
    int Flush(int handle) override { return step_ == AtFlush ? error_ : SystemFileOperations::Flush(handle); }
    int Close(int handle) override {
        const int result = SystemFileOperations::Close(handle);
        return step_ == AtClose ? error_ : result;
    }
    int Rename(const std::string& from, const std::string& to) override {
        return step_ == AtRename ? error_ : SystemFileOperations::Rename(from, to);
    }
    std::string created;

private:
    Step step_;
    int error_;
    int onWrite_;
    int writes_ = 0;
};

}  // namespace

TEST(FileIO, ReadsWholeFileAndReplacesIt) {
    TempDir dir;
    const auto path = dir.File("filmy.xml");
    fileio::ReplaceFileAtomically(path, std::string("new\0content", 11));
    EXPECT_EQ(fileio::ReadWholeFile(path), std::string("new\0content", 11));
    fileio::ReplaceFileAtomically(path, "");
    EXPECT_EQ(fileio::ReadWholeFile(path), "");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"filmy.xml"});
}

TEST(FileIO, MissingFileGivesTheSystemText) {
    TempDir dir;
    try {
        fileio::ReadWholeFile(dir.File("none.xml"));
        FAIL();
    } catch (const fileio::FileError& error) {
        EXPECT_EQ(error.ErrorNumber(), ENOENT);
        EXPECT_STREQ(error.what(), "No such file or directory");
    }
}

TEST(FileIO, ReplacementKeepsPermissionBits) {
    TempDir dir;
    const auto path = dir.File("filmy.xml");
    WriteFile(path, "old");
    ::chmod(path.c_str(), 0640);
    fileio::ReplaceFileAtomically(path, "new");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(FileIO, ReplacingThroughALinkKeepsTheLink) {
    TempDir dir;
    WriteFile(dir.File("real.xml"), "old");
    fs::create_symlink(dir.File("real.xml"), dir.File("link.xml"));
    fileio::ReplaceFileAtomically(dir.File("link.xml"), "new");
    EXPECT_TRUE(fs::is_symlink(dir.File("link.xml")));
    EXPECT_EQ(fileio::ReadWholeFile(dir.File("real.xml")), "new");
}

// Whatever step fails, the old file stays byte for byte and no temporary file is left.
TEST(FileIO, FailedReplacementLeavesOldFileIntact) {
    const struct Case {
        FailingOperations::Step step;
        int error;
        int onWrite;
    } cases[] = {
        {FailingOperations::AtCreate, EACCES, 1},   {FailingOperations::AtWrite, ENOSPC, 1},
        {FailingOperations::AtWrite, ENOSPC, 3}, {FailingOperations::AtWrite, EIO, 2},
        {FailingOperations::AtFlush, EIO, 1},        {FailingOperations::AtClose, EIO, 1},
        {FailingOperations::AtRename, EXDEV, 1},
    };
    const std::string old = "<old catalogue>\r\n\x01\xff";
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.step) + "/" + std::to_string(c.onWrite));
        TempDir dir;
        const auto path = dir.File("filmy.xml");
        WriteFile(path, old);
        FailingOperations failing(c.step, c.error, c.onWrite);
        fileio::ScopedFileOperations scope(failing);
        try {
            fileio::ReplaceFileAtomically(path, "a much longer new catalogue content");
            FAIL() << "no error";
        } catch (const fileio::FileError& error) {
            EXPECT_EQ(error.ErrorNumber(), c.error);
        }
        EXPECT_EQ(fileio::ReadWholeFile(path), old);
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"filmy.xml"});
    }
}

TEST(FileIO, WriteThatStopsMakingProgressCountsAsFullDisk) {
    struct Stalling : fileio::SystemFileOperations {
        int Write(int, const char*, std::size_t, std::size_t& written) override {
            written = 0;
            return 0;
        }
    } stalling;
    TempDir dir;
    const auto path = dir.File("filmy.xml");
    WriteFile(path, "old");
    fileio::ScopedFileOperations scope(stalling);
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
    TempDir dir;
    const auto path = dir.File("filmy.xml");
    WriteFile(path, "old");
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
    TempDir dir;
    fs::create_directories(dir.File("catalogue"));
    try {
        fileio::FileReplacement replacement(dir.File("catalogue"));
        FAIL();
    } catch (const fileio::FileError& error) {
        EXPECT_EQ(error.ErrorNumber(), EISDIR);
    }
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"catalogue"});
}
