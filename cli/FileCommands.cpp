// new and convert: a catalogue file made from nothing, or written in another form.
#include "app/core/Global.h"
#include "app/core/VersionedSave.h"
#include "cli/CatalogAccess.h"
#include "cli/CommandHandlers.h"
#include "cli/ErrorWatch.h"
#include "text/Cp1250.h"

int RunNew(const Invocation& invocation) {
    const std::string& path = invocation.Arguments[0];
    CatalogLock lock;
    if (const ExitStatus status = LockForNewFile(lock, path, invocation.Has("force"))) return status;
    UseCatalog(path, kDefaultSortFields);
    TClientDataSet table;
    {
        // CreateCatalog reports its failures but does not return them.
        const ErrorWatch watch;
        CreateCatalog(table);
        if (watch.ErrorSeen()) return exitCatalogFailed;
    }
    return OpenCatalog(table) ? exitSuccess : exitCatalogFailed;
}

int RunConvert(const Invocation& invocation) {
    const std::string format = invocation.ValueOr("format", "xml");
    TDataPacketFormat packetFormat = dfXML;
    if (format == "binary") {
        packetFormat = dfBinary;
    } else if (format == "utf8") {
        packetFormat = dfXMLUTF8;
    } else if (format != "xml") {
        throw UsageError("Neznámý formát: " + format + " (xml, binary nebo utf8)");
    }
    const std::string& out = invocation.Arguments[1];
    // OUT may be a catalogue that a window has open, the input itself included.
    CatalogLock lock;
    if (const ExitStatus status = LockForChange(lock, out)) return status;
    TClientDataSet table;
    if (const ExitStatus status = OpenCatalogAt(table, invocation.Arguments[0], kDefaultSortFields)) return status;
    try {
        // A binary save under a name ending in ".xml" is written as XML, as every save of the table does.
        // A file replaced there is kept as a version, as by every change of a catalogue.
        SaveWithVersion(out, cp1250::FromUtf8(out), [&] { table.SaveToFile(out, packetFormat); });
    } catch (const std::exception& failure) {
        ShowFileFailure(kSaveFailedPhrase, out, failure);
        return exitCatalogFailed;
    }
    return exitSuccess;
}
