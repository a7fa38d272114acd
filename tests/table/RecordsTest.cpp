// Records through the table object: insert, edit, post, cancel, delete, values.
#include <gtest/gtest.h>

#include "TableFixtures.h"

namespace {

void AddTitle(TClientDataSet& table, const std::string& title) {
    table.Insert();
    table.FieldNamed("S1").SetAsString(title);
    table.Post();
}

}  // namespace

TEST(Records, AutoIncrementCountsOnOverDeletes) {
    TClientDataSet table;
    CreateCatalog(table);
    AddTitle(table, "a");
    EXPECT_EQ(table.FieldNamed("K").AsInteger(), 1);
    AddTitle(table, "b");
    EXPECT_EQ(table.FieldNamed("K").AsInteger(), 2);
    table.Delete();  // the highest K
    AddTitle(table, "c");
    EXPECT_EQ(table.FieldNamed("K").AsInteger(), 3);
    // A value assigned to the key is overwritten by the counter.
    table.Insert();
    table.FieldNamed("K").SetAsInteger(100);
    table.Post();
    EXPECT_EQ(table.FieldNamed("K").AsInteger(), 4);
    EXPECT_EQ(Column(table, "K"), (std::vector<std::string>{"1", "3", "4"}));
}

TEST(Records, TextsAreCutOnAssignmentAndTrimmedAtPost) {
    TClientDataSet table;
    CreateCatalog(table);
    table.Insert();
    table.FieldNamed("S1").SetAsString("word   ");
    EXPECT_EQ(table.FieldNamed("S1").AsString(), "word   ");  // the buffer keeps what was assigned
    table.FieldNamed("S2").SetAsString(std::string(60, 'x'));
    EXPECT_EQ(table.FieldNamed("S2").AsString(), std::string(50, 'x'));
    table.FieldNamed("S4").SetAsString("   ");
    table.FieldNamed("S7").SetAsString("tab\t");
    table.FieldNamed("S5").SetAsString(std::string("ab\0cd", 5));
    table.Post();
    EXPECT_EQ(table.FieldNamed("S1").AsString(), "word");
    EXPECT_EQ(table.FieldNamed("S2").AsString(), std::string(50, 'x'));
    EXPECT_FALSE(table.FieldNamed("S4").IsNull());
    EXPECT_EQ(table.FieldNamed("S4").AsString(), "");
    EXPECT_EQ(table.FieldNamed("S7").AsString(), "tab\t");  // only blanks are trimmed
    EXPECT_EQ(table.FieldNamed("S5").AsString(), "ab");
    EXPECT_TRUE(table.FieldNamed("S3").IsNull());
    EXPECT_EQ(table.FieldNamed("S3").AsString(), "");
    EXPECT_EQ(table.FieldNamed("S3").AsInteger(), 0);
}

TEST(Records, IntegerFieldsConvertStrictly) {
    TClientDataSet table;
    CreateCatalog(table);
    table.Insert();
    table.FieldNamed("S3").SetAsString("-12");
    EXPECT_EQ(table.FieldNamed("S3").AsInteger(), -12);
    table.FieldNamed("S3").SetAsString("");
    EXPECT_TRUE(table.FieldNamed("S3").IsNull());
    try {
        table.FieldNamed("S3").SetAsString("12abc");
        FAIL();
    } catch (const EDatabaseError& error) {
        EXPECT_STREQ(error.what(), "'12abc' is not a valid integer value");
    }
    table.FieldNamed("S1").SetAsInteger(42);
    EXPECT_EQ(table.FieldNamed("S1").AsString(), "42");
    EXPECT_EQ(table.FieldNamed("S1").AsInteger(), 42);
    table.FieldNamed("S1").Clear();
    EXPECT_TRUE(table.FieldNamed("S1").IsNull());
}

TEST(Records, RefusedPostLeavesNoRecordAndNoCounterStep) {
    TClientDataSet table;
    CreateSmallTable(table);
    table.BuildIndex("u", "N", ixUnique);
    AddRecord(table, "a", 1);
    table.Insert();
    table.FieldNamed("N").SetAsInteger(1);
    try {
        table.Post();
        FAIL();
    } catch (const EDBClient& error) {
        EXPECT_EQ(error.ErrorCode, dberr::KeyViolation);
    }
    EXPECT_EQ(table.State(), dsInsert);
    EXPECT_EQ(table.FieldNamed("N").AsInteger(), 1);  // the caller's values stay
    table.Cancel();
    EXPECT_EQ(table.CountRecords(), 1);
    EXPECT_EQ(table.ChangeCount(), 1u);
    AddRecord(table, "b", 2);
    EXPECT_EQ(table.FieldNamed("K").AsInteger(), 2);
    EXPECT_EQ(table.SaveToBytes(dfXML).find("K=\"3\""), std::string::npos);
}

TEST(Records, RefusedChangeRestoresEveryIndex) {
    TClientDataSet table;
    CreateSmallTable(table);
    table.BuildIndex("a", "A", 0);       // told first: moves the record
    table.BuildIndex("u", "N", ixUnique);  // then refuses
    for (const int n : {1, 2, 3}) AddRecord(table, "t" + std::to_string(n), n);
    table.SetIndexName("a");
    table.First();
    table.Edit();
    table.FieldNamed("A").SetAsString("zz");
    table.FieldNamed("N").SetAsInteger(3);
    EXPECT_THROW(table.Post(), EDBClient);
    EXPECT_EQ(table.State(), dsEdit);
    table.Cancel();
    EXPECT_EQ(Column(table, "A"), (std::vector<std::string>{"t1", "t2", "t3"}));
    table.SetIndexName("u");
    EXPECT_EQ(Column(table, "N"), (std::vector<std::string>{"1", "2", "3"}));
    table.First();
    EXPECT_EQ(table.FieldNamed("A").AsString(), "t1");
}

