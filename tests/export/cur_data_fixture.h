#pragma once
// A station with current data and a profile in a temporary program folder:
// four current values (Vn0 1234, pressure, Vn1 56, a temperature marked
// invalid) in two groups, listed in the profile out of parameter order and
// behind an item without a current value, so that positions after
// compacting differ from positions in the file.
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "datafiles/fcc.h"
#include "common/param_item.h"
#include "common/temp_folder.h"
#include "datafiles/profile.h"
#include "support/helpers.h"

namespace kiv::test {

struct CurDataFolder {
    TempFolder folder{"kiv-curdata"};
    std::filesystem::path root = folder.path;
    std::string data;
    std::string program;
    static constexpr int kAddress = 12;

    CurDataFolder() {
        data = (root / "dane").string() + "/";
        program = (root / "program").string() + "/";
        std::filesystem::create_directories(data);
        std::filesystem::create_directories(program);
        SetProgramFolder(program);
    }

    static TParamItem Item(const char* name, const char* unit, const char* group, int32_t number, uint8_t type) {
        return test::MakeItem({.shortName = name,
                               .param = number,
                               .type = type,
                               .fullName = std::string("Parametr ") + name,
                               .unit = unit,
                               .group = group});
    }

    bool WriteProfile(const std::string& file = "KM100.FCP", const std::string& name = "KM-100") const {
        const std::vector<TParamItem> items{
            Item("Stan", "", "LICZ", -1, 4),     Item("t", "°C", "LICZ", 4, 7), Item("Vn1", "m3", "LICZ", 3, 5),
            Item("p", "bar", "POM", 2, 7),       Item("Vn0", "m3", "LICZ", 1, 6),
        };
        TRecProfParams params;
        params.profileByte = 1;
        params.texts = {name, "Common", "KM", "", ""};
        TFCProfileRdWr writer;
        return writer.WriteProfile(program + file, params, items.data(), static_cast<int>(items.size()),
                                   {"LICZ=Liczniki", "POM=Pomiary"}) == 0;
    }

    static std::vector<uint8_t> Values(uint32_t vn0 = 1234, uint16_t vn1 = 56) {
        std::vector<uint8_t> v;
        auto put = [&v](uint8_t valid, const void* bytes, std::size_t size) {
            v.push_back(valid);
            const auto* b = static_cast<const uint8_t*>(bytes);
            v.insert(v.end(), b, b + size);
        };
        const float pressure = 1.5f;
        const float temperature = 21.0f;
        put(1, &vn0, 4);
        put(1, &pressure, 4);
        put(1, &vn1, 2);
        put(0, &temperature, 4);
        return v;
    }

    bool WriteFcc(const std::string& profileName = "KM-100", const std::vector<uint8_t>& values = Values()) const {
        TFileFCC fcc;
        return fcc.WriteCurrentData(data, kAddress, values.size(), values.data(), kTime, profileName,
                                    {"Common", "KM", "123", "", "", "v1"}) == 0;
    }

    static constexpr TimeStamp kTime = 1'700'000'000u - 1'700'000'000u % 86400u + 3723u; // 01:02:03
};

} // namespace kiv::test
