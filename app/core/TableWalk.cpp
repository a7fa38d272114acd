#include "app/core/TableWalk.h"

TableWalk::TableWalk(TClientDataSet& table) : table_(table) {
    table_.FreezeViews();
    try {
        bookmark_ = table_.TakeBookmark();
    } catch (...) {
        table_.ReleaseViews();
        throw;
    }
}

TableWalk::~TableWalk() {
    table_.ReleaseBookmark(bookmark_);
    table_.ReleaseViews();
}

void TableWalk::Remember() {
    TBookmark current = table_.TakeBookmark();
    table_.ReleaseBookmark(bookmark_);
    bookmark_ = current;
}

void TableWalk::ReturnToRemembered() {
    if (bookmark_) table_.ReturnToBookmark(bookmark_);
}
