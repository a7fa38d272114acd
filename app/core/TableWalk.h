#pragma once
// A walk over the table that must not disturb the user: the table's views stay
// frozen while it lives (the grid is redrawn once, at the end), and one record,
// at first the one current at the start, is remembered to return to. The
// bookmark is freed and the views released when the walk ends, also when it fails.
#include "table/ClientDataSet.h"

class TableWalk {
public:
    explicit TableWalk(TClientDataSet& table);
    ~TableWalk();
    TableWalk(const TableWalk&) = delete;
    TableWalk& operator=(const TableWalk&) = delete;

    // Remembers the current record instead.
    void Remember();
    // Back to the remembered record; nothing when there was no current record.
    void ReturnToRemembered();

private:
    TClientDataSet& table_;
    TBookmark bookmark_;
};

// A walk that only moves and reads: it also holds the table's lock throughout,
// so that the steps and reads inside need not take it one by one. It must not
// save or reload the catalogue (that would end the hold early).
class ReadingWalk : public TableWalk {
public:
    explicit ReadingWalk(TClientDataSet& table) : TableWalk(table), hold_(table.HoldForWalk()) {}

private:
    TClientDataSet::TWalkHold hold_;
};
