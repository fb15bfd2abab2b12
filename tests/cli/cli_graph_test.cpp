// kiv-cli graph on the data folder of graph_fixture.h, run as a user runs
// it from that folder (where Kiv.ini names the virtual station "Suma"): the
// pictures and the printed page it writes, and the calls it refuses. With
// KIV_ARTIFACT_DIR set the pictures are kept there.
#include "cli_run.h"
#include "reports/graph_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kiv {
namespace {

using test::RunCli;

class CliGraphTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        data_ = new test::TGraphData;
        std::filesystem::current_path(data_->temp.path);
    }
    static void TearDownTestSuite() { delete data_; }

    static test::Outcome Graph(std::vector<std::string> args) {
        args.insert(args.begin(), {"graph", data_->folder});
        return RunCli(args, data_->temp);
    }
    static void Keep(const std::string &file, const std::string &name) {
        if (const char *keep = std::getenv("KIV_ARTIFACT_DIR")) {
            std::filesystem::create_directories(keep);
            std::filesystem::copy_file(data_->temp.File(file), std::string(keep) + "/" + name,
                                       std::filesystem::copy_options::overwrite_existing);
        }
    }

    static test::TGraphData *data_;
};
test::TGraphData *CliGraphTest::data_ = nullptr;

TEST_F(CliGraphTest, WritesPicturesAndThePrintedPage) {
    const struct {
        std::vector<std::string> args;
        std::string file;
        std::string magic;
        std::string title;
    } calls[] = {
        {{"00012", "2024-05-10", "2024-05-10", "--size", "1200x700", "--png", "day.png"}, "day.png", "\x89PNG",
         "Stacja nr:00012. Wykres Qn za okres:10.05.2024 - 10.05.2024 (-2h) Kotłownia MacMat Nr fabr.100"},
        {{"00012", "2024-04-01", "2024-04-30", "--param", "p", "--png", "pressure.png"}, "pressure.png", "\x89PNG",
         "Stacja nr:00012. Wykres P za okres:01.04.2024 - 30.04.2024 (-2h) Kotłownia MacMat Nr fabr.100"},
        {{"Suma", "2024-05-01", "2024-05-10", "--param", "Qn", "--png", "sum.png"}, "sum.png", "\x89PNG",
         "Stacja nr:+00012+00013. Wykres Qn za okres:01.05.2024 - 10.05.2024 (-2h) "},
        {{"00012", "2024-05-10", "2024-05-10", "--pdf", "page.pdf"}, "page.pdf", "%PDF", ""},
    };
    for (const auto &call : calls) {
        const test::Outcome outcome = Graph(call.args);
        EXPECT_EQ(outcome.code, 0) << outcome.err;
        EXPECT_EQ(test::ReadText(data_->temp.File(call.file)).substr(0, call.magic.size()), call.magic);
        if (!call.title.empty()) {
            EXPECT_EQ(test::FirstLine(outcome.out), call.title);
        }
    }
    Keep("day.png", "graph_day_flow.png");
    Keep("pressure.png", "graph_month_pressure.png");
    Keep("sum.png", "graph_virtual_flow.png");
    Keep("page.pdf", "graph_page.pdf");
}

TEST_F(CliGraphTest, RefusesWhatItCannotDraw) {
    const struct {
        std::vector<std::string> args;
        int code;
        std::string says;
    } calls[] = {
        {{"00012", "2024-05-10", "2024-05-10"}, 64, "--png PLIK albo --pdf PLIK"},
        {{"00012", "2024-05-10", "2024-05-10", "--png", "a.png", "--pdf", "a.pdf"}, 64, "podaj jedno z"},
        {{"00012", "2024-05-32", "2024-05-10", "--png", "a.png"}, 64, "niepoprawna data OD \"2024-05-32\""},
        {{"00012", "2024-04-01", "2024-05-10", "--png", "a.png"}, 64, "nie mieści się w jednym miesiącu"},
        {{"00012", "2024-04-10", "2024-05-10", "--png", "a.png"}, 64, "(najpóźniej do 2024-05-09)"},
        {{"00012", "2024-05-10", "2024-05-09", "--png", "a.png"}, 64, "data końcowa 2024-05-09 jest wcześniejsza niż"},
        {{"00012", "2024-05-10", "2024-05-10", "--size", "10x10", "--png", "a.png"}, 64, "niepoprawny rozmiar"},
        {{"00099", "2024-05-10", "2024-05-10", "--png", "a.png"}, 66, "00099"},
        {{"Nieznana", "2024-05-10", "2024-05-10", "--png", "a.png"}, 66, "brak stacji \"Nieznana\""},
        {{"00012", "2024-05-10", "2024-05-10", "--param", "T", "--png", "a.png"}, 66, "brak parametru \"T\" na wykresie; są: dVn"},
        {{"00012", "2024-06-10", "2024-06-10", "--png", "a.png"}, 66, "brak plików archiwum stacji 00012"},
        {{"Suma", "2024-06-10", "2024-06-10", "--png", "a.png"}, 66, "Brak danych za okres 10.6.2024-10.6.2024"},
        {{"00012", "2024-05-10", "2024-05-10", "--png", "/nie/ma/a.png"}, 66, "nie można zapisać pliku PNG"},
    };
    for (const auto &call : calls) {
        const test::Outcome outcome = Graph(call.args);
        EXPECT_EQ(outcome.code, call.code) << call.says;
        EXPECT_NE(outcome.err.find(call.says), std::string::npos) << outcome.err;
    }
    EXPECT_FALSE(std::filesystem::exists(data_->temp.File("a.png")));
}

} // namespace
} // namespace kiv
