// Sorting the main window's catalogue: by the sort menu, the "Třídění" button's
// face and a click on a column title. The sort also decides which column the
// typed search works on.
#include <QAction>

#include "app/core/CatalogSort.h"
#include "app/core/Global.h"
#include "app/window/CatalogGridModel.h"
#include "app/window/Menu.h"
#include "app/window/TypedSearch.h"

void TMenuF::SortBy(const std::string& fields, QAction* item) { ApplySort(fields, item, true); }

void TMenuF::ApplySort(const std::string& fields, QAction* item, bool reload) {
    // While the titles still have their old colours, the title of a typed search
    // gets its caption back.
    QuickSearch->End();

    SortFields = fields;
    if (reload) SortCatalog(cds);

    if (item) {
        item->setChecked(true);
    } else {
        NazEnPop->setChecked(true);
        NazEnPop->setChecked(false);
    }

    QuickSearch->ShowSortColumns(fields, palette().color(QPalette::WindowText));
}

void TMenuF::DBGrid1TitleClick(int column) { SortBy(DataSource1->GridColumn(column).FieldName, nullptr); }
