// A second program on the same catalogue: the one that has it open for changes
// holds its lock; every other program may read it, none may change it.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "app/core/CatalogLock.h"
#include "app/core/Global.h"
#include "app/core/RecordingUiServices.h"
#include "fileio/FileIO.h"
#include "tests/common/KinovkaCli.h"
#include "tests/common/Catalogs.h"
#include "tests/common/Scratch.h"

namespace fs = std::filesystem;
using State = CatalogLock::State;

namespace {

const std::string kInUse = "Katalog je otevřen v jiném programu: filmy.xml.\n";

struct LockedCatalog {
    LockedCatalog() {
        WriteBytes(dir.File("filmy.xml"), CatalogOf(TwoFilms()));
        WriteBytes(dir.File("nove.csv"), "S1\nBrazil\n");
        before = ReadBytes(dir.File("filmy.xml"));
    }
    ScratchDir dir;
    std::string before;
};

}  // namespace

TEST(CatalogLock, TwoHoldersConflictEvenInOneProcess) {
    ScratchDir dir;
    const std::string catalog = dir.File("filmy.xml");
    CatalogLock first(catalog);
    EXPECT_EQ(first.GetState(), State::Held);
    // The sidecar lies beside the catalogue; the catalogue itself need not exist yet.
    EXPECT_TRUE(fs::exists(catalog + ".lock"));

    CatalogLock second(catalog);
    EXPECT_EQ(second.GetState(), State::HeldElsewhere);
    EXPECT_FALSE(second.MayChange());
    EXPECT_EQ(second.Retry(), State::HeldElsewhere);

    first.Release();
    EXPECT_FALSE(fs::exists(catalog + ".lock"));
    EXPECT_EQ(second.Retry(), State::Held);
    CatalogLock third(catalog);
    EXPECT_EQ(third.GetState(), State::HeldElsewhere);
}

TEST(CatalogLock, EverySpellingOfACatalogMeetsTheSameLock) {
    ScratchDir dir;
    WriteBytes(dir.File("filmy.xml"), "x");
    fs::create_directory(dir.File("sub"));
    fs::create_symlink(dir.File("filmy.xml"), dir.File("link.xml"));
    CatalogLock held(dir.File("filmy.xml"));
    ASSERT_EQ(held.GetState(), State::Held);
    EXPECT_EQ(CatalogLock(dir.File("sub/../filmy.xml")).GetState(), State::HeldElsewhere);
    EXPECT_EQ(CatalogLock(dir.File("link.xml")).GetState(), State::HeldElsewhere);
    EXPECT_EQ(CatalogLock(dir.File("./filmy.xml")).GetState(), State::HeldElsewhere);
}

TEST(CatalogLock, SurvivesEverySaveOfTheCatalog) {
    // Every save renames a new file over the catalogue; the lock is not on it.
    ScratchDir dir;
    const std::string catalog = dir.File("filmy.xml");
    CatalogLock held(catalog);
    fileio::ReplaceFileAtomically(catalog, "one");
    fileio::ReplaceFileAtomically(catalog, "two");
    EXPECT_EQ(CatalogLock(catalog).GetState(), State::HeldElsewhere);
}

TEST(CatalogLock, EndsWithTheProgramThatHeldIt) {
    ScratchDir dir;
    const std::string catalog = dir.File("filmy.xml");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CatalogLock held(catalog);
        const char state = held.GetState() == State::Held ? 'H' : '-';
        if (::write(ready[1], &state, 1) != 1) ::_exit(1);
        ::pause();  // until killed: the lock is never released by the program itself
        ::_exit(0);
    }
    char state = 0;
    ASSERT_EQ(::read(ready[0], &state, 1), 1);
    EXPECT_EQ(state, 'H');
    CatalogLock mine(catalog);
    EXPECT_EQ(mine.GetState(), State::HeldElsewhere);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    // The sidecar is still there, but nobody holds it any more.
    EXPECT_TRUE(fs::exists(catalog + ".lock"));
    EXPECT_EQ(mine.Retry(), State::Held);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(CatalogLock, NoSidecarPossibleStandsInNobodysWay) {
    ScratchDir dir;
    CatalogLock lock(dir.File("missing/filmy.xml"));
    EXPECT_EQ(lock.GetState(), State::Unavailable);
    EXPECT_TRUE(lock.MayChange());
}

