#include "support/text_encoding.h"

#include <gtest/gtest.h>

using namespace kiv;

namespace {

// The bytes of Windows-1250 Polish text beyond ASCII: the eighteen letters
// and the punctuation and signs such text uses.
constexpr std::string_view kPolishHighBytes =
    "\xA5\xB9\xC6\xE6\xCA\xEA\xA3\xB3\xD1\xF1\xD3\xF3\x8C\x9C\x8F\x9F\xAF\xBF" // ĄąĆćĘęŁłŃńÓóŚśŹźŻż
    "\x84\x94\x93\x96\x97\x85\x95\x80\x99\xA9\xAE\xA7\xB0\xB1\xB5\xAB\xBB\xA0\xD7\xF7\x8B\x9B"; // „”“–—…•€™©®§°±µ«» ×÷‹›

} // namespace

TEST(TextEncoding, PolishLettersSurviveWindows1250RoundTrip) {
    const std::string polish = "Zażółć gęślą jaźń ĄĆĘŁŃÓŚŹŻ";
    const std::string bytes = Utf8ToCp1250(polish);
    EXPECT_EQ(bytes.size(), polish.size() - 18); // one byte per Polish letter
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

TEST(TextEncoding, DecodesWhatEachKindOfTextIs) {
    const struct {
        const char* name;
        std::string_view bytes;
        const char* text;
    } rows[] = {
        {"UTF-8 Polish", "Ciśnienie różnicowe", "Ciśnienie różnicowe"},
        {"UTF-8 units and signs", "°C m³ ± µ € № → ≤ Ω ‰ „–”", "°C m³ ± µ € № → ≤ Ω ‰ „–”"},
        {"Windows-1250 that is invalid UTF-8", "Obj\xEAto\x9C\xE6", "Objętość"},
        {"Windows-1250 that is valid UTF-8: ÓŁ", "D\xD3\xA3", "DÓŁ"},
        {"Windows-1250 that is valid UTF-8: ĘŚ", "B\xCA\x8C" "A", "BĘŚA"},
        {"Windows-1250 that is valid UTF-8: ćśą", "\xE6\x9C\xB9", "ćśą"},
        {"Windows-1250 that is valid UTF-8: óźżą", "\xF3\x9F\xBF\xB9", "óźżą"},
        {"UTF-8 outside Polish text reads as Windows-1250", "\xD0\x96", "Đ–"},
    };
    for (const auto& r : rows) EXPECT_EQ(DecodeText(r.bytes), r.text) << r.name;
}

// Every UTF-8 sequence is at most four bytes of which all are above ASCII, so
// when no run of one to four such Polish bytes passes, no Polish
// Windows-1250 text with a letter beyond ASCII ever does.
TEST(TextEncoding, NoPolishWindows1250TextLooksLikeUtf8) {
    const std::size_t n = kPolishHighBytes.size();
    std::string run;
    std::size_t passed = 0;
    for (std::size_t length = 1; length <= 4; ++length) {
        std::size_t total = 1;
        for (std::size_t k = 0; k < length; ++k) total *= n;
        run.assign(length, '\0');
        for (std::size_t index = 0; index < total; ++index) {
            for (std::size_t k = 0, rest = index; k < length; ++k, rest /= n) run[k] = kPolishHighBytes[rest % n];
            if (LooksLikeUtf8(run)) {
                ++passed;
                ADD_FAILURE() << "taken for UTF-8: " << Cp1250ToUtf8(run);
                if (passed > 5) return;
            }
        }
    }
    EXPECT_EQ(passed, 0u);
}

// Decoding what was already decoded changes nothing: every Windows-1250 byte
// decodes to a character LooksLikeUtf8 accepts.
TEST(TextEncoding, DecodingTwiceChangesNothing) {
    std::string pair(2, '\0');
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            pair[0] = static_cast<char>(a);
            pair[1] = static_cast<char>(b);
            const std::string once = DecodeText(pair);
            ASSERT_EQ(DecodeText(once), once) << a << " " << b;
        }
    }
}
