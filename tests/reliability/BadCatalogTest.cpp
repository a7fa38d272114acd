// Catalogue files that are not what they should be, through the catalogue core
// (OpenCatalog) and through kinovka-cli: each is refused with the open message
// (and the status code when the reader gave one), or loads with all its films;
// either way no file changes and nothing crashes, hangs or reads out of bounds.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/core/Global.h"
#include "app/core/RecordingUiServices.h"
#include "tests/common/KinovkaCli.h"
#include "tests/common/Catalogs.h"
#include "tests/common/Scratch.h"

namespace fs = std::filesystem;

namespace {

const std::string kOpenFailed = "Nepodařilo se otevřít vstupní soubor: filmy.xml.";

// The open message followed by its reason, one line, as the core shows it.
bool OpenRefused(const std::vector<std::string>& messages) {
    return messages.size() == 1 && messages[0].starts_with(kOpenFailed + "\n") &&
           messages[0].find('\n', kOpenFailed.size() + 2) == std::string::npos;
}

// What a bad catalogue gives: refused with no status code (a file-system or
// table error), refused with a given code, or loaded with all its films.
struct Outcome {
    enum Kind { RefusedWithoutCode, RefusedWithCode, Loads } Kind;
    std::uint16_t Code = 0;
};
constexpr Outcome kNoCode{Outcome::RefusedWithoutCode};
constexpr Outcome kLoads{Outcome::Loads};
constexpr Outcome WithCode(std::uint16_t code) { return {Outcome::RefusedWithCode, code}; }

struct BadCatalog {
    std::string Name;
    std::function<void(const std::string& path)> Make;
    Outcome Expected;
    bool Unreadable = false;  // needs a user that the file's permissions keep out
};

std::string Replaced(std::string text, const std::string& what, const std::string& with) {
    const std::size_t at = text.find(what);
    if (at == std::string::npos) throw std::logic_error("no " + what);
    return text.replace(at, what.size(), with);
}

std::function<void(const std::string&)> Bytes(std::string bytes) {
    return [bytes = std::move(bytes)](const std::string& path) { WriteBytes(path, bytes); };
}

std::string Garbage() {
    std::mt19937 random(20240229);
    std::string bytes(4096, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    bytes[0] = '\x9C';  // neither "<" nor the binary form's first byte
    return bytes;
}

std::string Utf16(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (const char c : ascii) bytes += {c, '\0'};
    return bytes;
}

std::string Little(std::uint32_t value, int size) {
    std::string bytes;
    for (int i = 0; i < size; ++i) bytes += static_cast<char>(value >> (8 * i));
    return bytes;
}

std::string BinarySample() {
    TClientDataSet table;
    table.LoadFromBytes(SampleCatalog());
    return table.SaveToBytes(dfBinary);
}

std::vector<BadCatalog> BadCatalogs() {
    const std::string sample = SampleCatalog();
    const std::string binary = BinarySample();
    const std::string tenMegabytes(10'000'000, 'x');
    return {
        {"zero-byte file", Bytes(""), kNoCode},
        {"directory", [](const std::string& path) { fs::create_directory(path); }, kNoCode},
        {"no read permission",
         [sample](const std::string& path) {
             WriteBytes(path, sample);
             fs::permissions(path, fs::perms::none);
         },
         kNoCode, true},
        {"binary garbage", Bytes(Garbage()), WithCode(dberr::NotAPacket)},
        {"UTF-16 with its byte-order mark", Bytes(Utf16(sample)), WithCode(dberr::NotAPacket)},
        {"UTF-16 without a byte-order mark", Bytes(Utf16(sample).substr(2)), WithCode(dberr::NotAPacket)},
        {"UTF-8 byte-order mark", Bytes("\xEF\xBB\xBF" + sample), WithCode(dberr::NotAPacket)},
        {"deep nesting in the rows", Bytes(Replaced(sample, "<ROWDATA>", "<ROWDATA>" + [] {
             std::string deep;
             for (int i = 0; i < 100'000; ++i) deep += "<ROW>";
             return deep;
         }())),
         WithCode(dberr::NotAPacket)},
        {"a million nested elements", Bytes([] {
             std::string deep;
             for (int i = 0; i < 1'000'000; ++i) deep += "<A>";
             return deep;
         }()),
         WithCode(dberr::NotAPacket)},
        {"an attribute of 10 MB", Bytes(Replaced(sample, "S1=\"Kolya\"", "S1=\"" + tenMegabytes + "\"")), kLoads},
        {"an unknown parameter of 10 MB",
         Bytes(Replaced(sample, "AUTOINCVALUE=\"32\"", "AUTOINCVALUE=\"32\" NOTE=\"" + tenMegabytes + "\"")), kLoads},
        {"a file that ends inside an attribute of 10 MB",
         Bytes(sample.substr(0, sample.find("S1=\"Kolya\"") + 4) + tenMegabytes), WithCode(dberr::NotAPacket)},
        {"numbers out of 32-bit range",
         Bytes(Replaced(Replaced(Replaced(sample, "S3=\"2\"", "S3=\"99999999999\""), "S6=\"2\"", "S6=\"-99999999999\""),
                        "AUTOINCVALUE=\"32\"", "AUTOINCVALUE=\"4294967296\"")),
         kLoads},
        // A width has 16 bits: these are unreadable, so the column keeps whole values.
        {"a field width out of 32-bit range",
         Bytes(Replaced(sample, "WIDTH=\"100\"", "WIDTH=\"4294967296\"")), kLoads},
        {"a field width of 2 GB", Bytes(Replaced(sample, "WIDTH=\"100\"", "WIDTH=\"2147483647\"")), kLoads},
        // The column count of the binary header has 16 bits: 65 535 is the most it
        // can announce; the row count and a text's length prefix have 32.
        {"65 535 columns announced in a binary header, none there",
         Bytes(binary.substr(0, 12) + Little(0xFFFF, 2) + binary.substr(14, 10)), WithCode(dberr::NotAPacket)},
        // The ninth column is read from the rows' bytes, and its type is no type.
        {"65 535 columns announced in a binary header, eight there",
         Bytes(binary.substr(0, 12) + Little(0xFFFF, 2) + binary.substr(14)), WithCode(dberr::InvalidKeyType)},
        {"1 000 000 rows announced in a binary header",
         Bytes(binary.substr(0, 14) + Little(1'000'000, 4) + binary.substr(18)), WithCode(dberr::NotAPacket)},
    };
}

// Everything in the directory, with the bytes of its files.
std::map<std::string, std::string> Snapshot(const ScratchDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        std::error_code error;
        const bool file = entry.is_regular_file(error);
        const std::string name = entry.path().filename().string();
        // The unreadable file is compared by its size and mode instead.
        if (file && (fs::status(entry.path()).permissions() & fs::perms::owner_read) != fs::perms::none) {
            files[name] = ReadBytes(entry.path().string());
        } else {
            files[name] = std::to_string(file ? entry.file_size() : 0) + " bytes, mode " +
                          std::to_string(static_cast<int>(fs::status(entry.path()).permissions()));
        }
    }
    return files;
}

bool Root() { return ::geteuid() == 0; }

// OpenCatalog on filmy.xml in dir: true when it opened; the messages it showed.
struct OpenResult {
    bool Opened = false;
    std::vector<std::string> Messages;
    int Films = -1;
    int LongestTitle = -1;
};

OpenResult OpenInCore(const ScratchDir& dir) {
    RecordingUiServices ui;
    SetUserInterface(ui);
    DataDir = dir.Path() + "/";
    DataFileName = "filmy.xml";
    SortFields = "S1;S2;S3";
    TClientDataSet table;
    OpenResult result;
    result.Opened = OpenCatalog(table);
    for (const auto& message : ui.Messages) result.Messages.push_back(cp1250::ToUtf8(message.Text));
    if (result.Opened) {
        result.Films = table.CountRecords();
        for (table.First(); !table.AtEnd(); table.Next())
            result.LongestTitle = std::max(result.LongestTitle, static_cast<int>(table.FieldNamed("S1").AsString().size()));
    }
    return result;
}

// OpenInCore as a user whom the file's permissions keep out: in a child that
// gives up root first. Only whether it opened and the one message travel back.
OpenResult OpenInCoreAsNobody(const ScratchDir& dir) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(3);
        const OpenResult result = OpenInCore(dir);
        ::_exit(result.Opened ? 0 : OpenRefused(result.Messages) ? 1 : 2);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    OpenResult result;
    result.Opened = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 1) result.Messages = {kOpenFailed + "\nPřístup odepřen."};
    return result;
}

