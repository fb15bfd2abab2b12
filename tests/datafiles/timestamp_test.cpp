#include "datafiles/real48.h"
#include "datafiles/sample_value.h"
#include "datafiles/timestamp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace kiv {
namespace {

struct KnownStamp {
    TDateTime dt;
    TimeStamp stamp;
};

TEST(TimeStamp, KnownDatesEncodeAndDecode) {
    const KnownStamp cases[] = {
        {{1970, 1, 1, 0, 0, 0}, 0u},
        {{2000, 1, 1, 0, 0, 0}, 946684800u},
        {{2005, 3, 31, 23, 0, 0}, 1112310000u},
        {{2024, 2, 29, 12, 34, 56}, 1709210096u},
        {{2069, 12, 31, 23, 59, 59}, 3155759999u},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(EncodeTime(c.dt), c.stamp) << c.dt.year;
        const TDateTime back = DecodeTime(c.stamp);
        EXPECT_EQ(back.year, c.dt.year);
        EXPECT_EQ(back.month, c.dt.month);
        EXPECT_EQ(back.day, c.dt.day);
        EXPECT_EQ(back.hour, c.dt.hour);
        EXPECT_EQ(back.minute, c.dt.minute);
        EXPECT_EQ(back.second, c.dt.second);
    }
}

TEST(TimeStamp, TwoDigitYearsMeanTheSameAsFourDigit) {
    EXPECT_EQ(EncodeTime({69, 12, 31, 23, 59, 59}), 3155759999u);
    EXPECT_EQ(EncodeTime({70, 1, 1, 0, 0, 0}), 0u);
    EXPECT_EQ(EncodeTime({5, 3, 31, 23, 0, 0}), EncodeTime({2005, 3, 31, 23, 0, 0}));
    EXPECT_EQ(FullYear(69), 2069);
    EXPECT_EQ(FullYear(70), 1970);
    EXPECT_EQ(FullYear(1999), 1999);
}

TEST(TimeStamp, CalendarValidation) {
    const auto text = [](const TDateTime& dt) {
        return std::to_string(dt.year) + "-" + std::to_string(dt.month) + "-" + std::to_string(dt.day) + " " +
               std::to_string(dt.hour) + ":" + std::to_string(dt.minute) + ":" + std::to_string(dt.second);
    };
    for (const TDateTime& dt : {TDateTime{2004, 2, 29}, {2000, 2, 29}, {3, 2, 28, 23, 59, 59}})
        EXPECT_TRUE(IsValidDateTime(dt)) << text(dt);
    for (const TDateTime& dt : {TDateTime{2003, 2, 29}, {2005, 4, 31}, {2005, 13, 1}, {2005, 0, 1}, {2005, 1, 0},
                                {2005, 1, 1, 24}, {2005, 1, 1, 0, 60}, {2005, 1, 1, 0, 0, 60}, {2070, 1, 1}, {1969, 12, 31}})
        EXPECT_FALSE(IsValidDateTime(dt)) << text(dt);
}

TEST(TimeStamp, TextAndParsing) {
    TimeStamp stamp = 0;
    ASSERT_TRUE(ParseStamp("2024-02-29 12:34:56", stamp));
    EXPECT_EQ(stamp, 1709210096u);
    EXPECT_EQ(StampText(stamp), "2024-02-29 12:34:56");
    EXPECT_EQ(StampText(stamp, 3), "2024-02-29");
    EXPECT_EQ(StampText(stamp, 5), "2024-02-29 12:34");
    ASSERT_TRUE(ParseStamp("2005-03-01", stamp));
    EXPECT_EQ(stamp, MonthStart(2005, 3));
    ASSERT_TRUE(ParseStamp("2005-03-01 10:15", stamp));
    EXPECT_EQ(stamp, MonthStart(2005, 3) + 10 * 3600 + 15 * 60);
    for (const char *bad : {"2003-02-29 00:00:00", "2005-3-01", "2005-03-01 1:00:00", "2005-03-01x", "",
                            "2070-01-01", "2005-03-01 10:15:00 "}) {
        EXPECT_FALSE(ParseStamp(bad, stamp)) << bad;
    }
}

TEST(TimeStamp, MonthBounds) {
    EXPECT_EQ(MonthEnd(2005, 3) + 1, MonthStart(2005, 4));
    EXPECT_EQ(MonthEnd(2004, 2) - MonthStart(2004, 2) + 1, 29u * 86400u);
    EXPECT_EQ(MonthEnd(2005, 12) + 1, MonthStart(2006, 1));
}

TEST(Real48, KnownEncoding) {
    uint8_t bytes[6];
    DoubleToReal48(-100.0, bytes);
    const uint8_t expected[6] = {0x87, 0, 0, 0, 0, 0xC8};
    EXPECT_EQ(std::memcmp(bytes, expected, 6), 0);
    EXPECT_EQ(Real48ToDouble(expected), -100.0);
    const uint8_t one[6] = {0x81, 0, 0, 0, 0, 0};
    EXPECT_EQ(Real48ToDouble(one), 1.0);
    const uint8_t zeroWithJunk[6] = {0, 1, 2, 3, 4, 0x85};
    EXPECT_EQ(Real48ToDouble(zeroWithJunk), 0.0);
}

TEST(Real48, RoundTrips) {
    for (double v : {0.0, 1.0, -1.0, -100.0, 123456.7, 0.5, 1e-30, -1e-30, 1e30, 1.7e38, 3.0e-39}) {
        uint8_t bytes[6];
        DoubleToReal48(v, bytes);
        const double back = Real48ToDouble(bytes);
        EXPECT_NEAR(back, v, std::fabs(v) * 1e-11) << v;
        EXPECT_EQ(std::signbit(back), std::signbit(v)) << v;
    }
}

TEST(Real48, OutOfRangeValues) {
    uint8_t bytes[6];
    DoubleToReal48(1e-45, bytes);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(Real48ToDouble(bytes), 0.0);
    DoubleToReal48(1e40, bytes);
    EXPECT_EQ(bytes[0], 255);
    EXPECT_GT(Real48ToDouble(bytes), 1.7e38);
    DoubleToReal48(-1e40, bytes);
    EXPECT_LT(Real48ToDouble(bytes), -1.7e38);
    DoubleToReal48(std::nan(""), bytes);
    EXPECT_EQ(Real48ToDouble(bytes), 0.0);
}

struct ValueCase {
    uint8_t type;
    uint8_t bytes[8];
    int status;
    double number;
    std::size_t used;
};

TEST(SampleValue, ConversionByType) {
    const ValueCase cases[] = {
        {VtInt8, {0xFE}, 1, -2.0, 1},
        {VtInt16, {0x18, 0xFC}, 1, -1000.0, 2},
        {VtInt32, {0xFF, 0xFF, 0xFF, 0xFF}, 1, -1.0, 4},
        {VtUInt8, {0xFE}, 1, 254.0, 1},
        {VtUInt16, {0x18, 0xFC}, 1, 64536.0, 2},
        {VtUInt32, {0xFF, 0xFF, 0xFF, 0xFF}, 1, 4294967295.0, 4},
        {VtFloat32, {0x00, 0x00, 0xC0, 0x3F}, 1, 1.5, 4},
        {VtFloat32, {0x00, 0x00, 0x80, 0x7F}, 0, 0.0, 4},
        {VtFloat32, {0x01, 0x00, 0xC0, 0xFF}, 0, 0.0, 4},
        {VtReal48, {0x87, 0, 0, 0, 0, 0xC8}, 1, -100.0, 6},
        {VtFloat64, {0, 0, 0, 0, 0, 0, 0x59, 0x40}, 1, 100.0, 8},
        {VtFloat64, {0, 0, 0, 0, 0, 0, 0xF0, 0x7F}, 0, 0.0, 8},
        {VtByte, {7}, 0, 0.0, 1},
        {VtDigits, {0x12, 0x34, 0xFF, 0x99}, 0, 0.0, 3},
        {VtText, {'a', 'b', 0, 'c'}, 0, 0.0, 3},
        {VtText, {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}, 0, 0.0, 8},
        {0, {1}, 0, 0.0, 8},
        {13, {1}, 0, 0.0, 8},
    };
    for (const auto &c : cases) {
        double number = -7;
        EXPECT_EQ(ValueToDouble(c.type, c.bytes, number), c.status) << int{c.type};
        EXPECT_EQ(number, c.number) << int{c.type};
        EXPECT_EQ(ValueByteCount(c.type, c.bytes), c.used) << int{c.type};
    }
}

} // namespace
} // namespace kiv
