#pragma once
// Which of the kept versions (CatalogVersions in CatalogRestore.h, newest first)
// Ctrl+Z brings back, so that repeated undos walk further back instead of
// undoing the undo.
//
// Each undo is itself a save, which keeps the state it replaced as the newest
// version: taking the newest version every time would only swap the last two
// states. So the trail remembers, for the run, the version the last undo
// brought back and the version its own save kept. While that kept version is
// still the newest (nothing else was saved since), the next undo brings back
// the version just older than the one brought back last; after any other save
// the trail starts again at the newest version.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "fileio/VersionFolder.h"

class UndoTrail {
public:
    struct Step {
        std::size_t Index;  // in the newest-first list
        bool Further;       // beyond the latest change: an undo follows an undo
    };
    // Nothing when there is no version to go back to.
    std::optional<Step> Next(const std::vector<fileio::Version>& versions) const;
    void Restored(std::string restoredName, std::string keptName);

private:
    std::string restored_, kept_;
};
