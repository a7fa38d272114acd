// rescue: the films that can still be read from a damaged catalogue, saved as a new one.
#include <iostream>

#include "app/core/CatalogRescue.h"
#include "app/core/Global.h"
#include "app/core/Loans.h"
#include "cli/CatalogAccess.h"
#include "cli/CommandHandlers.h"
#include "cli/ConsoleUiServices.h"
#include "fileio/FileIO.h"
#include "packet/PacketStatus.h"
#include "table/FieldLayout.h"

namespace {

std::string_view StopReason(std::uint16_t code) {
    switch (code) {
        case pkt::NotAPacket:
            return "data jsou poškozená nebo neúplná";
        case pkt::InvalidKeyType:
            return "pole neznámého typu";
        case pkt::BufferTooSmall:
            return "hodnota neodpovídá svému typu nebo poli";
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
    std::string place, reason(StopReason(rescued.StopCode));
    if (rescued.ForeignField) {
        place = ", u pole č. " + std::to_string(rescued.ForeignField);
        reason = "seznam polí neodpovídá katalogu (K, S1 až S7)";
    } else if (rescued.LayoutRead) {
        place = ", na řádku " + std::to_string(rescued.RowsRead + 1);
    }
    return "Čtení skončilo za bajtem " + std::to_string(rescued.CleanBytes) + place + ": " + reason + " (" +
           StatusCodeText(rescued.StopCode) + ").";
}

std::string SkippedRowsLine(const std::vector<std::uint32_t>& rows) {
    std::string line = "Vynechané řádky s chybějícím nebo opakovaným klíčem K:";
    for (std::size_t i = 0; i < rows.size(); ++i) line += (i ? ", " : " ") + std::to_string(rows[i]);
    return line + ".";
}

std::string CutLine(const RescueCut& cut) {
    const std::string film = cut.Key ? "Film K = " + std::to_string(*cut.Key) + " (řádek " + std::to_string(cut.Row) + ")"
                                     : "Film na řádku " + std::to_string(cut.Row);
    return film + ": pole " + cut.Field + " mělo " + std::to_string(cut.Length) + " znaků, zkráceno na " +
           std::to_string(kMaxTextSize) + ".";
}

}  // namespace

int RunRescue(const Invocation& invocation) {
    const std::string& damaged = invocation.Arguments[0];
    const std::string& out = invocation.Arguments[1];
    if (NamesSameFile(damaged, out)) {
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
        return exitCatalogFailed;
    }
    const RescueResult rescued = RescueCatalog(bytes);
    if (!rescued.LayoutRead) {
        ShowFileError(kOpenFailedPhrase, damaged);
        ShowDetail((rescued.ForeignField ? "Seznam polí je poškozený. " : "Nepodařilo se přečíst ani seznam polí. ") +
                   WhereReadingStopped(rescued, bytes.size()));
        return exitCatalogFailed;
    }
    TClientDataSet table;
    try {
        table.LoadFromBytes(rescued.Packet);
    } catch (const std::exception&) {
        // The fields were read but the table cannot hold them: no catalogue of this program.
        ShowFileError(kOpenFailedPhrase, damaged);
        return exitCatalogFailed;
    }
    // The normal save and reload: OUT is then known to open as a catalogue, or
    // for a rescued loans file, to read as loans.
    UseCatalog(out, kDefaultSortFields);
    const bool loans = HasLoansLayout(table);
    if (!loans) {
        if (const ExitStatus status = SaveAndReload(table)) return status;
    } else if (!SaveCatalog(table)) {
        return exitCatalogFailed;
    } else if (ReadLoansFile(out).Damaged) {
        ShowFileError(kOpenFailedPhrase, out);
        return exitCatalogFailed;
    }

    std::cout << (loans ? "Zachráněno výpůjček: " : "Zachráněno filmů: ") << table.CountRecords() << " (uloženo do "
              << out << ").\n"
              << WhereReadingStopped(rescued, bytes.size()) << '\n';
    if (!rescued.SkippedRows.empty()) std::cout << SkippedRowsLine(rescued.SkippedRows) << '\n';
    for (const RescueCut& cut : rescued.Cuts) std::cout << CutLine(cut) << '\n';
    return exitSuccess;
}
