#include "comm/device_request.h"

#include <atomic>
#include <climits>

#include "comm/comm_module.h"
#include "comm/link_frame.h"
#include "comm/progress.h"
#include "datafiles/timestamp.h"

namespace kiv {
namespace {

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutI32(std::vector<uint8_t>& out, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
}

void PutTime(std::vector<uint8_t>& out, int32_t time, int form) {
    uint8_t fields[6] = {};
    TimeToWire(time, form, fields);
    out.insert(out.end(), fields, fields + form);
}

std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler sets the stop flag");

bool Interrupted(const TReadLink& link) { return link.progress.CancelRequested() || StopRequested(); }

TxResult Exchange(TReadLink& link, const TRequestArgs& args, const std::vector<uint8_t>& data) {
    TFCommModule& module = link.module;
    module.SendFrame(args.kind, args.secondAddress, static_cast<uint16_t>(data.size()), data.data(),
                     args.deviceAddress);
    const TxResult result = module.WaitForExchange();
    if (link.stats != nullptr) {
        ++link.stats->requests;
        link.stats->bytesSent += static_cast<long>(data.size() + kFrameOverhead);
        link.stats->bytesReceived += module.Exchange().rxCount;
    }
    return result;
}

} // namespace

bool IsLenientKind(uint8_t kind) { return kind == 3 || kind == 5 || kind == 22; }

std::vector<uint8_t> RequestData(const TRequestArgs& args) {
    std::vector<uint8_t> out;
    switch (args.kind) {
    case 1: case 3: case 5: case 6: case 10: case 12: case 13: case 14: case 18: case 23:
        out.push_back(args.count8);
        PutU16(out, args.index16);
        break;
    case 17:
        out.push_back(args.count8);
        PutU16(out, args.index16);
        PutI32(out, args.value32);
        break;
    case 2: case 16:
        PutTime(out, args.time, 5);
        break;
    case 4:
        PutTime(out, args.time, 4);
        break;
    case 8: case 20:
        PutTime(out, args.time, 6);
        break;
    default:
        break;
    }
    return out;
}

void RequestStop() { g_stop.store(true); }
bool StopRequested() { return g_stop.load(); }
void ClearStopRequest() { g_stop.store(false); }

TxResult DeviceRequest(TReadLink& link, const TRequestArgs& args, std::vector<uint8_t>& reply) {
    reply.clear();
    const std::vector<uint8_t> data = RequestData(args);
    const bool lenient = IsLenientKind(args.kind);
    TxResult result = TxResult::NoReply;
    for (int32_t left = args.attempts < 1 ? 1 : args.attempts; left > 0; --left) {
        if (Interrupted(link)) break;
        result = Exchange(link, args, data);
        if (result == TxResult::Good || (lenient && result == TxResult::BadFrame)) break;
    }
    if (Interrupted(link)) return TxResult::Cancelled;
    if (result == TxResult::Good) {
        reply = link.module.GetReply();
        return TxResult::Good;
    }
    return lenient && result == TxResult::BadFrame ? TxResult::LenientNoise : result;
}

int ReplyCode(const std::vector<uint8_t>& reply) { return reply.size() < kMinReplyLength ? -1 : reply[7]; }

int32_t WireToTime(const uint8_t* fields, int form) {
    TDateTime dt;
    const uint8_t* f = fields + (form == 6 ? 1 : 0);
    dt.second = form == 6 ? fields[0] : 0;
    if (form == 4) {
        dt.minute = 0;
        dt.hour = f[0];
        f += 1;
    } else {
        dt.minute = f[0];
        dt.hour = f[1];
        f += 2;
    }
    dt.day = f[0];
    dt.month = f[1];
    if (f[2] > 99) return -1;
    dt.year = static_cast<uint16_t>(FullYear(f[2]));
    if (!IsValidDateTime(dt) || dt.year > 2037) return -1;
    const TimeStamp stamp = EncodeTime(dt);
    return stamp > static_cast<TimeStamp>(INT32_MAX) ? -1 : static_cast<int32_t>(stamp);
}

void TimeToWire(int32_t time, int form, uint8_t* fields) {
    const TDateTime dt = DecodeTime(static_cast<TimeStamp>(time < 0 ? 0 : time));
    const uint8_t all[6] = {static_cast<uint8_t>(dt.second), static_cast<uint8_t>(dt.minute),
                            static_cast<uint8_t>(dt.hour),   static_cast<uint8_t>(dt.day),
                            static_cast<uint8_t>(dt.month),  static_cast<uint8_t>(dt.year % 100)};
    const int skip = 6 - form;
    for (int i = 0; i < form; ++i) fields[i] = all[skip + i];
}

} // namespace kiv
