#include "app/core/Global.h"

#include <filesystem>
#include <functional>
#include <iostream>
#include <system_error>

#include "app/core/CatalogSort.h"
#include "app/core/FailurePhrases.h"
#include "app/core/FailureReason.h"
#include "app/core/Loans.h"
#include "app/core/VersionedSave.h"
#include "layout/CatalogLayout.h"
#include "text/Cp1250.h"

std::string DataDir;
std::string DataFileName;
std::string SortFields;
std::int32_t QuickSearchColumn = 0;

namespace {

// Used only until the program installs its own services: nothing may be lost
// silently, and nothing destructive is confirmed without a user.
class StandardErrorServices : public UiServices {
public:
    TModalResult MessageBox(std::string_view text, MessageKind, MessageButtons buttons) override {
        std::cerr << cp1250::ToUtf8(text) << '\n';
        return buttons == MessageButtons::Ok ? mrOk : mrCancel;
    }
    void ReportError(const std::exception& failure) override {
        if (dynamic_cast<const EAbort*>(&failure)) return;
        std::cerr << ErrorReportText(failure.what()) << '\n';
    }
};

UiServices* installedServices = nullptr;

// The phrase and the file's name, and the reason on the next line where there is one.
void ShowCatalogError(std::string_view phrase, const std::exception* failure = nullptr) {
    std::string text = std::string(phrase) + DataFileNameText() + ".";
    if (failure) text += "\n" + FailureReason(*failure);
    UserInterface().MessageBox(text, MessageKind::Error, MessageButtons::Ok);
}

// The phrases are written in UTF-8 here and shown as Windows-1250 text.
const std::string& CreateFailedPhrase() {
    static const std::string phrase = cp1250::FromUtf8(kCreateFailedPhrase);
    return phrase;
}
const std::string& OpenFailedPhrase() {
    static const std::string phrase = cp1250::FromUtf8(kOpenFailedPhrase);
    return phrase;
}
const std::string& SaveFailedPhrase() {
    static const std::string phrase = cp1250::FromUtf8(kSaveFailedPhrase);
    return phrase;
}

struct Backup {
    enum State { NotNeeded, Kept, Failed } Outcome;
    std::string Name;  // with Kept: the backup's path
};

// Copies an existing file at path to the first name of path + ".bak", ".bak.1",
// ".bak.2", ... that is free. An earlier backup may be the only copy of an
// older catalogue, so none is ever replaced; a link at a name counts as taken.
Backup KeepBackupOf(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::exists(path, error)) return {error ? Backup::Failed : Backup::NotNeeded, {}};
    for (unsigned number = 0;; ++number) {
        const std::string name = path + ".bak" + (number ? "." + std::to_string(number) : "");
        if (fs::symlink_status(name, error).type() != fs::file_type::not_found) {
            if (error) return {Backup::Failed, {}};
            continue;
        }
        // Without overwrite_existing the copy fails rather than replace a file
        // that appeared at that name in the meantime.
        if (fs::copy_file(path, name, fs::copy_options::none, error)) return {Backup::Kept, name};
        if (error != std::errc::file_exists) {
            // A copy cut short (a full disk) is no backup; the name was free before it.
            std::error_code ignored;
            fs::remove(name, ignored);
            return {Backup::Failed, {}};
        }
    }
}

// Once the new catalogue has replaced the old file, the backup is the only place
// its films are left: the user must know where it is and how to get them back.
void ShowBackupNote(std::string_view suffix) {
    UserInterface().Tell(cp1250::FromUtf8("Původní soubor je uschován jako ") + DataFileNameText() +
                         cp1250::FromUtf8(std::string(suffix) + ". Jeho filmy lze obnovit příkazem kinovka-cli rescue."));
}

}  // namespace

void SetUserInterface(UiServices& services) { installedServices = &services; }

UiServices& UserInterface() {
    static StandardErrorServices fallback;
    return installedServices ? *installedServices : fallback;
}

std::string CatalogPath() {
    // An absolute name already says where the file is; prefixing it would name
    // a path that does not exist.
    if (!DataFileName.empty() && DataFileName.front() == '/') return DataFileName;
    return DataDir + DataFileName;
}

std::string DataFileNameText() { return cp1250::FromUtf8(DataFileName); }

