#include "app/core/VersionedSave.h"

#include <cerrno>
#include <set>
#include <utility>

#include "app/core/FailureReason.h"
#include "app/core/Global.h"
#include "text/Cp1250.h"

namespace {

std::string NotKeptReason(int error, const std::string& folderText) {
    if (error == EACCES || error == EPERM || error == EROFS)
        return cp1250::FromUtf8("Složka verzí ") + folderText + cp1250::FromUtf8(" není zapisovatelná.");
    return SystemErrorReason(error);
}

}  // namespace

fileio::VersionedSave SaveWithVersion(const std::string& path, const std::string& nameText,
                                      const std::function<void()>& save,
                                      const std::optional<fileio::VersionBounds>& bounds,
                                      const std::vector<std::string>& numberedWith) {
    static std::set<std::pair<std::string, int>> toldNotKept;
    const fileio::VersionedSave outcome = fileio::SaveKeepingVersion(path, save, bounds, numberedWith);
    const std::string folderText = nameText + ".versions";
    if (outcome.RemovedForSpace > 0) {
        UserInterface().Tell(cp1250::FromUtf8("Disk je plný: aby se soubor ") + nameText +
               cp1250::FromUtf8(" vešel, byly ze složky ") + folderText +
               cp1250::FromUtf8(" odstraněny nejstarší verze (") + std::to_string(outcome.RemovedForSpace) + ").");
    }
    if (outcome.NotKept && toldNotKept.insert({fileio::VersionFolder(path).Path(), outcome.NotKept}).second) {
        UserInterface().Tell(cp1250::FromUtf8("Soubor ") + nameText +
               cp1250::FromUtf8(" je uložen, ale jeho předchozí verzi nelze uchovat ve složce ") + folderText + ".\n" +
               NotKeptReason(outcome.NotKept, folderText));
    }
    return outcome;
}
