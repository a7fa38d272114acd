#include "app/core/InsertRefusal.h"

#include "table/Errors.h"

std::string InsertRefusalReason(const std::exception& failure) {
    // Every later film is refused the same way, so the user must learn that
    // trying again cannot help.
    const auto* engineFailure = dynamic_cast<const EDBClient*>(&failure);
    if (engineFailure && engineFailure->ErrorCode == dberr::KeysExhausted)
        return "Katalog už nemá volný klíč K: další by přesáhl 2 147 483 647.";
    return {};
}
