// kiv-cli report period on the period report's fixture folder: the grid of
// a three-day report, printed again beside the Standard CSV the window's
// "Eksport" writes (the same expected file as the report's own test) and
// beside a 62-day PDF; member formulas as keys of both reports; and the
// calls it refuses, with "report daily" keeping its own arguments and options.
#include "cli_run.h"
#include "reports/period_report_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace kiv {
namespace {

using test::FirstLine;
using test::Outcome;
using test::ReadText;
using test::RunCli;

class CliReportPeriod : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new test::TempFolder("kiv-cli-period");
        std::filesystem::create_directories(dir_->path / "data");
        test::BuildPeriodFolder(Data());
        // Run from the folder of a Kiv.ini that knows the virtual station "Suma".
        std::filesystem::copy_file(Data() + "Kiv.ini", dir_->File("Kiv.ini"));
        std::filesystem::current_path(dir_->path);
    }
    static void TearDownTestSuite() { delete dir_; }
    static std::string Data() { return dir_->Folder() + "data/"; }

    static test::TempFolder *dir_;
};

test::TempFolder *CliReportPeriod::dir_ = nullptr;

TEST_F(CliReportPeriod, TextCsvAndPdf) {
    const std::vector<std::string> may = {"report", "period", Data(), "12", "2024-05-01", "2024-05-03", "--shift", "-2",
                                          "--sep", ","};
    const auto with = [&may](std::vector<std::string> more) {
        more.insert(more.begin(), may.begin(), may.end());
        return more;
    };
    const Outcome text = RunCli(may, *dir_);
    EXPECT_EQ(text.code, 0) << text.err;
    const std::string grid =
        "Data\tVn\tVnd\tdVnhmin\tdVnhmax\tPmin\tPmax\n"
        "\tm3\tm3\tm3/h\tm3/h\tbar\tbar\n"
        "\t+\t+\t+\t+\t+\t+\n"
        "2024.04.30\t000000100000\t\t\t\t\t\n"
        "2024.05.01\t000000100240\t240\t10/22\t10/22\t1,5/10:30\t2,1/16:15\n"
        "2024.05.02\t000000100480\t240\t10/22\t10/22\t1,5/10:30\t\n"
        "2024.05.03\t000000101480\t1000!\t14/21\t43/22\t1,5/10:30\t2,3/16:15\n"
        "Suma Vn[m3]\tStatus\tSuma Vr[m3]\tMoc[m3/h]\tMaks pobór/h [m3]\tDzień/godzina\tCzas nad moc [h]\n"
        "1480\t!\t0\t100\t43\t2024.05.03/22\t0\n";
    EXPECT_EQ(text.out, grid);

    const Outcome csv = RunCli(with({"--csv", "standard", dir_->File("Maj.csv")}), *dir_);
    EXPECT_EQ(csv.code, 0) << csv.err;
    EXPECT_EQ(csv.out, grid);
    EXPECT_EQ(ReadText(dir_->File("00012Maj.CSV")), ReadText(KIV_TEST_DATA_DIR "/period_report/standard_00012.csv"));
    // The grid still comes; the failure names the file.
    const Outcome lost = RunCli(with({"--csv", "rozliczenie", Data() + "nie/ma.csv"}), *dir_);
    EXPECT_EQ(lost.code, 66);
    EXPECT_EQ(lost.out, grid);
    EXPECT_NE(FirstLine(lost.err).find(": " + Data() + "nie/00012ma.CSV"), std::string::npos) << lost.err;

    const std::string pdf = dir_->File("period.pdf");
    const Outcome printed =
        RunCli({"report", "period", Data(), "12", "2024-05-01", "2024-07-01", "--shift", "-2", "--pdf", pdf}, *dir_);
    EXPECT_EQ(printed.code, 0) << printed.err;
    EXPECT_EQ(FirstLine(printed.out), FirstLine(grid));
    const std::string pages = ReadText(pdf);
    EXPECT_EQ(pages.substr(0, 5), "%PDF-");
    if (const char *keep = std::getenv("KIV_ARTIFACT_DIR"))
        std::filesystem::copy_file(pdf, std::string(keep) + "/period-report-cli.pdf",
                                   std::filesystem::copy_options::overwrite_existing);
}

// The last line of the output: the period report's TSum values.
std::string LastLine(const std::string &out) {
    const std::size_t end = out.find_last_not_of('\n');
    const std::size_t start = out.rfind('\n', end);
    return out.substr(start + 1, end - start);
}

