#include "app/core/CatalogSort.h"

#include <optional>
#include <string>

#include "app/core/Global.h"
#include "fileio/FileIdentity.h"
#include "layout/CatalogLayout.h"

namespace {

struct LoadedCatalog {
    const TClientDataSet* Table = nullptr;
    std::string Path;
    fileio::FileIdentity Identity;
    // Grows with every record the table loads, posts or deletes.
    std::uint32_t ChangeCount = 0;
};

std::optional<LoadedCatalog> loaded;
// The identity seen before the load that is under way.
std::optional<fileio::FileIdentity> beforeLoad;

bool StillAsLoaded(const TClientDataSet& table) {
    if (!loaded || loaded->Table != &table || loaded->Path != CatalogPath()) return false;
    if (!table.Active() || table.ChangeCount() != loaded->ChangeCount) return false;
    return fileio::IdentityOf(loaded->Path) == loaded->Identity;
}

}  // namespace

void ForgetLoadedCatalog() {
    loaded.reset();
    beforeLoad = fileio::IdentityOf(CatalogPath());
}

void RememberLoadedCatalog(const TClientDataSet& table) {
    // A file that changed while it was being read may hold neither state.
    const std::optional<fileio::FileIdentity> after = fileio::IdentityOf(CatalogPath());
    if (after && after == beforeLoad) loaded = LoadedCatalog{&table, CatalogPath(), *after, table.ChangeCount()};
    beforeLoad.reset();
}

bool SortCatalog(TClientDataSet& table) {
    if (!StillAsLoaded(table)) return OpenCatalog(table);
    try {
        table.Cancel();
        const std::string sortIndex(kSortIndex);
        table.DeleteIndex(sortIndex);
        table.BuildIndex(sortIndex, SortFields, 0);
        table.SetIndexName(sortIndex);
        table.First();
        return true;
    } catch (const std::exception& failure) {
        ForgetLoadedCatalog();
        ShowOpenFailed(failure);
        return false;
    }
}
