#include "plik.h"

#include "crc_clmul.h"

#include "support/file_replace.h"
#include "support/messages.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace kiv {

// ---- little-endian fields ----

uint16_t GetU16(const Bytes& image, std::size_t offset) {
    if (offset > image.size() || image.size() - offset < 2) return 0;
    return static_cast<uint16_t>(image[offset] | (image[offset + 1] << 8));
}

uint32_t GetU32(const Bytes& image, std::size_t offset) {
    if (offset > image.size() || image.size() - offset < 4) return 0;
    return static_cast<uint32_t>(image[offset]) | (static_cast<uint32_t>(image[offset + 1]) << 8) |
           (static_cast<uint32_t>(image[offset + 2]) << 16) | (static_cast<uint32_t>(image[offset + 3]) << 24);
}

int32_t GetI32(const Bytes& image, std::size_t offset) { return static_cast<int32_t>(GetU32(image, offset)); }

void PutU16(Bytes& image, std::size_t offset, uint16_t value) {
    if (image.size() < offset + 2) image.resize(offset + 2);
    image[offset] = static_cast<uint8_t>(value);
    image[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void PutU32(Bytes& image, std::size_t offset, uint32_t value) {
    if (image.size() < offset + 4) image.resize(offset + 4);
    for (int i = 0; i < 4; ++i) image[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

void AppendU16(Bytes& image, uint16_t value) { PutU16(image, image.size(), value); }
void AppendU32(Bytes& image, uint32_t value) { PutU32(image, image.size(), value); }

// ---- header and sections ----

bool ReadHeader(const Bytes& image, TFileHeader& header) {
    if (image.size() < kHeaderSize) return false;
    std::memcpy(header.magic, image.data(), sizeof header.magic);
    header.version = GetU16(image, 5);
    header.headerLength = GetU16(image, 7);
    header.recordLength = GetU16(image, 9);
    header.fileLength = GetU32(image, 11);
    header.crc = GetU32(image, 15);
    return true;
}

void WriteHeader(Bytes& image, const TFileHeader& header) {
    if (image.size() < kHeaderSize) image.resize(kHeaderSize);
    std::memcpy(image.data(), header.magic, sizeof header.magic);
    PutU16(image, 5, header.version);
    PutU16(image, 7, header.headerLength);
    PutU16(image, 9, header.recordLength);
    PutU32(image, 11, header.fileLength);
    PutU32(image, 15, header.crc);
}

std::size_t AppendSection(Bytes& image, int32_t identifier, const uint8_t* payload, std::size_t size) {
    if (size > kMaxSectionPayload) return kNoSection;
    const std::size_t offset = image.size();
    AppendU16(image, static_cast<uint16_t>(kSectionHeadSize + size));
    AppendU32(image, static_cast<uint32_t>(identifier));
    if (size > 0) image.insert(image.end(), payload, payload + size);
    return offset;
}

long FindSection(const Bytes& image, std::size_t from, int32_t identifier) {
    if (image.size() < kHeaderSize) return -1;
    const std::size_t headerLength = GetU16(image, 7);
    const std::size_t limit = std::min(headerLength, image.size());
    std::size_t pos = std::max(kHeaderSize, from);
    // Every step moves forward by at least six bytes and stays inside the
    // limit, so a damaged table ends the walk instead of looping or overrunning.
    while (pos < headerLength) {
        if (pos + kSectionHeadSize > limit) return -1;
        const std::size_t length = GetU16(image, pos);
        if (length < kSectionHeadSize || pos + length > limit) return -1;
        if (GetI32(image, pos + 2) == identifier) return static_cast<long>(pos);
        pos += length;
    }
    return -1;
}

Bytes SectionPayload(const Bytes& image, long offset, const uint8_t* key) {
    const auto at = static_cast<std::size_t>(offset);
    const std::size_t length = GetU16(image, at);
    Bytes payload(image.begin() + static_cast<long>(at + kSectionHeadSize), image.begin() + static_cast<long>(at + length));
    if (key != nullptr) Scramble(payload.data(), payload.size(), key);
    return payload;
}

bool FindSectionPayload(const Bytes& image, int32_t identifier, const uint8_t* key, Bytes& payload) {
    const long offset = FindSection(image, 0, identifier);
    if (offset < 0) return false;
    payload = SectionPayload(image, offset, key);
    return true;
}

// ---- checks and scrambling ----

namespace {

// Slicing-by-8 tables: row 0 is the classic byte table, row k advances a byte
// through k further zero bytes, so eight input bytes fold in per step.
using Crc32Tables = std::array<std::array<uint32_t, 256>, 8>;

constexpr Crc32Tables MakeCrc32Tables() {
    Crc32Tables t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1u) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        t[0][i] = c;
    }
    for (std::size_t row = 1; row < 8; ++row)
        for (std::size_t i = 0; i < 256; ++i) t[row][i] = (t[row - 1][i] >> 8) ^ t[0][t[row - 1][i] & 0xFFu];
    return t;
}

constexpr Crc32Tables kCrc32 = MakeCrc32Tables();
static_assert(kCrc32[0][1] == 0x77073096u && kCrc32[0][128] == 0xEDB88320u);

constexpr std::array<uint16_t, 256> MakeCrc16Table() {
    std::array<uint16_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i << 8;
        for (int k = 0; k < 8; ++k) c = (c & 0x8000u) ? (c << 1) ^ 0x1021u : c << 1;
        t[i] = static_cast<uint16_t>(c);
    }
    return t;
}

constexpr std::array<uint16_t, 256> kCrc16 = MakeCrc16Table();

uint32_t LoadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

} // namespace

uint32_t Crc32Update(uint32_t crc, const uint8_t* bytes, std::size_t count) {
    const std::size_t folded = detail::ClmulCrc32Fold(crc, bytes, count);
    bytes += folded;
    count -= folded;
    while (count >= 8) {
        const uint32_t lo = LoadLe32(bytes) ^ crc;
        const uint32_t hi = LoadLe32(bytes + 4);
        crc = kCrc32[7][lo & 0xFF] ^ kCrc32[6][(lo >> 8) & 0xFF] ^ kCrc32[5][(lo >> 16) & 0xFF] ^
              kCrc32[4][lo >> 24] ^ kCrc32[3][hi & 0xFF] ^ kCrc32[2][(hi >> 8) & 0xFF] ^
              kCrc32[1][(hi >> 16) & 0xFF] ^ kCrc32[0][hi >> 24];
        bytes += 8;
        count -= 8;
    }
    while (count-- > 0) crc = kCrc32[0][(crc ^ *bytes++) & 0xFF] ^ (crc >> 8);
    return crc;
}

uint32_t Crc32(const uint8_t* bytes, std::size_t count) { return Crc32Update(0, bytes, count); }

uint16_t Crc16(const uint8_t* bytes, std::size_t count) {
    uint16_t crc = 0;
    for (std::size_t i = 0; i < count; ++i)
        crc = static_cast<uint16_t>(kCrc16[((crc >> 8) ^ bytes[i]) & 0xFF] ^ (crc << 8));
    return crc;
}

void Scramble(uint8_t* bytes, std::size_t count, const uint8_t* key) {
    for (std::size_t i = 0; i < count; ++i) bytes[i] ^= key[i % kKeySize];
}

namespace {

std::mt19937& DataRandom() {
    static std::mt19937 generator{std::random_device{}()};
    return generator;
}

} // namespace

// The generator's output is fixed by the standard and the reduction is plain
// arithmetic, so a seed gives the same bytes with every standard library.
uint8_t RandomDataByte() { return static_cast<uint8_t>(DataRandom()() % 255u); }

void SeedDataRandom(uint32_t seed) { DataRandom().seed(seed); }

void NewScrambleKey(uint8_t* key) {
    for (std::size_t i = 0; i < kKeySize; ++i) key[i] = RandomDataByte();
}

// ---- error messages ----

namespace {

const char* FileErrorText(int code) {
    switch (code) {
    case 2:
    case 18:
    case -1: return "Nie znaleziono pliku";
    case 3: return "Nie znaleziono ścieżki";
    case 4: return "Za dużo otwartych plików";
    case 5: return "Zabroniony dostęp do pliku";
    case 6: return "Błędna operacja na plikach";
    case 12: return "Niewłaściwy dostęp";
    case 15: return "Błędne oznaczenie napędu";
    case 16: return "Niewykonalne usunięcie folderu";
    case 17: return "Niewykonalne przemianowanie pliku";
    case 19: return "Plik zabezpieczony przed zapisem";
    case 21: return "Dysk niegotowy do operacji";
    case 25:
    case -2: return "Błędna pozycja w pliku";
    case 29:
    case 101: return "Błąd zapisu";
    case 30:
    case 100: return "Błąd odczytu";
    case 32: return "Plik jest już otwarty, niemożliwy wspólny dostęp";
    case 33: return "Zablokowany dostęp do pliku";
    case 34: return "Błąd dysku";
    case 39: return "Dysk jest pełny";
    case -10: return "Nieprawidłowy format nagłówka";
    case -30: return "Błąd interpretacji danych w pliku";
    case -100: return "Nieprawidłowa suma kontrolna pliku";
    case -200: return "Nieprawidłowy rozmiar pliku";
    default: return "Błąd wejścia/wyjścia";
    }
}

} // namespace

int StoredImageFault(const Bytes& image, const char* magic) {
    TFileHeader header;
    if (!ReadHeader(image, header) || std::memcmp(header.magic, magic, sizeof header.magic) != 0 || header.version != 1)
        return -10;
    if (header.fileLength != image.size()) return -200;
    if (header.crc != Crc32(image.data() + kHeaderSize, image.size() - kHeaderSize)) return -100;
    return 0;
}

std::string FileErrorMessage(int code) { return std::string(FileErrorText(code)) + " (" + std::to_string(code) + ")"; }

void ShowFileError(int code) { MessageDlg("", FileErrorMessage(code), MsgError, BtnOk); }

// ---- whole-file read and write ----

namespace {

// Closes the descriptor on every way out of a call.
class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    // Closes now and reports the close failure a delayed write error shows up as.
    int Close() {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0 ? 0 : errno;
    }

private:
    int fd_;
};

int AppendToFile(const std::string& name, const uint8_t* buffer, std::size_t count, std::size_t& written) {
    written = 0;
    FileHandle file(::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
    if (!file.ok()) return FileErrorCode(errno);
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) return FileErrorCode(errno);
    int err = kiv::WriteAll(file.get(), buffer, count, &written);
    // A half-written record would read back as garbage: cut the file back to
    // what it held before the failed append.
    if (err != 0 && ::ftruncate(file.get(), st.st_size) == 0) written = 0;
    const int closeErr = file.Close();
    if (err == 0) err = closeErr;
    return FileErrorCode(err);
}

} // namespace

