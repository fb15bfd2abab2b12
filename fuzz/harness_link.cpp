// Fuzz bodies of the link: the frame check of a reply, and the read-out's
// decoders of the clock, nameplate, current data, event and archive replies
// (positioning and blocks of all three readers), each reached with canned
// good replies for the steps before it.
#include "harness.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "comm/archive_readout.h"
#include "comm/comm_module.h"
#include "comm/device_readout.h"
#include "comm/link_frame.h"
#include "comm/progress_recorder.h"
#include "datafiles/events.h"
#include "datafiles/fcc.h"
#include "reply_script.h"

namespace kiv::fuzz {
namespace {

constexpr int kMaxRequests = 2000;
constexpr uint8_t kClockFields[6] = {0, 0, 12, 10, 3, 25}; // 2025-03-10 12:00:00
const int32_t kClock = static_cast<int32_t>(EncodeTime({2025, 3, 10, 12, 0, 0}));

void Require(bool promise) {
    if (!promise) std::abort();
}

// KIV_FUZZ_ECHO=1 prints the read-out's progress, to see how far an input gets.
std::ostream* Echo() { return std::getenv("KIV_FUZZ_ECHO") != nullptr ? &std::cerr : nullptr; }

std::vector<uint8_t> Reply(uint8_t code, const std::string& data, uint16_t address = kStation) {
    return BuildFrame(code, 0, reinterpret_cast<const uint8_t*>(data.data()), static_cast<uint16_t>(data.size()),
                      address);
}

uint8_t Protocol(uint8_t byte) { return static_cast<uint8_t>(byte % 4 == 3 ? 3 : byte % 2 + 1); }

// Items of a profile from the input: parameter numbers and value types of
// the current data, and the archives of each item.
std::vector<TParamItem> ItemsFrom(TInput& in) {
    std::vector<TParamItem> items(1 + in.Byte() % 6);
    int32_t index = 0;
    for (TParamItem& item : items) {
        const uint8_t shape = in.Byte();
        item.SetShortName("p" + std::to_string(index));
        item.SetParamNumber(shape & 1 ? -1 : in.U16() % 600);
        item.SetTypeCode(in.Byte() % 14);
        item.SetHourIndex(shape & 2 ? index : -1);
        item.SetHourTypeCode(in.Byte() % 14);
        item.SetDayIndex(shape & 4 ? index : -1);
        item.SetDayTypeCode(in.Byte() % 14);
        item.SetCondFirst(-1);
        item.SetCondSecond(-1);
        ++index;
    }
    return items;
}

// A read-out of station 12 through the port owner without a port.
struct TReadOutRig {
    TFCommModule module;
    TTxProgressRecorder progress{Echo()};
    TReadLink link{module, progress};
    TReadOutInput input;
    TReplyScript script;

    explicit TReadOutRig(TInput& in) : script(in) {
        (void)FreshStationFolder();
        SetReplyScript(&script);
        input.address = kStation;
        input.dataFolder = Scratch();
        input.profile.profileByte = Protocol(in.Byte());
        input.profile.texts[0] = "Kivmet KM-100";
        const uint8_t flags = in.Byte();
        input.settings.dumpDP = flags & 1;
        input.settings.dumpTZ = flags & 2;
        input.attempts = 1 + (flags >> 2 & 3);
        input.settings.eventsMax = flags >> 4;
        input.samplesPerBlock = static_cast<uint8_t>(1 + in.Byte() % 250);
        input.items = ItemsFrom(in);
        input.startTime = kClock - 2 * 86400;
        input.archiveWriter = [](const TSampleBatch& batch) { return batch.count > 0 ? 0 : 1; };
    }
    ~TReadOutRig() { SetReplyScript(nullptr); }

    void Run() {
        TReadOutReport report;
        (void)ReadOutMessage(ReadDevice(link, input, report), report.sign);
        // Current data is written only when complete, and then reads back.
        if (TPlik::FileHasData(FccFileName(Scratch(), kStation))) {
            TFileFCC fcc;
            std::size_t count = 0;
            const uint8_t* values = nullptr;
            TimeStamp time = 0;
            std::string name;
            Require(fcc.ReadCurrentData(Scratch(), kStation, count, values, time, name) == 0 && !fcc.identity.empty());
        }
    }
    void CanClock() {
        const bool one = input.profile.profileByte == 1;
        Can(one ? 0xCB : 0xC8, std::string(reinterpret_cast<const char*>(kClockFields), 6));
    }
    void CanNameplate() {
        using namespace std::string_literals;
        if (input.profile.profileByte == 1) Can(0x80, "Kivmet\0KM-100\0KM1-00012\0FW 3.04\0"s);
        else Can(0x89, "Kivmet\0KM-200\0KM2-00012\0A\0B\0FW 1.2\0"s);
    }
    void Can(uint8_t code, const std::string& data) { script.Can(Reply(code, data)); }
};

// A session past the nameplate, for the event and archive steps.
struct TSessionRig {
    TFCommModule module;
    TTxProgressRecorder progress{Echo()};
    TReadLink link{module, progress};
    TReadOutSession session{link};
    TReplyScript script;

