#include "cli/CatalogPage.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "app/core/FilmListText.h"
#include "app/core/TableWalk.h"
#include "cli/CatalogPageAssets.h"
#include "cli/CzechRanks.h"
#include "cli/Json.h"
#include "cli/Sha256.h"
#include "layout/CatalogLayout.h"
#include "packet/Base64.h"
#include "text/Cp1250.h"

namespace {

// A column whose field holds this many characters or more shares the table's
// free width with the other wide ones; the rest are as wide as their titles.
constexpr int kWideField = 50;
constexpr int kWideMinimumEm = 12;
constexpr int kNarrowMinimumCh = 5;  // five digits of a CD number
// The search box looks in the titles and the note, as the window's find does.
constexpr std::array<std::string_view, 3> kSearchedFields{FilmFieldName(kEnglishTitle), FilmFieldName(kCzechTitle),
                                                         FilmFieldName(kNote)};

// The page's columns: the grid's, and while any disc is lent "Půjčeno", who has
// the film's disc and since when.
std::vector<FilmFieldLayout> PageColumns(const LoanBook& loans) {
    std::vector<FilmFieldLayout> columns(kFilmLayout.begin(), kFilmLayout.end());
    if (!loans.empty()) columns.push_back({"loan", "Půjčeno", false, 0, static_cast<int>(kLoanWhoWidth), "", ""});
    return columns;
}

// Per page column, per film in the table's order: the text (Windows-1250), or nothing for a null.
using ColumnValues = std::vector<std::vector<std::optional<std::string>>>;

// Text made safe for an element's content and for a quoted attribute value.
void AppendEscaped(std::string& out, std::string_view utf8) {
    for (char c : utf8) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            case '\0': out += "&#65533;"; break;  // a NUL is never text in a page
            default: out += c;
        }
    }
}

// The summary's count lines, without its first line (the file's name) and its
// empty lines, joined into one.
std::string CountsLine(TClientDataSet& table) {
    const std::vector<std::string> lines = SummaryLines(table, "");
    std::string counts;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        if (!counts.empty()) counts += " · ";
        counts += cp1250::ToUtf8(lines[i]);
    }
    return counts;
}

// In characters, not bytes: the width a title needs before it would break inside a word.
int LongestWordLength(std::string_view utf8) {
    int longest = 0, length = 0;
    for (char c : utf8) {
        if (c == ' ') {
            length = 0;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            longest = std::max(longest, ++length);
        }
    }
    return longest;
}

// The columns' widths and alignment. A narrow column's bold title needs about
// 1.1 bold "0" widths per letter, and 1.5em more for the cell's padding and the sort arrow.
std::string ColumnStyle(const std::vector<FilmFieldLayout>& pageColumns) {
    std::string css;
    int narrowCh = 0, narrowCount = 0, wideCount = 0;
    for (std::size_t i = 0; i < pageColumns.size(); ++i) {
        const std::string child = ":nth-child(" + std::to_string(i + 1) + ")";
        if (pageColumns[i].Number) css += "th" + child + ",td" + child + "{text-align:right}\n";
        if (pageColumns[i].Size >= kWideField) {
            ++wideCount;
            continue;
        }
        const int ch = std::max(kNarrowMinimumCh, (LongestWordLength(pageColumns[i].Title) * 11 + 9) / 10);
        css += "th" + child + "{width:calc(" + std::to_string(ch) + "ch + 1.5em)}\n";
        narrowCh += ch;
        ++narrowCount;
    }
    css += "table{min-width:calc(" + std::to_string(narrowCh) + "ch + " + std::to_string(narrowCount) + " * 1.5em + " +
           std::to_string(kWideMinimumEm * wideCount) + "em)}\n";
    return css;
}

std::string CspHash(std::string_view content) {
    const std::array<std::uint8_t, 32> digest = Sha256(content);
    PacketBuffer base64;
    AppendBase64(base64, {reinterpret_cast<const char*>(digest.data()), digest.size()});
    return "'sha256-" + std::string(base64.view()) + "'";
}

// Nothing but the page's own script and style may run, and nothing is fetched:
// a second line of defence, should a catalogue text ever get past the escaping.
void AppendHead(std::string& out, std::string_view title, const std::string& style) {
    out += "<!DOCTYPE html>\n<html lang=\"cs\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; script-src ";
    out += CspHash(kCatalogPageScript) + "; style-src " + CspHash(style) + "; base-uri 'none'; form-action 'none'\">\n";
    out += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    AppendEscaped(out, title);
    out += "</title>\n<style>" + style + "</style>\n</head>\n";
}

