#include "text/Cp1250.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1250, CzechLettersConvertBothWays) {
    const std::string bytes = "\xC8" "ern\xFD k\xF9\xF2";  // Černý kůň
    EXPECT_EQ(cp1250::ToUtf8(bytes), "Černý kůň");
    EXPECT_EQ(cp1250::FromUtf8("Černý kůň"), bytes);
    EXPECT_EQ(cp1250::FromUnicode(U'č'), 0xE8);
    EXPECT_EQ(cp1250::ToUnicode(0xE8), U'č');
}

TEST(Cp1250, EveryByteSurvivesARoundTripThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(cp1250::FromUtf8(cp1250::ToUtf8(all)), all);
    // Widened from every place, so that each byte meets every place in a block.
    for (std::size_t from = 0; from < all.size(); ++from) {
        std::u16string wide(all.size() - from, u'\0');
        cp1250::Widen(std::string_view(all).substr(from), wide.data());
        for (std::size_t i = 0; i < wide.size(); ++i)
            ASSERT_EQ(wide[i], cp1250::ToUnicode(static_cast<unsigned char>(all[from + i]))) << from << " " << i;
    }
}

TEST(Cp1250, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(cp1250::FromUtf8("a日b"), "a?b");
    EXPECT_EQ(cp1250::FromUtf8("x\xE0\x80y"), "x?y");   // truncated sequence, then y
    EXPECT_EQ(cp1250::FromUtf8("\xC0\xAF"), "?");        // overlong encoding
    EXPECT_TRUE(cp1250::LosesCharacters("日"));
    EXPECT_FALSE(cp1250::LosesCharacters("Žluťoučký kůň?"));
}

TEST(Cp1250, UpperCasingKeepsDiacritics) {
    EXPECT_EQ(cp1250::ToUpper(cp1250::FromUtf8("čářůšž matrix 12-ä")), cp1250::FromUtf8("ČÁŘŮŠŽ MATRIX 12-Ä"));
    EXPECT_EQ(cp1250::ToUpper(cp1250::FromUtf8("ß")), cp1250::FromUtf8("ß"));
}

}  // namespace
