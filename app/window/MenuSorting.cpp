// Sorting the main window's catalogue: by the sort menu, the "Třídění" button's
// face and a click on a column title. The sort also decides which column the
// typed search works on.
#include <QAction>

#include "app/core/CatalogSort.h"
#include "app/core/Global.h"
#include "app/window/CatalogGridModel.h"
#include "app/window/DBGrid.h"
#include "app/window/Menu.h"

void TMenuF::SortBy(const std::string& fields, QAction* item) { ApplySort(fields, item, true); }

void TMenuF::ApplySort(const std::string& fields, QAction* item, bool reload) {
    // While the titles still have their old colours, the title of a typed search
    // gets its caption back.
    QuickSearchText.clear();
    UpdateSearchTitle();

    SortFields = fields;
    if (reload) SortCatalog(cds);

    if (item) {
        item->setChecked(true);
    } else {
        NazEnPop->setChecked(true);
        NazEnPop->setChecked(false);
    }

    QuickSearchColumn = -1;
    int sortColumns = 0;
    const QColor windowText = palette().color(QPalette::WindowText);
    for (const int column : DBGrid1->ColumnsInDisplayOrder()) {
        const std::string& name = DataSource1->GridColumn(column).FieldName;
        if (fields.find(name) == std::string::npos) {
            DataSource1->SetTitleColor(column, windowText);
            continue;
        }
        DataSource1->SetTitleColor(column, kSortTitleColor);
        ++sortColumns;
        if (name == "S1") QuickSearchColumn = 1;
        if (name == "S2") QuickSearchColumn = 2;
        if (name == "S3") QuickSearchColumn = 3;
        if (name == "S7") QuickSearchColumn = 7;
    }
    if (sortColumns > 1) QuickSearchColumn = -1;
}

void TMenuF::DBGrid1TitleClick(int column) { SortBy(DataSource1->GridColumn(column).FieldName, nullptr); }
