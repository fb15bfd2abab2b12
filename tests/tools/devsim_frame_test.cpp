#include <gtest/gtest.h>

#include <string>

#include "frame_codec.h"

namespace kiv::devsim {
namespace {

const Bytes kClockRequest{0x68, 0x05, 0x00, 0x01, 0x00, 0x00, 0x00, 0x4B, 0x2A, 0x59, 0x16};

Bytes ClockReply() { return EncodeFrame({1, 0, 0xCB, {5, 4, 3, 2, 1, 26}}); }

std::vector<FrameReader::Status> DrainStatuses(FrameReader& reader, std::vector<Frame>& frames) {
    std::vector<FrameReader::Status> statuses;
    Frame frame;
    for (auto s = reader.Next(frame); s != FrameReader::Status::kNeedMore; s = reader.Next(frame)) {
        statuses.push_back(s);
        if (s == FrameReader::Status::kGood) frames.push_back(frame);
    }
    return statuses;
}

TEST(DevsimFrame, CrcCheckValue) {
    const std::string text = "123456789";
    EXPECT_EQ(LinkCrc(reinterpret_cast<const uint8_t*>(text.data()), text.size()), 0x31C3);
    EXPECT_EQ(LinkCrc(reinterpret_cast<const uint8_t*>("abc"), 3), 0x9DD6);
}

TEST(DevsimFrame, EncodesTheClockRequestToAddressOne) {
    EXPECT_EQ(EncodeFrame({1, 0, 0x4B, {}}), kClockRequest);
}

TEST(DevsimFrame, DecodesTheClockRequest) {
    Frame frame;
    ASSERT_TRUE(DecodeFrame(kClockRequest, frame));
    EXPECT_EQ(frame.address, 1);
    EXPECT_EQ(frame.address2, 0);
    EXPECT_EQ(frame.code, 0x4B);
    EXPECT_TRUE(frame.data.empty());
}

TEST(DevsimFrame, AnyChangedByteSpoilsTheClockRequest) {
    for (std::size_t i = 0; i < kClockRequest.size(); ++i) {
        Bytes spoiled = kClockRequest;
        spoiled[i] ^= 0x01;
        Frame frame;
        EXPECT_FALSE(DecodeFrame(spoiled, frame)) << "byte " << i;
    }
}

TEST(DevsimFrame, ReplyLayoutAndRoundTrip) {
    const Bytes reply = ClockReply();
    ASSERT_EQ(reply.size(), 17u);
    EXPECT_EQ(reply[0], 0x68);
    EXPECT_EQ(reply[1], 11); // data + 5, little-endian
    EXPECT_EQ(reply[2], 0);
    EXPECT_EQ(reply[7], 0xCB);
    EXPECT_EQ(reply[16], 0x16);
    const uint16_t crc = LinkCrc(reply.data() + 1, 13);
    EXPECT_EQ(reply[14], crc >> 8); // high byte first
    EXPECT_EQ(reply[15], crc & 0xFF);

    Frame frame;
    ASSERT_TRUE(DecodeFrame(reply, frame));
    EXPECT_EQ(frame.code, 0xCB);
    EXPECT_EQ(frame.data, (Bytes{5, 4, 3, 2, 1, 26}));
}

TEST(DevsimFrame, LongAddressesAndDataKeepTheirBytes) {
    Bytes data(600);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
    const Bytes image = EncodeFrame({0xABCD, 0x1234, 0x9D, data});
    EXPECT_EQ(image[1] | image[2] << 8, 605);
    EXPECT_EQ(image[3], 0xCD);
    EXPECT_EQ(image[4], 0xAB);
    Frame frame;
    ASSERT_TRUE(DecodeFrame(image, frame));
    EXPECT_EQ(frame.address, 0xABCD);
    EXPECT_EQ(frame.address2, 0x1234);
    EXPECT_EQ(frame.data, data);
}

TEST(DevsimFrameReader, FrameArrivingOneByteAtATime) {
    FrameReader reader;
    Frame frame;
    for (std::size_t i = 0; i + 1 < kClockRequest.size(); ++i) {
        reader.Feed(&kClockRequest[i], 1);
        ASSERT_EQ(reader.Next(frame), FrameReader::Status::kNeedMore) << "after byte " << i;
    }
    reader.Feed(&kClockRequest.back(), 1);
    ASSERT_EQ(reader.Next(frame), FrameReader::Status::kGood);
    EXPECT_EQ(frame.code, 0x4B);
    EXPECT_EQ(reader.Pending(), 0u);
}

TEST(DevsimFrameReader, SkipsNoiseAndFalseStarts) {
    struct Case {
        const char* name;
        Bytes before;
    };
    const Case cases[] = {
        {"plain noise", {0x00, 0xFF, 0x16, 0x55}},
        {"start byte with an impossible length", {0x68, 0x01, 0x00}},
        {"start byte whose frame has no end byte", {0x68, 0x05, 0x00, 0x01}},
    };
    for (const Case& c : cases) {
        FrameReader reader;
        Bytes line = c.before;
        line.insert(line.end(), kClockRequest.begin(), kClockRequest.end());
        line.push_back(0x68); // a stray start byte after the frame stays pending
        reader.Feed(line.data(), line.size());
        std::vector<Frame> frames;
        const auto statuses = DrainStatuses(reader, frames);
        ASSERT_EQ(frames.size(), 1u) << c.name;
        EXPECT_EQ(frames[0].code, 0x4B) << c.name;
        EXPECT_EQ(statuses.size(), 1u) << c.name;
    }
}

TEST(DevsimFrameReader, BadCrcIsReportedAndTheNextFrameStillRead) {
    Bytes line = kClockRequest;
    line[9] ^= 0xFF;
    const Bytes reply = ClockReply();
    line.insert(line.end(), reply.begin(), reply.end());
    line.insert(line.end(), kClockRequest.begin(), kClockRequest.end());
    FrameReader reader;
    reader.Feed(line.data(), line.size());
    std::vector<Frame> frames;
    const auto statuses = DrainStatuses(reader, frames);
    EXPECT_EQ(statuses, (std::vector<FrameReader::Status>{FrameReader::Status::kBadCrc, FrameReader::Status::kGood,
                                                          FrameReader::Status::kGood}));
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].code, 0xCB);
    EXPECT_EQ(frames[1].code, 0x4B);
}

TEST(DevsimFrameReader, ClearDropsAPartialFrame) {
    FrameReader reader;
    reader.Feed(kClockRequest.data(), 6);
    reader.Clear();
    reader.Feed(kClockRequest.data(), kClockRequest.size());
    Frame frame;
    EXPECT_EQ(reader.Next(frame), FrameReader::Status::kGood);
}

} // namespace
} // namespace kiv::devsim
