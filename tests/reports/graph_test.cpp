// The graph's scale rule over many ranges, and the graphs of the station
// of graph_fixture.h: what is plotted, how it is drawn on a recording
// surface, the read-outs, the cursor keys and the periods of a double click,
// a day step and the last day.
#include "reports/graph.h"

#include "graph_fixture.h"
#include "support/message_recorder.h"
#include "support/print_recorder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kiv {
namespace {

struct TScaleRow {
    const char *name;
    double minimum;
    double maximum;
    bool switchOn;
    TValueScale expected;
};

TEST(GraphScale, RoundedBoundsAndDivisions) {
    const TScaleRow rows[] = {
        {"zero to 37: 40 in eights of 5", 0, 37, false, {0, 8, 5}},
        {"nothing: five of one", 0, 0, false, {0, 5, 1, true}},
        {"a hundred: fifths of 20", 0, 100, false, {0, 5, 20}},
        {"five: fifths of one", 0, 5, false, {0, 5, 1}},
        {"nine: ninths", 0, 9, false, {0, 9, 1}},
        {"63: sevenths of 10", 0, 63, false, {0, 7, 10}},
        {"950 rounds to a thousand", 0, 950, false, {0, 5, 200}},
        {"1234 rounds to 2000", 0, 1234, false, {0, 5, 400}},
        {"0.07 stays 0.07", 0, 0.07, false, {0, 7, 0.01}},
        {"0.3: sixths", 0, 0.3, false, {0, 6, 0.05}},
        {"pressure 1.9 to 2.5: 3 in sixths", 1.9, 2.5, false, {0, 6, 0.5}},
        {"both signs", -37, 37, false, {-40, 8, 10}},
        {"negative only, switch off: up to 0", -5, -3, false, {-5, 5, 1}},
        {"negative only, switch on", -5, -3, true, {-5, 5, 0.4}},
        {"a large minus and a small plus", -1234, 0.5, false, {-2000, 6, 500}},
    };
    for (const TScaleRow &row : rows) {
        const TValueScale scale = RoundedScale(row.minimum, row.maximum, row.switchOn);
        EXPECT_NEAR(scale.lower, row.expected.lower, 1e-9) << row.name;
        EXPECT_EQ(scale.divisions, row.expected.divisions) << row.name;
        EXPECT_NEAR(scale.step, row.expected.step, 1e-9) << row.name;
        EXPECT_EQ(scale.flat, row.expected.flat) << row.name;
    }
}

TEST(GraphScale, TighteningAndLabels) {
    const struct {
        TValueScale from;
        double minimum, maximum;
        TValueScale expected;
    } rows[] = {
        {{0, 8, 5}, 30, 37, {30, 6, 1.25}},
        {{0, 6, 0.5}, 2.1, 2.4, {2.1, 6, 0.05}},
        {{0, 8, 5}, 0, 37, {0, 16, 2.5}},
        {{0, 5, 1, true}, 0, 0, {0, 5, 1, true}},
    };
    for (const auto &row : rows) {
        const TValueScale scale = TightenedScale(row.from, row.minimum, row.maximum);
        EXPECT_NEAR(scale.lower, row.expected.lower, 1e-9);
        EXPECT_EQ(scale.divisions, row.expected.divisions);
        EXPECT_NEAR(scale.step, row.expected.step, 1e-9);
    }
    EXPECT_EQ(ScaleLabel({0, 8, 5}, 2), "10.0");
    EXPECT_EQ(ScaleLabel({2.1, 6, 0.05}, 1), "2.15"); // one decimal would read 2.1 twice
    EXPECT_EQ(ScaleLabel({0, 16, 2.5}, 2), "5.0");     // only every other line is labelled
    EXPECT_EQ(ScaleLabel({-40, 8, 10}, 4), "0.0");
}

TEST(GraphRecords, HourlySumsOfConvertedSamples) {
    const TimeStamp h = test::At(2024, 5, 10);
    const std::vector<TReportSample> samples = {
        {h + 900, 15, 1, 1, 1}, {h + 1800, 15, 1, 2, 1}, {h + 2700, 15, 2, 3, 1}, {h + 3600, 15, 1, 4, 1},
        {h + 4500, 15, 1, 7, 0}, {h + 5400, 15, 1, 5, 1}, {h + 5400, 15, 1, 6, 1},
    };
    const std::vector<TReportSample> sums = HourlySums(samples);
    ASSERT_EQ(sums.size(), 2u);
    EXPECT_EQ(sums[0].time, h + 3600);
    EXPECT_EQ(sums[0].interval, 60);
    EXPECT_EQ(sums[0].value, 10);
    EXPECT_EQ(sums[1].time, h + 7200);
    EXPECT_EQ(sums[1].value, 5);
}

class GraphTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { data_ = new test::TGraphData; }
    static void TearDownTestSuite() { delete data_; }

