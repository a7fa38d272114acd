// add, edit, delete: one record changed as the edit dialog changes it, then the
// catalogue saved and read back. A refused change writes nothing.
#include <array>

#include "app/core/FilmBoxes.h"
#include "app/core/FilmKey.h"
#include "app/core/Global.h"
#include "app/core/InsertRefusal.h"
#include "app/core/StrictInt.h"
#include "cli/CatalogAccess.h"
#include "cli/CommandHandlers.h"
#include "cli/TextOutput.h"
#include "layout/CatalogLayout.h"
#include "text/Cp1250.h"

namespace {

// The options that fill the boxes Edit1 to Edit7.
constexpr std::array<std::string_view, 7> kBoxOptions{"en", "cz", "cd", "lang", "subs", "discs", "note"};

FilmBoxes GivenBoxes(const Invocation& invocation) {
    FilmBoxes boxes;
    for (std::size_t box = 0; box < kBoxOptions.size(); ++box) {
        if (const auto value = invocation.Value(kBoxOptions[box])) boxes.Box[box] = cp1250::FromUtf8(*value);
    }
    return boxes;
}

std::int32_t KeyArgument(const std::string& text) {
    const auto key = StrictStrToInt(text);
    if (!key) throw UsageError("K není celé číslo: " + text);
    return *key;
}

// Stores the boxes into the record being inserted or edited and posts it. A
// number that is not one, or a post the table refuses, shows the dialog's
// message; the pending record is then simply never saved.
ExitStatus PostBoxes(TClientDataSet& table, const FilmBoxes& boxes) {
    try {
        StoreBoxes(table, boxes);
        table.Post();
        return exitSuccess;
    } catch (const std::exception& failure) {
        ShowFileError(kInsertRefusedPhrase, DataFileName);
        if (const std::string reason = InsertRefusalReason(failure); !reason.empty()) ShowDetail(reason);
        return exitRefused;
    }
}

// Locks and opens the catalogue and makes the record with the key argument current.
ExitStatus OpenAtKey(CatalogLock& lock, TClientDataSet& table, const Invocation& invocation) {
    const std::int32_t key = KeyArgument(invocation.Arguments[1]);
    if (const ExitStatus status = LockForChange(lock, invocation.Arguments[0])) return status;
    if (const ExitStatus status = OpenCatalogAt(table, invocation.Arguments[0], kDefaultSortFields)) return status;
    if (GoToFilm(table, key)) return exitSuccess;
    ShowError("Nebyl nalezen žádný záznam s K = " + std::to_string(key) + ".");
    return exitRefused;
}

}  // namespace

int RunAdd(const Invocation& invocation) {
    const FilmBoxes given = GivenBoxes(invocation);
    FilmBoxes boxes = FilmBoxes::FreshAdd();
    for (std::size_t box = 0; box < boxes.Box.size(); ++box) {
        if (given.Box[box]) boxes.Box[box] = given.Box[box];
    }
    if (!invocation.Has("cz")) boxes.Edit1Exit();

    CatalogLock lock;
    if (const ExitStatus status = LockForChange(lock, invocation.Arguments[0])) return status;
    TClientDataSet table;
    // An add needs no sorted order: on the keys' order the new film is
    // appended to the stored order, as on "k".
    if (const ExitStatus status =
            OpenCatalogAt(table, invocation.Arguments[0], kDefaultSortFields, CatalogOrder::ByKey)) {
        return status;
    }
    table.Insert();
    if (const ExitStatus status = PostBoxes(table, boxes)) return status;
    // The new record is current after the post; its key is gone from view once
    // the catalogue has been read back.
    const std::string key = table.FieldNamed(kKeyField).AsString();
    // Read back, the file still has to read as a whole load reads it, but
    // nothing looks at its films afterwards: of each only the key is kept.
    table.LoadOnly({std::string(kKeyField)});
    if (const ExitStatus status = SaveAndReload(table, CatalogOrder::ByKey)) return status;
    WriteOut(key + "\n");
    return exitSuccess;
}

int RunEdit(const Invocation& invocation) {
    FilmBoxes boxes = GivenBoxes(invocation);
    CatalogLock lock;
    TClientDataSet table;
    if (const ExitStatus status = OpenAtKey(lock, table, invocation)) return status;
    if (boxes.Box[0] && !boxes.Box[1] && table.FieldNamed(FilmFieldName(kCzechTitle)).AsString().empty()) {
        boxes.Box[1] = "";
        boxes.Edit1Exit();
    }
    const auto before = RecordImage(table);
    table.Edit();
    if (const ExitStatus status = PostBoxes(table, boxes)) return status;
    if (RecordImage(table) == before) return exitSuccess;  // nothing changed: the file stays as it is
    return SaveAndReload(table);
}

int RunDelete(const Invocation& invocation) {
    CatalogLock lock;
    TClientDataSet table;
    if (const ExitStatus status = OpenAtKey(lock, table, invocation)) return status;
    try {
        table.Delete();
    } catch (const std::exception&) {
        ShowFileError(kDeleteRefusedPhrase, DataFileName);
        return exitRefused;
    }
    return SaveAndReload(table);
}
