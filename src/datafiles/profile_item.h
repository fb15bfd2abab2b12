#pragma once
// One parameter item of a device profile: 237 bytes exactly as the profile
// file stores them (after unscrambling). The archive files copy these bytes
// into their descriptors, the read-out and the current data view read them.
// All access goes through the named accessors below so that no caller ever
// indexes raw offsets; strings are a length byte followed by the characters,
// and a stored length beyond the field's room is cut to the room.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace kiv {

struct TParamItem {
    static constexpr std::size_t kSize = 237;

    // Field offsets and, for strings, the room for characters.
    struct Field {
        std::size_t offset;
        std::size_t room; // characters (strings only)
    };
    static constexpr std::size_t kColumnIndex = 0;
    static constexpr Field kShortName{4, 20};
    static constexpr Field kFullName{25, 80};
    static constexpr Field kUnit{106, 20};
    static constexpr Field kGroupName{127, 11};
    static constexpr std::size_t kParamNumber = 139;
    static constexpr std::size_t kTypeCode = 143;
    static constexpr std::size_t kHourIndex = 144;
    static constexpr std::size_t kHourTypeCode = 148;
    static constexpr std::size_t kDayIndex = 149;
    static constexpr std::size_t kDayTypeCode = 153;
    static constexpr std::size_t kCondFirst = 154;
    static constexpr std::size_t kCondSecond = 158;
    static constexpr Field kKind{162, 10};
    static constexpr Field kPairedName{173, 10};
    static constexpr Field kGraphTitle{184, 10};
    static constexpr Field kFlowName{195, 10};
    static constexpr Field kFlowUnit{206, 10};
    static constexpr std::size_t kThreshold = 217;
    static constexpr std::size_t kFactorBelow = 221;
    static constexpr std::size_t kFactorAbove = 229;

    std::array<uint8_t, kSize> raw{};

    TParamItem() = default;
    // From 237 stored bytes.
    explicit TParamItem(const uint8_t* bytes) { std::memcpy(raw.data(), bytes, kSize); }

    // Position of the parameter in the station's parameter list.
    int32_t ColumnIndex() const { return GetI32(kColumnIndex); }
    void SetColumnIndex(int32_t v) { PutI32(kColumnIndex, v); }
    // Short name (e.g. dVn); archive files of the parameter carry it in their name.
    std::string ShortName() const { return GetStr(kShortName); }
    void SetShortName(std::string_view v) { PutStr(kShortName, v); }
    std::string FullName() const { return GetStr(kFullName); }
    void SetFullName(std::string_view v) { PutStr(kFullName, v); }
    std::string Unit() const { return GetStr(kUnit); }
    void SetUnit(std::string_view v) { PutStr(kUnit, v); }
    // The current-data group (a group name of the profile) the item is shown under.
    std::string GroupName() const { return GetStr(kGroupName); }
    void SetGroupName(std::string_view v) { PutStr(kGroupName, v); }
    // Order of the value in the current data; negative: no current value.
    int32_t ParamNumber() const { return GetI32(kParamNumber); }
    void SetParamNumber(int32_t v) { PutI32(kParamNumber, v); }
    // Value type code (1..12) of the current value.
    uint8_t TypeCode() const { return raw[kTypeCode]; }
    void SetTypeCode(uint8_t v) { raw[kTypeCode] = v; }
    // Hourly-archive index in the device; negative: none.
    int32_t HourIndex() const { return GetI32(kHourIndex); }
    void SetHourIndex(int32_t v) { PutI32(kHourIndex, v); }
    uint8_t HourTypeCode() const { return raw[kHourTypeCode]; }
    void SetHourTypeCode(uint8_t v) { raw[kHourTypeCode] = v; }
    // Daily-archive index in the device; negative: none.
    int32_t DayIndex() const { return GetI32(kDayIndex); }
    void SetDayIndex(int32_t v) { PutI32(kDayIndex, v); }
    uint8_t DayTypeCode() const { return raw[kDayTypeCode]; }
    void SetDayTypeCode(uint8_t v) { raw[kDayTypeCode] = v; }
    // The device keeps an hourly or a daily archive of the parameter.
    bool HasArchive() const { return HourIndex() >= 0 || DayIndex() >= 0; }
    // Condition pair: two parameter numbers; negative: none.
    int32_t CondFirst() const { return GetI32(kCondFirst); }
    void SetCondFirst(int32_t v) { PutI32(kCondFirst, v); }
    int32_t CondSecond() const { return GetI32(kCondSecond); }
    void SetCondSecond(int32_t v) { PutI32(kCondSecond, v); }
    // "V" counter, "dV" increment, "m" measured value.
    std::string Kind() const { return GetStr(kKind); }
    void SetKind(std::string_view v) { PutStr(kKind, v); }
    std::string PairedName() const { return GetStr(kPairedName); }
    void SetPairedName(std::string_view v) { PutStr(kPairedName, v); }
    std::string GraphTitle() const { return GetStr(kGraphTitle); }
    void SetGraphTitle(std::string_view v) { PutStr(kGraphTitle, v); }
    std::string FlowName() const { return GetStr(kFlowName); }
    void SetFlowName(std::string_view v) { PutStr(kFlowName, v); }
    std::string FlowUnit() const { return GetStr(kFlowUnit); }
    void SetFlowUnit(std::string_view v) { PutStr(kFlowUnit, v); }
    // Scaling: below the threshold values are multiplied by FactorBelow,
    // at or above it by FactorAbove.
    float Threshold() const { return GetF32(kThreshold); }
    void SetThreshold(float v) { PutF32(kThreshold, v); }
    float FactorBelow() const { return GetF32(kFactorBelow); }
    void SetFactorBelow(float v) { PutF32(kFactorBelow, v); }
    float FactorAbove() const { return GetF32(kFactorAbove); }
    void SetFactorAbove(float v) { PutF32(kFactorAbove, v); }

    bool operator==(const TParamItem&) const = default;

private:
    int32_t GetI32(std::size_t at) const {
        uint32_t u = uint32_t(raw[at]) | uint32_t(raw[at + 1]) << 8 | uint32_t(raw[at + 2]) << 16 |
                     uint32_t(raw[at + 3]) << 24;
        return static_cast<int32_t>(u);
    }
    void PutI32(std::size_t at, int32_t v) {
        const auto u = static_cast<uint32_t>(v);
        for (std::size_t i = 0; i < 4; ++i) raw[at + i] = static_cast<uint8_t>(u >> (8 * i));
    }
    float GetF32(std::size_t at) const {
        const auto u = static_cast<uint32_t>(GetI32(at));
        float f;
        std::memcpy(&f, &u, sizeof f);
        return f;
    }
    void PutF32(std::size_t at, float f) {
        uint32_t u;
        std::memcpy(&u, &f, sizeof u);
        PutI32(at, static_cast<int32_t>(u));
    }
    std::string GetStr(Field f) const {
        const std::size_t len = raw[f.offset] < f.room ? raw[f.offset] : f.room;
        return std::string(reinterpret_cast<const char*>(raw.data() + f.offset + 1), len);
    }
    // Longer texts are cut to the room; the rest of the field is zeroed.
    void PutStr(Field f, std::string_view v) {
        const std::size_t len = v.size() < f.room ? v.size() : f.room;
        std::memset(raw.data() + f.offset, 0, f.room + 1);
        raw[f.offset] = static_cast<uint8_t>(len);
        std::memcpy(raw.data() + f.offset + 1, v.data(), len);
    }
};

static_assert(sizeof(TParamItem) == TParamItem::kSize);

} // namespace kiv