    static TGraph Open(const TGraphRequest &request, TGraphOpen expected = TGraphOpen::Shown) {
        TGraph graph;
        EXPECT_EQ(OpenGraph(request, graph), expected);
        return graph;
    }
    // The x of a time, as the mouse read-out reads it back.
    static int XAt(const TGraph &graph, const TPlotArea &area, TimeStamp time) {
        const double span = double(graph.re) - graph.rs + 60;
        return area.left + static_cast<int>((double(time) - (double(graph.rs) - 60)) * (area.right - area.left) / span);
    }
    static constexpr TPlotArea kArea{288, 30, 980, 569, 1, false}; // a 1000 x 600 canvas of the recorder

    static test::TGraphData *data_;
};
test::TGraphData *GraphTest::data_ = nullptr;

TEST(GraphParameters, ANameBeforeADisplayNameAndTheFirstOfEach) {
    const std::vector<TGraphParameter> list = {{"dVn", "Qn", {}}, {"Qn", "Qn", {}}, {"dvn", "Qn", {}}, {"P", "P", {}}};
    EXPECT_EQ(FindGraphParameter(list, "qn"), 1);
    EXPECT_EQ(FindGraphParameter(list, "DVN"), 0);
    EXPECT_EQ(FindGraphParameter({list[0], list[3]}, "Qn"), 0);
    EXPECT_EQ(FindGraphParameter(list, "T"), -1);
}

TEST_F(GraphTest, OneDayFlowOfQuarterHours) {
    TGraph graph = Open(data_->Request("00012", 5, 10, 5, 10));
    EXPECT_EQ(graph.title, "Stacja nr:00012. Wykres Qn za okres:10.05.2024 - 10.05.2024 (-2h) Kotłownia MacMat Nr fabr.100");
    ASSERT_EQ(graph.parameters.size(), 1u);
    EXPECT_EQ(graph.parameters[0].displayName, "Qn");
    EXPECT_TRUE(graph.flow);
    EXPECT_EQ(graph.capacity, 30);
    EXPECT_EQ(graph.days, 1);
    EXPECT_EQ(graph.samples.front().time, test::At(2024, 5, 9, 22, 15));
    EXPECT_EQ(graph.Plotted(graph.samples.front()), 4 * graph.samples.front().value);
    EXPECT_EQ(GraphScale(graph), (TValueScale{0, 8, 5}));

    TPrintRecorder recorder;
    ASSERT_TRUE(recorder.BeginDocument(kGraphDocumentTitle));
    recorder.SetFont(GraphFont());
    EXPECT_EQ(ScreenPlotArea(1000, 600, 22, recorder.TextWidth("222222222")), kArea);
    DrawGraph(recorder, graph, kArea);
    const std::vector<std::string> &lines = recorder.Lines();
    std::vector<std::string> hours;
    for (const std::string &line : lines)
        if (line.starts_with("text ") && line.find(" 573 ") != std::string::npos)
            hours.push_back(line.substr(line.rfind(' ') + 1));
    ASSERT_EQ(hours.size(), 24u);
    EXPECT_EQ(hours.front(), "23"); // (1 + h + 24) mod 24 with h = -2
    EXPECT_EQ(hours[1], "00");
    EXPECT_EQ(hours.back(), "22");
    // 37 m3/h at 12:00 over the capacity of 30: red from 37 (y 95) down to the capacity line (y 185).
    std::string brush;
    int redFills = 0;
    for (const std::string &line : lines) {
        if (line.starts_with("brush "))
            brush = line;
        else if (brush == "brush FF0000" && line.starts_with("fill "))
            redFills += line.find(" 95 ") != std::string::npos && line.ends_with(" 186");
    }
    const bool overCapacity = redFills == 1;
    EXPECT_TRUE(overCapacity);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "line 288 185 980 185"), lines.end());
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "brush 808080") > 90, true);

    // The switch of a flow: its hours, one record an hour (06..07 has none).
    EXPECT_EQ(SwitchCaption(graph), "Godziny");
    EXPECT_TRUE(SwitchEnabled(graph));
    SetGraphSwitch(graph, true);
    EXPECT_EQ(SwitchCaption(graph), "Próbki");
    ASSERT_EQ(graph.Records().size(), 23u);
    EXPECT_EQ(graph.Records()[0].time, test::At(2024, 5, 9, 23));
    EXPECT_EQ(graph.Plotted(graph.Records()[0]), 7 + 7 + 7 + 8);
}

