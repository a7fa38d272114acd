// Fuzz target: kinovka-cli's import of a CSV file into a catalogue, through the
// program's own command line. Whatever the CSV holds, the import either adds
// its rows and leaves a catalogue that loads, or refuses the file (exit status 1)
// and leaves the catalogue byte for byte as it was; no other failure may reach
// the general error report.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "app/core/Global.h"
#include "app/core/RecordingUiServices.h"
#include "cli/Commands.h"
#include "fileio/FileIO.h"
#include "fileio/FileOperations.h"

namespace {

namespace fs = std::filesystem;

// Two films; the import adds to them.
constexpr std::string_view kCatalog =
    "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"K\" fieldtype=\"i4\" SUBTYPE=\"Autoinc\"/>"
    "<FIELD attrname=\"S1\" fieldtype=\"string\" WIDTH=\"50\"/><FIELD attrname=\"S2\" fieldtype=\"string\" WIDTH=\"50\"/>"
    "<FIELD attrname=\"S3\" fieldtype=\"i4\"/><FIELD attrname=\"S4\" fieldtype=\"string\" WIDTH=\"2\"/>"
    "<FIELD attrname=\"S5\" fieldtype=\"string\" WIDTH=\"11\"/><FIELD attrname=\"S6\" fieldtype=\"i4\"/>"
    "<FIELD attrname=\"S7\" fieldtype=\"string\" WIDTH=\"100\"/></FIELDS><PARAMS AUTOINCVALUE=\"3\"/></METADATA>"
    "<ROWDATA><ROW K=\"1\" S1=\"Kolya\" S2=\"Kolja\" S3=\"2\" S4=\"CZ\" S5=\"EN\" S6=\"1\" S7=\"\"/>"
    "<ROW K=\"2\" S1=\"Alien\" S2=\"Vet&#248;elec\" S3=\"3\" S4=\"EN\" S5=\"CZ\" S6=\"2\" S7=\"sci-fi\"/>"
    "</ROWDATA></DATAPACKET>";

// The system's calls without forcing every save onto the disk: the fuzzer saves
// thousands of times a second, and nothing here needs to survive a power cut.
class UnsyncedOperations : public fileio::SystemFileOperations {
public:
    int Flush(int) override { return 0; }
};

struct Sandbox {
    Sandbox() {
        const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        directory = base / ("kinovka-fuzz-csv-" + std::to_string(::getpid()));
        fs::create_directories(directory);
        catalog = (directory / "filmy.xml").string();
        csv = (directory / "nove.csv").string();
        SetUserInterface(ui);
    }
    ~Sandbox() {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }
    fs::path directory;
    std::string catalog;
    std::string csv;
    RecordingUiServices ui;
    UnsyncedOperations operations;
    fileio::ScopedFileOperations scope{operations};
};

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Sandbox sandbox;
    WriteFile(sandbox.catalog, kCatalog);
    WriteFile(sandbox.csv, std::string_view(reinterpret_cast<const char*>(data), size));
    sandbox.ui.Clear();

    const std::vector<std::string> arguments{"import", sandbox.catalog, sandbox.csv};
    const int status = RunCommandLine(arguments);

    Require(sandbox.ui.ErrorReports.empty());
    const std::string after = fileio::ReadWholeFile(sandbox.catalog);
    if (status == 1) {
        Require(after == kCatalog);
        return 0;
    }
    Require(status == 0);
    TClientDataSet table;
    table.LoadFromBytes(after);
    Require(table.CountRecords() >= 2);
    return 0;
}
