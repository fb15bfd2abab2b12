#pragma once
// Device profiles (.FCP files in the program folder) describe one kind of
// device: a header record (protocol version, profile number, five texts), the
// list of current-data groups and up to 1000 parameter items of 237 bytes.
// The program only reads them: the read-outs learn from the items what to
// request and how to store it, the current data view labels and decodes the
// packed current values with them (ValueOffset + ValueText), and the archive
// files copy each archived item into their descriptors. The writer exists for
// the profile compiler and for tests.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "datafiles/plik.h"
#include "datafiles/profile_item.h"

namespace kiv {

constexpr int kMaxProfileItems = 1000;
// Current-data parameter numbers travel in 16 bits; -1 means "no current value".
constexpr int32_t kNoParamNumber = -1;
constexpr int32_t kMaxParamNumber = 65535;

// The profile's header record.
struct TRecProfParams {
    uint8_t profileByte = 0;   // GazModem protocol version of the device, 1 or 2
    int32_t profileNumber = 0; // 0 when the profile does not carry one
    // 0: profile name; 1, 2, 3: expected make, type, serial number (empty: not
    // checked); 4: not used by the program. Bytes as stored.
    std::array<std::string, 5> texts;

    const std::string& Name() const { return texts[0]; }
    bool operator==(const TRecProfParams&) const = default;
};

// A current-data group entry is stored as name + "=" + caption.
[[nodiscard]] std::string GroupEntryName(const std::string& entry);
[[nodiscard]] std::string GroupEntryCaption(const std::string& entry);

// Size of a packed value of the type, validity byte included; for types 11
// and 12 up to and including the terminator found within `available` bytes.
// -1 for an unknown type, a value running past `available`, or an
// unterminated text.
[[nodiscard]] long PackedValueSize(uint8_t typeCode, const uint8_t* value, std::size_t available);

class TFCProfileRdWr {
public:
    // Number of items, or 0 when the file is shorter than 20 bytes, cannot be
    // read, its data area is not a whole number of items or holds more than
    // the 1000 a profile may have.
    [[nodiscard]] int ItemCount(const std::string& fileName);

    // Reads and validates a profile. An I/O failure shows its message; a file
    // that does not validate gives false without one. Items beyond `capacity`
    // are not copied. An item whose parameter number lies outside
    // -1..kMaxParamNumber is kept with kNoParamNumber: it has no current value.
    [[nodiscard]] bool ReadProfile(const std::string& fileName, TRecProfParams& params, int capacity,
                                   TParamItem* items, std::vector<std::string>& groups);
    // The same, taking every item.
    [[nodiscard]] bool ReadProfile(const std::string& fileName, TRecProfParams& params,
                                   std::vector<TParamItem>& items, std::vector<std::string>& groups);

    // Texts 1..4 of a profile; all four empty and false when it does not read.
    // Shows no message: the catalogue simply leaves such a file out.
    [[nodiscard]] bool ReadProfileTexts(const std::string& fileName, std::string& text1, std::string& text2,
                                        std::string& text3, std::string& text4);

    // File names (without folder) ending in ".FCP" in any case, folders
    // skipped, in name order.
    [[nodiscard]] static std::vector<std::string> ListProfiles(const std::string& folder);

    // Drops items with a negative parameter number, then orders the rest by
    // parameter number; returns the new count.
    [[nodiscard]] static int CompactItems(TParamItem* items, int count);
    // Drops items with neither an hourly nor a daily archive index.
    [[nodiscard]] static int DropUnreadItems(TParamItem* items, int count);

    // Offset of the value of the item with `paramNumber` inside packed values
    // laid out in item order, or -1 (not there, or the walk would leave the
    // `length` bytes of the buffer).
    [[nodiscard]] static long ValueOffset(const TParamItem* items, int count, const uint8_t* values,
                                          std::size_t length, int32_t paramNumber);
    // A packed value (validity byte first) as text; empty for an invalid value.
    // Type 12 text comes back as UTF-8.
    [[nodiscard]] static std::string ValueText(const uint8_t* value, std::size_t length, uint8_t typeCode);

    // Builds a complete profile file image with fresh keys; empty when the
    // item count is not 1..1000 or the texts and groups overflow the header.
    [[nodiscard]] Bytes BuildProfile(const TRecProfParams& params, const TParamItem* items, int count,
                                     const std::vector<std::string>& groups);
    // Writes a profile file; 0, a file error code, or -30 when BuildProfile fails.
    [[nodiscard]] int WriteProfile(const std::string& fileName, const TRecProfParams& params,
                                   const TParamItem* items, int count, const std::vector<std::string>& groups);

    // Keys of the profile last read or built.
    ScrambleKey key1{};
    ScrambleKey key2{};

private:
    bool Load(const std::string& fileName, bool showErrors, Bytes& image, TRecProfParams& params,
              std::vector<std::string>& groups, std::size_t& dataOffset, int& itemCount);
    bool Parse(Bytes& image, TRecProfParams& params, std::vector<std::string>& groups, std::size_t& dataOffset,
               int& itemCount);
};

} // namespace kiv
