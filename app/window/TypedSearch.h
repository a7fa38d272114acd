#pragma once
// Typed search in the main window's grid: after a title click on "Název
// anglicky", "Název česky" or "Poznámka" typed text jumps to the first film
// whose value begins with it (case and Czech accents ignored); after "č. CD"
// typed digits jump to the first film with at least that CD number. The red
// title shows the typed text meanwhile.
//
// The sort decides the search column (ShowSortColumns): its title is the one red
// title, and QuickSearchColumn (Global) names its field. While a search is under
// way QuickSearchText is not empty, the red title shows it and SavedTitleCaption
// holds that title's own caption. The main window owns one for its grid and
// forwards the grid's keys and cell clicks to it; it never owns the table.
#include <QColor>
#include <cstddef>
#include <string>

#include "app/window/DBGrid.h"
#include "table/ClientDataSet.h"

class CatalogGridModel;

class TypedSearch {
public:
    TypedSearch(TClientDataSet& table, TDBGrid& grid, CatalogGridModel& titles);

    // The titles of the sorted fields red, the others in otherTitleColor; the
    // search column is the one red title of S1, S2, S3 or S7, else none (-1).
    void ShowSortColumns(const std::string& fields, const QColor& otherTitleColor);
    // Ends a search under way: the typed text emptied, the red title's caption back.
    void End();
    // The red title shows the typed text while a typed search is under way, and
    // its own caption again afterwards.
    void UpdateSearchTitle();
    // A character typed in the grid: text search. A character it takes becomes '\0'.
    void KeyPress(char& key);
    // A key pressed in the grid, other than the window's own keys: Backspace, the
    // keys that move the cursor and Esc end or shorten a search, digits search by number.
    void KeyDown(int key, TShiftState shift);

    // Windows-1250: the text typed so far, and the caption of the search
    // column's title while that title shows the text.
    std::string QuickSearchText;
    std::string SavedTitleCaption;

private:
    inline static const QColor kSearchTitleColor{255, 0, 0};

    // The typed-text limit of the search column, keeping its caption for later.
    std::size_t SearchTextLimit(std::size_t limitWhenRed);
    void TextSearch();
    void NumberSearch();

    TClientDataSet& cds;
    TDBGrid& DBGrid1;
    CatalogGridModel& DataSource1;
};
