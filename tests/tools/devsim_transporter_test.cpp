// The simulated KivGAZ transporter: its directory on its own address, the
// held devices on theirs, and the options that set it up.
#include <gtest/gtest.h>

#include "options.h"
#include "transporter.h"

namespace kiv::devsim {
namespace {

DeviceData Held(uint16_t address, const char* make) {
    DeviceData data;
    data.address = address;
    data.nameplate = {make, "T", "S1", "E1", "E2", "L"};
    return data;
}

Bytes EntryRequest(uint16_t entry) { return {1, static_cast<uint8_t>(entry), static_cast<uint8_t>(entry >> 8)}; }

TEST(DevsimTransporter, DirectoryAndHeldDevices) {
    SimDevice first(Held(12, "Plum"), {.protocol = 1});
    SimDevice second(Held(300, "Elster"), {.protocol = 2});
    SimTransporter transporter({.address = 65534, .slots = 3, .silentEntries = {5}},
                               {{12, "Kotłownia", &first}, {300, "Szkoła", &second}});
    struct Case {
        uint16_t entry;
        uint8_t code;
        Bytes data; // empty: only the code is checked
    };
    const std::string kotlownia = "Kotłownia";
    Bytes entry0{1, 0, 0, 12, 0, 1, 1, 0, 0, 0};
    entry0.insert(entry0.end(), kotlownia.begin(), kotlownia.end());
    entry0.push_back(0);
    const Case cases[] = {
        {0, 0xFB, entry0},
        {1, 0xFB, {}},
        {2, 0xFB, {1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0}}, // the empty slot after the devices
        {3, 0x7F, {}},
        {300, 0x7F, {}},
    };
    for (const Case& c : cases) {
        const auto reply = transporter.Handle({65534, 0, code::kDirectory, EntryRequest(c.entry)}, 0);
        ASSERT_TRUE(reply.has_value()) << c.entry;
        EXPECT_EQ(reply->address, 65534);
        EXPECT_EQ(reply->code, c.code) << c.entry;
        if (!c.data.empty()) {
            EXPECT_EQ(reply->data, c.data) << c.entry;
        }
    }
    const auto second0 = transporter.Handle({65534, 0, code::kDirectory, EntryRequest(1)}, 0);
    EXPECT_EQ(second0->data[kEntryAddress] | second0->data[kEntryAddress + 1] << 8, 300);
    EXPECT_FALSE(transporter.Handle({65534, 0, code::kDirectory, EntryRequest(5)}, 0).has_value());
    EXPECT_EQ(transporter.Handle({65534, 0, code::kClock1, {}}, 0)->code, code::kNotSupported);

    // Held devices answer as themselves; the nameplate in the version-1 form for both.
    EXPECT_EQ(transporter.Handle({12, 0, code::kClock1, {}}, 0)->code, 0xCB);
    EXPECT_EQ(transporter.Handle({300, 0, code::kClock2, {}}, 0)->code, 0xC8);
    EXPECT_EQ(transporter.Handle({300, 0, code::kClock1, {}}, 0)->code, code::kNotSupported);
    const auto plate = transporter.Handle({300, 0, code::kNameplate1, {}}, 0);
    EXPECT_EQ(plate->code, 0x80);
    EXPECT_EQ(plate->data, (Bytes{'E', 'l', 's', 't', 'e', 'r', 0, 'T', 0, 'S', '1', 0, 'L', 0}));
    EXPECT_FALSE(transporter.Handle({13, 0, code::kClock1, {}}, 0).has_value());
}

TEST(DevsimTransporter, Options) {
    Options o;
    std::string error;
    ASSERT_EQ(ParseOptions({"--profile", "A.FCP", "--address", "12", "--transporter", "65534", "--extra-device",
                            "300:B.FCP", "--device-name", "300=Szkoła", "--slots", "4", "--silent-entry", "2"},
                           o, error),
              ParseResult::kRun)
        << error;
    EXPECT_EQ(o.transporter, 65534);
    EXPECT_EQ(o.deviceNames, (std::vector<DeviceName>{{300, "Szkoła"}}));
    EXPECT_EQ(o.slots, 4);
    EXPECT_EQ(o.silentEntries, std::vector<int>{2});
    const std::vector<std::vector<std::string>> refused = {
        {"--transporter", "12"},                           // the device's own address
        {"--transporter", "9", "--device-name", "13=X"},   // no such held device
        {"--transporter", "9", "--device-name", "13"},     // no name
        {"--transporter", "9", "--modem"},
        {"--slots", "3"},                                  // no transporter
        {"--transporter", "9", "--silent-entry", "-1"},
    };
    for (const auto& more : refused) {
        std::vector<std::string> args{"--profile", "A.FCP", "--address", "12"};
        args.insert(args.end(), more.begin(), more.end());
        Options refusedOptions;
        EXPECT_EQ(ParseOptions(args, refusedOptions, error), ParseResult::kError) << more.back();
    }
}

} // namespace
} // namespace kiv::devsim
