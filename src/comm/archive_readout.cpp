#include "comm/archive_readout.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "comm/comm_module.h"
#include "comm/link_frame.h"
#include "comm/progress.h"
#include "datafiles/events.h"
#include "datafiles/profile.h"
#include "datafiles/sample_value.h"
#include "datafiles/timestamp.h"

namespace kiv {
namespace {

constexpr int kCodeEvent1 = 0xBA;
constexpr int kCodeEvent2 = 0xC6;
constexpr int kCodeHourPosition = 0x9A;
constexpr int kCodeHourBlock = 0x9D;
constexpr int kCodeDayPosition = 0x9B;
constexpr int kCodeDayBlock = 0x9F;
constexpr int kCodePosition2 = 0xC1;
constexpr int kCodeBlock2 = 0xC2;

int32_t GetI32(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

// Collects a parameter's 16-byte records and hands them on 1000 at a time.
// Samples newer than those the archive held before count as new; the first
// one a read-out fetches is usually the newest already stored.
class TSampleBatcher {
public:
    TSampleBatcher(TReadOutSession& session, const TParamItem& item, int64_t storedUpTo)
        : session_(session), item_(item), channel_(item.ShortName()), storedUpTo_(storedUpTo) {}

    void Add(int32_t time, int16_t interval, uint8_t type, const uint8_t* value, std::size_t size) {
        uint8_t record[kSampleSize];
        EncodeSample(record, static_cast<TimeStamp>(time), static_cast<uint16_t>(interval), type, value, size);
        records_.insert(records_.end(), record, record + kSampleSize);
        if (records_.size() == kBatchRecords * kSampleSize) Flush();
    }

    void Flush() {
        if (records_.empty()) return;
        const TSampleBatch batch{session_.dataFolder, session_.address, item_, session_.sign,
                                 channel_, records_.data(), records_.size() / kSampleSize};
        const int code = session_.writer ? session_.writer(batch) : WriteBatchToArchive(batch);
        if (code != 0)
            session_.storeFailed = true;
        else
            CountStored(batch);
        records_.clear();
    }

private:
    void CountStored(const TSampleBatch& batch) {
        auto& counts = session_.samplesStored;
        if (counts.empty() || counts.back().first != channel_) counts.emplace_back(channel_, 0);
        for (std::size_t i = 0; i < batch.count; ++i) {
            const int64_t time = static_cast<uint32_t>(GetI32(batch.records + i * kSampleSize));
            if (time > storedUpTo_) ++counts.back().second;
            session_.newestSample = std::max(session_.newestSample, time);
        }
    }

    TReadOutSession& session_;
    const TParamItem& item_;
    std::string channel_;
    int64_t storedUpTo_;
    std::vector<uint8_t> records_;
};

// Read state of one parameter's archive.
struct TArcRead {
    int32_t position = 0;
    int32_t end = 0;
    int32_t progressStart = 0;
    int32_t progressEnd = 0;
    int32_t pointer = 0;
    int state = 0;
    bool cont = true;
    bool first = true;
    TxResult result = TxResult::Good;
};

// One archive reader at work: the session, the item, its archive index and type.
struct TArcJob {
    TReadOutSession& session;
    const TParamItem& item;
    int32_t index;
    uint8_t type;
    TSampleBatcher batch;
    TArcRead st;
};

void SetRange(TArcRead& st) {
    st.progressStart = st.position;
    st.progressEnd = st.end;
}

void ShowBar(TReadOutSession& session, const TArcRead& st, int64_t reached) {
    const int64_t span = int64_t(st.progressEnd) - st.progressStart;
    const int64_t percent = span <= 0 ? 100 : (reached - st.progressStart) * 100 / span;
    session.link.progress.SetBar(static_cast<int>(std::clamp<int64_t>(percent, 0, 100)));
}

// Samples of a block, one after another; false when one of them does not fit.
bool DecodeSamples(TArcJob& job, const std::vector<uint8_t>& reply, std::size_t from, int count, int32_t first,
                   int32_t step, int16_t interval) {
    const std::size_t dataEnd = reply.size() - kReplyTail;
    std::size_t at = from;
    for (int i = 0; i < count; ++i) {
        if (at >= dataEnd) return false;
        const long size = PackedValueSize(job.type, reply.data() + at, dataEnd - at);
        if (size <= 0 || static_cast<std::size_t>(size) > kSampleSlotSize) return false;
        job.batch.Add(static_cast<int32_t>(int64_t(first) + int64_t(i) * step), interval, job.type, reply.data() + at,
                      static_cast<std::size_t>(size));
        at += static_cast<std::size_t>(size);
    }
    return true;
}

// An interval block (hourly version 1, version 2): N at 8, interval at 11,
// first time at 12; false when its first time is not valid.
bool DecodeIntervalBlock(TArcJob& job, const std::vector<uint8_t>& reply, std::size_t samplesAt) {
    if (reply.size() < samplesAt + kReplyTail) return false;
    const int n = reply[8];
    const int interval = reply[11];
    const int32_t first = WireToTime(reply.data() + 12, 5);
    if (first < 0) return false;
    const int32_t step = interval * 60;
    job.st.position = static_cast<int32_t>(std::min<int64_t>(int64_t(first) + int64_t(n - 1) * step, INT32_MAX));
    DecodeSamples(job, reply, samplesAt, n, first, step, static_cast<int16_t>(interval));
    const int64_t after = int64_t(first) + int64_t(n) * step;
    ShowBar(job.session, job.st, after);
    job.session.link.progress.SetStatus("Odebrany blok zaczyna się: " +
                                        StampText(static_cast<TimeStamp>(after), 5) + ", N=" + std::to_string(n));
    return true;
}

TxResult Request(TArcJob& job, uint8_t kind, std::vector<uint8_t>& reply, int32_t value32 = 0) {
    TRequestArgs args;
    args.kind = kind;
    args.time = job.st.position;
    args.index16 = static_cast<uint16_t>(job.index);
    args.count8 = kind == 5 ? 1 : job.session.samplesPerBlock;
    args.value32 = value32;
    job.st.result = job.session.Request(args, reply);
    return job.st.result;
}

void Stop(TArcRead& st, TxResult result, int stopState) {
    st.result = result;
    st.state = stopState;
}

// ---- hourly archive, protocol 1: 0 position, 1 first block, 2 next block, 3 end, 4 stop

void HourPosition(TArcJob& job) {
    std::vector<uint8_t> reply;
    job.st.cont = Request(job, 2, reply) == TxResult::Good;
    if (!job.st.cont) return;
    const int code = ReplyCode(reply);
    if (code == kReplyEndOfData) {
        job.st.state = 3;
    } else if (code == kCodeHourPosition && reply.size() >= 13 + kReplyTail) {
        job.st.position = WireToTime(reply.data() + 8, 5);
        if (job.st.position < 0) return Stop(job.st, TxResult::BadTime, 4);
        job.st.state = 1;
    } else if (code == kReplyAcknowledge) {
        job.st.state = 1;
    } else {
        job.st.state = 4;
    }
    if (job.st.first) SetRange(job.st);
    job.st.first = false;
}

void HourBlock(TArcJob& job) {
    std::vector<uint8_t> reply;
    const TxResult result = Request(job, job.st.state == 1 ? 3 : 22, reply);
    job.st.cont = result == TxResult::Good || result == TxResult::LenientNoise;
    if (result != TxResult::Good) {
        job.st.state = 0;
        return;
    }
    const int code = ReplyCode(reply);
    if (code == kReplyEndOfData) {
        job.st.state = 3;
    } else if (code == kCodeHourBlock) {
        DecodeIntervalBlock(job, reply, 17);
        job.st.state = 2;
    } else {
        job.st.state = 4;
    }
}


// ---- daily archive, protocol 1: 0 position, 1 block, 3 end, 4 stop

void AlignEnd(TArcRead& st) {
    if (st.end >= st.position)
        st.end = static_cast<int32_t>(st.position + (int64_t(st.end) - st.position) / kDaySeconds * kDaySeconds);
    SetRange(st);
}

void DayPosition(TArcJob& job) {
    std::vector<uint8_t> reply;
    job.st.cont = Request(job, 4, reply) == TxResult::Good;
    if (!job.st.cont) return;
    const int code = ReplyCode(reply);
    if (code == kReplyEndOfData) {
        job.st.state = 3;
    } else if (code == kCodeDayPosition && reply.size() >= 12 + kReplyTail) {
        const int32_t day = WireToTime(reply.data() + 8, 4);
        if (day < 0) return Stop(job.st, TxResult::BadTime, 4);
        if (int64_t(day) - job.st.position <= -kDaySeconds) {
            // The device keeps answering with an older day: step past it ourselves.
            job.st.position += kDaySeconds;
            if (job.st.position > job.st.end) job.st.state = 3;
        } else {
            job.st.position = day;
            job.st.state = 1;
        }
    } else if (code == kReplyAcknowledge) {
        job.st.state = 1;
    } else {
        job.st.state = 4;
    }
    if (job.st.first) AlignEnd(job.st);
    job.st.first = false;
}

void DayBlock(TArcJob& job) {
    std::vector<uint8_t> reply;
    const TxResult result = Request(job, 5, reply);
    job.st.cont = result == TxResult::Good || result == TxResult::LenientNoise;
    if (result != TxResult::Good) {
        job.st.state = 0;
        return;
    }
    const int code = ReplyCode(reply);
    if (code == kReplyEndOfData) {
        job.st.state = job.st.position < job.st.end ? 0 : 3;
    } else if (code == kCodeDayBlock && reply.size() >= 15 + kReplyTail) {
        const int32_t day = WireToTime(reply.data() + 11, 4);
        if (day < 0 || int64_t(day) - job.st.position < -2 * kDaySeconds) {
            job.st.state = 3;
            return;
        }
        const int n = reply[8];
        // An empty block would send the reading back to the same day for ever.
        if (n == 0) {
            job.st.state = 3;
            return;
        }
        job.st.position = static_cast<int32_t>(std::min<int64_t>(int64_t(day) + int64_t(n) * kDaySeconds, INT32_MAX));
        DecodeSamples(job, reply, 15, n, day, kDaySeconds, 1440);
        ShowBar(job.session, job.st, job.st.position);
        job.st.state = 0;
    } else {
        job.st.state = 4;
    }
}


// ---- archive of protocol 2: 0 position, 1 blocks, 2 end, 3 stop

void Position2(TArcJob& job) {
    std::vector<uint8_t> reply;
    job.st.cont = Request(job, 16, reply) == TxResult::Good;
    if (!job.st.cont) return;
    const int code = ReplyCode(reply);
    if (code == kReplyEndOfData) {
        job.st.state = 2;
    } else if (code == kCodePosition2 && reply.size() >= 17 + kReplyTail) {
        job.st.position = WireToTime(reply.data() + 8, 5);
        job.st.pointer = GetI32(reply.data() + 13);
        if (job.st.position < 0) return Stop(job.st, TxResult::BadTime, 3);
        // No ring holds a negative position, and one at the very top could not be stepped past.
        if (job.st.pointer < 0 || job.st.pointer > INT32_MAX - 0xFF) {
            job.st.state = 3;
            return;
        }
        SetRange(job.st);
        job.st.state = 1;
    } else {
        job.st.state = 3;
    }
}

void Block2(TArcJob& job) {
    std::vector<uint8_t> reply;
    job.st.cont = Request(job, 17, reply, job.st.pointer) == TxResult::Good;
    if (!job.st.cont) return;
    const int code = ReplyCode(reply);
    if (code == kReplyEndOfData) {
        job.st.state = 2;
    } else if (code == kCodeBlock2 && reply.size() >= 21 + kReplyTail) {
        // A block from elsewhere in the ring would file samples under wrong
        // times; an empty one would be asked for again and again.
        if (GetI32(reply.data() + 17) != job.st.pointer || reply[8] == 0 || !DecodeIntervalBlock(job, reply, 21)) {
            job.st.state = 3;
            return;
        }
        if (job.st.pointer > INT32_MAX - reply[8]) {
            job.st.state = 3;
            return;
        }
        job.st.pointer += reply[8];
    } else {
        job.st.state = 3;
    }
}


// Positions, then reads blocks, until the period is covered, the device has
// nothing more (endState), the reader stops (stopState) or the link gives up.
TxResult RunReader(TArcJob& job, int endState, int stopState, void (*position)(TArcJob&), void (*block)(TArcJob&)) {
    while (job.st.position <= job.st.end && job.st.state != endState && job.st.state != stopState && job.st.cont) {
        if (job.st.state == 0)
            position(job);
        else
            block(job);
    }
    job.batch.Flush();
    return job.st.result;
}

enum class ArcKind { Hourly1, Daily1, Version2 };

// The period of one archive and the time of the newest sample stored before it is read.
struct TArcSpan {
    int32_t start;
    int32_t end;
    int64_t storedUpTo;
};

TxResult ReadArchive(TReadOutSession& session, const TParamItem& item, ArcKind kind, const TArcSpan& span) {
    const bool daily = kind == ArcKind::Daily1;
    TArcJob job{session, item, daily ? item.DayIndex() : item.HourIndex(),
                daily ? item.DayTypeCode() : item.HourTypeCode(), TSampleBatcher(session, item, span.storedUpTo),
                TArcRead{}};
    job.st.position = span.start;
    job.st.end = span.end;
    SetRange(job.st);
    switch (kind) {
    case ArcKind::Hourly1: return RunReader(job, 3, 4, HourPosition, HourBlock);
    case ArcKind::Daily1: return RunReader(job, 3, 4, DayPosition, DayBlock);
    case ArcKind::Version2: return RunReader(job, 2, 3, Position2, Block2);
    }
    return TxResult::Good;
}

int32_t StartTime(int64_t newest, int32_t given) {
    if (given >= 0) return given;
    if (newest >= 0 && newest <= INT32_MAX) return static_cast<int32_t>(newest);
    const TimeStamp now = NowStamp();
    return static_cast<int32_t>(int64_t(now - now % kDaySeconds) - kDefaultHistory);
}

TxResult ReadOneArchive(TReadOutSession& session, const TParamItem& item, int32_t startTime, int32_t endTime) {
    const int64_t stored = TArchive::NewestSampleTime(session.dataFolder, session.address, item.ShortName());
    TArcSpan span{StartTime(stored, startTime), session.deviceClock, stored};
    if (endTime >= 0 && endTime < span.end) span.end = endTime;
    if (span.start >= span.end) return TxResult::Good;
    if (session.protocol == 2)
        return item.HourIndex() >= 0 ? ReadArchive(session, item, ArcKind::Version2, span) : TxResult::Good;
    TxResult result = TxResult::Good;
    if (item.HourIndex() >= 0) result = ReadArchive(session, item, ArcKind::Hourly1, span);
    if (result == TxResult::Good && item.DayIndex() >= 0) result = ReadArchive(session, item, ArcKind::Daily1, span);
    return result;
}

// The value of a current-data parameter as a number; false when it is not there or not valid.
bool CurrentValue(const TReadOutSession& session, int32_t number, double& value) {
    const auto& list = session.currentList;
    const auto it = std::find_if(list.begin(), list.end(), [number](const TParamItem& p) { return p.ParamNumber() == number; });
    if (it == list.end()) return false;
    const long offset = TFCProfileRdWr::ValueOffset(list.data(), static_cast<int>(list.size()),
                                                    session.currentBlock.data(), session.currentBlock.size(), number);
    if (offset < 0) return false;
    const uint8_t* at = session.currentBlock.data() + offset;
    const std::size_t left = session.currentBlock.size() - static_cast<std::size_t>(offset);
    const uint8_t type = it->TypeCode();
    const long size = PackedValueSize(type, at, left);
    if (size <= 0 || at[0] == 0) return false;
    value = 0.0;
    if (type != VtFloat32 && type != VtReal48 && type != VtFloat64) return true;
    uint8_t bytes[8] = {};
    std::memcpy(bytes, at + 1, std::min<std::size_t>(static_cast<std::size_t>(size) - 1, sizeof bytes));
    return ValueToDouble(type, bytes, value) != 0;
}

// ---- events

std::vector<uint8_t> EventRecord(const std::vector<uint8_t>& reply) {
    const std::size_t length = reply.size() - 14 + 2;
    std::vector<uint8_t> record(length);
    record[0] = static_cast<uint8_t>(length);
    record[1] = static_cast<uint8_t>(length >> 8);
    std::copy(reply.begin() + 11, reply.end() - kReplyTail, record.begin() + 2);
    return record;
}

} // namespace

int WriteBatchToArchive(const TSampleBatch& batch) {
    TArchive archive;
    return archive.StoreSamples(batch.dataFolder, batch.address, batch.item, batch.records, batch.count * kSampleSize,
                                batch.sign, batch.channel);
}

TxResult TReadOutSession::Request(TRequestArgs args, std::vector<uint8_t>& reply) {
    args.deviceAddress = address;
    args.attempts = attempts;
    return DeviceRequest(link, args, reply);
}

TxResult ReadEvents(TReadOutSession& session) {
    const int maximum = session.eventsMax;
    if (maximum == 0) return TxResult::Good;
    const TOpenEvent reference = FindOpenEvent(session.dataFolder, session.address, session.nameplate);
    std::vector<std::vector<uint8_t>> records;
    TxResult result = TxResult::Good;
    bool reachedStored = false;
    for (int n = 0; n < maximum; ++n) {
        session.link.progress.SetStatus("Odczyt zdarzenia nr " + std::to_string(n));
        TRequestArgs args;
        args.kind = session.protocol == 2 ? 18 : 6;
        args.count8 = 1;
        args.index16 = static_cast<uint16_t>(n);
        std::vector<uint8_t> reply;
        result = session.Request(args, reply);
        if (result != TxResult::Good) return result;
        const int code = ReplyCode(reply);
        if (code != kCodeEvent1 && code != kCodeEvent2) break;
        // Event bytes too few for a code and both time stamps make no record
        // the events file can keep: such a reply ends the reading like one of
        // another kind, so the events read before it are stored and counted.
        if (reply.size() < 14 + kOpenEventSize) break;
        records.push_back(EventRecord(reply));
        session.link.progress.SetBar(n * 100 / maximum);
        const std::vector<uint8_t>& kept = records.back();
        reachedStored = kept.size() >= 2 + kEventKeySize &&
                        std::equal(kept.begin() + 2, kept.begin() + 2 + kEventKeySize, reference.bytes);
        if (reachedStored) break;
    }
    if (records.empty()) return result;
    std::vector<uint8_t> oldestFirst;
    for (auto it = records.rbegin(); it != records.rend(); ++it) oldestFirst.insert(oldestFirst.end(), it->begin(), it->end());
    if (StoreEvents(session.dataFolder, session.address, oldestFirst.data(), oldestFirst.size(), session.nameplate) != 0)
        session.storeFailed = true;
    else
        session.eventsStored = static_cast<long>(records.size()) - (reachedStored ? 1 : 0);
    return result;
}

bool ConditionAllows(const TReadOutSession& session, const TParamItem& item) {
    if (item.CondFirst() < 0 || item.CondSecond() < 0) return true;
    double first = 0.0, second = 0.0;
    return CurrentValue(session, item.CondFirst(), first) && CurrentValue(session, item.CondSecond(), second) &&
           first != second;
}

TxResult ReadArchives(TReadOutSession& session, const std::vector<TParamItem>& archiveList, int32_t startTime,
                     int32_t endTime) {
    for (std::size_t i = 0; i < archiveList.size(); ++i) {
        const TParamItem& item = archiveList[i];
        const int checkItem = static_cast<int>(i) + 1;
        if (session.skippedArchives.contains(item.ShortName()) || !ConditionAllows(session, item)) {
            session.link.progress.MarkItem(checkItem, TxCheck::Grayed);
            continue;
        }
        const TxResult result = ReadOneArchive(session, item, startTime, endTime);
        if (result != TxResult::Good) return result;
        session.link.progress.MarkItem(checkItem, TxCheck::Checked);
    }
    return TxResult::Good;
}

} // namespace kiv
