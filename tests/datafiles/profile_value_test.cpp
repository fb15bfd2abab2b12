#include "datafiles/profile.h"

#include <gtest/gtest.h>

#include <vector>

#include "profile_test_util.h"

using namespace kiv;
using namespace kiv::test;

namespace {

struct ValueCase {
    const char* what;
    uint8_t type;
    Bytes packed; // validity byte first
    std::string text;
};

class ValueTextTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueTextTest, ShowsTheValue) {
    const ValueCase& c = GetParam();
    EXPECT_EQ(c.text, TFCProfileRdWr::ValueText(c.packed.data(), c.packed.size(), c.type)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    AllTypes, ValueTextTest,
    ::testing::Values(
        ValueCase{"int8", 1, {1, 0xFF}, "-1"},
        ValueCase{"int16", 2, {1, 0xFE, 0xFF}, "-2"},
        ValueCase{"int32", 3, {1, 0x00, 0x00, 0x00, 0x80}, "-2147483648"},
        ValueCase{"uint8", 4, {1, 0xFF}, "255"},
        ValueCase{"uint16", 5, {1, 0xFF, 0xFF}, "65535"},
        ValueCase{"uint32", 6, {1, 0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"},
        ValueCase{"float", 7, {1, 0x00, 0x00, 0xC0, 0x3F}, "1.5"},
        ValueCase{"float, six digits", 7, {1, 0x65, 0x20, 0xF1, 0x47}, "123457"},
        ValueCase{"float NaN", 7, {1, 0x00, 0x00, 0xC0, 0x7F}, ""},
        ValueCase{"float infinity", 7, {1, 0x00, 0x00, 0x80, 0xFF}, ""},
        ValueCase{"six-byte real", 8, {1, 0x87, 0x00, 0x00, 0x00, 0x00, 0xC8}, "-100"},
        ValueCase{"six-byte real zero", 8, {1, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55}, "0"},
        ValueCase{"double, 18 digits", 9, {1, 0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0x3F}, "0.100000000000000006"},
        ValueCase{"double infinity", 9, {1, 0, 0, 0, 0, 0, 0, 0xF0, 0x7F}, ""},
        ValueCase{"byte set", 10, {1, 5}, "tak"},
        ValueCase{"byte clear", 10, {1, 0}, "nie"},
        ValueCase{"packed digits", 11, {1, 0x20, 0x26, 0x12, 0x08, 0xFF}, "20261208"},
        ValueCase{"packed digits, non-digit low half", 11, {1, 0x20, 0x2A, 0xFF}, ""},
        ValueCase{"packed digits, non-digit high half", 11, {1, 0xB1, 0xFF}, ""},
        ValueCase{"packed digits, no terminator", 11, {1, 0x12, 0x34}, ""},
        ValueCase{"packed digits, none", 11, {1, 0xFF}, ""},
        ValueCase{"text", 12, {1, 'A', 'B', 0}, "AB"},
        ValueCase{"text, Windows-1250", 12, {1, 0xB9, 'x', 0}, "ąx"},
        ValueCase{"text, no terminator", 12, {1, 'A', 'B'}, ""},
        ValueCase{"validity 0", 3, {0, 1, 0, 0, 0}, ""},
        ValueCase{"validity 0, byte", 10, {0, 1}, ""},
        ValueCase{"validity 0, text", 12, {0, 'A', 0}, ""},
        ValueCase{"length below 2", 10, {1}, ""},
        ValueCase{"value shorter than its type", 3, {1, 1, 2, 3}, ""},
        ValueCase{"type 0", 0, {1, 1, 2}, ""},
        ValueCase{"type 13", 13, {1, 1, 2}, ""}));

TEST(ValueTextTest, NullValueIsEmpty) { EXPECT_EQ("", TFCProfileRdWr::ValueText(nullptr, 5, 3)); }

TEST(ValueOffsetTest, WalksValuesInItemOrder) {
    const std::vector<TParamItem> items = {MakeItem("P", 3, 7), MakeItem("Ver", 5, 11), MakeItem("Bat", 8, 4),
                                           MakeItem("Txt", 9, 12)};
    const Bytes values = {1, 0, 0, 0xC0, 0x3F, 1, 0x12, 0x34, 0xFF, 1, 55, 1, 'a', 0};
    const auto at = [&](int32_t number, std::size_t length) {
        return TFCProfileRdWr::ValueOffset(items.data(), 4, values.data(), length, number);
    };
    EXPECT_EQ(0, at(3, values.size()));
    EXPECT_EQ(5, at(5, values.size()));
    EXPECT_EQ(9, at(8, values.size()));
    EXPECT_EQ(11, at(9, values.size()));
    EXPECT_EQ(-1, at(4, values.size()));
    EXPECT_EQ(-1, at(8, 10));  // Bat's two bytes run past the buffer
    EXPECT_EQ(-1, at(8, 8));   // Ver's terminator is outside the buffer
    EXPECT_EQ(-1, at(9, 13));  // Txt unterminated
    EXPECT_EQ(-1, TFCProfileRdWr::ValueOffset(items.data(), 0, values.data(), values.size(), 3));
    EXPECT_EQ("1.5", TFCProfileRdWr::ValueText(values.data() + at(3, values.size()), values.size(), 7));
}

TEST(ValueOffsetTest, UnknownTypeEndsTheWalk) {
    const std::vector<TParamItem> items = {MakeItem("X", 1, 0), MakeItem("Y", 2, 4)};
    const Bytes values = {1, 1, 1, 1};
    EXPECT_EQ(-1, TFCProfileRdWr::ValueOffset(items.data(), 2, values.data(), values.size(), 2));
}

TEST(PackedValueSizeTest, SizesIncludeTheValidityByte) {
    const Bytes text = {1, 'a', 'b', 0, 9};
    const Bytes digits = {1, 0x12, 0xFF, 9};
    struct {
        uint8_t type;
        long size;
    } const fixed[] = {{1, 2}, {2, 3}, {3, 5}, {4, 2}, {5, 3}, {6, 5}, {7, 5}, {8, 7}, {9, 9}, {10, 2}, {0, -1}, {14, -1}};
    const Bytes nine(9, 1);
    for (const auto& f : fixed) EXPECT_EQ(f.size, PackedValueSize(f.type, nine.data(), nine.size())) << int(f.type);
    EXPECT_EQ(-1, PackedValueSize(9, nine.data(), 8));
    EXPECT_EQ(4, PackedValueSize(12, text.data(), text.size()));
    EXPECT_EQ(3, PackedValueSize(11, digits.data(), digits.size()));
    EXPECT_EQ(-1, PackedValueSize(12, text.data(), 3));
}

} // namespace
