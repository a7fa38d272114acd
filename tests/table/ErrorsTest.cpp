// Every text the table raises itself, and the engine codes it passes on.
#include <gtest/gtest.h>

#include <functional>

#include "TableFixtures.h"

namespace {

std::string TextOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EDBClient& error) {
        return "code " + std::to_string(error.ErrorCode) + (error.what()[0] ? " with text" : "");
    } catch (const EDatabaseError& error) {
        return error.what();
    }
    return "no error";
}

std::string Code(std::uint16_t code) { return "code " + std::to_string(code); }

}  // namespace

TEST(Errors, ClosedOpenAndDefinitionTexts) {
    const std::string closed = "Cannot perform this operation on a closed dataset";
    TClientDataSet table;
    EXPECT_EQ(TextOf([&] { table.Insert(); }), closed);
    EXPECT_EQ(TextOf([&] { table.First(); }), closed);
    EXPECT_EQ(TextOf([&] { table.SetTrackChanges(false); }), closed);
    EXPECT_EQ(TextOf([&] { table.BuildIndex("i", "A", 0); }), closed);
    EXPECT_EQ(TextOf([&] { table.Delete(); }), closed);
    EXPECT_EQ(TextOf([&] { table.CountRecords(); }), closed);
    EXPECT_EQ(TextOf([&] { table.FieldNamed("A"); }), "Field 'A' not found");
    EXPECT_EQ(TextOf([&] { table.CreateEmpty(); }), "No fields defined.  Cannot create dataset");
    table.FieldDefs().Add(std::string(32, 'F'), ftInteger);
    EXPECT_EQ(TextOf([&] { table.CreateEmpty(); }), "Fieldname " + std::string(32, 'F') + " exceeds 31 chars");
    table.FieldDefs().Clear();
    table.FieldDefs().Add(std::string(31, 'F'), ftInteger);
    table.CreateEmpty();
    EXPECT_EQ(TextOf([&] { table.CreateEmpty(); }), "Cannot perform this operation on an open dataset");
}

TEST(Errors, RecordTexts) {
    TClientDataSet table;
    CreateSmallTable(table);
    EXPECT_EQ(TextOf([&] { table.Delete(); }), "Cannot perform this operation on an empty dataset");
    EXPECT_EQ(TextOf([&] { table.FieldNamed("A").SetAsString("x"); }), "Dataset not in edit or insert mode");
    EXPECT_EQ(TextOf([&] { table.FieldNamed("missing"); }), "Field 'missing' not found");
    EXPECT_EQ(TextOf([&] { table.Fields(3); }), "List index out of bounds (3)");
    EXPECT_EQ(table.FieldNamed("a").FieldName(), "A");  // field names ignore case
    EXPECT_EQ(table.Fields(2).FieldName(), "N");
}

TEST(Errors, IndexTextsAndCodes) {
    TClientDataSet table;
    CreateSmallTable(table);
    AddRecord(table, "a", 1);
    AddRecord(table, "b", 1);
    EXPECT_EQ(TextOf([&] { table.BuildIndex("i", "A;Q", 0); }), "Field 'Q' not found");
    for (const char* list : {"A;;N", "A;", "A; ;N"})
        EXPECT_EQ(TextOf([&] { table.BuildIndex("i", list, 0); }), "Field '' not found") << list;
    EXPECT_EQ(TextOf([&] { table.BuildIndex("i", "A", 0, "N"); }), "Cannot access index field 'N'");
    EXPECT_EQ(TextOf([&] { table.BuildIndex("i", "A", 0, "", "Q"); }), "Cannot access index field 'Q'");
    EXPECT_EQ(TextOf([&] { table.BuildIndex("u", "N", ixUnique); }), Code(dberr::KeyViolation));
    EXPECT_EQ(TextOf([&] { table.SetIndexName("u"); }), "Index 'u' not found");  // the failed build left nothing
    EXPECT_EQ(TextOf([&] { table.BuildIndex("u", "N", ixPrimary); }), "no error");  // primary alone is not unique
    EXPECT_EQ(TextOf([&] { table.BuildIndex("u", "N", ixPrimary); }), "no error");  // identical: accepted
    EXPECT_EQ(TextOf([&] { table.BuildIndex("u", "A", 0); }), Code(dberr::IndexExists));
    EXPECT_EQ(TextOf([&] { table.BuildIndex("U", "A", 0); }), "no error");  // names are case-sensitive
    EXPECT_EQ(TextOf([&] { table.BuildIndex("", "N", 0); }), "no error");
    EXPECT_EQ(TextOf([&] { table.BuildIndex("DEFAULT_ORDER", "A", 0); }), Code(dberr::DefaultOrderRedefined));
    EXPECT_EQ(TextOf([&] { table.SetIndexName("zz"); }), "Index 'zz' not found");
}

TEST(Errors, AFailedDefaultOrderRedefinitionCanBeRetried) {
    TClientDataSet table;
    CreateSmallTable(table);
    AddRecord(table, "a", 1);
    AddRecord(table, "b", 1);
    EXPECT_EQ(TextOf([&] { table.BuildIndex("", "N", ixUnique); }), Code(dberr::KeyViolation));
    EXPECT_EQ(TextOf([&] { table.BuildIndex("", "A", ixUnique | ixPrimary); }), "no error");
    EXPECT_NE(table.SaveToBytes(dfXML).find("DEFAULT_ORDER=\"2\" PRIMARY_KEY=\"2\""), std::string::npos)
        << table.SaveToBytes(dfXML);
}

TEST(Errors, KeyListsAreCutAt16AndNamesAt31) {
    TClientDataSet table;
    std::string names;
    for (int i = 1; i <= 17; ++i) {
        table.FieldDefs().Add("F" + std::to_string(i), ftInteger);
        names += (i > 1 ? "; " : " ") + std::string("F") + std::to_string(i) + "\t";
    }
    table.CreateEmpty();
    table.BuildIndex(std::string(40, 'n'), names + ";Unknown", 0);
    const TIndexDefs& defs = table.IndexDefs();
    ASSERT_EQ(defs.Count(), 1);
    EXPECT_EQ(defs[0].Name, std::string(31, 'n'));
    EXPECT_EQ(defs[0].Fields, "F1;F2;F3;F4;F5;F6;F7;F8;F9;F10;F11;F12;F13;F14;F15;F16");
    table.SetIndexName(std::string(31, 'n'));
    EXPECT_EQ(table.IndexName(), std::string(31, 'n'));
}
