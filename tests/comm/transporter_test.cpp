// The transporter's directory rules on scripted replies: which entries are
// listed, where the read stops, and the list texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comm/link_frame.h"
#include "comm/transporter.h"

namespace kiv {
namespace {

using Frame = std::vector<uint8_t>;

// A 0xFB entry of the transporter at 65534: used/form bytes, address, name bytes.
Frame Entry(uint16_t address, const std::string& name, uint8_t used = 1, uint8_t form = 1) {
    std::vector<uint8_t> data{1, 0, 0, static_cast<uint8_t>(address), static_cast<uint8_t>(address >> 8), used, form,
                              0, 0, 0};
    data.insert(data.end(), name.begin(), name.end());
    data.push_back(0);
    return BuildFrame(0xFB, 0, data.data(), static_cast<uint16_t>(data.size()), 65534);
}

Frame Code(uint8_t code) {
    return BuildFrame(code, 0, nullptr, 0, 65534);
}

// Replies by entry number; past the script the `rest` function answers.
struct Script {
    std::vector<Frame> replies;
    std::function<Frame(uint16_t)> rest = [](uint16_t) { return Frame{}; };
};

TDirectory Directory(const Script& script) {
    return ReadDirectoryWith([&script](uint16_t entry, std::vector<uint8_t>& reply) {
        reply = entry < script.replies.size() ? script.replies[entry] : script.rest(entry);
        return reply.empty() ? TxResult::NoReply : TxResult::Good;
    });
}

std::vector<std::string> Texts(const TDirectory& directory) {
    std::vector<std::string> texts;
    for (const TKivGazItem& item : directory.items) texts.push_back(KivGazItemText(item));
    return texts;
}

TEST(TransporterDirectory, EntriesAndWhereTheReadStops) {
    struct Case {
        const char* what;
        Script script;
        std::vector<std::string> texts;
        uint16_t entries;
        TxResult last;
    };
    const Case cases[] = {
        {"used entries listed, unused, address 0 and repeated ones skipped, 0x7F ends",
         {{Entry(12, "Kotłownia"), Entry(13, "x", 0), Entry(14, "y", 1, 2), Entry(0, "zero"), Entry(12, "again"),
           Entry(300, "Szko\xb3\x61 nr\r1"), Code(0x7F), Entry(15, "never")}},
         {"00012 Kotłownia", "00300 Szkoła nr 1"},
         6,
         TxResult::Good},
        {"a failed request ends the directory",
         {{Entry(12, "A"), Frame{}, Entry(13, "B")}},
         {"00012 A"},
         1,
         TxResult::NoReply},
        {"another reply code ends it", {{Entry(12, "A"), Code(0x7E), Entry(13, "B")}}, {"00012 A"}, 1, TxResult::Good},
        {"a name running to the CRC",
         {{BuildFrame(0xFB, 0, std::vector<uint8_t>{1, 0, 0, 7, 0, 1, 1, 0, 0, 0, 'N', 'o'}.data(), 12, 65534)}},
         {"00007 No"},
         1,
         TxResult::NoReply},
    };
    for (const Case& c : cases) {
        const TDirectory directory = Directory(c.script);
        EXPECT_EQ(Texts(directory), c.texts) << c.what;
        EXPECT_EQ(directory.entries, c.entries) << c.what;
        EXPECT_EQ(directory.lastResult, c.last) << c.what;
    }
}

TEST(TransporterDirectory, PastEntry500TheFirstEntryAddedEndsIt) {
    struct Case {
        const char* what;
        std::function<Frame(uint16_t)> rest;
        std::size_t items;
        uint32_t entries;
    };
    const Case cases[] = {
        {"every entry used: the one added at 501 is the last",
         [](uint16_t entry) { return Entry(static_cast<uint16_t>(entry + 1), "D"); }, 502, 502},
        {"unused entries past 500 do not end it",
         [](uint16_t entry) { return entry < 600 ? Entry(1, "", 0) : Entry(entry, "D"); }, 1, 601},
        {"an address listed already does not end it",
         [](uint16_t entry) { return Entry(entry < 510 ? 1 : entry, "D"); }, 2, 511},
        {"nothing ever used: the last entry number ends it", [](uint16_t) { return Entry(1, "", 0); }, 0, 0x10000},
    };
    for (const Case& c : cases) {
        const TDirectory directory = Directory({{}, c.rest});
        EXPECT_EQ(directory.items.size(), c.items) << c.what;
        EXPECT_EQ(directory.entries, c.entries) << c.what;
    }
    TKivGazItem unknown{12, "Nowa", false};
    EXPECT_EQ(KivGazItemText(unknown), "00012+Nowa");
}

} // namespace
} // namespace kiv
