// Virtual stations defined as the definition window defines them, then used
// through kiv-cli as a user runs it from the folder of Kiv.ini: the formula
// 12-20 saved as +00012-00020 with its capacity, tariff set and a fifth
// field kept, that sum in the daily report hour by hour, a one-member
// virtual station -00012 reported as station 12 itself, and the capacity
// the capacity window stores in the period report, beside the sum's graph.
#include "capacity/ordered_capacity.h"
#include "capacity/virtual_definition.h"
#include "cli_run.h"
#include "config/program_settings.h"
#include "config/virtual_stations.h"
#include "reports/archive_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kiv {
namespace {

using test::At;
using test::RunCli;

class CliVirtualTest : public ::testing::Test {
protected:
    // Hourly dVn over the gas day of 10 May 2024 (-2 h): station 12 gives
    // 100 + the hour's number, station 20 gives 10 each hour.
    void SetUp() override {
        std::filesystem::current_path(temp_.path);
        std::filesystem::create_directories(data_);
        CreateStation(data_, 12, "Kotłownia");
        CreateStation(data_, 20, "Łaźnia");
        for (const int address : {12, 20}) {
            std::vector<test::TSampleSpec> samples;
            for (int h = 1; h <= 24; ++h)
                samples.push_back({At(2024, 5, 9, 22) + static_cast<TimeStamp>(h) * 3600,
                                   address == 12 ? 100.0f + static_cast<float>(h) : 10.0f, 60});
            test::StoreSamples(data_, address, test::ChannelItem("dVn"), samples);
        }
        std::ofstream(kivIni_) << "[" << VirtualSectionName(data_) << "]\nSum1=Bilans@12-20@150@Taryfa A@x\n"
                               << "Sum2=Jeden@-12@0\n";
        TStationDb stations;
        stations.Build(data_);
        for (const std::string label : {"Bilans", "Jeden"}) {
            const TSumRec sum = LookupSum(kivIni_, data_, label);
            const TMemberLists members = MembersOf(CleanFormula(sum.formula), stations);
            ASSERT_EQ(SaveDefinition({kivIni_, data_, sum.number, label, label, members}).result,
                      DefinitionSave::Saved);
        }
    }
    test::Outcome Daily(const std::string& key) { return RunCli({"report", "daily", data_, key, "2024-05-10"}, temp_); }

    test::TempFolder temp_{"kiv-cli-virtual"};
    std::string data_ = temp_.Folder() + "dane/";
    std::string kivIni_ = temp_.File("Kiv.ini");
};

// The report's lines after its title.
std::string Body(const std::string& out) { return out.substr(out.find('\n') + 1); }

// The last line of the output: the period report's summary.
std::string LastLine(const std::string& out) {
    const std::size_t end = out.find_last_not_of('\n');
    return out.substr(out.rfind('\n', end) + 1, end - out.rfind('\n', end));
}

TEST_F(CliVirtualTest, DefinedStationsShowInTheDailyReport) {
    EXPECT_EQ(ReadSumEntries(kivIni_, data_),
              (std::vector<std::string>{"Bilans@+00012-00020@150@Taryfa A@x", "Jeden@-00012@0"}));
    const test::Outcome station = Daily("00012");
    const test::Outcome sum = Daily("Bilans");
    const test::Outcome single = Daily("Jeden");
    ASSERT_EQ(sum.code, 0) << sum.err;
    ASSERT_EQ(single.code, 0) << single.err;
    EXPECT_EQ(test::FirstLine(sum.out), "Stacja nr:+00012-00020. Raport dobowy Bilans");
    std::istringstream lines(Body(sum.out));
    std::string line;
    std::getline(lines, line); // the column names
    for (int h = 1; h <= 24; ++h) {
        std::getline(lines, line);
        const std::size_t tab = line.find('\t');
        EXPECT_EQ(line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1), std::to_string(90 + h) + ".00") << line;
    }
    ASSERT_EQ(station.code, 0) << station.err;
    EXPECT_EQ(single.out, station.out);
}

// The capacity stored as the capacity window stores it is the one the
// period report compares the hours with: 14 hours of 101 to 114 m3 exceed 100.
TEST_F(CliVirtualTest, DefinedStationsShowInThePeriodReportAndTheGraph) {
    const TCapacitySubject bilans{"Bilans", data_, true, kivIni_};
    ASSERT_EQ(StoreCapacity(bilans, ReadCapacity(bilans), "100"), CapacityStore::Stored);
    EXPECT_EQ(ReadSumEntry(kivIni_, data_, 1), "Bilans@+00012-00020@100@Taryfa A@x");
    const test::Outcome period = RunCli({"report", "period", data_, "Bilans", "2024-05-10", "2024-05-10"}, temp_);
    ASSERT_EQ(period.code, 0) << period.err;
    // The fixed columns of a sum, not a device's.
    EXPECT_EQ(test::FirstLine(period.out), "Data\tVn\tVnd\tdVnhmin\tdVnhmax\tVr\tVrd\tdVrhmin\tdVrhmax");
    EXPECT_EQ(LastLine(period.out), "2460\t*\t0\t100\t114\t2024.05.10/21\t14");
    // "dane", relative to the working folder, finds the section written under the absolute path.
    EXPECT_EQ(RunCli({"report", "period", "dane", "Bilans", "2024-05-10", "2024-05-10"}, temp_).out, period.out);
    const test::Outcome graph =
        RunCli({"graph", data_, "Bilans", "2024-05-10", "2024-05-10", "--png", temp_.File("sum.png")}, temp_);
    ASSERT_EQ(graph.code, 0) << graph.err;
    EXPECT_EQ(test::FirstLine(graph.out).rfind("Stacja nr:+00012-00020. Wykres Qn za okres:10.05.2024 - 10.05.2024", 0),
              0u)
        << graph.out;
}

} // namespace
} // namespace kiv
