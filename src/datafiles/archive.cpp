#include "datafiles/archive.h"

#include "datafiles/sample_value.h"
#include "support/messages.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>

namespace kiv {
namespace {

constexpr char kMagic[5] = {'Z', 'Q', 'F', 'C', 'D'};
constexpr int32_t kSecName = 0;
constexpr int32_t kSecIdentity = 1;
constexpr int32_t kSecKeyOne = 2;
constexpr int32_t kSecKeyTwo = 3;
constexpr int32_t kSecDescriptor = 4;
// Section heads plus fixed parts: the scrambled rest starts here.
constexpr std::size_t kIdentityFixed = kSectionHeadSize + 5;
constexpr std::size_t kDescriptorFixed = kSectionHeadSize + 4;
// The twelfth byte of a section: where entries are compared.
constexpr std::size_t kEntryCompareFrom = 11;
// Longest identity string written, so that a section always fits its length field.
constexpr std::size_t kMaxSignString = 1000;
constexpr TimeStamp kLastStamp = 3155759999u; // 2069-12-31 23:59:59
constexpr TimeStamp kEntryTimeFloor = 1000000000u;
constexpr TimeStamp kNoBoundary = 2147483647u;
constexpr int kLastYear = 2069;
constexpr int kDataFormatError = -30;
// Reservation cap for the loaded samples, against absurd file sizes.
constexpr std::size_t kReserveLimit = std::size_t{64} << 20;

uint32_t TimeOf(const uint8_t *sample) {
    return static_cast<uint32_t>(sample[0]) | static_cast<uint32_t>(sample[1]) << 8 |
           static_cast<uint32_t>(sample[2]) << 16 | static_cast<uint32_t>(sample[3]) << 24;
}

// XOR with the repeating ten-byte key, eight bytes at a time: the data area of
// a year of files passes through here on every period read.
void XorKey(uint8_t *bytes, std::size_t count, const uint8_t *key) {
    uint8_t pattern[40];
    for (std::size_t i = 0; i < sizeof pattern; ++i)
        pattern[i] = key[i % kKeySize];
    uint64_t words[5];
    std::memcpy(words, pattern, sizeof words);
    std::size_t i = 0;
    for (; i + sizeof pattern <= count; i += sizeof pattern) {
        for (std::size_t k = 0; k < 5; ++k) {
            uint64_t v;
            std::memcpy(&v, bytes + i + 8 * k, 8);
            v ^= words[k];
            std::memcpy(bytes + i + 8 * k, &v, 8);
        }
    }
    for (; i < count; ++i)
        bytes[i] ^= key[i % kKeySize];
}

// Calls visit(offset, length, identifier) for each section of the table that
// lies wholly inside both the header length and the image.
void ForEachSection(const Bytes &image, const std::function<void(std::size_t, std::size_t, int32_t)> &visit) {
    if (image.size() < kHeaderSize)
        return;
    const std::size_t limit = std::min<std::size_t>(GetU16(image, 7), image.size());
    std::size_t pos = kHeaderSize;
    while (pos + kSectionHeadSize <= limit) {
        const std::size_t length = GetU16(image, pos);
        if (length < kSectionHeadSize || length > limit - pos)
            return;
        visit(pos, length, GetI32(image, pos + 2));
        pos += length;
    }
}

// Where a file's parts lie once DecodeFcd has unscrambled it.
struct TFcdLayout {
    TFileHeader header;
    bool hasName = false;
    std::string storedName;
    std::vector<std::pair<std::size_t, std::size_t>> identities; // offset, length
    std::vector<std::pair<std::size_t, std::size_t>> descriptors;
    std::size_t dataOffset = 0;
    uint8_t keyOne[kKeySize] = {};
    uint8_t keyTwo[kKeySize] = {};
};

void DecodeFcd(Bytes &image, TFcdLayout &layout) {
    if (!ReadHeader(image, layout.header)) {
        layout.dataOffset = image.size();
        return;
    }
    bool haveOne = false, haveTwo = false;
    ForEachSection(image, [&](std::size_t pos, std::size_t length, int32_t id) {
        if (length < kSectionHeadSize + kKeySize)
            return;
        if (id == kSecKeyOne && !haveOne)
            haveOne = true, std::memcpy(layout.keyOne, &image[pos + 6], kKeySize);
        if (id == kSecKeyTwo && !haveTwo)
            haveTwo = true, std::memcpy(layout.keyTwo, &image[pos + 6], kKeySize);
    });
    ForEachSection(image, [&](std::size_t pos, std::size_t length, int32_t id) {
        if (id == kSecName && !layout.hasName) {
            XorKey(image.data() + pos + kSectionHeadSize, length - kSectionHeadSize, layout.keyOne);
            const auto *text = reinterpret_cast<const char *>(image.data() + pos + kSectionHeadSize);
            layout.storedName.assign(text, strnlen(text, length - kSectionHeadSize));
            layout.hasName = true;
        } else if (id == kSecIdentity && length >= kIdentityFixed) {
            XorKey(image.data() + pos + kIdentityFixed, length - kIdentityFixed, layout.keyOne);
            layout.identities.emplace_back(pos, length);
        } else if (id == kSecDescriptor && length >= kDescriptorFixed) {
            XorKey(image.data() + pos + kDescriptorFixed, length - kDescriptorFixed, layout.keyOne);
            layout.descriptors.emplace_back(pos, length);
        }
    });
    const std::size_t headerLength = layout.header.headerLength;
    layout.dataOffset =
        headerLength >= kHeaderSize && headerLength <= image.size() ? headerLength : image.size();
    XorKey(image.data() + layout.dataOffset, image.size() - layout.dataOffset, layout.keyTwo);
}

// From the sixth character on: the address part may differ after a station was renumbered.
bool StoredNameMatches(const std::string &stored, const std::string &expected) {
    constexpr std::size_t kCompareFrom = 5;
    return stored.size() >= kCompareFrom && expected.size() >= kCompareFrom &&
           stored.compare(kCompareFrom, std::string::npos, expected, kCompareFrom) == 0;
}

int ValidateFcd(const Bytes &image, const TFcdLayout &layout, const std::string &expectedName) {
    if (!layout.hasName || !StoredNameMatches(layout.storedName, expectedName))
        return ArcBadName;
    if (layout.header.fileLength != image.size())
        return ArcBadSize;
    const uint32_t crc = Crc32Update(0, image.data() + kHeaderSize, image.size() - kHeaderSize);
    if (layout.header.crc != crc && layout.header.crc != (crc ^ 0xFFFFu))
        return ArcBadCrc;
    if (layout.header.version >= 2)
        return ArcBadVersion;
    return 0;
}

const char *ValidationText(int code) {
    switch (code) {
    case ArcBadName:
        return "Nieprawidłowa nazwa pliku";
    case ArcBadSize:
        return "Niewłaściwy rozmiar pliku";
    case ArcBadCrc:
        return "Błąd CRC pliku";
    case ArcBadVersion:
        return "Wersja programu niezgodna z wersją pliku";
    default:
        return nullptr;
    }
}

void ShowReadFailure(int code, const std::string &path) {
    if (const char *text = ValidationText(code))
        MessageDlg("", std::string(text) + " \"" + path + "\"", MsgError, BtnOk);
    else
        ShowFileError(code);
}

Bytes Slice(const Bytes &image, std::pair<std::size_t, std::size_t> part) {
    return Bytes(image.begin() + static_cast<long>(part.first),
                 image.begin() + static_cast<long>(part.first + part.second));
}

bool SameFromTwelfthByte(const Bytes &a, const Bytes &b) {
    if (a.size() != b.size())
        return false;
    if (a.size() <= kEntryCompareFrom)
        return true;
    return std::equal(a.begin() + kEntryCompareFrom, a.end(), b.begin() + kEntryCompareFrom);
}

bool IsDuplicate(const uint8_t *stored, const uint8_t *fresh) {
    if (std::memcmp(stored, fresh, 8) != 0)
        return false;
    const std::size_t used = ValueByteCount(fresh[6], fresh + 8);
    return std::memcmp(stored + 8, fresh + 8, used) == 0;
}

bool SortedByTime(const Bytes &samples) {
    for (std::size_t pos = kSampleSize; pos < samples.size(); pos += kSampleSize)
        if (TimeOf(&samples[pos - kSampleSize]) > TimeOf(&samples[pos]))
            return false;
    return true;
}

void AppendSample(Bytes &out, const uint8_t *sample) {
    out.insert(out.end(), sample, sample + kSampleSize);
}

// Linear merge of two time-ordered runs. Each new sample lands after the last
// sample with a time not later than its own, or is dropped when that sample is
// its duplicate: the same result as inserting the new samples one by one.
std::size_t MergeSorted(const Bytes &old, const std::vector<const uint8_t *> &fresh, Bytes &out) {
    std::size_t inserted = 0;
    std::size_t next = 0;
    for (const uint8_t *sample : fresh) {
        const uint32_t time = TimeOf(sample);
        const std::size_t from = next;
        while (next < old.size() && TimeOf(&old[next]) <= time)
            next += kSampleSize;
        out.insert(out.end(), old.begin() + static_cast<long>(from), old.begin() + static_cast<long>(next));
        if (!out.empty() && IsDuplicate(&out[out.size() - kSampleSize], sample))
            continue;
        AppendSample(out, sample);
        ++inserted;
    }
    out.insert(out.end(), old.begin() + static_cast<long>(next), old.end());
    return inserted;
}

// The one-by-one insertion itself, for a file whose samples are out of order.
std::size_t MergeByInsertion(const Bytes &old, const std::vector<const uint8_t *> &fresh, Bytes &out) {
    out = old;
    std::size_t inserted = 0;
    for (const uint8_t *sample : fresh) {
        const uint32_t time = TimeOf(sample);
        std::size_t pos = out.size();
        while (pos > 0 && TimeOf(&out[pos - kSampleSize]) > time)
            pos -= kSampleSize;
        if (pos > 0 && IsDuplicate(&out[pos - kSampleSize], sample))
            continue;
        out.insert(out.begin() + static_cast<long>(pos), sample, sample + kSampleSize);
        ++inserted;
    }
    return inserted;
}

Bytes IdentitySection(const TDevSign &sign, TimeStamp validFrom) {
    Bytes payload{1};
    AppendU32(payload, validFrom);
    for (const std::string *s :
         {&sign.brand, &sign.serialNumber, &sign.type, &sign.nameplate, &sign.spare1, &sign.spare2}) {
        const std::size_t length = std::min(s->size(), kMaxSignString);
        payload.insert(payload.end(), s->begin(), s->begin() + static_cast<long>(length));
        payload.push_back(0);
    }
    Bytes section;
    (void)AppendSection(section, kSecIdentity, payload.data(), payload.size());
    return section;
}

Bytes DescriptorSection(const TParamItem &item, TimeStamp validFrom) {
    Bytes payload;
    AppendU32(payload, validFrom);
    payload.insert(payload.end(), item.raw.begin(), item.raw.end());
    Bytes section;
    (void)AppendSection(section, kSecDescriptor, payload.data(), payload.size());
    return section;
}

// Lays out a month file from clear parts, sets its CRC and scrambles it.
// Returns false when the section table would not fit its length field.
bool BuildFcd(const std::string &name, const std::vector<Bytes> &identities,
              const std::vector<Bytes> &descriptors, const Bytes &samples, Bytes &out) {
    uint8_t keyOne[kKeySize];
    uint8_t keyTwo[kKeySize];
    NewScrambleKey(keyOne);
    NewScrambleKey(keyTwo);
    out.assign(kHeaderSize, 0);
    Bytes namePayload(name.begin(), name.end());
    namePayload.push_back(0);
    if (AppendSection(out, kSecName, namePayload.data(), namePayload.size()) == kNoSection)
        return false;
    for (const Bytes &s : identities)
        out.insert(out.end(), s.begin(), s.end());
    (void)AppendSection(out, kSecKeyOne, keyOne, kKeySize);
    (void)AppendSection(out, kSecKeyTwo, keyTwo, kKeySize);
    for (const Bytes &s : descriptors)
        out.insert(out.end(), s.begin(), s.end());
    const std::size_t headerLength = out.size();
    if (headerLength > 0xFFFF)
        return false;
    out.insert(out.end(), samples.begin(), samples.end());
    TFileHeader header;
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.version = kFcdVersion;
    header.headerLength = static_cast<uint16_t>(headerLength);
    header.recordLength = kSampleSize;
    header.fileLength = static_cast<uint32_t>(out.size());
    header.crc = Crc32Update(0, out.data() + kHeaderSize, out.size() - kHeaderSize);
    WriteHeader(out, header);
    ForEachSection(out, [&](std::size_t pos, std::size_t length, int32_t id) {
        const std::size_t from = id == kSecName         ? kSectionHeadSize
                                 : id == kSecIdentity   ? kIdentityFixed
                                 : id == kSecDescriptor ? kDescriptorFixed
                                                        : length;
        XorKey(out.data() + pos + from, length - from, keyOne);
    });
    XorKey(out.data() + headerLength, out.size() - headerLength, keyTwo);
    return true;
}

std::string ReadString(const Bytes &section, std::size_t &pos) {
    const std::size_t start = std::min(pos, section.size());
    std::size_t end = start;
    while (end < section.size() && section[end] != 0)
        ++end;
    pos = end + 1;
    return std::string(section.begin() + static_cast<long>(start), section.begin() + static_cast<long>(end));
}

bool EqualNoCase(const std::string &a, const std::string &b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool AllDigits(const std::string &s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Months (four-digit year, month) of the files matching nnnnn_????_??_C.FCD.
std::vector<std::pair<int, int>> ArchiveMonths(const std::string &folder, int address,
                                               const std::string &channel) {
    std::vector<std::pair<int, int>> months;
    char prefix[8];
    std::snprintf(prefix, sizeof prefix, "%05d_", address);
    const std::string suffix = "_" + channel + ".FCD";
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != 13 + suffix.size() || !EqualNoCase(name.substr(0, 6), prefix) || name[10] != '_' ||
            !EqualNoCase(name.substr(13), suffix))
            continue;
        const std::string year = name.substr(6, 4);
        const std::string month = name.substr(11, 2);
        if (!AllDigits(year) || !AllDigits(month))
            continue;
        const int m = std::stoi(month);
        if (m >= 1 && m <= 12)
            months.emplace_back(FullYear(std::stoi(year)), m);
    }
    return months;
}

// The entry numbers of report samples: the running number moves on at the
// valid-from time of the next entry; times before 1 000 000 000 are not taken
// as boundaries, and the number then stays where it is.
class EntryCursor {
  public:
    EntryCursor(const std::vector<Bytes> &entries, TimeStamp (*validFrom)(const Bytes &))
        : entries_(entries), validFrom_(validFrom) {
        SetBoundary();
    }
    int16_t NumberAt(TimeStamp time) {
        if (time >= boundary_ && Step()) {
            while (boundary_ < time && Step()) {
            }
        }
        return static_cast<int16_t>(number_);
    }

