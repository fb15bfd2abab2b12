#include "datafiles/fcc.h"

#include "config/station_db.h"

#include <cstring>
#include <filesystem>

namespace kiv {

namespace {

constexpr char kMagic[5] = {'Z', 'Q', 'F', 'C', 'C'};
constexpr int32_t kSecKey1 = 2001;
constexpr int32_t kSecKey2 = 2002;
constexpr int32_t kSecIdentity1 = 2003; // identity texts 1..6: 2003..2008
constexpr int32_t kSecProfile = 2009;
constexpr int32_t kSecTime = 2010;
constexpr std::size_t kIdentityTexts = 6;

void AppendScrambled(Bytes& image, int32_t identifier, const std::string& text, const uint8_t* key) {
    Bytes payload(text.begin(), text.end());
    Scramble(payload.data(), payload.size(), key);
    AppendSection(image, identifier, payload.data(), payload.size());
}

} // namespace

std::string FccFileName(const std::string& dataFolder, int address) {
    return StationBaseName(dataFolder, address) + ".FCC";
}

int TFileFCC::WriteCurrentData(const std::string& dataFolder, int address, std::size_t count, const uint8_t* values,
                               TimeStamp time, const std::string& profileName,
                               const std::vector<std::string>& identityTexts) {
    NewScrambleKey(key1);
    NewScrambleKey(key2);
    Bytes image(kHeaderSize, 0);
    AppendSection(image, kSecKey1, key1, kKeySize);
    AppendSection(image, kSecKey2, key2, kKeySize);
    for (std::size_t k = 0; k < identityTexts.size() && k < kIdentityTexts; ++k)
        if (!identityTexts[k].empty())
            AppendScrambled(image, kSecIdentity1 + static_cast<int32_t>(k), identityTexts[k], key1);
    if (!profileName.empty()) AppendScrambled(image, kSecProfile, profileName, key1);
    if (time != 0) {
        uint8_t stamp[4];
        for (int i = 0; i < 4; ++i) stamp[i] = static_cast<uint8_t>(time >> (8 * i));
        Scramble(stamp, 4, key1);
        AppendSection(image, kSecTime, stamp, 4);
    }
    const std::size_t headerLength = image.size();
    if (headerLength > 0xFFFF) return -30;
    if (count > 0) image.insert(image.end(), values, values + count);
    Scramble(image.data() + headerLength, count, key2);

    TFileHeader header;
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.headerLength = static_cast<uint16_t>(headerLength);
    header.recordLength = 0;
    header.fileLength = static_cast<uint32_t>(image.size());
    WriteHeader(image, header);
    PutU32(image, 15, Crc32(image.data() + kHeaderSize, image.size() - kHeaderSize));

    const std::string name = FccFileName(dataFolder, address);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(name).parent_path(), ec);
    std::size_t written = 0;
    return WriteWholeFile(name, false, image.data(), image.size(), written);
}

int TFileFCC::ReadCurrentData(const std::string& dataFolder, int address, std::size_t& count,
                              const uint8_t*& values, TimeStamp& time, std::string& profileName) {
    count = 0;
    values = nullptr;
    identity.clear();
    const int err = ReadWholeFile(FccFileName(dataFolder, address), 0, image_);
    if (err != 0) {
        // A missing or empty file is an ordinary state; anything else is worth a word.
        if (err != 2 && err != -1 && err != -2) ShowFileError(err);
        return -1;
    }
    if (!Parse(time, profileName)) {
        identity.clear();
        return 0;
    }
    const std::size_t headerLength = GetU16(image_, 7);
    count = image_.size() - headerLength;
    values = count > 0 ? image_.data() + headerLength : nullptr;
    return 0;
}

bool TFileFCC::Parse(TimeStamp& time, std::string& profileName) {
    const std::size_t headerLength = GetU16(image_, 7);
    if (StoredImageFault(image_, kMagic) != 0 || headerLength < kHeaderSize || headerLength > image_.size())
        return false;

    Bytes k1, k2, payload;
    if (!FindSectionPayload(image_, kSecKey1, nullptr, k1) || k1.size() != kKeySize ||
        !FindSectionPayload(image_, kSecKey2, nullptr, k2) || k2.size() != kKeySize)
        return false;
    std::memcpy(key1, k1.data(), kKeySize);
    std::memcpy(key2, k2.data(), kKeySize);

    // Texts 1..3 are optional too: a device may report an empty serial
    // number, and the values it delivered must not be lost for that.
    std::vector<std::string> texts(kIdentityTexts);
    for (std::size_t k = 0; k < 4; ++k)
        if (FindSectionPayload(image_, kSecIdentity1 + static_cast<int32_t>(k), key1, payload))
            texts[k].assign(payload.begin(), payload.end());
    if (!FindSectionPayload(image_, kSecProfile, key1, payload)) return false;
    std::string name(payload.begin(), payload.end());
    if (!FindSectionPayload(image_, kSecTime, key1, payload) || payload.size() != 4) return false;

    time = GetU32(payload, 0);
    profileName = std::move(name);
    identity = std::move(texts);
    Scramble(image_.data() + headerLength, image_.size() - headerLength, key2);
    return true;
}

} // namespace kiv