void CreateCatalog(TClientDataSet& table) {
    // The table is given no file name of its own: with one it would write itself
    // there at every close with changes, so that each reload would save whatever
    // the table held (a film whose store was refused, a save that had failed) and
    // overwrite a version just restored. The catalogue is written by SaveCatalog only.
    ForgetLoadedCatalog();
    table.Close();

    TFieldDefs& fields = table.FieldDefs();
    fields.Clear();
    fields.Add(std::string(kKeyField), ftAutoInc);
    for (const FilmFieldLayout& field : kFilmLayout) {
        if (field.Number) {
            fields.Add(std::string(field.Name), ftInteger);
        } else {
            fields.Add(std::string(field.Name), ftString, field.Size);
        }
    }

    table.IndexDefs().Clear();
    table.IndexDefs().Add(std::string(kKeyIndex), std::string(kKeyField), ixPrimary | ixUnique);
    table.SetIndexName(std::string(kKeyIndex));

    try {
        table.CreateEmpty();
    } catch (const std::exception& failure) {
        ShowCatalogError(CreateFailedPhrase(), &failure);
    }
    // On a table that could not be created this fails, and that failure ends the
    // whole action before anything is written.
    table.SetTrackChanges(false);

    // The file being replaced may be the only copy of a catalogue that could not
    // be opened (damaged, or written by a newer program); it is never destroyed.
    const Backup backup = KeepBackupOf(CatalogPath());
    if (backup.Outcome == Backup::Failed) {
        ShowCatalogError(SaveFailedPhrase());
        return;
    }
    const bool saved = SaveCatalog(table);
    if (backup.Outcome != Backup::Kept) return;
    if (!saved) {
        // A failed save leaves the old file as it was, so the backup made for it
        // would only be a file the refused action left behind.
        std::error_code ignored;
        std::filesystem::remove(backup.Name, ignored);
        return;
    }
    ShowBackupNote(std::string_view(backup.Name).substr(CatalogPath().size()));
}

namespace {

// Everything of opening the catalogue but where its records come from: `load`
// opens the table on them.
bool OpenCatalogBy(TClientDataSet& table, CatalogOrder order, const std::function<void()>& load) {
    try {
        // A change left pending (a refused store) is dropped: the index switch
        // below would otherwise post it.
        if (table.Active()) table.Cancel();
        // The order shown until now, for "k" to check instead of sorting anew:
        // a reload after a change holds nearly the same films.
        TIndexOrder shown = table.OrderOf(std::string(kSortIndex), std::string(kKeyField));
        table.SetIndexName("");
        table.IndexDefs().Clear();
        ForgetLoadedCatalog();
        load();
        table.SetTrackChanges(false);
        BuildCatalogIndexes(table, std::move(shown));
        table.SetIndexName(std::string(order == CatalogOrder::Sorted ? kSortIndex : kKeyIndex));
        table.First();
        RememberLoadedCatalog(table);
        return true;
    } catch (const std::exception& failure) {
        ShowCatalogError(OpenFailedPhrase(), &failure);
        return false;
    }
}

}  // namespace

void BuildCatalogIndexes(TClientDataSet& table, TIndexOrder earlier) {
    table.BuildIndex(std::string(kSortIndex), SortFields, 0);
    table.OfferOrder(std::move(earlier));
    table.BuildIndex(std::string(kKeyIndex), std::string(kKeyField), ixPrimary | ixUnique);
}

bool OpenCatalog(TClientDataSet& table, CatalogOrder order) {
    return OpenCatalogBy(table, order, [&] { table.LoadFromFile(CatalogPath()); });
}

bool OpenCatalogFrom(TClientDataSet& table, TClientDataSet& loaded, CatalogOrder order) {
    return OpenCatalogBy(table, order, [&] { table.TakeOverBase(loaded); });
}

bool SaveCatalog(TClientDataSet& table) {
    try {
        // The file being replaced stays as a version, so that the change can be
        // taken back; numbered with the loans' versions (CatalogRestore.h).
        SaveWithVersion(CatalogPath(), DataFileNameText(), [&] { table.SaveToFile(CatalogPath(), dfXML); },
                        fileio::VersionBounds{}, {LoansPath()});
        return true;
    } catch (const std::exception& failure) {
        ShowSaveFailed(failure);
        return false;
    }
}

void ShowSaveFailed(const std::exception& failure) { ShowCatalogError(SaveFailedPhrase(), &failure); }

void ShowOpenFailed(const std::exception& failure) { ShowCatalogError(OpenFailedPhrase(), &failure); }