std::optional<std::uint16_t> LoadCode(const std::string& path) {
    try {
        TClientDataSet table;
        table.LoadFromFile(path);
    } catch (const EDBClient& failure) {
        return failure.ErrorCode;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::string CodeText(std::uint16_t code) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", code);
    return text;
}

}  // namespace

TEST(BadCatalogs, EachIsRefusedOrLoadsThroughTheCatalogCore) {
    for (const BadCatalog& bad : BadCatalogs()) {
        SCOPED_TRACE(bad.Name);
        ScratchDir dir;
        bad.Make(dir.File("filmy.xml"));
        const auto before = Snapshot(dir);
        const bool asNobody = bad.Unreadable && Root();
        if (asNobody) fs::permissions(dir.Path(), fs::perms::all);
        const OpenResult result = asNobody ? OpenInCoreAsNobody(dir) : OpenInCore(dir);
        if (bad.Expected.Kind == Outcome::Loads) {
            EXPECT_TRUE(result.Opened);
            EXPECT_TRUE(result.Messages.empty());
            EXPECT_EQ(result.Films, 31);
            EXPECT_LE(result.LongestTitle, 50) << "a text longer than its field";
        } else {
            EXPECT_FALSE(result.Opened);
            EXPECT_TRUE(OpenRefused(result.Messages)) << ::testing::PrintToString(result.Messages);
            const std::optional<std::uint16_t> code = bad.Unreadable ? std::nullopt : LoadCode(dir.File("filmy.xml"));
            EXPECT_EQ(code, bad.Expected.Kind == Outcome::RefusedWithCode ? std::optional(bad.Expected.Code)
                                                                           : std::nullopt);
        }
        EXPECT_EQ(Snapshot(dir), before);
    }
}

