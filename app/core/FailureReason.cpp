#include "app/core/FailureReason.h"

#include <cerrno>
#include <cstdio>
#include <new>

#include "table/Errors.h"
#include "text/Cp1250.h"

std::string SystemErrorReason(int errorNumber) {
    const char* text = nullptr;
    switch (errorNumber) {
        case ENOSPC:
        case EDQUOT: text = "Disk je plný."; break;
        case EFBIG: text = "Soubor by byl větší, než systém dovoluje."; break;
        case EACCES:
        case EPERM: text = "Přístup odepřen."; break;
        case EROFS: text = "Disk je jen pro čtení."; break;
        case ENOENT: text = "Soubor nebo složka neexistuje."; break;
        case ENOTDIR: text = "Část cesty není složka."; break;
        case EISDIR: text = "Je to složka, ne soubor."; break;
        case EINVAL: text = "Není to obyčejný soubor."; break;
        case EIO: text = "Chyba čtení nebo zápisu na disku."; break;
        case ELOOP: text = "Cesta vede přes příliš mnoho odkazů."; break;
        case ENAMETOOLONG: text = "Jméno souboru je příliš dlouhé."; break;
        case EMFILE:
        case ENFILE: text = "Je otevřeno příliš mnoho souborů."; break;
        case ENOMEM: text = "Nedostatek paměti."; break;
        case EBUSY:
        case ETXTBSY: text = "Soubor je používán."; break;
        case EMLINK: text = "Příliš mnoho odkazů na soubor."; break;
        default: return cp1250::FromUtf8("Chyba systému č. ") + std::to_string(errorNumber) + ".";
    }
    return cp1250::FromUtf8(text);
}

std::string FailureReason(const std::exception& failure) {
    if (const auto* engine = dynamic_cast<const EDBClient*>(&failure)) return StatusCodeText(engine->ErrorCode);
    if (const auto* file = dynamic_cast<const fileio::FileError*>(&failure)) {
        if (file->ErrorNumber() != 0) return SystemErrorReason(file->ErrorNumber());
        return cp1250::FromUtf8("Chyba čtení nebo zápisu.");
    }
    if (dynamic_cast<const std::bad_alloc*>(&failure)) return SystemErrorReason(ENOMEM);
    if (dynamic_cast<const EDatabaseError*>(&failure)) {
        if (std::string_view(failure.what()) == dbtext::MissingPacket) return cp1250::FromUtf8("Soubor je prázdný.");
        return cp1250::FromUtf8("Soubor není katalog filmů.");
    }
    return cp1250::FromUtf8("Neznámá chyba.");
}

std::string StatusCodeText(unsigned code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", code & 0xFFFFu);
    return text;
}
