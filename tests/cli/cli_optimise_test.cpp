// kiv-cli optimise on the optimisation's data folder: station 12 with its
// remembered tariff set, without one, over months without data; the virtual
// station "Suma" of station 12 alone, which is that station; and the calls it
// refuses.
#include "capacity/optimise_fixture.h"
#include "cli_run.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace kiv {
namespace {

using test::FirstLine;
using test::Outcome;
using test::RunCli;

class CliOptimise : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new test::TempFolder("kiv-cli-optimise");
        test::BuildOptimiseFolder(Data(), dir_->File("Kiv.ini"));
        std::filesystem::current_path(dir_->path);
        ::setenv("LC_ALL", "C", 1); // the system's decimal separator: "."
    }
    static void TearDownTestSuite() { delete dir_; }
    static std::string Data() { return dir_->Folder() + "data/"; }
    static Outcome Run(const std::string &key, std::vector<std::string> more) {
        std::vector<std::string> args{"optimise", Data(), key,       "--from", "2024-03",
                                      "--months", "2",    "--shift", "0"};
        args.insert(args.end(), more.begin(), more.end());
        return RunCli(args, *dir_);
    }

    static test::TempFolder *dir_;
};

test::TempFolder *CliOptimise::dir_ = nullptr;

TEST_F(CliOptimise, StationWithItsTariffAndVirtualStation) {
    const std::string head = "03/2024\t744\t60\n04/2024\t720\t40\nwinter\t7440\nsummer\t7200\n";
    const Outcome priced = Run("12", {});
    EXPECT_EQ(priced.code, 0) << priced.err;
    EXPECT_EQ(priced.out, head + "status\tOK\n"
                                 "bounds\t27\t80\t3\n"
                                 "49\t100.27\t76.5292\n"
                                 "51\t100.22\t76.4883\n"
                                 "53\t100.16\t76.4473\n"
                                 "55\t100.11\t76.4063\n"
                                 "57\t100.05\t76.3653\n"
                                 "59\t100.00\t76.3243\n"
                                 "61\t101.64\t77.5538\n"
                                 "63\t104.97\t80.0538\n"
                                 "65\t108.30\t82.5538\n"
                                 "67\t111.64\t85.0538\n"
                                 "69\t114.97\t87.5538\n"
                                 "71\t118.30\t90.0538\n"
                                 "best\t59\n");
    // "Suma" is station 12 alone: the set remembered in the station file counts, not the entry's.
    ASSERT_TRUE(WriteIniString("Virtual-" + Data(), "Sum1", "Suma@+00012@50@Inna", dir_->File("Kiv.ini")));
    EXPECT_EQ(Run("Suma", {}).out, priced.out);

    const Outcome bare = Run("12", {"--tariff", ""});
    EXPECT_EQ(bare.code, 0) << bare.err;
    EXPECT_NE(bare.out.find("status\tBrak kompletu danych taryfowych\nbounds\t27\t80\t3\n49\t100.27\t\n"),
              std::string::npos)
        << bare.out;

    const Outcome empty = RunCli({"optimise", Data(), "12", "--from", "2023-01", "--months", "12"}, *dir_);
    EXPECT_EQ(empty.code, 0) << empty.err;
    EXPECT_EQ(empty.out.substr(0, 13), "01/2023\t744\t\n");
    EXPECT_NE(empty.out.find(
                  "winter\t\nsummer\t\nstatus\tBrak kompletu danych wejściowych  dla zadanego przedziału "
                  "czasu\n"),
              std::string::npos)
        << empty.out;
    EXPECT_EQ(empty.out.find("bounds"), std::string::npos);
}

TEST_F(CliOptimise, Refusals) {
    struct Row {
        const char *name;
        std::string key;
        std::vector<std::string> more;
        int code;
        const char *fragment;
    };
    const Row rows[] = {
        {"13 months", "12", {"--months", "13"}, 64, "--months \"13\""},
        {"a month 13", "12", {"--from", "2024-13"}, 64, "--from \"2024-13\""},
        {"a year past 2069", "12", {"--from", "2070-01"}, 64, "1900..2069: dalej nie sięgają daty archiwum"},
        {"a period past 2069", "12", {"--from", "2069-06", "--months", "12"}, 64, "kończy się po 12/2069"},
        {"unknown set", "12", {"--tariff", "Nieznana"}, 66, "brak grupy stawek taryfowych \"Nieznana\""},
        {"no such key", "Brak", {}, 66, "brak stacji \"Brak\""},
        {"no station folder", "13", {}, 66, "13"},
        {"virtual station without members",
         "Pusta",
         {},
         65,
         "Stacja wirtualna \"Pusta\" nie jest skonfigurowana"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const Outcome o = Run(r.key, r.more);
        EXPECT_EQ(o.code, r.code) << o.err;
        EXPECT_NE(FirstLine(o.err).find(r.fragment), std::string::npos) << o.err;
    }
    const Outcome noMonths = RunCli({"optimise", Data(), "12", "--from", "2024-03"}, *dir_);
    EXPECT_EQ(noMonths.code, 64);
    EXPECT_NE(FirstLine(noMonths.err).find("brak opcji --months"), std::string::npos) << noMonths.err;
}

} // namespace
} // namespace kiv
