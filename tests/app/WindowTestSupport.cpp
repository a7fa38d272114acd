#include "tests/app/WindowTestSupport.h"

#include <QApplication>

#include "app/core/Global.h"
#include "app/window/CatalogGridModel.h"
#include "app/window/DBGrid.h"
#include "table/Collation.h"

void PrepareWindowTests() {
    Collation::OverrideUserDefaultLocale("cs_CZ");
    SetUserInterface(Ui());
}

RecordingUiServices& Ui() {
    static RecordingUiServices services;
    return services;
}

ProgramUnderTest::ProgramUnderTest() : Menu(*Windows.MenuF) { Ui().Clear(); }

ProgramUnderTest::ProgramUnderTest(const std::vector<Film>& films) : ProgramUnderTest() {
    WriteCatalog(films);
    Start();
    Ui().Clear();
}

void ProgramUnderTest::WriteCatalog(const std::vector<Film>& films, const std::string& name) {
    TClientDataSet table;
    MakeFilmTable(table, films);
    table.SaveToFile(FilePath(name), dfXML);
}

void ProgramUnderTest::Start(const std::vector<std::string>& arguments) {
    Menu.PrepareStartUp(Directory.File("kinovka"), arguments);
}

std::string ProgramUnderTest::FilePath(const std::string& name) const {
    return Directory.File(name);
}

std::string ProgramUnderTest::ReadFile(const std::string& name) const {
    return ReadBytes(FilePath(name));
}

std::vector<std::string> ProgramUnderTest::Column(int column) const {
    std::vector<std::string> values;
    const CatalogGridModel& model = *Menu.DataSource1;
    for (int row = 0; row < model.rowCount(); ++row)
        values.push_back(model.data(model.index(row, column), Qt::DisplayRole).toString().toStdString());
    return values;
}

std::vector<std::string> ProgramUnderTest::Grid() const {
    std::vector<std::string> values;
    for (int column = 0; column < Menu.DataSource1->columnCount(); ++column)
        for (const std::string& value : Column(column)) values.push_back(value);
    return values;
}

int ProgramUnderTest::GridRow() const {
    const QModelIndex current = Menu.DBGrid1->currentIndex();
    return current.isValid() ? current.row() : -1;
}

std::string ProgramUnderTest::CurrentTitle() const {
    if (Menu.cds.CurrentRow() < 0) return "-";
    return cp1250::ToUtf8(Menu.cds.FieldNamed("S1").AsString());
}

QString ProgramUnderTest::TitleCaption(int column) const {
    return Menu.DataSource1->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

bool ProgramUnderTest::TitleIsRed(int column) const {
    return Menu.DataSource1->headerData(column, Qt::Horizontal, Qt::ForegroundRole).value<QColor>() ==
           QColor(255, 0, 0);
}

std::string ProgramUnderTest::RedTitles() const {
    std::string red;
    for (int column = 0; column < Menu.DataSource1->columnCount(); ++column) {
        if (!TitleIsRed(column)) continue;
        if (!red.empty()) red += ",";
        red += Menu.DataSource1->GridColumn(column).FieldName;
    }
    return red;
}

const std::vector<Film>& SampleFilms() {
    static const std::vector<Film> films{
        {"Pelíšky", "Pelíšky", 12, "CZ", "", 1, "česká komedie"},
        {"The Matrix", "Matrix", 3, "EN", "CZ", 1, ""},
        {"Amélie", "Amélie z Montmartru", 7, "FR", "CZ", 1, "Jeunet"},
        {"Šakalí léta", "Šakalí léta", 25, "CZ", "", 1, "muzikál"},
        {"Stalker", "Stalker", 19, "RU", "CZ", 2, ""},
        {"Star Wars", "Hvězdné války", 4, "EN", "CZ,EN", 1, ""},
        {"Ďábel nosí Pradu", "Ďábel nosí Pradu", 31, "EN", "CZ", 1, ""},
        {"", "Bez názvu", 40, "CZ", "", 1, ""},
        {"Zelená míle", "Zelená míle", 8, "EN", "CZ", 2, "Stephen King"},
    };
    return films;
}
