#include "datafiles/profile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "datafiles/real48.h"
#include "support/text_encoding.h"

namespace kiv {

namespace {

constexpr char kMagic[5] = {'Z', 'Q', 'F', 'C', 'P'};
constexpr int32_t kSecKey1 = 3001;
constexpr int32_t kSecKey2 = 3002;
constexpr int32_t kSecText1 = 3003; // texts 1..5: 3003..3007
constexpr int32_t kSecByte = 3008;
constexpr int32_t kSecNumber = 3009;
constexpr int32_t kSecGroup = 3010;

std::string AsText(const Bytes& payload) { return std::string(payload.begin(), payload.end()); }

// Items of a data area of `dataLength` bytes; 0 when that is not 1..1000 whole items.
int ItemsInDataArea(std::size_t dataLength) {
    if (dataLength == 0 || dataLength % TParamItem::kSize != 0) return 0;
    const std::size_t count = dataLength / TParamItem::kSize;
    return count > static_cast<std::size_t>(kMaxProfileItems) ? 0 : static_cast<int>(count);
}

uint64_t LittleEndian(const uint8_t* bytes, std::size_t count) {
    uint64_t value = 0;
    for (std::size_t i = count; i-- > 0;) value = value << 8 | bytes[i];
    return value;
}

std::string Formatted(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return text;
}

// Two decimal digits per byte, high half first, up to the 0xFF terminator;
// a byte that is not two digits spoils the whole value.
std::string PackedDigits(const uint8_t* bytes, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count && bytes[i] != 0xFF; ++i) {
        const int high = bytes[i] >> 4;
        const int low = bytes[i] & 0x0F;
        if (high > 9 || low > 9) return {};
        text += static_cast<char>('0' + high);
        text += static_cast<char>('0' + low);
    }
    return text;
}

void AppendTextSection(Bytes& image, int32_t identifier, const std::string& text, const uint8_t* key) {
    Bytes payload(text.begin(), text.end());
    Scramble(payload.data(), payload.size(), key);
    AppendSection(image, identifier, payload.data(), payload.size());
}

// A parameter number beyond what the device can address comes from a damaged
// or hostile file; taken as it is, it would run the current-data requests far
// past the end. The item stays (its archives may be fine) without a current value.
TParamItem ItemAt(const Bytes& image, std::size_t offset) {
    TParamItem item(image.data() + offset);
    if (item.ParamNumber() < kNoParamNumber || item.ParamNumber() > kMaxParamNumber)
        item.SetParamNumber(kNoParamNumber);
    return item;
}

} // namespace

std::string GroupEntryName(const std::string& entry) { return entry.substr(0, entry.find('=')); }

std::string GroupEntryCaption(const std::string& entry) {
    const auto pos = entry.find('=');
    return pos == std::string::npos ? std::string() : entry.substr(pos + 1);
}

long PackedValueSize(uint8_t typeCode, const uint8_t* value, std::size_t available) {
    long size = -1;
    switch (typeCode) {
    case 1: case 4: case 10: size = 2; break;
    case 2: case 5: size = 3; break;
    case 3: case 6: case 7: size = 5; break;
    case 8: size = 7; break;
    case 9: size = 9; break;
    case 11:
    case 12: {
        const uint8_t terminator = typeCode == 11 ? 0xFF : 0x00;
        for (std::size_t i = 1; i < available; ++i)
            if (value[i] == terminator) return static_cast<long>(i + 1);
        return -1;
    }
    default: return -1;
    }
    return static_cast<std::size_t>(size) <= available ? size : -1;
}

int TFCProfileRdWr::ItemCount(const std::string& fileName) {
    TPlik plik;
    Bytes image;
    if (plik.ReadWholeFile(fileName, 0, image) != 0 || image.size() < kHeaderSize + 1) return 0;
    const std::size_t headerLength = GetU16(image, 7);
    if (headerLength > image.size()) return 0;
    return ItemsInDataArea(image.size() - headerLength);
}

