// import: the rows of a CSV file added as films, all of them or none.
#include <optional>

#include "app/core/Global.h"
#include "cli/CatalogAccess.h"
#include "cli/CommandHandlers.h"
#include "cli/ConsoleUiServices.h"
#include "cli/Csv.h"
#include "app/core/CzechPlural.h"
#include "cli/FilmBoxes.h"
#include "app/core/GridColumns.h"
#include "fileio/FileIO.h"
#include "text/Cp1250.h"

namespace {

constexpr std::size_t kKeyColumn = kGridColumns.size();       // K: assigned by the table, so ignored
constexpr std::size_t kUnknownColumn = kGridColumns.size() + 1;  // left out with a warning

constexpr CzechNoun kCell{"buňka", "buňky", "buněk"};
constexpr CzechNoun kColumn{"sloupec", "sloupce", "sloupců"};

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

// Notes on an import that goes on, each naming its line of the file (UTF-8).
struct ImportWarning {
    std::size_t Line;
    std::string Text;
};

// The box each column fills, a column being named by its field name or by the
// grid's title (kKeyColumn for K, kUnknownColumn for a column the catalogue does
// not have, which gets one warning for all such columns).
std::vector<std::size_t> ColumnBoxes(const CsvRecord& header, std::vector<ImportWarning>& warnings) {
    std::vector<std::size_t> boxes;
    std::string unknownNames;
    std::size_t unknownCount = 0;
    for (const std::optional<std::string>& cell : header.Cells) {
        const std::string_view name = TrimmedBlanks(cell ? std::string_view(*cell) : std::string_view());
        std::size_t box = 0;
        while (box < kGridColumns.size() && kGridColumns[box].FieldName != name && kGridColumns[box].Title != name) {
            ++box;
        }
        if (box == kGridColumns.size() && name != "K") {
            boxes.push_back(kUnknownColumn);
            unknownNames += (unknownCount++ == 0 ? "\"" : ", \"") + std::string(name) + "\"";
            continue;
        }
        for (std::size_t earlier : boxes) {
            if (earlier == box) throw ImportRefusal{header.Line, "sloupec \"" + std::string(name) + "\" je tu dvakrát"};
        }
        boxes.push_back(box);
    }
    if (unknownCount > 0) {
        warnings.push_back({header.Line, "vynechány neznámé sloupce (" + CzechCount(unknownCount, kColumn) +
                                             "): " + unknownNames});
    }
    return boxes;
}

// The boxes of one row: the add form's fresh values, overwritten by the row's
// cells; an empty cell leaves its field null.
FilmBoxes RowBoxes(const CsvRecord& row, const std::vector<std::size_t>& columnBoxes,
                   std::vector<ImportWarning>& warnings) {
    if (row.Cells.size() != columnBoxes.size()) {
        throw ImportRefusal{row.Line, "řádek: " + CzechCount(row.Cells.size(), kCell) +
                                          ", záhlaví: " + CzechCount(columnBoxes.size(), kCell)};
    }
    FilmBoxes boxes = FilmBoxes::FreshAdd();
    bool czechTitleGiven = false;
    bool charactersLost = false;
    for (std::size_t column = 0; column < columnBoxes.size(); ++column) {
        const std::size_t box = columnBoxes[column];
        if (box == kKeyColumn || box == kUnknownColumn) continue;
        const std::optional<std::string>& cell = row.Cells[column];
        charactersLost = charactersLost || (cell && cp1250::LosesCharacters(*cell));
        boxes.Box[box] = cell ? std::optional(cp1250::FromUtf8(*cell)) : std::nullopt;
        czechTitleGiven = czechTitleGiven || box == 1;
    }
    if (charactersLost) {
        warnings.push_back({row.Line, "znaky, které Windows-1250 nemá, jsou uloženy jako \"?\""});
    }
    // Without a Czech-title column the title is left to the add form's rule.
    if (!czechTitleGiven) boxes.Edit1Exit();
    return boxes;
}

// Inserts every row; the first one that cannot be stored ends the import.
void InsertRows(TClientDataSet& table, const std::vector<CsvRecord>& records, std::vector<ImportWarning>& warnings) {
    const std::vector<std::size_t> columnBoxes = ColumnBoxes(records.front(), warnings);
    for (std::size_t i = 1; i < records.size(); ++i) {
        const FilmBoxes boxes = RowBoxes(records[i], columnBoxes, warnings);
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

// The file's text as UTF-8: UTF-8 as it is, or Windows-1250 (what a Czech
// spreadsheet writes) when the bytes are not valid UTF-8 and carry no byte
// order mark; malformed sequences in a marked file become "?".
std::string CsvText(std::string bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF") || cp1250::IsValidUtf8(bytes)) return bytes;
    return cp1250::ToUtf8(bytes);
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
        text = CsvText(fileio::ReadWholeFile(csvFile));
    } catch (const std::exception&) {
        ShowFileError(kOpenFailedPhrase, csvFile);
        return exitRefused;
    }
    std::vector<ImportWarning> warnings;
    const auto showWarnings = [&] {
        for (const ImportWarning& warning : warnings) {
            ShowDetail(csvFile + ":" + std::to_string(warning.Line) + ": " + warning.Text);
        }
    };
    try {
        std::vector<CsvRecord> records;
        try {
            records = ReadCsv(text);
        } catch (const CsvSyntaxError& failure) {
            throw ImportRefusal{failure.Line, failure.what()};
        }
        if (records.empty()) throw ImportRefusal{1, "chybí záhlaví se jmény sloupců"};
        InsertRows(table, records, warnings);
        showWarnings();
        if (records.size() == 1) return exitSuccess;  // no rows: nothing to write
    } catch (const ImportRefusal& refusal) {
        ShowFileError(kInsertRefusedPhrase, DataFileName);
        if (refusal.Code) ShowDetail(StatusCodeText(*refusal.Code));
        ShowDetail(csvFile + ":" + std::to_string(refusal.Line) + ": " + refusal.Reason);
        showWarnings();
        return exitRefused;
    }
    return SaveAndReload(table);
}
