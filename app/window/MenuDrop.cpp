// A file dropped onto the main window: the films of a CSV file or of another
// catalogue program's file added as one change, after a question naming the
// file, its format and the number of films; the summary follows.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>

#include "app/core/CatalogChange.h"
#include "app/core/FailurePhrases.h"
#include "app/core/FilmImport.h"
#include "app/core/Global.h"
#include "app/dialogs/Uprav.h"
#include "app/qtedge/QtEdge.h"
#include "app/window/Menu.h"
#include "fileio/FileIO.h"
#include "import/FilmFile.h"
#include "text/Cp1250.h"

namespace {

// The one local file the drop carries, or nothing.
std::optional<QString> DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile()) return std::nullopt;
    return data->urls().front().toLocalFile();
}

void ShowText(const std::string& utf8, MessageKind kind) {
    UserInterface().MessageBox(cp1250::FromUtf8(utf8), kind, MessageButtons::Ok);
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

}  // namespace

void TMenuF::dragEnterEvent(QDragEnterEvent* event) {
    if (ToolButton2->isEnabled() && DroppedFile(event->mimeData())) event->acceptProposedAction();
}

void TMenuF::dropEvent(QDropEvent* event) {
    const std::optional<QString> file = DroppedFile(event->mimeData());
    if (!file) return;
    event->acceptProposedAction();
    const std::string path = QFile::encodeName(*file).toStdString();
    RunHandler([&] { ImportFilmFile(path); });
}

void TMenuF::ImportFilmFile(const std::string& path) {
    // Like the buttons that change films: not before a catalogue was opened.
    if (!ToolButton2->isEnabled()) return;
    const std::string name = QFileInfo(QFile::decodeName(path.c_str())).fileName().toStdString();
    std::string bytes;
    try {
        bytes = fileio::ReadWholeFile(path);
    } catch (const std::exception&) {
        ShowText(std::string(kOpenFailedPhrase) + name + ".", MessageKind::Error);
        return;
    }
    ImportedFilms films;
    try {
        films = ReadFilmFile(bytes);
    } catch (const ImportError& failure) {
        ShowText("Soubor " + name + " nelze přidat: " + failure.what() + ", " + failure.Place.Text() + ".",
                 MessageKind::Error);
        return;
    }
    const std::string question = "Přidat " + CzechFilmCount(films.Films.size()) + " ze souboru " + name + " (" +
                                 films.FormatName + ")?";
    if (UserInterface().MessageBox(cp1250::FromUtf8(question), MessageKind::Confirm, MessageButtons::OkCancel) != mrOk ||
        !MayChangeCatalog(UpravMode::Add)) {
        return;
    }
    cds.FreezeViews();
    ImportCounts counts;
    try {
        counts = AddImportedFilms(cds, films, false);
    } catch (const ImportRefused& refusal) {
        OpenCatalog(cds);  // the films added before the refusal go again
        cds.ReleaseViews();
        ShowText("Soubor " + name + " nelze přidat: " + refusal.what() + ", " + refusal.Place.Text() + ".",
                 MessageKind::Error);
        return;
    }
    // A failed save has shown its own message; the summary would claim films it did not keep.
    const bool saved = counts.Added == 0 || SaveCatalog(cds);
    if (counts.Added > 0) OpenCatalog(cds);
    cds.ReleaseViews();
    if (saved) ShowText(Lines(ImportSummary(films, counts, false)), MessageKind::Information);
}
