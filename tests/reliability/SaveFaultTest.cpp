// Saves that fail: at the creation of the new file, at any of its writes, on a
// full disk, at the flush, the close or the rename. After each the catalogue on
// disk is byte for byte the one before, nothing is left beside it, and the user
// is told "Nepodařilo se uložit soubor: ". A process killed in the middle of a
// save leaves a complete catalogue, the old one or the new one.
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <csignal>
#include <filesystem>
#include <optional>
#include <random>
#include <cstring>
#include <memory>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <sys/wait.h>
#include <thread>

#include "app/core/Global.h"
#include "app/core/RecordingUiServices.h"
#include "fileio/VersionFolder.h"
#include "tests/common/KinovkaCli.h"
#include "tests/common/FaultyFileOperations.h"
#include "tests/common/Catalogs.h"
#include "tests/common/Scratch.h"

namespace fs = std::filesystem;

namespace {

const std::string kSaveFailed = "Nepodařilo se uložit soubor: filmy.xml.";

// The run's catalogue: the sample catalogue in a scratch directory, opened.
struct OpenedCatalog {
    OpenedCatalog() {
        SetUserInterface(ui);
        DataDir = dir.Path() + "/";
        DataFileName = "filmy.xml";
        SortFields = "S1;S2;S3";
        WriteBytes(dir.File("filmy.xml"), SampleCatalog());
        before = ReadBytes(dir.File("filmy.xml"));
        if (!OpenCatalog(table)) throw std::runtime_error("the sample catalogue does not open");
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& message : ui.Messages) texts.push_back(cp1250::ToUtf8(message.Text));
        return texts;
    }
    void AddFilm(const std::string& title) {
        table.Insert();
        table.FieldNamed("S1").SetAsString(cp1250::FromUtf8(title));
        table.Post();
    }

    ScratchDir dir;
    RecordingUiServices ui;
    TClientDataSet table;
    std::string before;
};

// How many pieces a save of the sample catalogue with one more film is written in.
int WritesOfOneSave() {
    OpenedCatalog catalog;
    catalog.AddFilm("Brazil");
    FaultyFileOperations counting({});
    EXPECT_TRUE(SaveCatalog(catalog.table));
    return counting.Writes;
}

}  // namespace

TEST(SaveFaults, EveryFailingStepLeavesTheCatalogAsItWas) {
    const int writes = WritesOfOneSave();
    ASSERT_GT(writes, 10);
    for (const Fault& fault : EveryFault(writes)) {
        SCOPED_TRACE(fault.Describe());
        OpenedCatalog catalog;
        catalog.AddFilm("Brazil");
        {
            const FaultyFileOperations failing(fault);
            EXPECT_FALSE(SaveCatalog(catalog.table));
        }
        ASSERT_EQ(catalog.Messages().size(), 1u);
        EXPECT_TRUE(catalog.Messages()[0].starts_with(kSaveFailed + "\n")) << catalog.Messages()[0];
        EXPECT_EQ(ReadBytes(catalog.dir.File("filmy.xml")), catalog.before);
        EXPECT_EQ(catalog.dir.Names(), std::vector<std::string>{"filmy.xml"});
        // The reload that follows every save shows the file's films again.
        ASSERT_TRUE(OpenCatalog(catalog.table));
        EXPECT_EQ(catalog.table.CountRecords(), 31);
    }
}

TEST(SaveFaults, NewCatalogThatCannotBeSavedReplacesNothing) {
    for (const Fault& fault : EveryFault(2)) {
        SCOPED_TRACE(fault.Describe());
        OpenedCatalog catalog;
        {
            const FaultyFileOperations failing(fault);
            CreateCatalog(catalog.table);
        }
        ASSERT_EQ(catalog.Messages().size(), 1u);
        EXPECT_TRUE(catalog.Messages()[0].starts_with(kSaveFailed + "\n")) << catalog.Messages()[0];
        EXPECT_EQ(ReadBytes(catalog.dir.File("filmy.xml")), catalog.before);
        // Nor is the copy kept before replacing left behind.
        EXPECT_EQ(catalog.dir.Names(), std::vector<std::string>{"filmy.xml"});
    }
}