    explicit TSessionRig(TInput& in) : script(in) {
        (void)FreshStationFolder();
        SetReplyScript(&script);
        session.address = kStation;
        session.dataFolder = Scratch();
        session.protocol = Protocol(in.Byte());
        session.deviceClock = kClock;
        session.sign = {"Kivmet", "KM1-00012", "KM-100", "FW 3.04", "", ""};
        session.nameplate = {"Kivmet", "KM-100", "KM1-00012", "", "", "FW 3.04"};
        session.writer = [](const TSampleBatch& batch) { return batch.count > 0 ? 0 : 1; };
    }
    ~TSessionRig() { SetReplyScript(nullptr); }
};

} // namespace

std::vector<uint8_t> TReplyScript::Answer(const std::vector<uint8_t>& request) {
    if (!canned_.empty()) {
        std::vector<uint8_t> reply = std::move(canned_.front());
        canned_.pop_front();
        return reply;
    }
    if (input_.Empty() || ++answered_ > kMaxRequests) return {};
    const uint8_t control = input_.Byte();
    const std::string_view piece = input_.Piece();
    if ((control & 1) == 0) return {piece.begin(), piece.end()};
    const uint16_t address = request.size() > 4 ? static_cast<uint16_t>(request[3] | request[4] << 8) : 0;
    const uint8_t code = piece.empty() ? 0 : static_cast<uint8_t>(piece[0]);
    return Reply(code, std::string(piece.substr(piece.empty() ? 0 : 1)), address);
}

int FuzzFrameCheck(const uint8_t* data, std::size_t size) {
    // The module's receive buffer and limit.
    std::array<uint8_t, kTxBufferSize> buffer{};
    size = std::min<std::size_t>(size, kRxLimit);
    std::copy_n(data, size, buffer.begin());
    std::size_t count = size;
    if (CheckFrame(buffer.data(), count)) {
        // A frame that checks out starts and ends where a frame does, inside what was received.
        Require(count >= 2 && count <= size && buffer[0] == kFrameStart && buffer[count - 1] == kFrameEnd);
        Require(Crc16(buffer.data() + 1, count - 2) == 0);
    }
    return 0;
}

// The input: protocol byte, flags, samples per block, the profile items,
// then the replies, from the clock request on.
int FuzzReplyClock(const uint8_t* data, std::size_t size) {
    TInput in(data, size);
    TReadOutRig rig(in);
    rig.Run();
    return 0;
}

int FuzzReplyNameplate(const uint8_t* data, std::size_t size) {
    TInput in(data, size);
    TReadOutRig rig(in);
    rig.CanClock();
    rig.Run();
    return 0;
}

int FuzzReplyCurrentData(const uint8_t* data, std::size_t size) {
    TInput in(data, size);
    TReadOutRig rig(in);
    rig.CanClock();
    rig.CanNameplate();
    rig.Run();
    return 0;
}

// The input: protocol byte, the events limit, the stored events file that
// gives the reference event (a 16-bit length and its bytes), then the replies.
int FuzzReplyEvents(const uint8_t* data, std::size_t size) {
    TInput in(data, size);
    TSessionRig rig(in);
    rig.session.eventsMax = in.Byte() % 32;
    WriteFile(EventsFileName(Scratch(), kStation), in.Piece());
    rig.session.attempts = 1;
    (void)ReadEvents(rig.session);
    // Events stored read back, whatever file lay there before.
    TEventsFile file;
    Require(rig.session.eventsStored == 0 ||
            ReadEventsFile(Scratch(), kStation, 0, rig.session.nameplate, file) > 0);
    return 0;
}

// The input: protocol byte, the archives of one item (bit 0 hourly, bit 1
// daily, bit 2 a condition pair on the current data), its two value types,
// samples per block, the span in hours before the device clock, the current
// data the condition pair looks at (a 16-bit length and its bytes), then the replies.
int FuzzReplyArchive(const uint8_t* data, std::size_t size) {
    TInput in(data, size);
    TSessionRig rig(in);
    const uint8_t shape = in.Byte();
    TParamItem item;
    item.SetShortName("dVn");
    item.SetHourIndex(shape & 1 ? 2 : -1);
    item.SetHourTypeCode(in.Byte() % 14);
    item.SetDayIndex(shape & 2 ? 3 : -1);
    item.SetDayTypeCode(in.Byte() % 14);
    item.SetCondFirst(shape & 4 ? 0 : -1);
    item.SetCondSecond(shape & 4 ? 1 : -1);
    rig.session.samplesPerBlock = static_cast<uint8_t>(1 + in.Byte() % 250);
    const int32_t hours = in.U16() % 2000;
    const std::string_view current = in.Piece();
    rig.session.currentBlock.assign(current.begin(), current.end());
    for (int32_t number = 0; number < 2; ++number) {
        TParamItem value;
        value.SetParamNumber(number);
        value.SetTypeCode(static_cast<uint8_t>(number == 0 ? 7 : 3));
        rig.session.currentList.push_back(value);
    }
    rig.session.attempts = 1;
    (void)ReadArchives(rig.session, {item}, kClock - hours * 3600, -1);
    return 0;
}

} // namespace kiv::fuzz