TEST(BadCatalogs, EachIsRefusedOrLoadsThroughTheCommandLine) {
    for (const BadCatalog& bad : BadCatalogs()) {
        SCOPED_TRACE(bad.Name);
        ScratchDir dir;
        bad.Make(dir.File("filmy.xml"));
        WriteBytes(dir.File("nove.csv"), "S1\nBrazil\n");
        RunOptions options;
        if (bad.Unreadable && Root()) {
            // Root reads every file: the commands run as a user the mode keeps out.
            fs::permissions(dir.Path(), fs::perms::all);
            options.User = kNobody;
        }
        const auto before = Snapshot(dir);

        const RunResult summary = RunCli({"summary", "filmy.xml"}, dir.Path(), options);
        if (bad.Expected.Kind == Outcome::Loads) {
            EXPECT_EQ(summary.Status, 0) << summary.Err;
            EXPECT_NE(summary.Out.find("Počet filmů: 31"), std::string::npos) << summary.Out;
            EXPECT_EQ(Snapshot(dir), before);
            continue;
        }
        const std::string expected = summary.Err;
        if (bad.Expected.Kind == Outcome::RefusedWithCode) {
            EXPECT_EQ(summary.Err, kOpenFailed + "\n" + CodeText(bad.Expected.Code) + "\n");
        }
        EXPECT_EQ(summary.Status, 2);
        EXPECT_TRUE(OpenRefused({expected.substr(0, expected.size() - 1)})) << summary.Err;
        EXPECT_EQ(summary.Out, "");

        // Every changing command gives the same and writes nothing.
        for (const std::vector<std::string>& change :
             {std::vector<std::string>{"add", "filmy.xml", "--en", "Brazil"},
              {"edit", "filmy.xml", "1", "--en", "Brazil"},
              {"delete", "filmy.xml", "1"},
              {"import", "filmy.xml", "nove.csv"},
              {"convert", "filmy.xml", "filmy.xml"}}) {
            SCOPED_TRACE(change[0]);
            const RunResult result = RunCli(change, dir.Path(), options);
            EXPECT_EQ(result.Status, 2);
            EXPECT_EQ(result.Err, expected);
        }
        // "new" without --force leaves an existing file (or directory) alone.
        EXPECT_EQ(RunCli({"new", "filmy.xml"}, dir.Path(), options).Status, 1);
        EXPECT_EQ(Snapshot(dir), before);
    }
}