TEST(SaveFaults, AReloadAfterNovyWritesNothing) {
    // Not even a film never saved: the reload shows the file, with no write to fail.
    OpenedCatalog catalog;
    CreateCatalog(catalog.table);
    ASSERT_TRUE(OpenCatalog(catalog.table));
    const std::string empty = ReadBytes(catalog.dir.File("filmy.xml"));
    catalog.AddFilm("Brazil");
    catalog.ui.Clear();
    {
        const FaultyFileOperations failing({Fault::Write, ENOSPC, 1});
        EXPECT_TRUE(OpenCatalog(catalog.table));
    }
    EXPECT_EQ(ReadBytes(catalog.dir.File("filmy.xml")), empty);
    EXPECT_EQ(catalog.dir.Names(), (std::vector<std::string>{"filmy.xml", "filmy.xml.bak", "filmy.xml.versions"}));
    EXPECT_TRUE(catalog.Messages().empty());
}

// kinovka-cli on a disk that fills up: every file may grow to a limit only, so
// the save's writes fail for real (EFBIG, as ENOSPC on a full disk).
TEST(SaveFaults, FullDiskThroughTheCommandLine) {
    const struct {
        std::vector<std::string> Arguments;
        rlim_t Limit;
    } changes[] = {
        {{"add", "filmy.xml", "--en", "Brazil"}, 4096},  // fails at a later write
        {{"add", "filmy.xml", "--en", "Brazil"}, 64},    // at the second (the message still fits)
        {{"edit", "filmy.xml", "1", "--note", "x"}, 100},
        {{"delete", "filmy.xml", "1"}, 100},
        {{"import", "filmy.xml", "nove.csv"}, 1000},
        {{"new", "filmy.xml", "--force"}, 100},
        {{"convert", "filmy.xml", "filmy.xml", "--format", "binary"}, 100},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.Arguments[0] + " " + std::to_string(change.Limit));
        ScratchDir dir;
        const std::string before = SampleCatalog();
        WriteBytes(dir.File("filmy.xml"), before);
        WriteBytes(dir.File("nove.csv"), "S1\nBrazil\n");
        RunOptions options;
        options.FileSizeLimit = change.Limit;
        const RunResult result = RunCli(change.Arguments, dir.Path(), options);
        EXPECT_EQ(result.Status, 2);
        EXPECT_TRUE(result.Err.starts_with(kSaveFailed + "\n")) << result.Err;
        EXPECT_EQ(result.Out, "");
        EXPECT_EQ(ReadBytes(dir.File("filmy.xml")), before);
        EXPECT_EQ(dir.Names(), (std::vector<std::string>{"filmy.xml", "nove.csv"}));
    }
}

// A save honours the catalogue's own permissions as a write in place would:
// kinovka-cli as a user who may write the folder but not the file is refused
// and changes nothing; a file it may write keeps its mode and group, and one
// that root rewrites keeps its owner too.
TEST(SaveFaults, TheFilesOwnPermissionsDecide) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    struct Case {
        uid_t Owner;
        fs::perms Mode;
        std::optional<uid_t> User;
        bool Saves;
    };
    const fs::perms readable = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    const fs::perms ownerWrites = readable | fs::perms::owner_write;
    const fs::perms ownerOnly = fs::perms::owner_read | fs::perms::owner_write;
    for (const Case& test : {Case{0, ownerWrites, kNobody, false}, Case{kNobody, readable, kNobody, false},
                             Case{kNobody, ownerWrites, kNobody, true}, Case{kNobody, ownerOnly, std::nullopt, true}}) {
        SCOPED_TRACE(std::to_string(test.Owner) + " " + std::to_string(static_cast<int>(test.Mode)));
        ScratchDir dir;
        fs::permissions(dir.Path(), fs::perms::all);
        const std::string path = dir.File("filmy.xml");
        WriteBytes(path, SampleCatalog());
        ASSERT_EQ(::chown(path.c_str(), test.Owner, kNobody), 0);
        fs::permissions(path, test.Mode);
        RunOptions options;
        options.User = test.User;
        const RunResult result = RunCli({"add", "filmy.xml", "--en", "Brazil"}, dir.Path(), options);
        EXPECT_EQ(result.Status, test.Saves ? 0 : 2) << result.Err;
        EXPECT_EQ(FilmsInFile(path), test.Saves ? 32 : 31);
        EXPECT_EQ(result.Err, test.Saves ? "" : kSaveFailed + "\nPřístup odepřen.\n");
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, test.Owner);
        EXPECT_EQ(info.st_gid, kNobody);
        EXPECT_EQ(static_cast<fs::perms>(info.st_mode & 07777), test.Mode);
        // A save keeps the file it replaced as a version; a refused one keeps nothing.
        const std::vector<std::string> kept = test.Saves ? std::vector<std::string>{"filmy.xml", "filmy.xml.versions"}
                                                         : std::vector<std::string>{"filmy.xml"};
        EXPECT_EQ(dir.Names(), kept);
    }
}