TEST(Records, PostWithoutChangesChangesNothing) {
    TClientDataSet table;
    CreateSmallTable(table);
    AddRecord(table, "a", 1);
    const auto count = table.ChangeCount();
    table.Edit();
    table.FieldNamed("A").SetAsString("a");
    table.Post();
    EXPECT_EQ(table.ChangeCount(), count);
    table.Edit();
    table.FieldNamed("A").SetAsString("b");
    table.Post();
    EXPECT_EQ(table.ChangeCount(), count + 1);
    EXPECT_EQ(table.FieldNamed("A").AsString(), "b");
}

TEST(Records, RequiredFieldsMustHoldAValue) {
    TClientDataSet table;
    table.FieldDefs().Add("K", ftAutoInc, 0, true);
    table.FieldDefs().Add("A", ftString, 5, true);
    table.CreateEmpty();
    table.Insert();
    table.FieldNamed("A").SetAsString("");
    try {
        table.Post();
        FAIL();
    } catch (const EDBClient& error) {
        EXPECT_EQ(error.ErrorCode, dberr::RequiredField);
    }
    table.FieldNamed("A").SetAsString("x");
    table.Post();  // the auto-increment key is the engine's to fill
    EXPECT_EQ(table.FieldNamed("K").AsInteger(), 1);
    EXPECT_NE(table.SaveToBytes(dfXML).find("required=\"true\""), std::string::npos);

    // A stored record without its required value posts while nothing changed.
    table.LoadFromBytes("<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"A\" fieldtype=\"string\" "
                        "WIDTH=\"5\" required=\"true\"/><FIELD attrname=\"N\" fieldtype=\"i4\"/></FIELDS><PARAMS/>"
                        "</METADATA><ROWDATA><ROW N=\"1\"/></ROWDATA></DATAPACKET>");
    table.Edit();
    table.FieldNamed("N").SetAsInteger(1);
    table.Post();
    EXPECT_EQ(table.State(), dsBrowse);
    table.Edit();
    table.FieldNamed("N").SetAsInteger(2);
    EXPECT_THROW(table.Post(), EDBClient);
}

TEST(Records, EditOnEmptyInsertsAndDeleteWhileInsertingCancels) {
    TClientDataSet table;
    CreateSmallTable(table);
    table.Edit();
    EXPECT_EQ(table.State(), dsInsert);
    table.Cancel();
    EXPECT_EQ(table.State(), dsBrowse);
    AddRecord(table, "a", 1);
    table.Insert();
    table.FieldNamed("A").SetAsString("never");
    table.Delete();
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(Column(table, "A"), std::vector<std::string>{"a"});
}

TEST(Records, MovingSettlesAPendingEdit) {
    TClientDataSet table;
    CreateOrderedByN(table, {1, 2});
    table.First();
    table.Edit();
    table.FieldNamed("A").SetAsString("changed");
    table.Next();  // posts
    EXPECT_EQ(table.State(), dsBrowse);
    table.Edit();  // untouched: cancelled
    table.First();
    EXPECT_EQ(table.FieldNamed("A").AsString(), "changed");
}

TEST(Records, DeleteMakesTheFollowerOrThePredecessorCurrent) {
    TClientDataSet table;
    CreateOrderedByN(table, {1, 2, 3, 4});
    table.First();
    table.Next();
    table.Delete();  // 2
    EXPECT_EQ(table.FieldNamed("N").AsInteger(), 3);
    table.Last();
    table.Delete();  // 4
    EXPECT_EQ(table.FieldNamed("N").AsInteger(), 3);
    EXPECT_FALSE(table.AtEnd());
    table.Delete();
    table.Delete();
    EXPECT_EQ(table.CountRecords(), 0);
    EXPECT_TRUE(table.AtStart());
    EXPECT_TRUE(table.AtEnd());
    EXPECT_FALSE(table.TakeBookmark());
    EXPECT_TRUE(table.FieldNamed("N").IsNull());
    // Keys are never handed out twice within the base.
    AddRecord(table, "y", 9);
    EXPECT_EQ(table.FieldNamed("K").AsInteger(), 5);
}

TEST(Records, DeleteInAUniqueIndexKeepsThePlace) {
    TClientDataSet table;
    CreateSmallTable(table);
    table.BuildIndex("u", "N", ixUnique);
    table.SetIndexName("u");
    for (const int n : {10, 20, 30}) AddRecord(table, "x", n);
    table.First();
    table.Next();
    table.Delete();
    EXPECT_EQ(table.FieldNamed("N").AsInteger(), 30);
    table.Prior();
    EXPECT_EQ(table.FieldNamed("N").AsInteger(), 10);
}

TEST(Records, InsertIntoTheDefaultOrderGoesBeforeTheCurrentRecord) {
    TClientDataSet table;
    CreateSmallTable(table);
    AddRecord(table, "first", 1);
    AddRecord(table, "second", 2);  // before "first"
    table.Last();
    AddRecord(table, "third", 3);   // before the last one
    EXPECT_EQ(Column(table, "A"), (std::vector<std::string>{"second", "third", "first"}));
    // The default order is the order the file keeps.
    const std::string packet = table.SaveToBytes(dfXML);
    EXPECT_LT(packet.find("second"), packet.find("third"));
    EXPECT_LT(packet.find("third"), packet.find("first"));
}
