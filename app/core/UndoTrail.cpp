#include "app/core/UndoTrail.h"

#include <algorithm>

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