TEST(BadCatalogs, UnreadableFileIsReadByItsOwner) {
    // The control of the case above: with its mode back, the same user reads it.
    ScratchDir dir;
    WriteBytes(dir.File("filmy.xml"), SampleCatalog());
    fs::permissions(dir.Path(), fs::perms::all);
    RunOptions options;
    if (Root()) options.User = kNobody;
    EXPECT_EQ(RunCli({"summary", "filmy.xml"}, dir.Path(), options).Status, 0);
}

// Every prefix of a real catalogue, in both forms, through the core: a
// truncated catalogue is refused, never taken for a shorter one.
TEST(BadCatalogs, EveryTruncationIsRefusedByTheCatalogCore) {
    for (const std::string& whole : {SampleCatalog(), BinarySample()}) {
        ScratchDir dir;
        int opened = 0;
        for (std::size_t length = 0; length < whole.size(); ++length) {
            WriteBytes(dir.File("filmy.xml"), whole.substr(0, length));
            const OpenResult result = OpenInCore(dir);
            if (result.Opened) {
                ++opened;
                EXPECT_EQ(result.Films, 31) << "a prefix of " << length << " bytes loaded short";
            } else {
                ASSERT_TRUE(OpenRefused(result.Messages)) << length;
            }
            ASSERT_EQ(dir.Names(), std::vector<std::string>{"filmy.xml"}) << length;
        }
        // Only the end tag of DATAPACKET may go missing: the packet is complete without it.
        EXPECT_LE(opened, static_cast<int>(std::string("</DATAPACKET>").size()));
    }
}

// The same through the command line, for a catalogue of one film: every prefix
// of its binary form, and of its XML form every fourth and each of the last 32
// (a run of the program costs more than a load in process). add refuses each
// with the message and status 2, and the file stays as it was.
TEST(BadCatalogs, TruncationsAreRefusedByTheCommandLine) {
    for (const TDataPacketFormat format : {dfBinary, dfXML}) {
        const std::string whole = CatalogOf({TwoFilms()[1]}, format);
        ScratchDir dir;
        for (std::size_t length = 0; length < whole.size(); ++length) {
            if (format == dfXML && length % 4 != 0 && length + 32 < whole.size()) continue;
            const std::string prefix = whole.substr(0, length);
            WriteBytes(dir.File("filmy.xml"), prefix);
            const RunResult result = RunCli({"add", "filmy.xml", "--en", "Brazil"}, dir.Path());
            if (result.Status == 0) {
                // A prefix that holds the whole packet is a catalogue: the film is added.
                EXPECT_EQ(FilmsInFile(dir.File("filmy.xml")), 2) << length;
                continue;
            }
            ASSERT_EQ(result.Status, 2) << length << ": " << result.Err;
            ASSERT_TRUE(result.Err.starts_with(kOpenFailed + "\n")) << length << ": " << result.Err;
            ASSERT_EQ(ReadBytes(dir.File("filmy.xml")), prefix) << length;
            ASSERT_EQ(dir.Names(), std::vector<std::string>{"filmy.xml"}) << length;
        }
    }
}