TEST_F(GraphTest, MouseAndCursorReadOuts) {
    const TGraph graph = Open(data_->Request("00012", 5, 10, 5, 10));
    const auto at = [&](int hour, int minute) {
        return MouseReadout(graph, kArea, XAt(graph, kArea, test::At(2024, 5, 10, hour, minute)));
    };
    const TMouseReadout gap = at(6, 30);
    EXPECT_EQ(gap.time.substr(0, 16), "10.05.2024   06:");
    EXPECT_EQ(gap.value + "/" + gap.status, "???" "/brak");
    EXPECT_EQ(at(8, 10).value + "/" + at(8, 10).status, "???" "/NAN/INF");
    EXPECT_EQ(at(11, 52).value + "/" + at(11, 52).status, "37.00/OK");
    EXPECT_EQ(at(12, 52).value, "12.13"); // an exact half rounds up
    EXPECT_EQ(MouseReadout(graph, kArea, kArea.right + 50).status, "brak"); // after the last sample
    EXPECT_EQ(CursorReadout(graph, 0).time, "09.05.2024   22:15");
    EXPECT_EQ(CursorReadout(graph, 0).value, "28.000");

    const int last = static_cast<int>(graph.Records().size()) - 1;
    const struct {
        int from;
        TGraphKey key;
        TCursorMove expected;
    } moves[] = {
        {0, TGraphKey::Left, {0, -1}},  {0, TGraphKey::Right, {1, 0}},    {last, TGraphKey::Right, {last, 1}},
        {8, TGraphKey::PageUp, {4, 0}}, {2, TGraphKey::PageUp, {2, -1}},  {8, TGraphKey::PageDown, {12, 0}},
        {9, TGraphKey::Home, {0, 0}},   {0, TGraphKey::End, {last, 0}},
    };
    for (const auto &move : moves) {
        const TCursorMove got = MoveCursor(graph, move.from, move.key);
        EXPECT_EQ(got.record, move.expected.record);
        EXPECT_EQ(got.dayStep, move.expected.dayStep);
    }
}

TEST_F(GraphTest, PeriodsOfDoubleClickDayStepAndLastDay) {
    const TGraph tenDays = Open(data_->Request("00012", 5, 1, 5, 10));
    EXPECT_EQ(tenDays.days, 10);
    TGraphRequest day;
    ASSERT_TRUE(DayRequestAt(tenDays, kArea, XAt(tenDays, kArea, test::At(2024, 5, 3, 12)), day));
    EXPECT_EQ(day.start, test::At(2024, 5, 3, 0, 0, 1));
    EXPECT_EQ(day.end, test::At(2024, 5, 4));
    const TGraph third = Open(day);
    EXPECT_EQ(third.days, 1);
    EXPECT_FALSE(DayRequestAt(third, kArea, kArea.left, day));

    EXPECT_EQ(SteppedRequest(third, -1).start, test::At(2024, 5, 2, 0, 0, 1));
    TGraphRequest last;
    ASSERT_TRUE(LastDayRequest(tenDays, last));
    EXPECT_EQ(last.start, test::At(2024, 5, 17, 0, 0, 1));
    EXPECT_EQ(last.end, test::At(2024, 5, 18));
    Open(SteppedRequest(Open(last), 1), TGraphOpen::NoArchive); // 18 May: no dVn, nothing said
}

TEST_F(GraphTest, PressureSwitchAndVirtualStation) {
    TGraphRequest request = data_->Request("00012", 4, 1, 4, 30);
    request.parameter = 1;
    TGraph pressure = Open(request);
    ASSERT_EQ(pressure.parameters.size(), 2u); // dVn and P; Vn has no graph title
    EXPECT_EQ(pressure.Shown().name, "P");
    EXPECT_EQ(pressure.days, 30);
    EXPECT_EQ(SwitchCaption(pressure), "Dokładnie");
    EXPECT_TRUE(SwitchEnabled(pressure));
    EXPECT_EQ(GraphScale(pressure).divisions, 6);
    SetGraphSwitch(pressure, true);
    EXPECT_EQ(SwitchCaption(pressure), "Zgrubnie");
    EXPECT_GT(GraphScale(pressure).lower, 1.5);

    const TGraph sum = Open(data_->Request("+00012+00013", 5, 11, 5, 11));
    EXPECT_TRUE(sum.isVirtual);
    EXPECT_EQ(sum.title, "Stacja nr:+00012+00013. Wykres Qn za okres:11.05.2024 - 11.05.2024 (-2h) ");
    EXPECT_EQ(sum.capacity, 50);
    EXPECT_FALSE(SwitchEnabled(sum));
    ASSERT_EQ(sum.Records().size(), 24u);
    EXPECT_EQ(sum.Plotted(sum.Records()[0]), 2 * (7 + 7 + 7 + 8)); // 22:00..23:00 of both stations

    MessageRecorder messages;
    const TGraph empty = Open(data_->Request("+00012+00013", 6, 1, 6, 1), TGraphOpen::NoSamples);
    ReportGraphOpen(TGraphOpen::NoSamples, empty);
    EXPECT_EQ(messages.Last().text, "Brak danych za okres 1.6.2024-1.6.2024");
    EXPECT_EQ(messages.Last().kind, MsgInformation);
    request = data_->Request("00013", 4, 1, 4, 3);
    request.key = "00014";
    CreateStation(data_->folder, 14, "Pusta");
    test::StoreSamples(data_->folder, 14, test::GraphItem("Vn", 0, "V", "", "m3", ""), {{test::At(2024, 4, 2), 5}});
    ReportGraphOpen(TGraphOpen::NoParameters, Open(request, TGraphOpen::NoParameters));
    EXPECT_EQ(messages.Last().text, "Brak danych, lub dane ze stacji nr 00014 niepoprawne");
}

} // namespace
} // namespace kiv
