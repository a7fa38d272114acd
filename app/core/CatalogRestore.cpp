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

bool RestoreCatalogVersion(const fileio::Version& version, std::string& keptName) {
    const bool loans = IsLoansVersion(version);
    const std::string path = loans ? LoansPath() : CatalogPath();
    try {
        // A copy rather than a link, so that the version stays a file of its own
        // whatever later happens to the file.
        const std::string bytes = fileio::ReadWholeFile(version.Path);
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

std::optional<UndoTrail::Step> UndoTrail::Next(const std::vector<fileio::Version>& versions) const {
    if (versions.empty()) return std::nullopt;
    if (kept_.empty() || versions.front().Name != kept_) return Step{0, false};
    const auto restored = std::find_if(versions.begin(), versions.end(),
                                       [&](const fileio::Version& version) { return version.Name == restored_; });
    if (restored == versions.end() || restored + 1 == versions.end()) return std::nullopt;
    return Step{static_cast<std::size_t>(restored + 1 - versions.begin()), true};
}

void UndoTrail::Restored(std::string restoredName, std::string keptName) {
    restored_ = std::move(restoredName);
    kept_ = std::move(keptName);
}
