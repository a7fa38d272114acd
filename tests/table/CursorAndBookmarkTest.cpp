// Cursor moves, end flags, bookmarks and the views' notifications.
#include <gtest/gtest.h>

#include "TableFixtures.h"

namespace {

// Builds a catalogue-like table of titles and reopens it the way the catalogue
// does after every change: save, load, index "k" on A, index "x" on K, "k" active.
void Reload(TClientDataSet& table) {
    const std::string packet = table.SaveToBytes(dfXML);
    table.LoadFromBytes(packet);
    table.SetTrackChanges(false);
    table.BuildIndex("k", "A", 0);
    table.BuildIndex("x", "K", ixPrimary | ixUnique);
    table.SetIndexName("k");
}

void Titles(TClientDataSet& table, const std::vector<std::string>& titles) {
    CreateSmallTable(table);
    // In the default order a new record goes before the current one, the one
    // posted last; so the titles go in from the back to end up in document order.
    for (auto title = titles.rbegin(); title != titles.rend(); ++title) {
        table.Insert();
        table.FieldNamed("A").SetAsString(*title);
        table.Post();
    }
    Reload(table);
}

void GoTo(TClientDataSet& table, const std::string& title) {
    for (table.First(); !table.AtEnd(); table.Next())
        if (table.FieldNamed("A").AsString() == title) return;
    FAIL() << title;
}

std::string Current(TClientDataSet& table) { return table.FieldNamed("A").AsString(); }

struct CountingView : TDataSetView {
    int changed = 0, moved = 0;
    void DataSetChanged() override { ++changed; }
    void CurrentRecordChanged() override { ++moved; }
};

}  // namespace

TEST(Cursor, EndFlags) {
    TClientDataSet table;
    CreateSmallTable(table);
    table.First();
    EXPECT_TRUE(table.AtStart());
    EXPECT_TRUE(table.AtEnd());
    table.Last();
    EXPECT_TRUE(table.AtStart() && table.AtEnd());

    AddRecord(table, "a", 1);
    table.Last();
    AddRecord(table, "b", 2);  // default order: b, a
    table.First();
    EXPECT_TRUE(table.AtStart());
    EXPECT_FALSE(table.AtEnd());
    table.Next();
    EXPECT_FALSE(table.AtStart());
    EXPECT_EQ(Current(table), "a");
    table.Next();
    EXPECT_TRUE(table.AtEnd());
    EXPECT_EQ(Current(table), "a");  // the last record stays current
    table.Next();
    EXPECT_EQ(Current(table), "a");
    table.Prior();
    EXPECT_FALSE(table.AtEnd());
    EXPECT_EQ(Current(table), "b");
    table.Prior();
    EXPECT_TRUE(table.AtStart());
    EXPECT_EQ(Current(table), "b");
    table.Last();
    EXPECT_TRUE(table.AtEnd());
    EXPECT_FALSE(table.AtStart());
    EXPECT_EQ(Current(table), "a");
}

TEST(Cursor, ChoosingAnIndexKeepsTheCurrentRecord) {
    TClientDataSet table;
    Titles(table, {"c", "a", "b"});
    EXPECT_EQ(table.IndexName(), "k");
    GoTo(table, "b");
    table.SetIndexName("");
    EXPECT_EQ(table.IndexName(), "");
    EXPECT_EQ(Current(table), "b");
    EXPECT_EQ(Column(table, "A"), (std::vector<std::string>{"c", "a", "b"}));
    GoTo(table, "a");
    table.SetIndexName("k");
    EXPECT_EQ(Current(table), "a");
    EXPECT_EQ(table.CurrentRow(), 0);
    EXPECT_EQ(table.RowValue(2, 2), "c");
    EXPECT_EQ(table.RowValue(3, 2), "");
    table.GoToRow(1);
    EXPECT_EQ(Current(table), "b");
}

TEST(Cursor, IndexDefinitionsAreBuiltWhenChosen) {
    TClientDataSet table;
    Titles(table, {"b", "a"});
    table.IndexDefs().Add("byN", "N;A", ixDescending);
    table.SetIndexName("byN");
    EXPECT_EQ(table.IndexName(), "byN");
    try {
        table.SetIndexName("nothing");
        FAIL();
    } catch (const EDatabaseError& error) {
        EXPECT_STREQ(error.what(), "Index 'nothing' not found");
    }
    EXPECT_EQ(table.IndexName(), "byN");
    // Re-read from the engine after a build: every index in creation order.
    const TIndexDefs& defs = table.IndexDefs();
    ASSERT_EQ(defs.Count(), 3);
    EXPECT_EQ(defs[0].Name, "k");
    EXPECT_EQ(defs[1].Name, "x");
    EXPECT_EQ(defs[1].Options, ixUnique | ixPrimary);
    EXPECT_EQ(defs[2].Fields, "N;A");
    EXPECT_EQ(defs[2].Options, ixDescending);
}

TEST(Bookmarks, NoneWithoutACurrentRecord) {
    TClientDataSet table;
    CreateSmallTable(table);
    TBookmark none = table.TakeBookmark();
    EXPECT_FALSE(none);
    table.ReturnToBookmark(none);  // does nothing
    AddRecord(table, "a", 1);
    TBookmark bookmark = table.TakeBookmark();
    ASSERT_TRUE(bookmark);
    EXPECT_EQ(bookmark->Position, 1u);
    EXPECT_EQ(bookmark->RecordNumber, 1u);
    EXPECT_EQ(bookmark->IndexId, 1u);
    table.ReleaseBookmark(bookmark);
    EXPECT_FALSE(bookmark);
}