void AppendHeaderRow(std::string& out, const std::vector<FilmFieldLayout>& pageColumns) {
    out += "<thead><tr>";
    for (const FilmFieldLayout& column : pageColumns) {
        out += "<th scope=\"col\" data-field=\"" + std::string(column.Name) + "\"";
        if (column.Number) out += " data-number";
        if (std::ranges::find(kSearchedFields, column.Name) != kSearchedFields.end()) out += " data-searched";
        // Printing repeats the header on every page but paints no button there:
        // the printed title is plain text.
        out += "><button type=\"button\">";
        AppendEscaped(out, column.Title);
        out += "<span class=\"arrow\" aria-hidden=\"true\"></span></button><span class=\"printed\">";
        AppendEscaped(out, column.Title);
        out += "</span></th>";
    }
    out += "</tr></thead>\n";
}

ColumnValues ReadColumns(TClientDataSet& table, const LoanBook& loans) {
    ColumnValues columns(PageColumns(loans).size());
    std::vector<TField*> fields;
    for (const FilmFieldLayout& column : kFilmLayout) fields.push_back(&table.FieldNamed(column.Name));
    TField& disc = table.FieldNamed(FilmFieldName(kCdNumber));
    ReadingWalk walk(table);
    for (table.First(); !table.AtEnd(); table.Next()) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (fields[i]->IsNull()) {
                columns[i].emplace_back();
            } else {
                columns[i].emplace_back(fields[i]->AsString());
            }
        }
        if (loans.empty()) continue;
        const auto loan = disc.IsNull() ? loans.end() : loans.find(disc.AsInteger());
        if (loan == loans.end()) {
            columns.back().emplace_back();
        } else {
            columns.back().emplace_back(LentText(loan->second));
        }
    }
    walk.ReturnToRemembered();
    return columns;
}

// JSON with no "<" left in it, so that no text can end the script element that holds it.
void AppendScriptSafe(std::string& out, std::string_view json) {
    for (char c : json) {
        if (c == '<') {
            out += "\\u003c";
        } else {
            out += c;
        }
    }
}

// The films as a JSON array of arrays, one value per column.
void AppendFilms(std::string& out, const ColumnValues& columns, const std::vector<FilmFieldLayout>& pageColumns) {
    out += '[';
    const std::size_t films = columns.front().size();
    for (std::size_t film = 0; film < films; ++film) {
        out += film == 0 ? "\n[" : ",\n[";
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0) out += ',';
            const std::optional<std::string>& value = columns[i][film];
            if (!value) {
                out += "null";
            } else if (pageColumns[i].Number) {
                out += *value;
            } else {
                AppendScriptSafe(out, JsonString(cp1250::ToUtf8(*value)));
            }
        }
        out += ']';
    }
    out += ']';
}

// Per column, each film's Czech collation rank (a null as an empty text); null
// for a number column, which the page sorts by its values.
void AppendRanks(std::string& out, const ColumnValues& columns, const std::vector<FilmFieldLayout>& pageColumns) {
    out += '[';
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) out += ",\n";
        if (pageColumns[i].Number) {
            out += "null";
            continue;
        }
        std::vector<std::string> texts;
        texts.reserve(columns[i].size());
        for (const std::optional<std::string>& value : columns[i]) texts.push_back(value.value_or(""));
        out += '[';
        const char* separator = "";
        for (std::uint32_t rank : CzechRanks(texts)) {
            out += separator + std::to_string(rank);
            separator = ",";
        }
        out += ']';
    }
    out += ']';
}

}  // namespace

std::string CatalogPage(TClientDataSet& table, std::string_view catalogName, const LoanBook& loans) {
    const std::string title = "Kinovka – " + std::string(catalogName);
    const std::vector<FilmFieldLayout> pageColumns = PageColumns(loans);
    const ColumnValues columns = ReadColumns(table, loans);
    std::string out;
    out.reserve(8192 + columns.front().size() * 190);
    AppendHead(out, title, std::string(kCatalogPageStyle) + ColumnStyle(pageColumns));
    out += "<body>\n<header>\n<h1>";
    AppendEscaped(out, title);
    out += "</h1>\n<input id=\"q\" type=\"search\" placeholder=\"Hledat v názvech a poznámce\" "
           "aria-label=\"Hledat v názvech a poznámce\" autocomplete=\"off\">\n<p id=\"counts\" aria-live=\"polite\">";
    AppendEscaped(out, CountsLine(table));
    out += "</p>\n</header>\n<main id=\"view\">\n<table id=\"films\">\n";
    AppendHeaderRow(out, pageColumns);
    out += "<tbody></tbody>\n</table>\n</main>\n<script type=\"application/json\" id=\"films-data\">";
    AppendFilms(out, columns, pageColumns);
    out += "</script>\n<script type=\"application/json\" id=\"film-ranks\">";
    AppendRanks(out, columns, pageColumns);
    out += "</script>\n<script>";
    out += kCatalogPageScript;
    out += "</script>\n</body>\n</html>\n";
    return out;
}
