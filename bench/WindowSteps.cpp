#include "bench/WindowSteps.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <filesystem>
#include <stdexcept>
#include <string_view>

#include "app/core/Global.h"
#include "app/core/RecordingUiServices.h"
#include "app/window/CatalogGridModel.h"
#include "app/window/ProgramWindows.h"
#include "app/window/TypedSearch.h"
#include "bench/EngineSteps.h"
#include "layout/CatalogLayout.h"
#include "text/Cp1250.h"

namespace {

int GridColumnOf(const TMenuF& menu, std::string_view fieldName) {
    for (int column = 0; column < menu.DataSource1->columnCount(); ++column)
        if (menu.DataSource1->GridColumn(column).FieldName == fieldName) return column;
    throw std::runtime_error("the grid has no column " + std::string(fieldName));
}

// Answers as the bench's recorder does, and notes when it was last asked.
class QuestionClock : public RecordingUiServices {
public:
    TModalResult MessageBox(std::string_view text, MessageKind kind, MessageButtons buttons) override {
        AskedAt = std::chrono::steady_clock::now();
        return RecordingUiServices::MessageBox(text, kind, buttons);
    }
    std::chrono::steady_clock::time_point AskedAt;
};

// A change as the edit dialog makes it: a film posted, the catalogue saved and read back.
void AddFilm(TClientDataSet& table) {
    table.Insert();
    table.FieldNamed(FilmFieldName(kEnglishTitle)).SetAsString("Benchmark film");
    table.FieldNamed(FilmFieldName(kCdNumber)).SetAsInteger(7);
    table.Post();
    if (!SaveCatalog(table) || !OpenCatalog(table)) throw std::runtime_error("the change was not saved");
}

}  // namespace

std::vector<StepTime> WindowSteps(const std::string& catalog, const std::string& workDirectory, int repeat) {
    // A copy, since Ctrl+Z needs a change to take back; named as if the program
    // lay beside it.
    const std::filesystem::path path = std::filesystem::path(workDirectory) / "filmy.xml";
    std::filesystem::copy_file(catalog, path, std::filesystem::copy_options::overwrite_existing);
    ProgramWindows windows;
    TMenuF& menu = *windows.MenuF;
    const std::string executable = (path.parent_path() / "kinovka").string();
    const std::vector<std::string> arguments{path.filename().string()};

    std::vector<StepTime> steps;
    steps.push_back(TimeStep("start-up (open, first sort)", repeat, [&] {
        menu.PrepareStartUp(executable, arguments);
        if (!menu.cds.Active()) throw std::runtime_error("the catalogue did not open");
    }));
    // The same with 10 000 discs lent: the loans file beside the catalogue is
    // written for this step only and removed again.
    WriteLoansOf(path.string(), BenchLoans(FilmsByDisc(menu.cds), 10000));
    steps.push_back(TimeStep("start-up with 10 000 loans", repeat, [&] {
        menu.PrepareStartUp(executable, arguments);
        if (menu.Loans.empty()) throw std::runtime_error("the loans were not read");
    }));
    std::filesystem::remove(LoansPathFor(path.string()));
    std::filesystem::remove_all(LoansPathFor(path.string()) + ".versions");
    menu.PrepareStartUp(executable, arguments);
    const int englishTitle = GridColumnOf(menu, FilmFieldName(kEnglishTitle));
    const int language = GridColumnOf(menu, FilmFieldName(kLanguage));
    // Every column's title: first in a catalogue just read (no order used yet),
    // then again after a click on another title (its order used before).
    for (int column = 0; column < menu.DataSource1->columnCount(); ++column) {
        const std::string field = menu.DataSource1->GridColumn(column).FieldName;
        const int other = column == englishTitle ? language : englishTitle;
        const std::string otherField = menu.DataSource1->GridColumn(other).FieldName;
        const auto click = [&menu, column] { menu.DBGrid1TitleClick(column); };
        steps.push_back(TimeStep("title click " + field + ", order not used yet", repeat, click,
                                 [&menu, otherField] {
                                     SortFields = otherField;
                                     OpenCatalog(menu.cds);
                                 }));
        steps.push_back(TimeStep("title click " + field + ", order used before", repeat, click,
                                 [&menu, other] { menu.DBGrid1TitleClick(other); }));
    }
    menu.DBGrid1TitleClick(englishTitle);

    // Typed search on the English title: one key each time, from the first record.
    const auto typeKey = [&](const std::string& typedBefore, char key) {
        return [&menu, typedBefore, key] {
            menu.QuickSearch->QuickSearchText = typedBefore;
            char pressed = key;
            menu.DBGrid1KeyPress(pressed);
        };
    };
    const auto fromFirst = [&] { menu.cds.First(); };
    steps.push_back(TimeStep("typed key \"m\" (a match midway)", repeat, typeKey("", 'm'), fromFirst));
    steps.push_back(TimeStep("typed key \"z\" (a match near the end)", repeat, typeKey("", 'z'), fromFirst));
    steps.push_back(TimeStep("typed key making \"zzz\" (no match: two passes)", repeat, typeKey("zz", 'z'), fromFirst));

    // Finds that match nothing walk every record: one by the English title; one
    // by all three fields, decided by the long note criterion; and one by three
    // single letters, the first two met by most films and the last by none, so
    // that all three fields of nearly every record are searched.
    const auto find = [&](const char* englishTitle, const char* czechTitle, const char* note) {
        return [&menu, &windows, englishTitle, czechTitle, note] {
            windows.HledejF->FFindS1 = cp1250::FromUtf8(englishTitle);
            windows.HledejF->FFindS2 = cp1250::FromUtf8(czechTitle);
            windows.HledejF->FFindS7 = cp1250::FromUtf8(note);
            menu.ToolButton13Click();
        };
    };
    steps.push_back(TimeStep("find by English title (\"Další\", no match)", repeat, find("žádný takový film", "", ""),
                             fromFirst));
    steps.push_back(TimeStep("find by all three fields (\"Další\", no match)", repeat,
                             find("e", "a", "žádná taková poznámka"), fromFirst));
    steps.push_back(TimeStep("find by three letters (\"Další\", no match)", repeat, find("e", "a", "§"), fromFirst));

    // Ctrl+Z after one added film: the version read and compared for the
    // question, written back, and the window opened on the table read from it.
    // The question is answered at once; its parts are the two waits a user
    // sees, from the key to the question and from the answer to the grid.
    QuestionClock clock;
    UiServices& answering = UserInterface();
    SetUserInterface(clock);
    for (StepTime& part : TimeDividedStep("Ctrl+Z after an added film", "  from the key to the question",
                                          "  from the answer to the grid", repeat, [&] { menu.UndoLastChange(); },
                                          [&menu] { AddFilm(menu.cds); }, clock.AskedAt))
        steps.push_back(std::move(part));
    SetUserInterface(answering);
    if (!clock.ErrorReports.empty()) throw std::runtime_error("Ctrl+Z: " + clock.ErrorReports.front());

    // The list window "Seznamy" with every film, filled, shown and painted once.
    TSeznamF& list = *windows.SeznamF;
    steps.push_back(TimeStep("list window: all films (fill, show, paint)", repeat, [&] {
        list.Fill(menu.cds, 0);
        list.show();
        QApplication::processEvents();
        list.RichEdit1->viewport()->repaint();
    }, [&] { list.hide(); }));
    steps.push_back(TimeStep("list window: the whole text in the box", repeat, [&] {
        list.Fill(menu.cds, 0);
        list.WholeTextIn();
    }));
    return steps;
}
