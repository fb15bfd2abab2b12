#pragma once
// The container every binary data file of a station shares (archive FCD,
// current data FCC, events FCE, device profile FCP): a 19-byte header, a table
// of typed sections, then a data area. Payloads are scrambled with ten-byte
// XOR keys the file carries; a CRC-32 guards the file. TPlik reads and writes
// such files whole; the file kinds build their layouts on top of it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kiv {

using Bytes = std::vector<uint8_t>;

constexpr std::size_t kHeaderSize = 19;
constexpr std::size_t kSectionHeadSize = 6;
constexpr std::size_t kKeySize = 10;
using ScrambleKey = uint8_t[kKeySize];
// A section length is 16 bits wide and counts its own six head bytes.
constexpr std::size_t kMaxSectionPayload = 0xFFFF - kSectionHeadSize;
constexpr std::size_t kNoSection = static_cast<std::size_t>(-1);

// The 19-byte container header, little-endian on disk.
struct TFileHeader {
    char magic[5] = {};
    uint16_t version = 1;
    uint16_t headerLength = kHeaderSize; // offset of the data area
    uint16_t recordLength = 0;
    uint32_t fileLength = 0;
    uint32_t crc = 0;
};

// Little-endian field access on a file image; reads outside the image give 0.
uint16_t GetU16(const Bytes& image, std::size_t offset);
uint32_t GetU32(const Bytes& image, std::size_t offset);
int32_t GetI32(const Bytes& image, std::size_t offset);
void PutU16(Bytes& image, std::size_t offset, uint16_t value);
void PutU32(Bytes& image, std::size_t offset, uint32_t value);
void AppendU16(Bytes& image, uint16_t value);
void AppendU32(Bytes& image, uint32_t value);

// Header of an image; false when the image is shorter than 19 bytes.
bool ReadHeader(const Bytes& image, TFileHeader& header);
void WriteHeader(Bytes& image, const TFileHeader& header); // image must hold 19 bytes

// Appends a section (length, identifier, payload) and returns its offset;
// a payload longer than kMaxSectionPayload is refused with kNoSection.
std::size_t AppendSection(Bytes& image, int32_t identifier, const uint8_t* payload, std::size_t size);

// Offset of the first section with the identifier at or after max(19, from),
// or -1. The walk follows stored section lengths and ends with -1 on a length
// below 6 or one running past the header length or the image.
[[nodiscard]] long FindSection(const Bytes& image, std::size_t from, int32_t identifier);
// The payload of the section at an offset FindSection gave, unscrambled with
// key unless key is null.
[[nodiscard]] Bytes SectionPayload(const Bytes& image, long offset, const uint8_t* key);
// The payload of the first section with the identifier, as SectionPayload
// gives it; false when the image has no such section.
[[nodiscard]] bool FindSectionPayload(const Bytes& image, int32_t identifier, const uint8_t* key, Bytes& payload);

// The non-inverted CRC-32 of the file check ("abc" gives 0xCA6598D0).
[[nodiscard]] uint32_t Crc32(const uint8_t* bytes, std::size_t count);
// Continues a CRC-32 over further bytes: Crc32Update(Crc32(a), b) == Crc32(a + b).
[[nodiscard]] uint32_t Crc32Update(uint32_t crc, const uint8_t* bytes, std::size_t count);
// CRC-16/XMODEM of the link layer ("abc" gives 0x9DD6).
[[nodiscard]] uint16_t Crc16(const uint8_t* bytes, std::size_t count);
// XOR of byte i with key[i % 10]; the same call scrambles and unscrambles.
void Scramble(uint8_t* bytes, std::size_t count, const uint8_t* key);
// Ten random key bytes, each 0..254.
void NewScrambleKey(uint8_t* key);
// One byte 0..254 from the random source of the keys and of the unused bytes
// of archive sample slots.
[[nodiscard]] uint8_t RandomDataByte();
// Restarts that source from a seed, so that written files come out byte for
// byte the same (tests, the demo generator). Without it the source starts
// from the system's entropy.
void SeedDataRandom(uint32_t seed);

// Why the image of a file whose CRC covers bytes 19 onwards as stored (current
// data, events) fails its container check: -10 another kind or version, -200
// a length other than the file's, -100 a wrong CRC; 0 when it passes.
[[nodiscard]] int StoredImageFault(const Bytes& image, const char* magic);

// The message of a file error code, with " (" + code + ")" appended.
[[nodiscard]] std::string FileErrorMessage(int code);
// Shows FileErrorMessage(code) as an error box without a caption of its own.
void ShowFileError(int code);

class TPlik {
public:
    // Whole-file read of the remainder after startOffset, at most maxCount
    // bytes (0: no limit). 0 success, 2 not found, -2 start at or past the end
    // (an empty file), else the file error code.
    [[nodiscard]] int ReadWholeFile(const std::string& name, std::size_t startOffset, Bytes& buffer,
                                    std::size_t maxCount = 0);
    // Writes count bytes; append adds to the end, otherwise the file is
    // replaced through a temporary file and a rename. 0 or a file error code.
    [[nodiscard]] int WriteWholeFile(const std::string& name, bool append, const uint8_t* buffer,
                                     std::size_t count, std::size_t& written);
    [[nodiscard]] static long FileSize(const std::string& name);
    [[nodiscard]] static bool FileHasData(const std::string& name);
};

} // namespace kiv