  private:
    void SetBoundary() {
        hasNext_ = false;
        boundary_ = kNoBoundary;
        if (number_ < entries_.size()) {
            const TimeStamp next = validFrom_(entries_[number_]);
            if (next >= kEntryTimeFloor) {
                hasNext_ = true;
                boundary_ = next;
            }
        }
    }
    bool Step() {
        if (!hasNext_)
            return false;
        ++number_;
        SetBoundary();
        return true;
    }

    const std::vector<Bytes> &entries_;
    TimeStamp (*validFrom_)(const Bytes &);
    std::size_t number_ = 1;
    TimeStamp boundary_ = kNoBoundary;
    bool hasNext_ = false;
};

bool ReadAt(std::ifstream &in, std::size_t offset, std::size_t count, uint8_t *out) {
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(reinterpret_cast<char *>(out), static_cast<std::streamsize>(count));
    return in && static_cast<std::size_t>(in.gcount()) == count;
}

// The header and section table of a month file, checked as a period read
// checks them, in its order, except for the CRC over the whole file: 0 or
// the validation code a period read would give.
int ReadMonthHead(std::ifstream &in, std::size_t size, const std::string &expectedName, Bytes &head,
                  uint8_t *keyTwo) {
    head.assign(kHeaderSize, 0);
    TFileHeader header;
    if (size < kHeaderSize || !ReadAt(in, 0, kHeaderSize, head.data()) || !ReadHeader(head, header) ||
        header.headerLength < kHeaderSize || header.headerLength > size)
        return ArcBadName;
    head.resize(header.headerLength);
    Bytes keyOne, key, name;
    if (!ReadAt(in, kHeaderSize, head.size() - kHeaderSize, head.data() + kHeaderSize) ||
        !FindSectionPayload(head, kSecKeyOne, nullptr, keyOne) || keyOne.size() < kKeySize ||
        !FindSectionPayload(head, kSecKeyTwo, nullptr, key) || key.size() < kKeySize ||
        !FindSectionPayload(head, kSecName, keyOne.data(), name) ||
        !StoredNameMatches(std::string(name.begin(), std::find(name.begin(), name.end(), uint8_t{0})),
                           expectedName))
        return ArcBadName;
    if (header.fileLength != size)
        return ArcBadSize;
    if (header.version >= 2)
        return ArcBadVersion;
    std::memcpy(keyTwo, key.data(), kKeySize);
    return 0;
}

// The newest sample of a month file from its header, its section table and
// its last record: samples are stored in time order, so the last record is
// the one a period read over the month ends with. Only a file whose last
// record lies outside its month is read whole. 0 and the time in `newest`,
// ArcNoFile when the file holds no sample of its month, else a validation or
// file error code after its message was shown.
int NewestInMonth(const std::string &dataFolder, int address, const std::string &channel, int year, int month,
                  TimeStamp &newest) {
    const std::string name = ArchiveFileName(address, year, month, channel);
    const std::string path = StationFolder(dataFolder, address) + name;
    const long size = TPlik::FileSize(path);
    if (size <= 0)
        return ArcNoFile;
    std::ifstream in(path, std::ios::binary);
    Bytes head;
    uint8_t keyTwo[kKeySize];
    if (const int bad = in ? ReadMonthHead(in, static_cast<std::size_t>(size), name, head, keyTwo) : 2;
        bad != 0) {
        ShowReadFailure(bad, path);
        return bad;
    }
    const std::size_t records = (static_cast<std::size_t>(size) - head.size()) / kSampleSize;
    if (records == 0)
        return ArcNoFile;
    // The data area is one scrambled run: the key position carries on from its start.
    const std::size_t from = (records - 1) * kSampleSize;
    uint8_t record[kSampleSize];
    if (!ReadAt(in, head.size() + from, kSampleSize, record)) {
        ShowReadFailure(100, path);
        return 100;
    }
    for (std::size_t i = 0; i < kSampleSize; ++i)
        record[i] ^= keyTwo[(from + i) % kKeySize];
    newest = TimeOf(record);
    TimeStamp start = MonthStart(year, month);
    TimeStamp end = MonthEnd(year, month);
    if (newest >= start && newest <= end)
        return 0;
    TArchive archive;
    const int rc = archive.OpenPeriod(dataFolder, address, start, end, channel);
    newest = end;
    return rc == 0 && archive.SampleCount() == 0 ? ArcNoFile : rc;
}

} // namespace

bool TDevSign::SameDevice(const TDevSign &other) const {
    return brand == other.brand && serialNumber == other.serialNumber && type == other.type &&
           nameplate == other.nameplate;
}

std::string ArchiveFileName(int address, int fourDigitYear, int month, const std::string &channel) {
    const int yy = fourDigitYear % 100;
    char head[32];
    std::snprintf(head, sizeof head, "%05d_%04d_%02d_", address, yy < 80 ? 2000 + yy : 1900 + yy, month);
    return head + channel + ".FCD";
}

std::string ArchiveFilePath(const std::string &dataFolder, int address, int fourDigitYear, int month,
                            const std::string &channel) {
    return StationFolder(dataFolder, address) + ArchiveFileName(address, fourDigitYear, month, channel);
}

TimeStamp IdentityValidFrom(const Bytes &section) {
    return GetU32(section, kSectionHeadSize + 1);
}

TDevSign IdentitySign(const Bytes &section) {
    TDevSign sign;
    std::size_t pos = kIdentityFixed;
    for (std::string *s :
         {&sign.brand, &sign.serialNumber, &sign.type, &sign.nameplate, &sign.spare1, &sign.spare2})
        *s = ReadString(section, pos);
    return sign;
}

TimeStamp DescriptorValidFrom(const Bytes &section) {
    return GetU32(section, kSectionHeadSize);
}

TParamItem DescriptorItem(const Bytes &section) {
    TParamItem item;
    if (section.size() > kDescriptorFixed)
        std::copy_n(section.begin() + kDescriptorFixed,
                    std::min(section.size() - kDescriptorFixed, TParamItem::kSize), item.raw.begin());
    return item;
}

int ReadFcdContent(const std::string &path, TFcdContent &content) {
    content = TFcdContent{};
    TPlik file;
    Bytes image;
    const int rc = file.ReadWholeFile(path, 0, image);
    if (rc != 0)
        return rc;
    TFcdLayout layout;
    DecodeFcd(image, layout);
    content.header = layout.header;
    content.fileSize = static_cast<long>(image.size());
    if (image.size() >= kHeaderSize)
        content.computedCrc = Crc32Update(0, image.data() + kHeaderSize, image.size() - kHeaderSize);
    content.storedName = layout.storedName;
    for (const auto &part : layout.identities)
        content.identities.push_back(Slice(image, part));
    for (const auto &part : layout.descriptors)
        content.descriptors.push_back(Slice(image, part));
    const std::size_t whole = (image.size() - layout.dataOffset) / kSampleSize * kSampleSize;
    content.samples.assign(image.begin() + static_cast<long>(layout.dataOffset),
                           image.begin() + static_cast<long>(layout.dataOffset + whole));
    content.tailBytes = image.size() - layout.dataOffset - whole;
    content.validation = ValidateFcd(image, layout, std::filesystem::path(path).filename().string());
    return 0;
}

std::string ArchiveFaultText(int code) {
    const char *text = ValidationText(code);
    return text != nullptr ? text : FileErrorMessage(code);
}

void TArchive::Release() {
    image_ = Bytes();
    samples_ = Bytes();
    identities_.clear();
    descriptors_.clear();
}

int TArchive::ReadMonth(const std::string &path, const std::string &expectedName, TimeStamp start,
                        TimeStamp end) {
    const int rc = ReadWholeFile(path, 0, image_);
    if (rc != 0)
        return rc;
    TFcdLayout layout;
    DecodeFcd(image_, layout);
    if (const int bad = ValidateFcd(image_, layout, expectedName); bad != 0)
        return bad;
    for (const auto &part : layout.identities)
        identities_.push_back(Slice(image_, part));
    for (const auto &part : layout.descriptors)
        descriptors_.push_back(Slice(image_, part));
    std::memcpy(keyOne_, layout.keyOne, kKeySize);
    std::memcpy(keyTwo_, layout.keyTwo, kKeySize);
    // Copy runs of consecutive wanted samples in one go.
    const std::size_t stop = image_.size() - (image_.size() - layout.dataOffset) % kSampleSize;
    std::size_t runStart = stop;
    for (std::size_t pos = layout.dataOffset; pos < stop; pos += kSampleSize) {
        const TimeStamp time = TimeOf(&image_[pos]);
        const bool wanted = time >= start && time <= end;
        if (wanted && runStart == stop)
            runStart = pos;
        if (!wanted && runStart != stop) {
            samples_.insert(samples_.end(), image_.begin() + static_cast<long>(runStart),
                            image_.begin() + static_cast<long>(pos));
            runStart = stop;
        }
    }
    if (runStart != stop)
        samples_.insert(samples_.end(), image_.begin() + static_cast<long>(runStart),
                        image_.begin() + static_cast<long>(stop));
    return 0;
}

int TArchive::OpenPeriod(const std::string &dataFolder, int address, TimeStamp &start, TimeStamp &end,
                         const std::string &channel) {
    Release();
    const std::string folder = StationFolder(dataFolder, address);
    // Sizes first: the loaded samples then grow into one block of the right size.
    std::vector<std::pair<std::string, std::string>> files; // name, path
    std::size_t total = 0;
    const TDateTime first = DecodeTime(start);
    for (int year = first.year, month = first.month; year <= kLastYear && MonthStart(year, month) <= end;) {
        std::string name = ArchiveFileName(address, year, month, channel);
        std::string path = folder + name;
        std::error_code ec;
        if (const auto size = std::filesystem::file_size(path, ec); !ec && size > 0) {
            total += static_cast<std::size_t>(size);
            files.emplace_back(std::move(name), std::move(path));
        }
        if (++month > 12)
            month = 1, ++year;
    }
    samples_.reserve(std::min(total, kReserveLimit));
    for (const auto &[name, path] : files) {
        const int rc = ReadMonth(path, name, start, end);
        if (rc != 0) {
            ShowReadFailure(rc, path);
            Release();
            return rc;
        }
    }
    const bool found = !files.empty();
    image_ = Bytes();
    if (samples_.empty()) {
        end = start - 1;
    } else {
        start = TimeOf(samples_.data());
        end = TimeOf(&samples_[samples_.size() - kSampleSize]);
    }
    return found ? 0 : ArcNoFile;
}

void TArchive::ReportSamples(std::vector<TReportSample> &out) const {
    EntryCursor identity(identities_, IdentityValidFrom);
    EntryCursor descriptor(descriptors_, DescriptorValidFrom);
    out.reserve(out.size() + SampleCount());
    for (std::size_t pos = 0; pos < samples_.size(); pos += kSampleSize) {
        const uint8_t *sample = &samples_[pos];
        TReportSample r;
        r.time = TimeOf(sample);
        r.interval = static_cast<uint16_t>(sample[4] | sample[5] << 8);
        r.validity = sample[7];
        r.status = static_cast<int16_t>(ValueToDouble(sample[6], sample + 8, r.value));
        r.identityIndex = identity.NumberAt(r.time);
        r.descriptorIndex = descriptor.NumberAt(r.time);
        out.push_back(r);
    }
}

bool TArchive::IdentityEntry(int number, TimeStamp &validFrom, TDevSign &sign) const {
    if (number < 1 || number > IdentityCount())
        return false;
    const Bytes &section = identities_[static_cast<std::size_t>(number - 1)];
    validFrom = IdentityValidFrom(section);
    sign = IdentitySign(section);
    return true;
}

bool TArchive::DescriptorEntry(int number, TimeStamp &validFrom, TParamItem &item) const {
    if (number < 1 || number > DescriptorCount())
        return false;
    const Bytes &section = descriptors_[static_cast<std::size_t>(number - 1)];
    validFrom = DescriptorValidFrom(section);
    item = DescriptorItem(section);
    return true;
}

bool TArchive::DescriptorRecord(int number, uint8_t *record) const {
    TimeStamp validFrom = 0;
    TParamItem item;
    if (!DescriptorEntry(number, validFrom, item))
        return false;
    for (int i = 0; i < 4; ++i)
        record[i] = static_cast<uint8_t>(validFrom >> (8 * i));
    std::copy(item.raw.begin(), item.raw.end(), record + 4);
    return true;
}

int TArchive::StoreSamples(const std::string &dataFolder, int address, const TParamItem &descriptor,
                           const uint8_t *buffer, std::size_t byteCount, const TDevSign &sign,
                           const std::string &channel, std::vector<TMonthStoreFailure> *failures) {
    std::vector<const uint8_t *> order;
    order.reserve(byteCount / kSampleSize);
    // Times past the last encodable month have no month file to go to.
    for (std::size_t pos = 0; pos + kSampleSize <= byteCount; pos += kSampleSize)
        if (TimeOf(buffer + pos) <= kLastStamp)
            order.push_back(buffer + pos);
    std::stable_sort(order.begin(), order.end(),
                     [](const uint8_t *a, const uint8_t *b) { return TimeOf(a) < TimeOf(b); });
    int firstFailure = 0;
    for (std::size_t from = 0; from < order.size();) {
        const TDateTime dt = DecodeTime(TimeOf(order[from]));
        const TimeStamp monthEnd = MonthEnd(dt.year, dt.month);
        std::size_t to = from;
        while (to < order.size() && TimeOf(order[to]) <= monthEnd)
            ++to;
        std::vector<const uint8_t *> run(order.begin() + static_cast<long>(from),
                                         order.begin() + static_cast<long>(to));
        const int rc = StoreMonth(dataFolder, address, dt.year, dt.month, descriptor, run, sign, channel);
        Release();
        if (rc != 0) {
            if (failures)
                failures->push_back({dt.year, dt.month,
                                     ArchiveFilePath(dataFolder, address, dt.year, dt.month, channel), rc});
            if (firstFailure == 0)
                firstFailure = rc;
        }
        from = to;
    }
    return firstFailure;
}

int TArchive::StoreMonth(const std::string &dataFolder, int address, int year, int month,
                         const TParamItem &descriptor, std::vector<const uint8_t *> &run,
                         const TDevSign &sign, const std::string &channel) {
    Release();
    const std::string folder = StationFolder(dataFolder, address);
    const std::string name = ArchiveFileName(address, year, month, channel);
    const std::string path = folder + name;
    const bool fresh = !FileHasData(path);
    if (!fresh) {
        const int rc = ReadMonth(path, name, MonthStart(year, month), MonthEnd(year, month));
        if (rc != 0) {
            ShowReadFailure(rc, path);
            return rc;
        }
        image_ = Bytes();
        // Samples that fall into the time of another device stored here belong to it.
        const bool haveSamples = !samples_.empty();
        const TimeStamp lastTime = haveSamples ? TimeOf(&samples_[samples_.size() - kSampleSize]) : 0;
        for (std::size_t k = 0; k < identities_.size(); ++k) {
            if (IdentitySign(identities_[k]).SameDevice(sign))
                continue;
            const TimeStamp from = IdentityValidFrom(identities_[k]);
            const bool last = k + 1 == identities_.size();
            const TimeStamp to = last ? lastTime : IdentityValidFrom(identities_[k + 1]);
            std::erase_if(run, [&](const uint8_t *s) {
                const TimeStamp t = TimeOf(s);
                return last ? haveSamples && t >= from && t <= to : t >= from && t < to;
            });
        }
        if (run.empty())
            return 0;
    }
    TimeStamp oldNewest = 0;
    for (std::size_t pos = 0; pos < samples_.size(); pos += kSampleSize)
        oldNewest = std::max(oldNewest, TimeOf(&samples_[pos]));
    Bytes merged;
    merged.reserve(samples_.size() + run.size() * kSampleSize);
    // A new file goes through the same merge, so that a read-out delivering a
    // sample twice does not store it twice.
    const std::size_t inserted =
        SortedByTime(samples_) ? MergeSorted(samples_, run, merged) : MergeByInsertion(samples_, run, merged);
    bool entryAdded = false;
    if (fresh || samples_.empty() || TimeOf(run.back()) > oldNewest) {
        const TimeStamp validFrom = fresh ? MonthStart(year, month) : TimeOf(run.front());
        Bytes identity = IdentitySection(sign, validFrom);
        if (identities_.empty() || !SameFromTwelfthByte(identities_.back(), identity)) {
            identities_.push_back(std::move(identity));
            entryAdded = true;
        }
        Bytes channelEntry = DescriptorSection(descriptor, validFrom);
        if (descriptors_.empty() || !SameFromTwelfthByte(descriptors_.back(), channelEntry)) {
            descriptors_.push_back(std::move(channelEntry));
            entryAdded = true;
        }
    }
    // Nothing new: the file would differ only in its keys, so it is left alone.
    if (!fresh && inserted == 0 && !entryAdded)
        return 0;
    Bytes file;
    if (!BuildFcd(name, identities_, descriptors_, merged, file))
        return kDataFormatError;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    std::size_t written = 0;
    return WriteWholeFile(path, false, file.data(), file.size(), written);
}

int64_t TArchive::NewestSampleTime(const std::string &dataFolder, int address, const std::string &channel) {
    auto months = ArchiveMonths(StationFolder(dataFolder, address), address, channel);
    std::sort(months.begin(), months.end(), std::greater<>());
    months.erase(std::unique(months.begin(), months.end()), months.end());
    for (const auto &[year, month] : months) {
        TimeStamp newest = 0;
        if (NewestInMonth(dataFolder, address, channel, year, month, newest) == 0)
            return newest;
    }
    return -1;
}

void EncodeSample(uint8_t *record, TimeStamp time, uint16_t interval, uint8_t type, const uint8_t *slot,
                  std::size_t size) {
    for (int i = 0; i < 4; ++i)
        record[i] = static_cast<uint8_t>(time >> (8 * i));
    record[4] = static_cast<uint8_t>(interval);
    record[5] = static_cast<uint8_t>(interval >> 8);
    record[6] = type;
    const std::size_t used = std::min(size, kSampleSlotSize);
    std::memcpy(record + kSampleSlotOffset, slot, used);
    for (std::size_t i = used; i < kSampleSlotSize; ++i)
        record[kSampleSlotOffset + i] = RandomDataByte();
}

} // namespace kiv
