// rescue: the films that can still be read from a damaged catalogue, saved as a new one.
#include <filesystem>
#include <iostream>

#include "app/core/CatalogRescue.h"
#include "cli/CatalogAccess.h"
#include "cli/CommandHandlers.h"
#include "cli/ConsoleUiServices.h"
#include "fileio/FileIO.h"
#include "packet/PacketStatus.h"

namespace {

// Links included: a name that leads to the damaged file's own content is that file.
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

std::string_view StopReason(std::uint16_t code) {
    switch (code) {
        case pkt::NotAPacket:
            return "data jsou poškozená nebo neúplná";
        case pkt::InvalidKeyType:
            return "pole neznámého typu";
        case pkt::BufferTooSmall:
            return "hodnota neodpovídá svému typu";
        case pkt::NoMemory:
            return "nedostatek paměti";
        default:
            return "chybná data";
    }
}

std::string WhereReadingStopped(const RescueResult& rescued, std::size_t fileSize) {
    if (rescued.StopCode == pkt::Ok)
        return "Soubor byl přečten celý (" + std::to_string(fileSize) +
               " bajtů, řádků: " + std::to_string(rescued.RowsRead) + ").";
    const std::string row = rescued.LayoutRead ? ", na řádku " + std::to_string(rescued.RowsRead + 1) : "";
    return "Čtení skončilo za bajtem " + std::to_string(rescued.CleanBytes) + row + ": " +
           std::string(StopReason(rescued.StopCode)) + " (" + StatusCodeText(rescued.StopCode) + ").";
}

std::string SkippedRowsLine(const std::vector<std::uint32_t>& rows) {
    std::string line = "Vynechané řádky s chybějícím nebo opakovaným klíčem K:";
    for (std::size_t i = 0; i < rows.size(); ++i) line += (i ? ", " : " ") + std::to_string(rows[i]);
    return line + ".";
}

}  // namespace

int RunRescue(const Invocation& invocation) {
    const std::string& damaged = invocation.Arguments[0];
    const std::string& out = invocation.Arguments[1];
    if (SameFile(damaged, out)) {
        ShowError("Zachráněné filmy nelze uložit do poškozeného souboru: " + out + ".");
        return exitRefused;
    }
    CatalogLock lock;
    if (const ExitStatus status = LockForNewFile(lock, out, invocation.Has("force"))) return status;

    std::string bytes;
    try {
        bytes = fileio::ReadWholeFile(damaged);
    } catch (const fileio::FileError& failure) {
        ShowFileFailure(kOpenFailedPhrase, damaged, failure);
        return exitCatalogueFailed;
    }
    const RescueResult rescued = RescueCatalog(bytes);
    if (!rescued.LayoutRead) {
        ShowFileError(kOpenFailedPhrase, damaged);
        ShowDetail("Nepodařilo se přečíst ani seznam polí. " + WhereReadingStopped(rescued, bytes.size()));
        return exitCatalogueFailed;
    }
    TClientDataSet table;
    try {
        table.LoadFromBytes(rescued.Packet);
    } catch (const std::exception&) {
        // The fields were read but the table cannot hold them: no catalogue of this program.
        ShowFileError(kOpenFailedPhrase, damaged);
        return exitCatalogueFailed;
    }
    // The normal save and reload: OUT is then known to open as a catalogue.
    UseCatalog(out, kDefaultSortFields);
    if (const ExitStatus status = SaveAndReload(table)) return status;

    std::cout << "Zachráněno filmů: " << table.CountRecords() << " (uloženo do " << out << ").\n"
              << WhereReadingStopped(rescued, bytes.size()) << '\n';
    if (!rescued.SkippedRows.empty()) std::cout << SkippedRowsLine(rescued.SkippedRows) << '\n';
    return exitSuccess;
}