// A formula of a defined virtual station reports it with its capacity; one of
// a single member is that station; a formula of a missing station is refused.
TEST_F(CliReportPeriod, MemberFormulaKeys) {
    const std::vector<std::string> period = {"period", Data(), "", "2024-05-01", "2024-05-03", "--shift", "-2"};
    const std::vector<std::string> daily = {"daily", Data(), "", "2024-05-02", "--shift", "-2"};
    const auto run = [](std::vector<std::string> args, const std::string &key) {
        args.insert(args.begin(), "report");
        args[3] = key;
        return RunCli(args, *dir_);
    };
    const Outcome sum = run(period, "+00012+00013");
    EXPECT_EQ(sum.code, 0) << sum.err;
    EXPECT_EQ(LastLine(sum.out), "2960\t!\t0\t250\t86\t2024.05.03/22\t0");
    const Outcome undefined = run(period, "12+14");
    EXPECT_EQ(undefined.code, 0) << undefined.err;
    EXPECT_EQ(LastLine(undefined.out).substr(0, 5), "1480\t") << undefined.out;
    EXPECT_EQ(FirstLine(run(daily, "+00012+00013").out), "Stacja nr:+00012+00013. Raport dobowy Suma");
    EXPECT_EQ(FirstLine(run(daily, "12+14").out), "Stacja nr:+00012+00014. Raport dobowy +00012+00014");
    EXPECT_EQ(run(daily, "+00012").out, run(daily, "12").out);
    const Outcome missing = run(daily, "+00012+00099");
    EXPECT_EQ(missing.code, 66);
    EXPECT_NE(FirstLine(missing.err).find("brak stacji 00099"), std::string::npos) << missing.err;
    const Outcome neither = run(period, "12+x");
    EXPECT_EQ(neither.code, 66);
    EXPECT_NE(FirstLine(neither.err).find("ani formuła"), std::string::npos) << neither.err;
}

TEST_F(CliReportPeriod, Refusals) {
    struct Row {
        const char *name;
        std::vector<std::string> args; // after "report"
        int code;
        const char *line;
    };
    const std::string data = Data();
    const Row rows[] = {
        {"no last day", {"period", data, "12", "2024-05-01"}, 64, "brak argumentu DO"},
        {"the daily report's option", {"period", data, "12", "2024-05-01", "2024-05-03", "--days", "2"}, 64,
         "\"--days\""},
        {"a period option on the daily report", {"daily", data, "12", "2024-05-01", "--sep", ","}, 64, "\"--sep\""},
        {"the daily report takes one day", {"daily", data, "12", "2024-05-01", "2024-05-03"}, 64,
         "nadmiarowy argument \"2024-05-03\""},
        {"reversed", {"period", data, "12", "2024-05-03", "2024-05-01"}, 64, "odwrócony okres"},
        {"63 days", {"period", data, "12", "2024-05-01", "2024-07-02"}, 64, "dłuższy niż 62 dni"},
        {"not a date", {"period", data, "12", "2024-05-01", "2024-05-32"}, 64, "\"2024-05-32\""},
        {"the field separator", {"period", data, "12", "2024-05-01", "2024-05-03", "--sep", ";"}, 64,
         "separator dziesiętny \";\""},
        {"two characters", {"period", data, "12", "2024-05-01", "2024-05-03", "--sep", ".."}, 64, "\"..\""},
        {"unknown layout", {"period", data, "12", "2024-05-01", "2024-05-03", "--csv", "pełny", "x.csv"}, 64,
         "\"pełny\""},
        {"layout without a file", {"period", data, "12", "2024-05-01", "2024-05-03", "--csv", "standard"}, 64,
         "brak wartości PLIK"},
        {"no such station", {"period", data, "99", "2024-05-01", "2024-05-03"}, 66, "brak stacji 00099"},
        {"a station without data", {"period", data, "16", "2024-05-01", "2024-05-03"}, 66,
         "Brak danych, lub dane ze stacji nr 00016 niepoprawne"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> args{"report"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const Outcome got = RunCli(args, *dir_);
        EXPECT_EQ(got.code, row.code) << got.err;
        EXPECT_NE(FirstLine(got.err).find(row.line), std::string::npos) << got.err;
        EXPECT_EQ(got.out, "");
    }
}

} // namespace
} // namespace kiv
