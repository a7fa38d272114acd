// Reading field values: the copy and the view agree in every state of the
// table, and the base's lock lets one thread in at a time while it may be
// taken again by the thread that holds it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "TableFixtures.h"
#include "table/ReentrantLock.h"

TEST(FieldReading, ViewsShowWhatCopiesShow) {
    TClientDataSet table;
    CreateSmallTable(table);
    AddRecord(table, "first", 7);
    table.Insert();
    table.FieldNamed("N").SetAsInteger(-12);
    table.Post();
    const auto expectSame = [&](const char* where) {
        for (const char* name : {"K", "A", "N"}) {
            const TField& field = table.FieldNamed(name);
            EXPECT_EQ(field.AsStringView(), field.AsString()) << name << ", " << where;
        }
    };
    // In the default order the second record went before the current one.
    table.First();
    expectSame("record with a null text");
    EXPECT_EQ(table.FieldNamed("A").AsStringView(), "");
    EXPECT_EQ(table.FieldNamed("N").AsStringView(), "-12");
    table.Next();
    expectSame("record with every value");
    EXPECT_EQ(table.FieldNamed("A").AsStringView(), "first");
    table.Edit();
    table.FieldNamed("A").SetAsString("edited");
    expectSame("while editing");
    EXPECT_EQ(table.FieldNamed("A").AsStringView(), "edited");
    table.Cancel();
    table.Insert();
    expectSame("while inserting");
    table.Cancel();
}

TEST(FieldReading, TheLockKeepsOutOtherThreadsAndLetsItsHolderIn) {
    ReentrantLock lock;
    long counter = 0;
    const auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            std::lock_guard outer(lock);
            std::lock_guard inner(lock);
            counter = counter + 1;
        }
    };
    std::thread other(work);
    work();
    other.join();
    EXPECT_EQ(counter, 40000);
}

// A walk hold keeps other threads out until it ends, and a table closed or
// created anew under it leaves nothing taken behind.
TEST(FieldReading, WalkHoldsEndWithTheWalkOrWithTheBase) {
    TClientDataSet table;
    CreateSmallTable(table);
    AddRecord(table, "first", 7);
    std::atomic<bool> otherRead{false};
    std::thread other;
    {
        const auto hold = table.HoldForWalk();
        table.First();
        EXPECT_EQ(table.FieldNamed("A").AsStringView(), "first") << "the holder reads freely";
        other = std::thread([&] {
            (void)table.RowValue(0, 2);
            otherRead = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(otherRead) << "another thread waits for the hold to end";
    }
    other.join();
    EXPECT_TRUE(otherRead);

    {
        const auto hold = table.HoldForWalk();
        const auto nested = table.HoldForWalk();
        table.Close();
        CreateSmallTable(table);
        AddRecord(table, "second", 8);
    }
    std::atomic<bool> readAfterwards{false};
    std::thread after([&] { readAfterwards = table.RowValue(0, 2) == "second"; });
    after.join();
    EXPECT_TRUE(readAfterwards) << "the new base's lock is free";

    // Without a base a hold takes nothing, neither then nor from a base opened under it.
    TClientDataSet closed;
    std::atomic<int> readsWhileHeld{0};
    {
        const auto nothing = closed.HoldForWalk();
        CreateSmallTable(closed);
        AddRecord(closed, "third", 9);
        std::thread reader([&] { readsWhileHeld += closed.RowValue(0, 2) == "third"; });
        reader.join();
    }
    std::thread reader([&] { readsWhileHeld += closed.RowValue(0, 2) == "third"; });
    reader.join();
    EXPECT_EQ(readsWhileHeld, 2);
}

// A table loaded with only some fields reads those as a whole load does and
// refuses, rather than answers wrongly, whatever needs the others.
TEST(FieldReading, ALoadOfSomeFieldsRefusesWhatNeedsTheOthers) {
    TClientDataSet whole;
    CreateSmallTable(whole);
    AddRecord(whole, "first", 7);
    TClientDataSet table;
    table.LoadOnly({"N"});
    table.LoadFromBytes(whole.SaveToBytes(dfXML));
    EXPECT_EQ(table.FieldNamed("N").AsInteger(), 7);
    EXPECT_EQ(table.FieldNamed("K").AsInteger(), 1);  // an auto-increment key is always read
    const std::vector<std::function<void()>> refused{
        [&] { static_cast<void>(table.FieldNamed("A").AsString()); },
        [&] { static_cast<void>(table.RowValue(0, 2)); },
        [&] { static_cast<void>(table.SaveToBytes(dfXML)); },
        [&] { table.BuildIndex("a", "A", 0); table.SetIndexName("a"); },
        [&] { table.Edit(); table.FieldNamed("N").SetAsInteger(8); table.Post(); },
    };
    for (std::size_t i = 0; i < refused.size(); ++i) EXPECT_THROW(refused[i](), EDatabaseError) << i;
}