bool TFCProfileRdWr::Parse(Bytes& image, TRecProfParams& params, std::vector<std::string>& groups,
                           std::size_t& dataOffset, int& itemCount) {
    TFileHeader header;
    if (!ReadHeader(image, header) || std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.version != 1 ||
        header.fileLength != image.size() || header.headerLength < kHeaderSize || header.headerLength > image.size())
        return false;
    itemCount = ItemsInDataArea(image.size() - header.headerLength);
    if (itemCount == 0) return false;
    if (Crc32(image.data() + header.headerLength, image.size() - header.headerLength) != header.crc) return false;

    Bytes k1, k2, text, byte, number;
    if (!FindSectionPayload(image, kSecKey1, nullptr, k1) || k1.size() != kKeySize ||
        !FindSectionPayload(image, kSecKey2, nullptr, k2) || k2.size() != kKeySize)
        return false;
    std::copy(k1.begin(), k1.end(), key1);
    std::copy(k2.begin(), k2.end(), key2);

    TRecProfParams read;
    for (int i = 0; i < 5; ++i) {
        const bool found = FindSectionPayload(image, kSecText1 + i, key1, text);
        if (!found && i < 2) return false;
        read.texts[static_cast<std::size_t>(i)] = found ? AsText(text) : std::string();
    }
    if (!FindSectionPayload(image, kSecByte, key1, byte) || byte.empty()) return false;
    read.profileByte = byte[0];
    if (FindSectionPayload(image, kSecNumber, key1, number)) {
        if (number.size() < 4) return false;
        read.profileNumber = static_cast<int32_t>(LittleEndian(number.data(), 4));
    }

    std::vector<std::string> readGroups;
    for (long at = FindSection(image, 0, kSecGroup); at >= 0;
         at = FindSection(image, static_cast<std::size_t>(at) + GetU16(image, static_cast<std::size_t>(at)), kSecGroup))
        readGroups.push_back(AsText(SectionPayload(image, at, key1)));

    Scramble(image.data() + header.headerLength, image.size() - header.headerLength, key2);
    params = std::move(read);
    groups = std::move(readGroups);
    dataOffset = header.headerLength;
    return true;
}

bool TFCProfileRdWr::Load(const std::string& fileName, bool showErrors, Bytes& image, TRecProfParams& params,
                          std::vector<std::string>& groups, std::size_t& dataOffset, int& itemCount) {
    TPlik plik;
    const int err = plik.ReadWholeFile(fileName, 0, image);
    if (err != 0) {
        if (showErrors) ShowFileError(err);
        return false;
    }
    return Parse(image, params, groups, dataOffset, itemCount);
}

bool TFCProfileRdWr::ReadProfile(const std::string& fileName, TRecProfParams& params, int capacity,
                                 TParamItem* items, std::vector<std::string>& groups) {
    Bytes image;
    std::size_t dataOffset = 0;
    int count = 0;
    if (!Load(fileName, true, image, params, groups, dataOffset, count)) return false;
    const int copied = std::min(count, std::max(capacity, 0));
    for (int i = 0; i < copied; ++i)
        items[i] = ItemAt(image, dataOffset + static_cast<std::size_t>(i) * TParamItem::kSize);
    return true;
}

bool TFCProfileRdWr::ReadProfile(const std::string& fileName, TRecProfParams& params, std::vector<TParamItem>& items,
                                 std::vector<std::string>& groups) {
    Bytes image;
    std::size_t dataOffset = 0;
    int count = 0;
    if (!Load(fileName, true, image, params, groups, dataOffset, count)) return false;
    items.clear();
    for (int i = 0; i < count; ++i)
        items.push_back(ItemAt(image, dataOffset + static_cast<std::size_t>(i) * TParamItem::kSize));
    return true;
}

bool TFCProfileRdWr::ReadProfileTexts(const std::string& fileName, std::string& text1, std::string& text2,
                                      std::string& text3, std::string& text4) {
    text1.clear();
    text2.clear();
    text3.clear();
    text4.clear();
    Bytes image;
    TRecProfParams params;
    std::vector<std::string> groups;
    std::size_t dataOffset = 0;
    int count = 0;
    if (!Load(fileName, false, image, params, groups, dataOffset, count)) return false;
    text1 = params.texts[0];
    text2 = params.texts[1];
    text3 = params.texts[2];
    text4 = params.texts[3];
    return true;
}

std::vector<std::string> TFCProfileRdWr::ListProfiles(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec)) continue;
        const std::string name = it->path().filename().string();
        if (name.size() < 4) continue;
        std::string ext = name.substr(name.size() - 4);
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
        if (ext == ".FCP") names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

int TFCProfileRdWr::CompactItems(TParamItem* items, int count) {
    const auto end = std::stable_partition(items, items + std::max(count, 0),
                                           [](const TParamItem& item) { return item.ParamNumber() >= 0; });
    const int kept = static_cast<int>(end - items);
    // Selection sort with whole items swapped: items sharing a number end up
    // in the order this sort gives them, which stored read-outs were made with.
    for (int i = 0; i < kept - 1; ++i) {
        int least = i;
        for (int j = i + 1; j < kept; ++j)
            if (items[j].ParamNumber() < items[least].ParamNumber()) least = j;
        if (least != i) std::swap(items[i], items[least]);
    }
    return kept;
}

int TFCProfileRdWr::DropUnreadItems(TParamItem* items, int count) {
    const auto end = std::stable_partition(items, items + std::max(count, 0),
                                           [](const TParamItem& item) { return item.HasArchive(); });
    return static_cast<int>(end - items);
}