int TPlik::ReadWholeFile(const std::string& name, std::size_t startOffset, Bytes& buffer, std::size_t maxCount) {
    buffer.clear();
    FileHandle file(::open(name.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.ok()) return FileErrorCode(errno);
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) return FileErrorCode(errno);
    if (S_ISDIR(st.st_mode)) return FileErrorCode(EISDIR);
    const auto size = static_cast<std::size_t>(st.st_size);
    if (startOffset >= size) return -2;
    std::size_t count = size - startOffset;
    if (maxCount > 0) count = std::min(count, maxCount);
    buffer.resize(count);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(file.get(), buffer.data() + done, count - done,
                                  static_cast<off_t>(startOffset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int err = n < 0 ? FileErrorCode(errno) : 100; // 100: the file ended early
            buffer.clear();
            return err;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int TPlik::WriteWholeFile(const std::string& name, bool append, const uint8_t* buffer, std::size_t count,
                          std::size_t& written) {
    if (append) return AppendToFile(name, buffer, count, written);
    written = 0;
    const int err = ReplaceFile(name, buffer, count);
    if (err == 0) written = count;
    return err;
}

long TPlik::FileSize(const std::string& name) {
    FileHandle file(::open(name.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.ok()) return -1;
    struct stat st {};
    if (::fstat(file.get(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
    return static_cast<long>(st.st_size);
}

bool TPlik::FileHasData(const std::string& name) { return FileSize(name) > 0; }

} // namespace kiv
