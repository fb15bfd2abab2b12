#pragma once
// Shared helpers of the profile and current data tests.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/param_item.h"
#include "common/temp_folder.h"
#include "datafiles/plik.h"
#include "datafiles/profile.h"

namespace kiv::test {

inline void WriteRaw(const std::string& name, const Bytes& content) {
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
}

inline Bytes ReadRaw(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace kiv::test
