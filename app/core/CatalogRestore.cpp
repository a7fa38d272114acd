#include "app/core/CatalogRestore.h"

#include <algorithm>
#include <filesystem>

#include "app/core/Global.h"
#include "app/core/Loans.h"
#include "app/core/VersionedSave.h"
#include "fileio/FileIO.h"

std::vector<fileio::Version> CatalogVersions() {
    std::vector<fileio::Version> versions = fileio::VersionFolder(CatalogPath()).List();
    const std::vector<fileio::Version> loans = fileio::VersionFolder(LoansPath()).List();
    versions.insert(versions.end(), loans.begin(), loans.end());
    std::stable_sort(versions.begin(), versions.end(), [](const fileio::Version& a, const fileio::Version& b) {
        return a.Sequence != b.Sequence ? a.Sequence > b.Sequence : a.KeptAt > b.KeptAt;
    });
    return versions;
}

bool IsLoansVersion(const fileio::Version& version) {
    return std::filesystem::path(version.Path).parent_path() == fileio::VersionFolder(LoansPath()).Path();
}

namespace {

// The version's content is read here unless the caller has it already.
bool Restore(const fileio::Version& version, const std::string_view* content, std::string& keptName) {
    const bool loans = IsLoansVersion(version);
    const std::string path = loans ? LoansPath() : CatalogPath();
    try {
        // A copy rather than a link, so that the version stays a file of its own
        // whatever later happens to the file.
        const std::string read = content ? std::string() : fileio::ReadWholeFile(version.Path);
        const std::string_view bytes = content ? *content : read;
        // No pruning here: a walk back through the versions must find every
        // one it was shown when it began, however many steps it takes.
        keptName = SaveWithVersion(
                       path, loans ? LoansFileNameText() : DataFileNameText(),
                       [&] { fileio::ReplaceFileAtomically(path, bytes); }, std::nullopt,
                       {loans ? CatalogPath() : LoansPath()})
                       .Kept.value_or("");
        return true;
    } catch (const std::exception& failure) {
        loans ? ShowLoansSaveFailed(failure) : ShowSaveFailed(failure);
        return false;
    }
}

}  // namespace

bool RestoreCatalogVersion(const fileio::Version& version, std::string& keptName) {
    return Restore(version, nullptr, keptName);
}

bool RestoreCatalogVersion(const fileio::Version& version, std::string_view content, std::string& keptName) {
    return Restore(version, &content, keptName);
}
