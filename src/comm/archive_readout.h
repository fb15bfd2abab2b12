#pragma once
// The last two steps of a device read-out. ReadEvents walks the device's
// event log from the newest event back to the one already stored (the
// reference event of the events file) and hands what it read, oldest first,
// to StoreEvents. ReadArchives takes each archive parameter of the profile in
// turn, decides from the station's filter and the parameter's condition pair
// whether it is wanted, works out the period still missing from the archive
// files, and runs the reader of its kind: hourly and daily of protocol 1, or
// the block-pointer reader of protocol 2. Every sample becomes a 16-byte
// record; records go to the archive writer in batches of 1000 and whatever is
// left at the end of a parameter, also when the reading failed half-way.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "comm/device_request.h"
#include "datafiles/archive.h"
#include "datafiles/profile_item.h"

namespace kiv {

constexpr std::size_t kBatchRecords = 1000;
constexpr int32_t kDaySeconds = 86400;
// How far back a parameter without stored samples is read.
constexpr int32_t kDefaultHistory = 12960000; // 150 days
constexpr int kEventsMaxDefault = 100;
constexpr int kEventsMaxLimit = 500;

// One batch of sample records for the archive writer.
struct TSampleBatch {
    const std::string& dataFolder;
    int address;
    const TParamItem& item;
    const TDevSign& sign;
    const std::string& channel; // the item's short name
    const uint8_t* records;     // 16 bytes each
    std::size_t count;
};
// Stores a batch; 0 when every month was stored.
using TArchiveWriter = std::function<int(const TSampleBatch&)>;
// The program's writer: the station's monthly archive files.
[[nodiscard]] int WriteBatchToArchive(const TSampleBatch& batch);

// What the steps of one read-out share.
struct TReadOutSession {
    explicit TReadOutSession(TReadLink& l) : link(l) {}
    TReadLink& link;
    uint16_t address = 0;
    int32_t attempts = 1;
    uint8_t samplesPerBlock = 1;
    uint8_t protocol = 1;
    std::string dataFolder;
    int eventsMax = kEventsMaxDefault;
    std::set<std::string> skippedArchives;
    int32_t deviceClock = -1;
    TDevSign sign;
    std::vector<std::string> nameplate; // make, type, serial, two extras, last
    std::vector<TParamItem> currentList; // by parameter number
    std::vector<uint8_t> currentBlock;
    TArchiveWriter writer;
    // Set when data read could not be stored; the read-out then says so at the end.
    bool storeFailed = false;
    // What reached the data files: samples per archive short name, events, newest sample time.
    std::vector<std::pair<std::string, long>> samplesStored;
    long eventsStored = 0;
    int64_t newestSample = -1;

    // A request with the session's address and attempts.
    [[nodiscard]] TxResult Request(TRequestArgs args, std::vector<uint8_t>& reply);
};

// Events step: the result of the last request (Good when reading ended normally).
[[nodiscard]] TxResult ReadEvents(TReadOutSession& session);

// Archive step for the archive list (check-list item k + 1 is archive item k).
// startTime and endTime: -1 = not given. Stops at the first result other than Good.
[[nodiscard]] TxResult ReadArchives(TReadOutSession& session, const std::vector<TParamItem>& archiveList,
                                   int32_t startTime, int32_t endTime);

// Whether the condition pair of an item lets its archive be read: true
// without a pair; with one, both values must be valid in the current data and
// differ as numbers.
[[nodiscard]] bool ConditionAllows(const TReadOutSession& session, const TParamItem& item);

} // namespace kiv
