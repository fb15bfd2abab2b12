#include "support/text_encoding.h"

#include <gtest/gtest.h>

using namespace kiv;

TEST(TextEncoding, PolishLettersSurviveWindows1250RoundTrip) {
    const std::string polish = "Zażółć gęślą jaźń ĄĆĘŁŃÓŚŹŻ";
    const std::string bytes = Utf8ToCp1250(polish);
    EXPECT_EQ(bytes.size(), polish.size() - 18); // one byte per Polish letter // one byte per letter
    EXPECT_FALSE(IsValidUtf8(bytes));
    EXPECT_EQ(Cp1250ToUtf8(bytes), polish);
    EXPECT_EQ(DecodeText(bytes), polish);
    EXPECT_EQ(DecodeText(polish), polish);
}

TEST(TextEncoding, KnownWindows1250Bytes) {
    EXPECT_EQ(Cp1250ToUtf8("\xA3\xB3\x8C\x9C\xAF\xBF\x8F\x9F"), "ŁłŚśŻżŹź");
    EXPECT_EQ(Utf8ToCp1250("€"), "\x80");
    EXPECT_EQ(Utf8ToCp1250("日"), "?");
}

TEST(TextEncoding, RejectsMalformedUtf8) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_FALSE(IsValidUtf8("\xC3"));         // truncated
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));     // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")); // surrogate
}
