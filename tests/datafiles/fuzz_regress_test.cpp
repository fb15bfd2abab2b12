// Every kept finding of the fuzzers, tests/data/fuzz/<target>/<input>, run
// through its target's body: each input once crashed a parser or broke one
// of its promises (a stored file it then refused), so each must pass now.
#include "harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kiv::fuzz {
namespace {

namespace fs = std::filesystem;

const fs::path kFindings = fs::path(KIV_TEST_DATA_DIR) / "fuzz";

std::vector<TFuzzTarget> TargetsWithFindings() {
    std::vector<TFuzzTarget> kept;
    for (const TFuzzTarget& target : Targets())
        if (fs::is_directory(kFindings / target.name)) kept.push_back(target);
    return kept;
}

class FuzzRegress : public ::testing::TestWithParam<TFuzzTarget> {};

TEST_P(FuzzRegress, KeptInputsPass) {
    const TFuzzTarget& target = GetParam();
    for (const auto& entry : fs::directory_iterator(kFindings / target.name)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_EQ(target.run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0) << entry.path();
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzRegress, ::testing::ValuesIn(TargetsWithFindings()),
                         [](const auto& info) { return std::string(info.param.name); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FuzzRegress);

} // namespace
} // namespace kiv::fuzz
