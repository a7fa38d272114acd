#include "bench/EngineSteps.h"

#include <filesystem>
#include <stdexcept>
#include <string_view>

#include "app/core/Discs.h"
#include "app/core/FilmListText.h"
#include "app/core/Global.h"
#include "fileio/FileIO.h"
#include "layout/CatalogLayout.h"

namespace {

void Require(bool done, const char* what) {
    if (!done) throw std::runtime_error(std::string("benchmark step failed: ") + what);
}

}  // namespace

LoanBook BenchLoans(const DiscShelf& shelf, std::size_t count) {
    LoanBook loans;
    int day = 0;
    for (const auto& [cd, films] : shelf) {
        if (loans.size() == count) break;
        const auto since = std::chrono::sys_days(CalendarDay(std::chrono::year(2020), std::chrono::January, std::chrono::day(1))) +
                           std::chrono::days(day++ % 2000);
        loans[cd] = Loan{cd, "Půjčovatel " + std::to_string(cd), CalendarDay(since), "bench"};
    }
    return loans;
}

std::vector<StepTime> EngineSteps(const std::string& catalog, const std::string& workDirectory, int repeat) {
    namespace fs = std::filesystem;
    DataDir = workDirectory + "/";
    DataFileName = "engine-steps.xml";
    fs::copy_file(catalog, CatalogPath(), fs::copy_options::overwrite_existing);
    SortFields = std::string(kDefaultSortFields);

    std::vector<StepTime> steps;
    TClientDataSet table;
    const auto load = [&] { table.LoadFromFile(CatalogPath()); };
    // An order is sorted when first read, so each build is timed up to that.
    const std::string sortIndex(kSortIndex), keyIndex(kKeyIndex), keyField(kKeyField);
    const auto buildK = [&](const std::string& fields) {
        return [&table, &sortIndex, fields] {
            table.BuildIndex(sortIndex, fields, 0);
            table.SetIndexName(sortIndex);
        };
    };
    const auto timeBuildK = [&](std::string_view fields) {
        const std::string over(fields);
        steps.push_back(TimeStep("build \"" + sortIndex + "\" over " + over, repeat, buildK(over), load));
    };
    const auto loadAndBuildK = [&] {
        load();
        buildK(SortFields)();
    };
    steps.push_back(TimeStep("read the file", repeat, [] { fileio::ReadWholeFile(CatalogPath()); }));
    steps.push_back(TimeStep("load into the table", repeat, load));
    timeBuildK(kDefaultSortFields);
    timeBuildK(kFilmLayout[kLanguage].SortOrder);
    timeBuildK(FilmFieldName(kLanguage));
    steps.push_back(TimeStep("build \"" + keyIndex + "\" over " + keyField, repeat,
                             [&] { table.BuildIndex(keyIndex, keyField, ixPrimary | ixUnique); }, loadAndBuildK));
    steps.push_back(TimeStep("OpenCatalog on the keys' order (summary, add)", repeat,
                             [&] { Require(OpenCatalog(table, CatalogOrder::ByKey), "open"); }));
    steps.push_back(TimeStep("OpenCatalog (load, \"k\", \"x\")", repeat, [&] { Require(OpenCatalog(table), "open"); }));
    steps.push_back(TimeStep("summary walk", repeat, [&] { SummaryLines(table, DataFileNameText()); }));
    // Discs and loans, with 10 000 discs lent (where the catalogue has as many).
    WriteLoansOf(CatalogPath(), BenchLoans(FilmsByDisc(table), 10000));
    LoanBook loans;
    steps.push_back(TimeStep("read the loans file", repeat, [&] { loans = ReadLoans().Loans; }));
    steps.push_back(TimeStep("discs: films by disc, overview lines", repeat,
                             [&] { DiscOverviewLines(FilmsByDisc(table), loans); }));
    steps.push_back(TimeStep("loans: films by disc, loan lines", repeat,
                             [&] { LoanListLines(FilmsByDisc(table, &loans), loans, Today()); }));
    // Side by side: the table's own save, and SaveCatalog, which keeps the file
    // it replaces as a version first.
    steps.push_back(TimeStep("save without a version", repeat, [&] { table.SaveToFile(CatalogPath(), dfXML); }));
    steps.push_back(TimeStep("SaveCatalog (keeps a version)", repeat, [&] { Require(SaveCatalog(table), "save"); }));
    steps.push_back(TimeStep("SaveCatalog, then OpenCatalog", repeat, [&] {
        Require(SaveCatalog(table), "save");
        Require(OpenCatalog(table), "reopen");
    }));
    table.Close();
    fs::remove(CatalogPath());
    fs::remove_all(CatalogPath() + ".versions");
    fs::remove(LoansPath());
    fs::remove_all(LoansPath() + ".versions");
    return steps;
}