// kinovka-cli add, again and again, each killed at some moment of its run, half
// of them while the new file is being written: the file is always a complete
// catalogue holding the films before that run or one more. Killed saves may
// leave their unfinished new file beside it, never in its place.
TEST(SaveFaults, KilledSavesLeaveACompleteCatalog) {
    ScratchDir dir;
    WriteBytes(dir.File("filmy.xml"), CatalogOf(ManyFilms(5000)));
    int films = 5000;

    // How long one add takes here, to spread the kills over it.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(RunCli({"add", "filmy.xml", "--en", "first"}, dir.Path()).Status, 0);
    const auto took = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(FilmsInFile(dir.File("filmy.xml")), ++films);

    std::mt19937 random(7);
    const ScratchDir outputs;
    RunOptions options;
    options.WorkDir = dir.Path();
    int killed = 0, killedWhileWriting = 0;
    for (int run = 0; run < 40; ++run) {
        const pid_t child = StartProgram({CliPath(), "add", "filmy.xml", "--en", "film " + std::to_string(run)},
                                         options, outputs.Path());
        const std::string newFile = "filmy.xml.tmp-" + std::to_string(child) + "-";
        // Whether the run is over, without collecting it yet.
        const auto over = [child] {
            siginfo_t info{};
            return ::waitid(P_PID, child, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == child;
        };
        const auto writing = [&] {
            for (const std::string& name : dir.Names())
                if (name.starts_with(newFile)) return true;
            return false;
        };
        if (run % 2 == 0) {
            std::this_thread::sleep_for(took * std::uniform_real_distribution<>(0.1, 1.1)(random));
        } else {
            // Until the new file appears (or the run is over), then a moment more.
            const auto deadline = std::chrono::steady_clock::now() + 20 * took;
            while (!writing() && !over() && std::chrono::steady_clock::now() < deadline) {
            }
            std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<>(0, 2000)(random)));
        }
        ::kill(child, SIGKILL);
        const RunResult result = WaitForProgram(child, outputs.Path());
        if (result.Signal == SIGKILL) ++killed;
        if (writing()) ++killedWhileWriting;
        const int now = FilmsInFile(dir.File("filmy.xml"));
        ASSERT_TRUE(now == films || now == films + 1) << "run " << run << ": " << now << " films after " << films;
        films = now;
    }
    EXPECT_GE(killed, 10) << "the kills should mostly land before the end of a run";
    EXPECT_GE(killedWhileWriting, 5) << "the kills should often land while the new file is written";
    // Besides the catalogue: the sidecar of the lock, which nobody holds any more,
    // the unfinished new files, and the versions, each a complete catalogue.
    for (const std::string& name : dir.Names()) {
        EXPECT_TRUE(name == "filmy.xml" || name == "filmy.xml.lock" || name.starts_with("filmy.xml.tmp-") ||
                    name == "filmy.xml.versions")
            << name;
    }
    for (const auto& version : fs::directory_iterator(dir.File("filmy.xml.versions")))
        EXPECT_GE(FilmsInFile(version.path().string()), 0) << version.path();
    std::cout << killed << " of 40 runs killed, " << killedWhileWriting << " while writing the new file\n";
}

namespace {

// The ACL "owner rw, nobody rw, group r, mask rw, others r", as the system stores it.
const std::string kAclGivingNobodyWrite("\2\0\0\0" "\1\0\6\0\xff\xff\xff\xff" "\2\0\6\0\xfe\xff\0\0"
                                        "\4\0\4\0\xff\xff\xff\xff" "\x10\0\6\0\xff\xff\xff\xff"
                                        "\x20\0\4\0\xff\xff\xff\xff", 44);

const mode_t kFolderMode = S_IFDIR | 0775;  // of a catalogue of mode 664

std::string Attribute(const std::string& path, const char* name) {
    char value[256];
    const ssize_t size = ::getxattr(path.c_str(), name, value, sizeof value);
    return size < 0 ? "none" : std::string(value, static_cast<std::size_t>(size));
}

}  // namespace