TEST(CatalogLock, RefusalNamesTheCatalog) {
    RecordingUiServices ui;
    SetUserInterface(ui);
    DataFileName = "filmy.xml";
    ShowCatalogInUse();
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Text, cp1250::FromUtf8("Katalog je otevřen v jiném programu: filmy.xml."));
    EXPECT_EQ(ui.Messages[0].Kind, MessageKind::Error);
}

// kinovka-cli, while a window (here: the test) holds the catalogue's lock.
TEST(CatalogLockCli, ChangesAreRefusedAndReadingGoesOn) {
    LockedCatalog files;
    const CatalogLock window(files.dir.File("filmy.xml"));
    ASSERT_EQ(window.GetState(), State::Held);

    const std::vector<std::vector<std::string>> changes{
        {"add", "filmy.xml", "--en", "Brazil"},
        {"edit", "filmy.xml", "1", "--note", "x"},
        {"delete", "filmy.xml", "1"},
        {"import", "filmy.xml", "nove.csv"},
        {"new", "filmy.xml", "--force"},
        {"convert", "filmy.xml", "filmy.xml", "--format", "binary"},
        {"rescue", "nove.csv", "filmy.xml", "--force"},
        {"restore", "filmy.xml", "1"},
    };
    for (const auto& arguments : changes) {
        SCOPED_TRACE(arguments[0]);
        const RunResult result = RunCli(arguments, files.dir.Path());
        EXPECT_EQ(result.Status, 2);
        EXPECT_EQ(result.Err, kInUse);
        EXPECT_EQ(result.Out, "");
        EXPECT_EQ(ReadBytes(files.dir.File("filmy.xml")), files.before);
    }
    // Another catalogue is no business of this lock.
    EXPECT_EQ(RunCli({"convert", "filmy.xml", "kopie.xml"}, files.dir.Path()).Status, 0);

    const std::vector<std::vector<std::string>> readings{
        {"list", "filmy.xml"}, {"summary", "filmy.xml"}, {"dump", "filmy.xml"},
        {"find", "filmy.xml", "--en", "kol"}, {"export", "filmy.xml", "filmy.csv"},
        {"history", "filmy.xml"},
    };
    for (const auto& arguments : readings) {
        SCOPED_TRACE(arguments[0]);
        const RunResult result = RunCli(arguments, files.dir.Path());
        EXPECT_EQ(result.Status, 0) << result.Err;
        EXPECT_NE(result.Out + ReadBytes(files.dir.File("filmy.csv")), "");
    }
    EXPECT_EQ(ReadBytes(files.dir.File("filmy.xml")), files.before);
    EXPECT_EQ(files.dir.Names(),
              (std::vector<std::string>{"filmy.csv", "filmy.xml", "filmy.xml.lock", "kopie.xml", "nove.csv"}));
}

TEST(CatalogLockCli, AChangeHoldsTheLockOnlyWhileItRuns) {
    LockedCatalog files;
    const RunResult added = RunCli({"add", "filmy.xml", "--en", "Brazil"}, files.dir.Path());
    ASSERT_EQ(added.Status, 0) << added.Err;
    EXPECT_EQ(FilmsInFile(files.dir.File("filmy.xml")), 3);
    // Nothing is left behind but the version the change kept, and the next
    // program finds the catalogue free.
    EXPECT_EQ(files.dir.Names(), (std::vector<std::string>{"filmy.xml", "filmy.xml.versions", "nove.csv"}));
    EXPECT_EQ(CatalogLock(files.dir.File("filmy.xml")).GetState(), State::Held);
}
