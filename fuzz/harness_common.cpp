#include "harness.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "config/station_db.h"
#include "support/messages.h"

namespace kiv::fuzz {
namespace {

namespace fs = std::filesystem;

// Every message box answered with its default button, nothing shown or kept.
class TQuietSink : public IMessageSink {
public:
    int Show(const std::string&, const std::string&, int, unsigned buttons) override {
        const int bit = DefaultButtonBit(buttons);
        return bit < 0 ? ResNone : ButtonResult(bit);
    }
};

struct TScratch {
    std::string folder;
    TQuietSink sink;
    TScratch() {
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        folder = (base / ("kiv-fuzz-" + std::to_string(::getpid()))).string() + "/";
        fs::create_directories(folder);
        SetMessageSink(&sink);
    }
    ~TScratch() {
        SetMessageSink(nullptr);
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

} // namespace

uint8_t TInput::Byte() { return pos_ < size_ ? data_[pos_++] : 0; }

uint16_t TInput::U16() {
    const uint16_t low = Byte();
    return static_cast<uint16_t>(low | Byte() << 8);
}

std::string_view TInput::Take(std::size_t count) {
    count = std::min(count, size_ - std::min(pos_, size_));
    const std::string_view piece(reinterpret_cast<const char*>(data_) + pos_, count);
    pos_ += count;
    return piece;
}

const std::string& Scratch() {
    static const TScratch scratch;
    return scratch.folder;
}

std::string FreshStationFolder() {
    const std::string folder = StationFolderPath(Scratch(), kStation);
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder, ec);
    return folder + "/";
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

const std::vector<TFuzzTarget>& Targets() {
    static const std::vector<TFuzzTarget> targets{
        {"ini", FuzzIni},
        {"tini", FuzzTIni},
        {"station_file", FuzzStationFile},
        {"evt", FuzzEventDefinition},
        {"fcp", FuzzProfile},
        {"fcc", FuzzCurrentData},
        {"fce_read", FuzzEventsRead},
        {"fce_store", FuzzEventsStore},
        {"fcd_open", FuzzArchiveOpen},
        {"fcd_store", FuzzArchiveStore},
        {"frame", FuzzFrameCheck},
        {"reply_clock", FuzzReplyClock},
        {"reply_nameplate", FuzzReplyNameplate},
        {"reply_current", FuzzReplyCurrentData},
        {"reply_events", FuzzReplyEvents},
        {"reply_archive", FuzzReplyArchive},
        {"import", FuzzImport},
    };
    return targets;
}

} // namespace kiv::fuzz
