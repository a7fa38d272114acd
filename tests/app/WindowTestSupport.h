#pragma once
// What the main-window tests share: the program's windows over a catalogue in a
// temporary directory (as if the executable lay there), the recording
// user-interface services, keys typed into the grid, and modal windows answered
// (ModalAnswer.h) so that no test blocks.
#include <QModelIndex>
#include <QString>
#include <string>
#include <vector>

#include "app/core/RecordingUiServices.h"
#include "app/window/KinovkaApplication.h"
#include "app/window/ProgramWindows.h"
#include "tests/common/FilmTable.h"
#include "tests/common/ModalAnswer.h"
#include "tests/common/Scratch.h"
#include "tests/common/Typing.h"

class QWidget;

// Installs the recording services and pins the collation to Czech; call first in main.
void PrepareWindowTests();

// The recording services every window test reports through.
RecordingUiServices& Ui();

struct ProgramUnderTest {
    ProgramUnderTest();
    // Started over a catalogue "filmy.xml" of these films; the messages of the
    // start are cleared.
    explicit ProgramUnderTest(const std::vector<Film>& films);

    // Writes a catalogue file of these films beside the "executable".
    void WriteCatalog(const std::vector<Film>& films, const std::string& name = "filmy.xml");
    // The start-up routine for the "executable" in the temporary directory.
    void Start(const std::vector<std::string>& arguments = {});

    std::string FilePath(const std::string& name = "filmy.xml") const;
    std::string ReadFile(const std::string& name = "filmy.xml") const;

    // The grid's column n (0-based model column) for every row, as UTF-8.
    std::vector<std::string> Column(int column) const;
    // Every column of the grid, one after another.
    std::vector<std::string> Grid() const;
    // The grid's current row, and the table's current record's English title.
    int GridRow() const;
    std::string CurrentTitle() const;
    QString TitleCaption(int column) const;
    bool TitleIsRed(int column) const;
    // The columns whose titles are red, as their field names joined by ",".
    std::string RedTitles() const;

    ScratchDir Directory;
    ProgramWindows Windows;
    TMenuF& Menu;
};

// Films of the tests, with Czech titles and diacritics.
const std::vector<Film>& SampleFilms();

// The main of a window test program: the application with its event-loop catch.
#define KINOVKA_WINDOW_TEST_MAIN(TestClass)                 \
    int main(int argc, char** argv) {                       \
        KinovkaApplication application(argc, argv);         \
        KinovkaApplication::setApplicationName("Kinovka");  \
        PrepareWindowTests();                               \
        TestClass test;                                     \
        return QTest::qExec(&test, argc, argv);             \
    }
