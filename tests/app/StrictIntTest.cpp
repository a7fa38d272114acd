#include "app/core/StrictInt.h"

#include <gtest/gtest.h>

namespace {

TEST(StrictStrToInt, AcceptsDecimalWithLeadingBlanksAndSign) {
    EXPECT_EQ(StrictStrToInt("0"), 0);
    EXPECT_EQ(StrictStrToInt("123"), 123);
    EXPECT_EQ(StrictStrToInt("   42"), 42);
    EXPECT_EQ(StrictStrToInt("+7"), 7);
    EXPECT_EQ(StrictStrToInt("-5"), -5);
    EXPECT_EQ(StrictStrToInt("  -0012"), -12);
}

TEST(StrictStrToInt, AcceptsHexadecimalAfterEachPrefix) {
    EXPECT_EQ(StrictStrToInt("$1A"), 26);
    EXPECT_EQ(StrictStrToInt("x1a"), 26);
    EXPECT_EQ(StrictStrToInt("X1a"), 26);
    EXPECT_EQ(StrictStrToInt("0x10"), 16);
    EXPECT_EQ(StrictStrToInt("0XfF"), 255);
    EXPECT_EQ(StrictStrToInt(" -$10"), -16);
}

TEST(StrictStrToInt, KeepsToThirtyTwoSignedBits) {
    EXPECT_EQ(StrictStrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrictStrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrictStrToInt("$7FFFFFFF"), 2147483647);
    EXPECT_EQ(StrictStrToInt("-$80000000"), INT32_MIN);
    EXPECT_EQ(StrictStrToInt("2147483648"), std::nullopt);
    EXPECT_EQ(StrictStrToInt("-2147483649"), std::nullopt);
    EXPECT_EQ(StrictStrToInt("$80000000"), std::nullopt);
    EXPECT_EQ(StrictStrToInt("99999999999999999999999999"), std::nullopt);
}

TEST(StrictStrToInt, RefusesEverythingElse) {
    for (const char* text : {"", " ", "-", "+", "12a", "1 2", "12 ", "$", "0x", "x", "1.5", "\t5",
                             "--5", "$-5", " + 5", "0x 1", "$G", "1e3", "00x10"}) {
        EXPECT_EQ(StrictStrToInt(text), std::nullopt) << '"' << text << '"';
    }
    EXPECT_EQ(StrictStrToInt(std::string_view("1\0", 2)), std::nullopt);
}

}  // namespace
