#include "cli/CatalogDump.h"

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "import/Csv.h"
#include "cli/Json.h"
#include "layout/CatalogLayout.h"
#include "text/Cp1250.h"

namespace {

struct DumpField {
    std::string_view Name;
    bool Number;
};
// K, then the film fields in the table's order.
constexpr std::array<DumpField, kFilmLayout.size() + 1> kDumpFields = [] {
    std::array<DumpField, kFilmLayout.size() + 1> fields{{{kKeyField, true}}};
    for (std::size_t f = 0; f < kFilmLayout.size(); ++f) fields[f + 1] = {kFilmLayout[f].Name, kFilmLayout[f].Number};
    return fields;
}();

// The fields' objects are looked up once; they stay bound to the current record.
std::vector<TField*> DumpFieldObjects(TClientDataSet& table) {
    std::vector<TField*> fields;
    for (const DumpField& field : kDumpFields) fields.push_back(&table.FieldNamed(field.Name));
    return fields;
}

// A field's value as UTF-8 text (an integer's decimal form), or nothing for a null.
std::optional<std::string> Utf8Value(const TField& field) {
    if (field.IsNull()) return std::nullopt;
    return cp1250::ToUtf8(field.AsString());
}

}  // namespace

std::string DumpJson(TClientDataSet& table) {
    const std::vector<TField*> fields = DumpFieldObjects(table);
    std::string out = "[";
    bool first = true;
    for (table.First(); !table.AtEnd(); table.Next()) {
        out += first ? "\n  {" : ",\n  {";
        first = false;
        for (std::size_t i = 0; i < kDumpFields.size(); ++i) {
            if (i > 0) out += ", ";
            out += JsonString(kDumpFields[i].Name) + ": ";
            const std::optional<std::string> value = Utf8Value(*fields[i]);
            out += !value ? "null" : kDumpFields[i].Number ? *value : JsonString(*value);
        }
        out += "}";
    }
    return out + (first ? "]\n" : "\n]\n");
}

std::string DumpCsv(TClientDataSet& table) {
    const std::vector<TField*> fields = DumpFieldObjects(table);
    std::vector<std::string> cells;
    for (const DumpField& field : kDumpFields) cells.emplace_back(field.Name);
    std::string out = CsvLine(cells);
    for (table.First(); !table.AtEnd(); table.Next()) {
        cells.clear();
        for (const TField* field : fields) cells.push_back(CsvCell(Utf8Value(*field)));
        out += CsvLine(cells);
    }
    return out;
}
