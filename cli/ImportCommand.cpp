// import: the rows of a CSV file added as films, all of them or none.
#include <array>
#include <optional>

#include "app/core/Global.h"
#include "cli/CatalogAccess.h"
#include "cli/CommandHandlers.h"
#include "cli/ConsoleUiServices.h"
#include "cli/Csv.h"
#include "cli/FilmBoxes.h"
#include "fileio/FileIO.h"
#include "text/Cp1250.h"

namespace {

// The names a column may carry for each box: the field name or the grid's title.
constexpr std::array<std::array<std::string_view, 2>, 7> kColumnNames{{{"S1", "Název anglicky"},
                                                                        {"S2", "Název česky"},
                                                                        {"S3", "č. CD"},
                                                                        {"S4", "Znění"},
                                                                        {"S5", "Titulky"},
                                                                        {"S6", "ks CD"},
                                                                        {"S7", "Poznámka"}}};
constexpr std::size_t kKeyColumn = kColumnNames.size();  // K: assigned by the table, so ignored

struct ImportRefusal {
    std::size_t Line;
    std::string Reason;                // UTF-8
    std::optional<unsigned> Code = {};  // the engine's status code when the table refused the row
};

std::string_view TrimmedBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The box each column fills (kKeyColumn for K).
std::vector<std::size_t> ColumnBoxes(const CsvRecord& header) {
    std::vector<std::size_t> boxes;
    for (const std::string& cell : header.Cells) {
        const std::string_view name = TrimmedBlanks(cell);
        std::size_t box = 0;
        while (box < kColumnNames.size() && kColumnNames[box][0] != name && kColumnNames[box][1] != name) ++box;
        if (box == kColumnNames.size() && name != "K") {
            throw ImportRefusal{header.Line, "neznámý sloupec \"" + std::string(name) + "\""};
        }
        for (std::size_t earlier : boxes) {
            if (earlier == box) throw ImportRefusal{header.Line, "sloupec \"" + std::string(name) + "\" je tu dvakrát"};
        }
        boxes.push_back(box);
    }
    return boxes;
}

// The boxes of one row: the add form's fresh values, overwritten by the row's cells.
FilmBoxes RowBoxes(const CsvRecord& row, const std::vector<std::size_t>& columnBoxes) {
    if (row.Cells.size() != columnBoxes.size()) {
        throw ImportRefusal{row.Line, "řádek má " + std::to_string(row.Cells.size()) + " buněk, záhlaví " +
                                          std::to_string(columnBoxes.size())};
    }
    FilmBoxes boxes = FilmBoxes::FreshAdd();
    bool czechTitleGiven = false;
    for (std::size_t column = 0; column < columnBoxes.size(); ++column) {
        if (columnBoxes[column] == kKeyColumn) continue;
        boxes.Box[columnBoxes[column]] = cp1250::FromUtf8(row.Cells[column]);
        czechTitleGiven = czechTitleGiven || columnBoxes[column] == 1;
    }
    // Without a Czech-title column the title is left to the add form's rule.
    if (!czechTitleGiven) boxes.Edit1Exit();
    return boxes;
}

// Inserts every row; the first one that cannot be stored ends the import.
void InsertRows(TClientDataSet& table, const std::vector<CsvRecord>& records) {
    const std::vector<std::size_t> columnBoxes = ColumnBoxes(records.front());
    for (std::size_t i = 1; i < records.size(); ++i) {
        const FilmBoxes boxes = RowBoxes(records[i], columnBoxes);
        table.Insert();
        try {
            StoreBoxes(table, boxes);
            table.Post();
        } catch (const NotAnInteger& failure) {
            throw ImportRefusal{records[i].Line, failure.FieldName + " není celé číslo: " + cp1250::ToUtf8(failure.Text)};
        } catch (const EDBClient& failure) {
            throw ImportRefusal{records[i].Line, "tabulka záznam odmítla", failure.ErrorCode};
        } catch (const std::exception& failure) {
            throw ImportRefusal{records[i].Line, std::string("tabulka záznam odmítla: ") + failure.what()};
        }
    }
}

}  // namespace

int RunImport(const Invocation& invocation) {
    const std::string& csvFile = invocation.Arguments[1];
    CatalogLock lock;
    if (const ExitStatus status = LockForChange(lock, invocation.Arguments[0])) return status;
    TClientDataSet table;
    if (const ExitStatus status = OpenCatalogAt(table, invocation.Arguments[0], kDefaultSortFields)) return status;

    std::string text;
    try {
        text = fileio::ReadWholeFile(csvFile);
    } catch (const std::exception&) {
        ShowFileError(kOpenFailedPhrase, csvFile);
        return exitRefused;
    }
    try {
        std::vector<CsvRecord> records;
        try {
            records = ReadCsv(text);
        } catch (const CsvSyntaxError& failure) {
            throw ImportRefusal{failure.Line, failure.what()};
        }
        if (records.empty()) throw ImportRefusal{1, "chybí záhlaví se jmény sloupců"};
        InsertRows(table, records);
        if (records.size() == 1) return exitSuccess;  // no rows: nothing to write
    } catch (const ImportRefusal& refusal) {
        ShowFileError(kInsertRefusedPhrase, DataFileName);
        if (refusal.Code) ShowDetail(StatusCodeText(*refusal.Code));
        ShowDetail(csvFile + ":" + std::to_string(refusal.Line) + ": " + refusal.Reason);
        return exitRefused;
    }
    return SaveAndReload(table);
}
