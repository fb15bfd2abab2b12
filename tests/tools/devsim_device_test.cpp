#include <gtest/gtest.h>

#include <string>

#include "datafiles/timestamp.h"
#include "device_model.h"
#include "fault_injection.h"
#include "request_handlers.h"

namespace kiv::devsim {
namespace {

// 2026-03-10 14:25:36
uint32_t Clock() { return EncodeTime({2026, 3, 10, 14, 25, 36}); }

SimProfile TestProfile(int protocol) {
    SimProfile p;
    p.protocol = protocol;
    p.make = "Plum";
    p.type = "MacMAT II";
    p.serial = "0012345";
    // Parameter numbers 0, 1, 2 and 5; the gap at 3..4 is what a device may have.
    p.items = {
        {"Vn", 0, 6, 0, 6, 0, 6},
        {"p", 1, 7, 1, 7, -1, 0},
        {"T", 2, 5, -1, 0, -1, 0},
        {"Q", 5, 8, 2, 8, 1, 9},
    };
    return p;
}

DeviceData TestData(int protocol) {
    GenerateOptions g;
    g.seed = 7;
    g.now = Clock();
    g.hourlyDays = 10;
    g.dailyDays = 20;
    g.eventCount = 5;
    return GenerateData(TestProfile(protocol), 12, g);
}

struct Device {
    explicit Device(int protocol, DeviceSettings settings = {}) : sim(TestData(protocol), WithProtocol(settings, protocol)) {}

    static DeviceSettings WithProtocol(DeviceSettings settings, int protocol) {
        settings.protocol = protocol;
        return settings;
    }

    Frame Ask(uint8_t code, Bytes data = {}) {
        const auto reply = sim.Handle({12, 0, code, std::move(data)}, Clock());
        EXPECT_TRUE(reply.has_value());
        return reply.value_or(Frame{});
    }

