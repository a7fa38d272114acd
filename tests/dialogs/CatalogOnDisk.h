#pragma once
// A catalogue file in a temporary directory, set up as the run's catalogue
// (DataDir, DataFileName "filmy.xml", SortFields) and opened into a table, with
// the recording user-interface services installed so no box ever blocks.
#include <QTest>
#include <string>
#include <vector>

#include "app/core/Global.h"
#include "app/core/RecordingUiServices.h"
#include "tests/common/FilmTable.h"
#include "tests/common/Scratch.h"

namespace QTest {
template <>
inline char* toString(const std::string& text) {
    return qstrdup(("\"" + text + "\"").c_str());
}
}  // namespace QTest

struct CatalogOnDisk {
    explicit CatalogOnDisk(const std::vector<Film>& films, const std::string& sortFields = "S1;S2;S3") {
        SetUserInterface(Ui);
        DataDir = Directory.Path() + "/";
        DataFileName = "filmy.xml";
        SortFields = sortFields;
        MakeFilmTable(Table, films, sortFields);
        if (!SaveCatalog(Table) || !OpenCatalog(Table)) qFatal("the test catalogue cannot be written");
        Ui.Clear();
    }

    // The current record's English title, or "-" without a current record.
    std::string Current() { return Table.CurrentRow() < 0 ? "-" : FieldUtf8(Table, "S1"); }

    // The English titles in the current order; the cursor is left on the first record.
    std::vector<std::string> Titles() {
        std::vector<std::string> titles;
        for (Table.First(); !Table.AtEnd(); Table.Next()) titles.push_back(FieldUtf8(Table, "S1"));
        Table.First();
        return titles;
    }

    // The titles in a fresh load of the file, in the file's record order.
    std::vector<std::string> TitlesInFile() {
        TClientDataSet reread;
        reread.LoadFromFile(CatalogPath());
        std::vector<std::string> titles;
        for (reread.First(); !reread.AtEnd(); reread.Next()) titles.push_back(FieldUtf8(reread, "S1"));
        return titles;
    }

    // Moves to the film with that English title.
    void GoTo(const std::string& title) {
        for (Table.First(); !Table.AtEnd(); Table.Next()) {
            if (FieldUtf8(Table, "S1") == title) return;
        }
        qFatal("no film %s", title.c_str());
    }

    ScratchDir Directory;
    RecordingUiServices Ui;
    TClientDataSet Table;
};