// Saves by root, by the owner and by a user whom an ACL lets write: the file keeps
// its owner, group, mode, ACL and extended attributes, and its versions folder
// takes the file's owner, group and write bits, so that root's save never locks
// the owner out. A folder the user may not write costs the version, not the save.
TEST(SaveFaults, SavesKeepEveryonesRightsToTheCatalogAndItsVersions) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    ScratchDir dir;
    fs::permissions(dir.Path(), fs::perms::all);
    const std::string path = dir.File("filmy.xml"), acl = kAclGivingNobodyWrite;
    WriteBytes(path, SampleCatalog());
    int films = 31;
    RunOptions asNobody;
    asNobody.User = kNobody;
    for (const auto& [owner, byNobody] : {std::pair<uid_t, bool>{kNobody, false}, {kNobody, true}, {0, true}}) {
        SCOPED_TRACE(std::to_string(owner) + (byNobody ? " saved by nobody" : " saved by root"));
        ASSERT_EQ(::chown(path.c_str(), owner, kNobody), 0);
        ASSERT_EQ(::setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0);
        ASSERT_EQ(::setxattr(path.c_str(), "user.kinovka", "keep", 4, 0), 0);
        struct stat before {}, after {}, folder {};
        ASSERT_EQ(::stat(path.c_str(), &before), 0);
        const RunResult result = RunCli({"add", "filmy.xml", "--en", "Brazil"}, dir.Path(), byNobody ? asNobody : RunOptions{});
        EXPECT_EQ(result.Status, 0) << result.Err;
        EXPECT_EQ(FilmsInFile(path), ++films);
        ASSERT_EQ(::stat(path.c_str(), &after), 0);
        EXPECT_EQ(std::tie(after.st_uid, after.st_gid, after.st_mode), std::tie(before.st_uid, before.st_gid, before.st_mode));
        EXPECT_EQ(Attribute(path, "system.posix_acl_access"), acl);
        EXPECT_EQ(Attribute(path, "user.kinovka"), "keep");
        EXPECT_EQ(fileio::VersionFolder(path).List().size(), static_cast<std::size_t>(films - 31));
        ASSERT_EQ(::stat((path + ".versions").c_str(), &folder), 0);  // made by root for nobody's catalogue
        EXPECT_EQ(std::tie(folder.st_uid, folder.st_gid, folder.st_mode), std::tie(kNobody, kNobody, kFolderMode));
    }

    // A folder left by a program that made it root's own, 755.
    fs::remove_all(path + ".versions");
    fs::create_directory(path + ".versions");
    const RunResult result = RunCli({"add", "filmy.xml", "--en", "Cube"}, dir.Path(), asNobody);
    EXPECT_EQ(result.Status, 0);
    EXPECT_EQ(result.Err,
              "Soubor filmy.xml je uložen, ale jeho předchozí verzi nelze uchovat ve složce filmy.xml.versions.\n"
              "Složka verzí filmy.xml.versions není zapisovatelná.\n");
    EXPECT_EQ(FilmsInFile(path), ++films);
}

// A small disk that the versions fill: a save then removes the oldest versions,
// never the newest, until it fits, and says so.
TEST(SaveFaults, OnAFullDiskTheOldestVersionsMakeRoom) {
    ScratchDir dir;
    if (::mount("tmpfs", dir.Path().c_str(), "tmpfs", 0, "size=600k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here: " << std::strerror(errno);
    const std::shared_ptr<void> unmount(nullptr, [&](void*) { ::umount2(dir.Path().c_str(), MNT_DETACH); });
    const std::string path = dir.File("filmy.xml");
    WriteBytes(path, CatalogOf(ManyFilms(1100)));
    ASSERT_GT(ReadBytes(path).size(), 130'000u);
    std::string told;
    for (int add = 1; add <= 6; ++add) {
        const std::string before = ReadBytes(path);
        const RunResult result = RunCli({"add", "filmy.xml", "--en", "film " + std::to_string(add)}, dir.Path());
        ASSERT_EQ(result.Status, 0) << "add " << add << ": " << result.Err;
        told += result.Err;
        EXPECT_EQ(FilmsInFile(path), 1100 + add);
        EXPECT_EQ(ReadBytes(fileio::VersionFolder(path).List().at(0).Path), before);
    }
    EXPECT_NE(told.find("Disk je plný: aby se soubor filmy.xml vešel, byly ze složky filmy.xml.versions "
                        "odstraněny nejstarší verze (1)."), std::string::npos) << told;
}
