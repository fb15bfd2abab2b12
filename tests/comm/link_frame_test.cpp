// Frames on the wire: the kind table, the builder and the frame check.
#include <gtest/gtest.h>

#include <string>

#include "comm/link_frame.h"
#include "datafiles/plik.h"
#include "pty_peer.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(LinkFrame, KindTable) {
    const Bytes expected = {0x00, 0x0A, 0x1A, 0x1D, 0x1B, 0x1F, 0x3A, 0x4B, 0x4A, 0x09, 0x40, 0x44, 0x01, 0x03, 0x05,
                            0x06, 0x41, 0x42, 0x46, 0x48, 0x49, 0x4F, 0xE5, 0x7B, 0xE5, 0x7E, 0x7F, 0xFB, 0xB0};
    for (std::size_t kind = 0; kind < expected.size(); ++kind)
        EXPECT_EQ(kiv::RequestCode(static_cast<uint8_t>(kind)), expected[kind]) << "kind " << kind;
    for (int kind : {29, 30, 100, 255})
        EXPECT_EQ(kiv::RequestCode(static_cast<uint8_t>(kind)), 0xFF) << "kind " << kind;
}

TEST(LinkFrame, ClockRequestToAddressOne) {
    EXPECT_EQ(kiv::BuildFrame(0x4B, 0, nullptr, 0, 1),
              (Bytes{0x68, 0x05, 0x00, 0x01, 0x00, 0x00, 0x00, 0x4B, 0x2A, 0x59, 0x16}));
}

TEST(LinkFrame, DataAndAddressesAreLittleEndian) {
    const Bytes data = {3, 0x10, 0x00};
    const Bytes frame = kiv::BuildFrame(0x0A, 0x0201, data.data(), 3, 0x3039);
    ASSERT_EQ(frame.size(), 14u);
    EXPECT_EQ(frame[1], 8);
    EXPECT_EQ(frame[2], 0);
    EXPECT_EQ(frame[3], 0x39);
    EXPECT_EQ(frame[4], 0x30);
    EXPECT_EQ(frame[5], 0x01);
    EXPECT_EQ(frame[6], 0x02);
    EXPECT_EQ(Bytes(frame.begin() + 8, frame.begin() + 11), data);
    EXPECT_EQ(kiv::Crc16(frame.data() + 1, frame.size() - 2), 0);
}

struct CheckCase {
    const char* name;
    Bytes received;
    bool good;
    Bytes front; // the buffer after the check
};

Bytes Good() { return kivtest::ReplyFrame(1, 0xCB, {5, 4, 3, 2, 1, 26}); }
Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}
Bytes BadCrc() {
    Bytes b = Good();
    b[b.size() - 3] ^= 0x80;
    return b;
}
Bytes WrongLen() {
    // LEN is not checked by itself: a frame whose CRC agrees with a wrong LEN passes.
    Bytes body = {0x68, 0x09, 0x00, 0x01, 0x00, 0x00, 0x00, 0xCB, 0xAA};
    const uint16_t crc = kiv::Crc16(body.data() + 1, body.size() - 1);
    body.push_back(static_cast<uint8_t>(crc >> 8));
    body.push_back(static_cast<uint8_t>(crc));
    body.push_back(0x16);
    return body;
}

class FrameCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(FrameCheck, Result) {
    const CheckCase& c = GetParam();
    Bytes buffer = c.received;
    std::size_t count = buffer.size();
    EXPECT_EQ(kiv::CheckFrame(buffer.data(), count), c.good);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + static_cast<long>(count)), c.front);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrameCheck,
    ::testing::Values(CheckCase{"Clean", Good(), true, Good()}, CheckCase{"Empty", {}, false, {}},
                      CheckCase{"NoiseBefore", Cat({{0x00, 0x16, 0xFF}, Good()}), true, Good()},
                      CheckCase{"NoiseAfter", Cat({Good(), {0x00, 0x68, 0x33}}), true, Good()},
                      CheckCase{"EndBytesInTrailingNoise", Cat({{0x55}, Good(), {0x16, 0x16}}), true, Good()},
                      CheckCase{"BadCrc", BadCrc(), false, BadCrc()},
                      CheckCase{"NoStart", {0x01, 0x02, 0x16}, false, {0x01, 0x02, 0x16}},
                      CheckCase{"NoEnd", {0x33, 0x68, 0x05, 0x00}, false, {0x33, 0x68, 0x05, 0x00}},
                      CheckCase{"StartAndEndOnly", {0x68, 0x16}, false, {0x68, 0x16}},
                      CheckCase{"TooShortWithZeroCrc", {0x68, 0x00, 0x00, 0x00, 0x16}, false,
                                {0x68, 0x00, 0x00, 0x00, 0x16}},
                      CheckCase{"LenDisagrees", WrongLen(), true, WrongLen()}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

} // namespace
