// Ctrl+Z in the main window: the catalogue, or its loans, go back to the
// version the latest change replaced, after the user has confirmed what goes
// back; pressed again, one change further, whichever file it was in.
#include <future>

#include <QKeySequence>
#include <QShortcut>
#include <QToolButton>

#include "app/core/CatalogChange.h"
#include "app/core/CatalogRestore.h"
#include "app/core/FailurePhrases.h"
#include "app/core/FailureReason.h"
#include "app/core/FilmKey.h"
#include "app/core/Global.h"
#include "app/core/Loans.h"
#include "app/dialogs/Uprav.h"
#include "app/qtedge/QtEdge.h"
#include "app/window/Menu.h"
#include "fileio/FileIO.h"
#include "layout/CatalogLayout.h"
#include "text/Cp1250.h"

namespace {

// A version of the catalogue as read for the question: its bytes, and the
// table read from them, which stands for the file once they are written back.
struct CatalogVersionRead {
    std::string Bytes;
    TClientDataSet Table;
};

// The question naming what goes back (Windows-1250); nothing when the version
// cannot be read (why goes to failure). A version of the loans is told by the
// loans it changes; a version of the catalogue is left read in previous.
std::optional<std::string> UndoQuestion(TClientDataSet& current, const LoanBook& loans,
                                        const fileio::Version& version, bool further, CatalogChange& change,
                                        CatalogVersionRead& previous, std::string& failure) {
    const std::string prefix =
        cp1250::FromUtf8(further ? "Vrátit zpět i předchozí změnu (" : "Vrátit zpět poslední změnu (");
    if (IsLoansVersion(version)) {
        const LoansRead previous = ReadLoansFile(version.Path);
        if (previous.Damaged) {
            failure = cp1250::FromUtf8("Není to čitelný soubor výpůjček.");
            return std::nullopt;
        }
        return prefix + CzechLoansChangeText(previous.Loans, loans) + ")?";
    }
    try {
        previous.Bytes = fileio::ReadWholeFile(version.Path);
        previous.Table.LoadFromBytes(previous.Bytes);
        previous.Table.FieldNamed(kKeyField);
    } catch (const std::exception& error) {
        failure = FailureReason(error);
        return std::nullopt;
    }
    std::string what;
    if (current.Active()) {
        change = CompareCatalogs(previous.Table, current);
        what = CzechChangeText(change);
    } else {
        what = cp1250::FromUtf8("katalog nyní nelze přečíst");
    }
    return prefix + what + ")?";
}

}  // namespace

void TMenuF::BuildUndoKey() {
    auto* undo = new QShortcut(QKeySequence::Undo, this);
    connect(undo, &QShortcut::activated, this, [this] { RunHandler([this] { UndoLastChange(); }); });
}

void TMenuF::UndoLastChange() {
    // Like the buttons that change films: not before a catalogue was opened.
    if (!ToolButton2->isEnabled() || !MayChangeCatalog(UpravMode::Add)) return;
    try {
        std::vector<fileio::Version> versions;
        try {
            versions = CatalogVersions();
        } catch (const fileio::FileError& failure) {
            UserInterface().MessageBox(cp1250::FromUtf8(kVersionsUnreadablePhrase) + DataFileNameText() +
                                           ".versions.\n" + FailureReason(failure),
                                       MessageKind::Error, MessageButtons::Ok);
            return;
        }
        const std::optional<UndoTrail::Step> step = undoTrail_.Next(versions);
        if (!step) {
            UserInterface().Tell(
                cp1250::FromUtf8(versions.empty() ? "Není co vrátit zpět." : "Starší verze katalogu už není."));
            return;
        }
        const fileio::Version& version = versions[step->Index];
        CatalogChange change;
        CatalogVersionRead previous;
        std::string failure;
        const auto question = UndoQuestion(cds, Loans, version, step->Further, change, previous, failure);
        if (!question) {
            UserInterface().MessageBox(cp1250::FromUtf8("Předchozí verzi katalogu nelze přečíst: ") +
                                           (IsLoansVersion(version) ? LoansFileNameText() : DataFileNameText()) +
                                           ".versions/" + version.Name + ".\n" + failure,
                                       MessageKind::Error, MessageButtons::Ok);
            return;
        }
        // The indexes OpenCatalogFrom needs are built while the question waits
        // for its answer and the restore for the disk, "k" from the order shown
        // now; the task is waited for on every way out. A failure there meets
        // OpenCatalogFrom again, which tells it.
        std::future<void> indexes;
        if (!IsLoansVersion(version)) {
            TIndexOrder shown = cds.OrderOf(std::string(kSortIndex), std::string(kKeyField));
            indexes = std::async(std::launch::async, [&previous, shown = std::move(shown)]() mutable {
                try {
                    BuildCatalogIndexes(previous.Table, std::move(shown));
                    // "k" is sorted when it is first used.
                    previous.Table.SetIndexName(std::string(kSortIndex));
                } catch (const std::exception&) {
                }
            });
        }
        if (!UserInterface().Ask(*question)) return;

        std::string kept;
        if (IsLoansVersion(version)) {
            if (!RestoreCatalogVersion(version, kept)) return;
            undoTrail_.Restored(version.Name, kept);
            ReadLoansIntoView(false);
            return;
        }
        const bool restored = RestoreCatalogVersion(version, previous.Bytes, kept);
        indexes.wait();
        if (!restored) return;
        undoTrail_.Restored(version.Name, kept);
        std::string().swap(previous.Bytes);
        // The file now holds what the question was read from: no second read.
        cds.FreezeViews();
        if (OpenCatalogFrom(cds, previous.Table)) {
            // The first film concerned that is there again.
            for (const FilmNamed& film : change.Concerned())
                if (GoToFilm(cds, film.Key)) break;
        }
        cds.ReleaseViews();
    } catch (const std::exception& failure) {
        UserInterface().ReportError(failure);
    }
}