    SimDevice sim;
};

Bytes CountIndex(uint8_t count, uint16_t index) {
    return {count, static_cast<uint8_t>(index), static_cast<uint8_t>(index >> 8)};
}

uint32_t TimeAt(const Bytes& data, std::size_t at, int fields) {
    uint32_t stamp = 0;
    EXPECT_TRUE(ParseWireTime(data.data() + at, fields, stamp));
    return stamp;
}

std::vector<std::string> Strings(const Bytes& data) {
    std::vector<std::string> out(1);
    for (uint8_t b : data) {
        if (b == 0) out.emplace_back();
        else out.back().push_back(static_cast<char>(b));
    }
    out.pop_back();
    return out;
}

TEST(DevsimDevice, AnswersOnlyItsOwnAddress) {
    SimDevice sim(TestData(1), {});
    EXPECT_FALSE(sim.Handle({13, 0, code::kClock1, {}}, Clock()).has_value());
    const auto reply = sim.Handle({12, 7, code::kClock1, {}}, Clock());
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->address, 12);
    EXPECT_EQ(reply->address2, 7);
}

TEST(DevsimDevice, ClockOfEitherVersion) {
    for (const auto& [protocol, request] : {std::pair{1, code::kClock1}, std::pair{2, code::kClock2}}) {
        Device d(protocol);
        const Frame reply = d.Ask(request);
        EXPECT_EQ(reply.code, request + 0x80);
        EXPECT_EQ(reply.data, (Bytes{36, 25, 14, 10, 3, 26}));
    }
}

TEST(DevsimDevice, InvalidClockFault) {
    Device d(1, DeviceSettings{.badClock = true});
    EXPECT_EQ(d.Ask(code::kClock1).data, (Bytes{0, 0, 12, 29, 2, 3}));
}

TEST(DevsimDevice, RequestsOfTheOtherVersionAreNotSupported) {
    const uint8_t v1Only[] = {code::kClock1, code::kNameplate1, code::kCurrent1, code::kHourPosition,
                              code::kHourBlock, code::kHourNextBlock, code::kDayPosition, code::kDayBlock,
                              code::kEvent1};
    const uint8_t v2Only[] = {code::kClock2,    code::kNameplate2, code::kCurrent2, code::kPosition2,
                              code::kPointerBlock2, code::kEvent2, code::kDpTable, code::kTzTable};
    Device v1(1), v2(2);
    for (uint8_t c : v2Only) EXPECT_EQ(v1.Ask(c, CountIndex(1, 0)).code, code::kNotSupported) << int(c);
    for (uint8_t c : v1Only) EXPECT_EQ(v2.Ask(c, CountIndex(1, 0)).code, code::kNotSupported) << int(c);
    for (uint8_t c : {0x05, 0x4A, 0x7B, 0xB0}) EXPECT_EQ(v2.Ask(static_cast<uint8_t>(c)).code, code::kNotSupported);
    // A request too short to carry its count and index is refused too.
    EXPECT_EQ(v1.Ask(code::kCurrent1, {1}).code, code::kNotSupported);
}

TEST(DevsimDevice, NameplateStrings) {
    Device v1(1), v2(2);
    const Frame r1 = v1.Ask(code::kNameplate1);
    EXPECT_EQ(r1.code, 0x80);
    const auto s1 = Strings(r1.data);
    ASSERT_EQ(s1.size(), 4u);
    EXPECT_EQ(s1[0], "Plum");
    EXPECT_EQ(s1[1], "MacMAT II");
    EXPECT_EQ(s1[2], "0012345");
    const Frame r2 = v2.Ask(code::kNameplate2);
    EXPECT_EQ(r2.code, 0x89);
    const auto s2 = Strings(r2.data);
    ASSERT_EQ(s2.size(), 6u);
    EXPECT_EQ(s2[2], "0012345");
    EXPECT_EQ(s2[5], s1[3]);
}

TEST(DevsimDevice, CurrentDataCountsAndValues) {
    struct Case {
        int maxValues;
        uint8_t count;
        uint16_t start;
        uint8_t returned;
        std::size_t valueBytes; // sizes: #0 type 6 = 5, #1 type 7 = 5, #2 type 5 = 3, #5 type 8 = 7
    };
    const Case cases[] = {
        {0, 6, 0, 6, 5 + 5 + 3 + 7}, {0, 250, 0, 250, 20}, {2, 6, 0, 2, 10},
        {0, 3, 3, 3, 7},             {0, 1, 2, 1, 3},      {0, 4, 100, 4, 0},
    };
    for (const Case& c : cases) {
        Device d(2, DeviceSettings{.maxValues = c.maxValues});
        const Frame reply = d.Ask(code::kCurrent2, CountIndex(c.count, c.start));
        EXPECT_EQ(reply.code, 0xC0);
        ASSERT_GE(reply.data.size(), 3u);
        EXPECT_EQ(reply.data[0], c.returned) << "start " << c.start;
        EXPECT_EQ(reply.data[1] | reply.data[2] << 8, c.start);
        EXPECT_EQ(reply.data.size() - 3, c.valueBytes) << "start " << c.start;
    }
    Device d(1);
    const Frame all = d.Ask(code::kCurrent1, CountIndex(6, 0));
    EXPECT_EQ(all.code, 0x8A);
    const Bytes& p5 = d.sim.Data().current.at(5);
    EXPECT_TRUE(std::equal(p5.begin(), p5.end(), all.data.end() - 7));
    EXPECT_EQ(all.data[3], 1); // status byte of the first value
}

TEST(DevsimDevice, HourlyArchiveVersion1) {
    Device d(1);
    const ArchiveTable& hourly = d.sim.Data().hourly;
    ASSERT_EQ(hourly.times.size(), 240u);
    const uint32_t wanted = hourly.times[100] - 1800; // between two samples
    const Frame pos = d.Ask(code::kHourPosition, WireTime(wanted, 5));
    ASSERT_EQ(pos.code, 0x9A);
    EXPECT_EQ(TimeAt(pos.data, 0, 5), hourly.times[100]);

    const Frame first = d.Ask(code::kHourBlock, CountIndex(24, 1));
    ASSERT_EQ(first.code, 0x9D);
    EXPECT_EQ(first.data[0], 24);
    EXPECT_EQ(first.data[3], 60);
    EXPECT_EQ(TimeAt(first.data, 4, 5), hourly.times[100]);
    ASSERT_EQ(first.data.size(), 9u + 24 * 5); // type 7 samples
    const Bytes& sample = hourly.channels.at(1).values[100];
    EXPECT_TRUE(std::equal(sample.begin(), sample.end(), first.data.begin() + 9));

    std::size_t next = 124;
    while (next < hourly.times.size()) {
        const Frame block = d.Ask(code::kHourNextBlock);
        ASSERT_EQ(block.code, 0x9D);
        EXPECT_EQ(TimeAt(block.data, 4, 5), hourly.times[next]);
        next += block.data[0];
    }
    EXPECT_EQ(next, hourly.times.size());
    EXPECT_EQ(d.Ask(code::kHourNextBlock).code, code::kNoMore);
    EXPECT_EQ(d.Ask(code::kHourPosition, WireTime(hourly.times.back() + 60, 5)).code, code::kNoMore);
    EXPECT_EQ(d.Ask(code::kHourBlock, CountIndex(24, 9)).code, code::kNotSupported); // no such archive
}

TEST(DevsimDevice, DailyArchiveVersion1) {
    Device d(1);
    const ArchiveTable& daily = d.sim.Data().daily;
    ASSERT_EQ(daily.times.size(), 20u);
    EXPECT_EQ(DecodeTime(daily.times[0]).hour, 6);
    const TDateTime day = DecodeTime(daily.times[5]);
    const Frame pos = d.Ask(code::kDayPosition, WireTime(EncodeTime({day.year, day.month, day.day, 0, 0, 0}), 4));
    ASSERT_EQ(pos.code, 0x9B);
    EXPECT_EQ(TimeAt(pos.data, 0, 4), daily.times[5]);
    const Frame block = d.Ask(code::kDayBlock, CountIndex(1, 1));
    ASSERT_EQ(block.code, 0x9F);
    EXPECT_EQ(block.data[0], 1);
    EXPECT_EQ(TimeAt(block.data, 3, 4), daily.times[5]);
    EXPECT_EQ(block.data.size(), 7u + 9); // one type-9 sample
    EXPECT_EQ(d.Ask(code::kDayPosition, WireTime(daily.times.back() + 3600, 4)).code, code::kNoMore);
}

TEST(DevsimDevice, PointerBlocksVersion2) {
    Device d(2);
    const ArchiveTable& hourly = d.sim.Data().hourly;
    const Frame pos = d.Ask(code::kPosition2, WireTime(hourly.times[200], 5));
    ASSERT_EQ(pos.code, 0xC1);
    EXPECT_EQ(TimeAt(pos.data, 0, 5), hourly.times[200]);
    const int32_t pointer = static_cast<int32_t>(pos.data[5] | pos.data[6] << 8 | pos.data[7] << 16 | pos.data[8] << 24);
    EXPECT_EQ(pointer, DeviceSettings{}.pointerBase + 200);

    Bytes request = CountIndex(30, 2);
    request.insert(request.end(), pos.data.begin() + 5, pos.data.end());
    const Frame block = d.Ask(code::kPointerBlock2, request);
    ASSERT_EQ(block.code, 0xC2);
    EXPECT_EQ(block.data[0], 30);
    EXPECT_EQ(block.data[3], 60);
    EXPECT_EQ(TimeAt(block.data, 4, 5), hourly.times[200]);
    EXPECT_TRUE(std::equal(block.data.begin() + 9, block.data.begin() + 13, pos.data.begin() + 5)); // echo
    EXPECT_EQ(block.data.size(), 13u + 30 * 7);                                                     // type 8

    Bytes past = CountIndex(30, 2);
    for (int i = 0; i < 4; ++i) past.push_back(static_cast<uint8_t>((DeviceSettings{}.pointerBase + 240) >> (8 * i)));
    EXPECT_EQ(d.Ask(code::kPointerBlock2, past).code, code::kNoMore);
}

TEST(DevsimDevice, PositioningAcknowledgedWithoutTime) {
    Device d(1, DeviceSettings{.ackPositioning = true});
    const ArchiveTable& hourly = d.sim.Data().hourly;
    const Frame pos = d.Ask(code::kHourPosition, WireTime(hourly.times[50], 5));
    EXPECT_EQ(pos.code, code::kAcknowledge);
    EXPECT_TRUE(pos.data.empty());
    // The device has still moved to the time asked for.
    const Frame block = d.Ask(code::kHourBlock, CountIndex(2, 0));
    ASSERT_EQ(block.code, 0x9D);
    EXPECT_EQ(TimeAt(block.data, 4, 5), hourly.times[50]);
    EXPECT_EQ(d.Ask(code::kDayPosition, WireTime(d.sim.Data().daily.times[3], 4)).code, code::kAcknowledge);
    // Past the end there is nothing to acknowledge.
    EXPECT_EQ(d.Ask(code::kHourPosition, WireTime(hourly.times.back() + 60, 5)).code, code::kNoMore);
}

TEST(DevsimDevice, WrongPointerEchoFault) {
    Device d(2, DeviceSettings{.badPointerEcho = true});
    Bytes request = CountIndex(1, 0);
    for (int i = 0; i < 4; ++i) request.push_back(static_cast<uint8_t>((DeviceSettings{}.pointerBase + 7) >> (8 * i)));
    const Frame block = d.Ask(code::kPointerBlock2, request);
    ASSERT_EQ(block.code, 0xC2);
    EXPECT_EQ(block.data[9], static_cast<uint8_t>(DeviceSettings{}.pointerBase + 8));
}

TEST(DevsimDevice, ArchiveBlockEndsAtAGap) {
    ArchiveTable table;
    table.times = {3600, 7200, 10800, 18000, 21600};
    table.channels[0] = {4, {{1, 10}, {1, 11}, {1, 12}, {1, 13}, {1, 14}}};
    Bytes out;
    EXPECT_EQ(CollectSamples(table, 0, 0, 10, 100, out), 3u);
    EXPECT_EQ(out, (Bytes{1, 10, 1, 11, 1, 12}));
    out.clear();
    EXPECT_EQ(CollectSamples(table, 0, 3, 10, 100, out), 2u);
    out.clear();
    EXPECT_EQ(CollectSamples(table, 0, 0, 10, 5, out), 2u) << "byte budget";
    EXPECT_EQ(CollectSamples(table, 1, 0, 10, 100, out), 0u) << "no such channel";
}

TEST(DevsimDevice, EventsNewestFirstThenEnd) {
    for (const auto& [protocol, request] : {std::pair{1, code::kEvent1}, std::pair{2, code::kEvent2}}) {
        Device d(protocol);
        const auto& events = d.sim.Data().events;
        ASSERT_EQ(events.size(), 5u);
        for (uint16_t n = 0; n < events.size(); ++n) {
            const Frame reply = d.Ask(request, CountIndex(1, n));
            ASSERT_EQ(reply.code, request + 0x80);
            EXPECT_EQ(Bytes(reply.data.begin() + 3, reply.data.end()), events[n]);
        }
        EXPECT_EQ(d.Ask(request, CountIndex(1, 5)).code, code::kNoMore);
        // Newest first; the newest one is still open (no second time).
        EXPECT_GT(TimeAt(events[0], 1, 6), TimeAt(events[1], 1, 6));
        EXPECT_EQ(Bytes(events[0].begin() + 7, events[0].begin() + 13), Bytes(6, 0));
    }
}

TEST(DevsimDevice, TableDumpsInChunks) {
    Device d(2);
    for (const auto& [request, size] : {std::pair{code::kDpTable, std::size_t{256}}, std::pair{code::kTzTable, std::size_t{160}}}) {
        Bytes collected;
        uint16_t offset = 0;
        for (int guard = 0; guard < 10; ++guard) {
            const Frame reply = d.Ask(request, CountIndex(100, offset));
            if (reply.code != request + 0x80) {
                EXPECT_EQ(reply.code, code::kNoMore);
                break;
            }
            collected.insert(collected.end(), reply.data.begin() + 3, reply.data.end());
            offset = static_cast<uint16_t>(offset + reply.data[0]);
        }
        EXPECT_EQ(collected.size(), size);
        EXPECT_EQ(collected, request == code::kDpTable ? d.sim.Data().dpTable : d.sim.Data().tzTable);
    }
}

TEST(DevsimDevice, GenerationIsDeterministicPerSeed) {
    const DeviceData a = TestData(1);
    const DeviceData b = TestData(1);
    EXPECT_EQ(a.hourly.channels.at(0).values, b.hourly.channels.at(0).values);
    EXPECT_EQ(a.events, b.events);
    // The newest hourly sample is a complete hour before the clock.
    EXPECT_LE(a.hourly.times.back() + 3600, Clock());
    EXPECT_GT(a.hourly.times.back() + 7200, Clock());
}

TEST(DevsimDevice, ContentsNeverReachBefore1970) {
    for (const uint32_t now : {0u, 3 * 3600u, 5 * 86400u}) {
        GenerateOptions g;
        g.now = now;
        const DeviceData data = GenerateData(TestProfile(1), 12, g);
        for (const Bytes& event : data.events) EXPECT_LE(TimeAt(event, 1, 6), now);
        for (const ArchiveTable* table : {&data.hourly, &data.daily}) {
            EXPECT_TRUE(std::is_sorted(table->times.begin(), table->times.end())) << now;
            EXPECT_LE(table->times.size(), now / 3600 + 1);
            if (!table->times.empty()) {
                EXPECT_LT(table->times.back(), now) << now;
            }
        }
    }
}

TEST(DevsimFaults, NoiseKeepsTheFrameFindableAndCrcFaultsCount) {
    FaultSettings s;
    s.noiseBefore = 300;
    s.noiseAfter = 300;
    s.corruptEvery = 2;
    s.silentEvery = 3;
    FaultInjector faults(s, 99);
    const Bytes frame = EncodeFrame({1, 0, 0xCB, {1, 2, 3, 4, 5, 6}});
    for (int n = 1; n <= 6; ++n) {
        const Bytes out = faults.Shape(frame);
        if (n % 3 == 0) {
            EXPECT_TRUE(out.empty()) << n;
            continue;
        }
        ASSERT_EQ(out.size(), 600 + frame.size());
        EXPECT_EQ(std::find(out.begin(), out.begin() + 300, 0x68), out.begin() + 300);
        EXPECT_EQ(std::find(out.begin() + 300 + static_cast<long>(frame.size()), out.end(), 0x16), out.end());
        const Bytes inner(out.begin() + 300, out.begin() + 300 + static_cast<long>(frame.size()));
        EXPECT_EQ(inner == frame, n % 2 != 0) << n;
    }
}

} // namespace
} // namespace kiv::devsim
