#include "datafiles/sample_value.h"

#include "datafiles/real48.h"

#include <cstring>

namespace kiv {
namespace {

uint64_t LoadLe(const uint8_t *bytes, std::size_t count) {
    uint64_t v = 0;
    for (std::size_t i = count; i-- > 0;)
        v = (v << 8) | bytes[i];
    return v;
}

std::size_t CountThrough(const uint8_t *value, std::size_t room, uint8_t endByte) {
    for (std::size_t i = 0; i < room; ++i)
        if (value[i] == endByte)
            return i + 1;
    return room;
}

} // namespace

std::size_t ValueByteCount(uint8_t typeCode, const uint8_t *value, std::size_t room) {
    std::size_t count = room;
    switch (typeCode) {
    case VtInt8:
    case VtUInt8:
    case VtByte:
        count = 1;
        break;
    case VtInt16:
    case VtUInt16:
        count = 2;
        break;
    case VtInt32:
    case VtUInt32:
    case VtFloat32:
        count = 4;
        break;
    case VtReal48:
        count = 6;
        break;
    case VtFloat64:
        count = 8;
        break;
    case VtDigits:
        return CountThrough(value, room, 0xFF);
    case VtText:
        return CountThrough(value, room, 0x00);
    default:
        break;
    }
    return count < room ? count : room;
}

int ValueToDouble(uint8_t typeCode, const uint8_t *value, double &number) {
    number = 0.0;
    switch (typeCode) {
    case VtInt8:
        number = static_cast<int8_t>(value[0]);
        return 1;
    case VtInt16:
        number = static_cast<int16_t>(LoadLe(value, 2));
        return 1;
    case VtInt32:
        number = static_cast<int32_t>(LoadLe(value, 4));
        return 1;
    case VtUInt8:
        number = value[0];
        return 1;
    case VtUInt16:
        number = static_cast<uint16_t>(LoadLe(value, 2));
        return 1;
    case VtUInt32:
        number = static_cast<uint32_t>(LoadLe(value, 4));
        return 1;
    case VtFloat32: {
        const auto bits = static_cast<uint32_t>(LoadLe(value, 4));
        if ((bits & 0x7F800000u) == 0x7F800000u)
            return 0;
        float f;
        std::memcpy(&f, &bits, sizeof f);
        number = f;
        return 1;
    }
    case VtReal48:
        number = Real48ToDouble(value);
        return 1;
    case VtFloat64: {
        const uint64_t bits = LoadLe(value, 8);
        if ((bits & 0x7FF0000000000000ull) == 0x7FF0000000000000ull)
            return 0;
        std::memcpy(&number, &bits, sizeof number);
        return 1;
    }
    default:
        return 0;
    }
}

} // namespace kiv
