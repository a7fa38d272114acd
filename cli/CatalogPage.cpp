#include "cli/CatalogPage.h"

#include "app/core/FilmListText.h"
#include "app/core/TableWalk.h"
#include "cli/CatalogPageAssets.h"
#include "app/core/GridColumns.h"
#include "cli/Json.h"
#include "text/Cp1250.h"

namespace {

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

void AppendHead(std::string& out, std::string_view title) {
    out += "<!DOCTYPE html>\n<html lang=\"cs\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    AppendEscaped(out, title);
    out += "</title>\n<style>";
    out += kCatalogPageStyle;
    out += "</style>\n</head>\n";
}

// A Windows-1250 text as a JSON string. No "<" is left in it, so that no text
// can end the script element that holds it.
void AppendJsonText(std::string& out, std::string_view cp1250Text) {
    for (char c : JsonString(cp1250::ToUtf8(cp1250Text))) {
        if (c == '<') {
            out += "\\u003c";
        } else {
            out += c;
        }
    }
}

// The films as a JSON array of arrays: the seven values, and the loan of the
// film's disc while any disc is lent.
void AppendFilms(std::string& out, TClientDataSet& table, const LoanBook& loans) {
    TField& disc = table.FieldNamed("S3");
    std::vector<std::pair<TField*, bool>> fields;
    for (const GridColumn& column : kGridColumns) fields.emplace_back(&table.FieldNamed(column.FieldName), column.Number);
    ReadingWalk walk(table);
    out += '[';
    const char* filmSeparator = "\n[";
    for (table.First(); !table.AtEnd(); table.Next()) {
        out += filmSeparator;
        filmSeparator = ",\n[";
        const char* valueSeparator = "";
        for (const auto& [field, number] : fields) {
            out += valueSeparator;
            valueSeparator = ",";
            if (field->IsNull()) {
                out += "null";
            } else if (number) {
                out += field->AsString();
            } else {
                AppendJsonText(out, field->AsStringView());
            }
        }
        if (!loans.empty()) {
            const auto loan = loans.find(disc.AsInteger());
            out += ',';
            if (loan == loans.end()) {
                out += "null";
            } else {
                AppendJsonText(out, LentText(loan->second));
            }
        }
        out += ']';
    }
    out += "]";
    walk.ReturnToRemembered();
}

}  // namespace

std::string CatalogPage(TClientDataSet& table, std::string_view catalogueName, const LoanBook& loans) {
    const std::string title = "Kinovka – " + std::string(catalogueName);
    std::string out;
    out.reserve(4096 + static_cast<std::size_t>(table.CountRecords()) * 160);
    AppendHead(out, title);
    out += "<body>\n<header>\n<h1>";
    AppendEscaped(out, title);
    out += "</h1>\n<input id=\"q\" type=\"search\" placeholder=\"Hledat v názvech a poznámce\" "
           "aria-label=\"Hledat v názvech a poznámce\" autocomplete=\"off\">\n<p id=\"counts\">";
    AppendEscaped(out, CountsLine(table));
    out += "</p>\n</header>\n<table id=\"films\">\n<colgroup><col style=\"width:22%\"><col style=\"width:22%\">"
           "<col style=\"width:5em\"><col style=\"width:4.5em\"><col style=\"width:6.5em\"><col style=\"width:4.5em\">"
           "<col>";
    if (!loans.empty()) out += "<col style=\"width:12em\">";
    out += "</colgroup>\n<thead><tr>";
    for (const GridColumn& column : kGridColumns) {
        out += "<th scope=\"col\" data-field=\"" + std::string(column.FieldName) + "\"";
        if (column.Number) out += " data-number";
        out += "><button type=\"button\">";
        AppendEscaped(out, column.Title);
        out += "</button></th>";
    }
    if (!loans.empty()) out += "<th scope=\"col\" data-field=\"loan\"><button type=\"button\">Půjčeno</button></th>";
    out += "</tr></thead>\n<tbody></tbody>\n</table>\n<script type=\"application/json\" id=\"films-data\">";
    AppendFilms(out, table, loans);
    out += "</script>\n<script>";
    out += kCatalogPageScript;
    out += "</script>\n</body>\n</html>\n";
    return out;
}
