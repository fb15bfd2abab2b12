#pragma once
// What the archive benchmarks share: a data folder made once per run and
// removed at exit, the samples a benchmark stores into it, and an increment
// or counter item that scales 1:1.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "datafiles/archive.h"
#include "datafiles/plik.h"
#include "datafiles/sample_value.h"

namespace kiv::bench {

inline TParamItem ChannelItem(const char* name, const char* kind, int column = 0) {
    TParamItem item;
    item.SetShortName(name);
    item.SetKind(kind);
    item.SetUnit("m3");
    item.SetColumnIndex(column);
    item.SetThreshold(1000000.0f);
    item.SetFactorBelow(1.0f);
    item.SetFactorAbove(1.0f);
    return item;
}

// `count` valid uint32 samples of `minutes` each from `from` on, values rising by one from `start`.
inline Bytes Samples(TimeStamp from, int count, uint16_t minutes, uint32_t start) {
    Bytes out(static_cast<std::size_t>(count) * kSampleSize);
    for (int i = 0; i < count; ++i) {
        uint8_t slot[5] = {1};
        const uint32_t value = start + static_cast<uint32_t>(i);
        for (int k = 0; k < 4; ++k) slot[1 + k] = static_cast<uint8_t>(value >> (8 * k));
        EncodeSample(&out[static_cast<std::size_t>(i) * kSampleSize], from + minutes * 60u * static_cast<uint32_t>(i),
                     minutes, VtUInt32, slot, sizeof slot);
    }
    return out;
}

class TBenchFolder {
public:
    explicit TBenchFolder(const char* name) {
        std::string pattern = "/tmp/" + std::string(name) + "_XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        folder_ = pattern + "/";
    }
    ~TBenchFolder() { std::filesystem::remove_all(folder_); }
    TBenchFolder(const TBenchFolder&) = delete;
    TBenchFolder& operator=(const TBenchFolder&) = delete;

    [[nodiscard]] const std::string& Folder() const { return folder_; }

    void Store(int address, const TParamItem& item, const Bytes& samples) const {
        TArchive archive;
        if (archive.StoreSamples(folder_, address, item, samples.data(), samples.size(),
                                 {"Plum", "1", "MacMat", "GM-2", "", ""}, item.ShortName()) != 0)
            std::abort();
    }

private:
    std::string folder_;
};

} // namespace kiv::bench