long TFCProfileRdWr::ValueOffset(const TParamItem* items, int count, const uint8_t* values, std::size_t length,
                                 int32_t paramNumber) {
    std::size_t offset = 0;
    for (int i = 0; i < count; ++i) {
        if (offset >= length) return -1;
        const long size = PackedValueSize(items[i].TypeCode(), values + offset, length - offset);
        if (size < 0) return -1;
        if (items[i].ParamNumber() == paramNumber) return static_cast<long>(offset);
        offset += static_cast<std::size_t>(size);
    }
    return -1;
}

std::string TFCProfileRdWr::ValueText(const uint8_t* value, std::size_t length, uint8_t typeCode) {
    if (value == nullptr || length < 2 || value[0] == 0) return {};
    const long size = PackedValueSize(typeCode, value, length);
    if (size < 0) return {};
    const uint8_t* bytes = value + 1;
    const auto count = static_cast<std::size_t>(size - 1);
    switch (typeCode) {
    case 1: return std::to_string(static_cast<int8_t>(bytes[0]));
    case 2: return std::to_string(static_cast<int16_t>(LittleEndian(bytes, 2)));
    case 3: return std::to_string(static_cast<int32_t>(LittleEndian(bytes, 4)));
    case 4: return std::to_string(bytes[0]);
    case 5: return std::to_string(LittleEndian(bytes, 2));
    case 6: return std::to_string(LittleEndian(bytes, 4));
    case 7: {
        const auto raw = static_cast<uint32_t>(LittleEndian(bytes, 4));
        float f;
        std::memcpy(&f, &raw, sizeof f);
        return std::isfinite(f) ? Formatted(f, 6) : std::string();
    }
    case 8: return Formatted(Real48ToDouble(bytes), 15);
    case 9: {
        const uint64_t raw = LittleEndian(bytes, 8);
        double d;
        std::memcpy(&d, &raw, sizeof d);
        return std::isfinite(d) ? Formatted(d, 18) : std::string();
    }
    case 10: return bytes[0] != 0 ? "tak" : "nie";
    case 11: return PackedDigits(bytes, count);
    case 12: return DecodeText(std::string_view(reinterpret_cast<const char*>(bytes), count - 1));
    default: return {};
    }
}

Bytes TFCProfileRdWr::BuildProfile(const TRecProfParams& params, const TParamItem* items, int count,
                                   const std::vector<std::string>& groups) {
    if (count < 1 || count > kMaxProfileItems) return {};
    std::size_t sectionBytes = 2 * (kSectionHeadSize + kKeySize) + 2 * (kSectionHeadSize + 4);
    for (const std::string& text : params.texts) sectionBytes += kSectionHeadSize + text.size();
    for (const std::string& group : groups) sectionBytes += kSectionHeadSize + group.size();
    if (kHeaderSize + sectionBytes > 0xFFFF) return {};

    NewScrambleKey(key1);
    NewScrambleKey(key2);
    Bytes image(kHeaderSize, 0);
    AppendSection(image, kSecKey1, key1, kKeySize);
    AppendSection(image, kSecKey2, key2, kKeySize);
    for (int i = 0; i < 5; ++i) {
        const std::string& text = params.texts[static_cast<std::size_t>(i)];
        if (i < 2 || !text.empty()) AppendTextSection(image, kSecText1 + i, text, key1);
    }
    uint8_t byte = params.profileByte;
    Scramble(&byte, 1, key1);
    AppendSection(image, kSecByte, &byte, 1);
    if (params.profileNumber != 0) {
        uint8_t number[4];
        for (int i = 0; i < 4; ++i) number[i] = static_cast<uint8_t>(static_cast<uint32_t>(params.profileNumber) >> (8 * i));
        Scramble(number, 4, key1);
        AppendSection(image, kSecNumber, number, 4);
    }
    for (const std::string& group : groups) AppendTextSection(image, kSecGroup, group, key1);

    const std::size_t headerLength = image.size();
    for (int i = 0; i < count; ++i) image.insert(image.end(), items[i].raw.begin(), items[i].raw.end());
    Scramble(image.data() + headerLength, image.size() - headerLength, key2);

    TFileHeader header;
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.headerLength = static_cast<uint16_t>(headerLength);
    header.recordLength = 0;
    header.fileLength = static_cast<uint32_t>(image.size());
    header.crc = Crc32(image.data() + headerLength, image.size() - headerLength);
    WriteHeader(image, header);
    return image;
}

int TFCProfileRdWr::WriteProfile(const std::string& fileName, const TRecProfParams& params, const TParamItem* items,
                                 int count, const std::vector<std::string>& groups) {
    const Bytes image = BuildProfile(params, items, count, groups);
    if (image.empty()) return -30;
    TPlik plik;
    std::size_t written = 0;
    return plik.WriteWholeFile(fileName, false, image.data(), image.size(), written);
}

} // namespace kiv