TEST(Bookmarks, SameStampResolvesByPositionOtherwiseByRecordNumber) {
    TClientDataSet table;
    CreateOrderedByN(table, {10, 20, 30});
    table.BuildIndex("m", "N", ixDescending);  // a fresh index, stamp 3
    table.SetIndexName("m");
    table.First();
    table.Next();
    const TBookmark middle = table.TakeBookmark();  // N 20 at position 2, stamp 3
    ASSERT_TRUE(middle);
    EXPECT_EQ(middle->ChangeStamp, 3u);

    // Another index: by record number.
    table.SetIndexName("n");
    table.Last();
    table.ReturnToBookmark(middle);
    EXPECT_EQ(table.FieldNamed("N").AsInteger(), 20);
    EXPECT_EQ(table.CurrentRow(), 1);

    // An insert moves the stamp: by record number, even though the position now holds another.
    table.SetIndexName("m");
    AddRecord(table, "x", 25);
    table.ReturnToBookmark(middle);
    EXPECT_EQ(table.FieldNamed("N").AsInteger(), 20);
    EXPECT_EQ(table.CurrentRow(), 2);

    // After the record left, it cannot be found.
    table.Delete();
    table.Last();
    try {
        table.ReturnToBookmark(middle);
        FAIL();
    } catch (const EDatabaseError& error) {
        EXPECT_STREQ(error.what(), "Record not found");
    }
    EXPECT_EQ(table.FieldNamed("N").AsInteger(), 10);  // unchanged for the caller
    table.Prior();
    EXPECT_EQ(table.FieldNamed("N").AsInteger(), 25);
}

TEST(Bookmarks, BeforeAnInsertThenReloadFindsTheOldRecord) {
    TClientDataSet table;
    Titles(table, {"b", "d", "f"});
    GoTo(table, "d");
    const TBookmark bookmark = table.TakeBookmark();
    table.Insert();
    table.FieldNamed("A").SetAsString("a");
    table.Post();
    Reload(table);
    table.ReturnToBookmark(bookmark);
    EXPECT_EQ(Current(table), "d");
}

TEST(Bookmarks, BeforeAChangeThenReloadResolvesByPosition) {
    TClientDataSet table;
    Titles(table, {"b", "d", "f"});
    GoTo(table, "d");
    const TBookmark bookmark = table.TakeBookmark();
    table.Edit();
    table.FieldNamed("A").SetAsString("z");
    table.Post();
    Reload(table);
    table.ReturnToBookmark(bookmark);
    EXPECT_EQ(Current(table), "f");  // now at the changed record's old position

    GoTo(table, "f");
    const TBookmark unmoved = table.TakeBookmark();
    table.Edit();
    table.FieldNamed("N").SetAsInteger(5);
    table.Post();
    Reload(table);
    table.ReturnToBookmark(unmoved);
    EXPECT_EQ(Current(table), "f");
}

TEST(Bookmarks, OfANeighbourBeforeADeleteThenReload) {
    // Document order b, d, f, h (record numbers 1 to 4).
    const auto bookmarkAfterDeleting = [](const std::string& neighbour, const std::string& deleted) {
        TClientDataSet table;
        Titles(table, {"b", "d", "f", "h"});
        table.SetIndexName("");
        EXPECT_EQ(Column(table, "A"), (std::vector<std::string>{"b", "d", "f", "h"}));
        table.SetIndexName("k");
        GoTo(table, neighbour);
        const TBookmark bookmark = table.TakeBookmark();
        GoTo(table, deleted);
        table.Delete();
        Reload(table);
        table.ReturnToBookmark(bookmark);
        return Current(table);
    };
    EXPECT_EQ(bookmarkAfterDeleting("b", "d"), "b");  // stood before the deleted one
    EXPECT_EQ(bookmarkAfterDeleting("f", "d"), "h");  // after it: its follower in document order
    EXPECT_THROW(bookmarkAfterDeleting("h", "d"), EDatabaseError);
}

TEST(Views, FreezingHoldsBackNotifications) {
    TClientDataSet table;
    CountingView view;
    table.AttachView(view);
    CreateSmallTable(table);
    EXPECT_GT(view.changed, 0);
    view = {};
    AddRecord(table, "a", 1);
    table.First();
    EXPECT_GT(view.changed, 0);
    EXPECT_GT(view.moved, 0);
    view = {};
    table.ReleaseViews();  // at 0: nothing
    EXPECT_FALSE(table.ViewsFrozen());
    table.FreezeViews();
    table.FreezeViews();
    AddRecord(table, "b", 2);
    table.Last();
    table.ReleaseViews();
    EXPECT_TRUE(table.ViewsFrozen());
    EXPECT_EQ(view.changed + view.moved, 0);
    table.ReleaseViews();
    EXPECT_EQ(view.changed, 1);
    EXPECT_EQ(view.moved, 0);
    table.DetachView(view);
    table.First();
    EXPECT_EQ(view.moved, 0);
}
