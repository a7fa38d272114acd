#include "app/window/TypedSearch.h"

#include <charconv>

#include "app/core/Global.h"
#include "app/window/CatalogGridModel.h"
#include "layout/CatalogLayout.h"

TypedSearch::TypedSearch(TClientDataSet& table, TDBGrid& grid, CatalogGridModel& titles)
    : cds(table), DBGrid1(grid), DataSource1(titles) {}

void TypedSearch::ShowSortColumns(const std::string& fields, const QColor& otherTitleColor) {
    QuickSearchColumn = -1;
    int sortColumns = 0;
    for (const int column : DBGrid1.ColumnsInDisplayOrder()) {
        const std::string& name = DataSource1.GridColumn(column).FieldName;
        if (fields.find(name) == std::string::npos) {
            DataSource1.SetTitleColor(column, otherTitleColor);
            continue;
        }
        DataSource1.SetTitleColor(column, kSearchTitleColor);
        ++sortColumns;
        if (name == "S1") QuickSearchColumn = 1;
        if (name == "S2") QuickSearchColumn = 2;
        if (name == "S3") QuickSearchColumn = 3;
        if (name == "S7") QuickSearchColumn = 7;
    }
    if (sortColumns > 1) QuickSearchColumn = -1;
}

void TypedSearch::End() {
    QuickSearchText.clear();
    UpdateSearchTitle();
}

void TypedSearch::UpdateSearchTitle() {
    if (SavedTitleCaption.empty() && QuickSearchText.empty()) return;
    for (const int column : DBGrid1.ColumnsInDisplayOrder()) {
        if (DataSource1.GridColumn(column).TitleColor != kSearchTitleColor) continue;
        if (!QuickSearchText.empty()) {
            DataSource1.SetTitleCaption(column, QuickSearchText);
        } else if (!SavedTitleCaption.empty()) {
            DataSource1.SetTitleCaption(column, SavedTitleCaption);
            SavedTitleCaption.clear();
        }
    }
}

std::size_t TypedSearch::SearchTextLimit(std::size_t limitWhenRed) {
    std::size_t limit = 0;
    for (const int column : DBGrid1.ColumnsInDisplayOrder()) {
        const CatalogGridModel::Column& title = DataSource1.GridColumn(column);
        if (title.TitleColor != kSearchTitleColor) continue;
        if (SavedTitleCaption.empty()) SavedTitleCaption = title.Caption;
        limit = limitWhenRed;
    }
    return limit;
}

void TypedSearch::KeyPress(char& key) {
    const bool textSearch = QuickSearchColumn == 1 || QuickSearchColumn == 2 || QuickSearchColumn == 7;
    if (!textSearch || static_cast<unsigned char>(key) < 32) return;
    const std::size_t limit = SearchTextLimit(QuickSearchColumn == 7 ? 100 : 50);
    if (QuickSearchText.size() >= limit) {
        QuickSearchText.clear();
    } else {
        QuickSearchText += key;
    }
    TextSearch();
    UpdateSearchTitle();
    key = '\0';
}

// Both passes look from the first record in the grid's order; they do not
// assume that order agrees with CzechCompare. An empty value never matches and
// never stops the second pass, because an empty first argument sorts first. When
// neither pass stops, the last record becomes current. The engine finds the row
// without walking the cursor over every record before it.
void TypedSearch::TextSearch() {
    if (!cds.Active()) return;
    const int fieldNo = cds.FieldNamed("S" + std::to_string(QuickSearchColumn)).FieldNo();
    const std::string& typed = QuickSearchText;
    int row = cds.FirstRowWhere(0, [&](const TClientDataSet::TRowValues& film) {
        return CzechCompare(film.Value(fieldNo).substr(0, typed.size()), typed) == 0;
    });
    if (row < 0) {
        row = cds.FirstRowWhere(0, [&](const TClientDataSet::TRowValues& film) {
            return CzechCompare(film.Value(fieldNo), typed) >= 0;
        });
    }
    cds.GoToRow(row < 0 ? cds.CountRecords() - 1 : row);
}

// The first film whose CD number (an empty one reads as 0) is at least the typed
// number, or the last film.
void TypedSearch::NumberSearch() {
    std::int32_t wanted = 0;
    std::from_chars(QuickSearchText.data(), QuickSearchText.data() + QuickSearchText.size(), wanted);
    if (!cds.Active()) return;
    const int fieldNo = cds.FieldNamed(FilmFieldName(kCdNumber)).FieldNo();
    const int row = cds.FirstRowWhere(0, [&](const TClientDataSet::TRowValues& film) {
        const std::string_view value = film.Value(fieldNo);
        std::int32_t number = 0;
        std::from_chars(value.data(), value.data() + value.size(), number);
        return number >= wanted;
    });
    cds.GoToRow(row < 0 ? cds.CountRecords() - 1 : row);
}

// A digit typed with Ctrl or Alt is a command, not a number (Shift stays allowed:
// the Czech keyboard's digit row gives its digits with Shift).
void TypedSearch::KeyDown(int key, TShiftState shift) {
    const bool digit = (key >= vk::Digit0 && key <= vk::Digit9) || (key >= vk::Numpad0 && key <= vk::Numpad9);
    if (key == vk::Back && NoModifier(shift) && !QuickSearchText.empty()) {
        QuickSearchText.pop_back();
        UpdateSearchTitle();
    } else if (key == vk::Up || key == vk::Down || key == vk::Home || key == vk::End || key == vk::Next ||
               key == vk::Prior || key == vk::Escape) {
        End();
    } else if (QuickSearchColumn == 3 && digit && (shift & (ssCtrl | ssAlt)) == 0) {
        const std::size_t limit = SearchTextLimit(9);
        if (QuickSearchText.size() == limit) QuickSearchText.clear();
        if (QuickSearchText.size() < limit)
            QuickSearchText += static_cast<char>(key >= vk::Numpad0 ? key - 48 : key);
        NumberSearch();
        UpdateSearchTitle();
    }
}
