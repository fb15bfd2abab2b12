// The events viewer's rows, messages and printed list on the five-record
// station of events_view_fixture.h.
#include "reports/events_view.h"

#include "events_view_fixture.h"
#include "support/message_recorder.h"
#include "support/print_recorder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kiv {
namespace {

using Cells = std::array<std::string, kEventsColumns>;

class EventsViewTest : public ::testing::Test {
  protected:
    test::TempFolder temp_{"kiv-events-view"};
    std::string Data() const { return temp_.Folder() + "data/"; }
    std::string Program() const { return temp_.Folder() + "prog/"; }
};

TEST_F(EventsViewTest, GenerationListHoldsTheValidFilesInOrder) {
    test::MakeEventsFolders(temp_, true);
    std::vector<std::string> lines;
    for (const TEventsGeneration &g : ListEventGenerations(Data(), test::kEventsStation))
        lines.push_back(g.text);
    EXPECT_EQ(lines, (std::vector<std::string>{"0.<GazTech><KX 200><SN 0042><v1.07>", "1.<Other><ZX 9><SN 7><v2>"}));

    // Only generation 2 left: one line, beginning "2.".
    std::filesystem::rename(EventsFileName(Data(), test::kEventsStation, 1),
                            EventsFileName(Data(), test::kEventsStation, 2));
    std::filesystem::remove(EventsFileName(Data(), test::kEventsStation, 0));
    const auto only = ListEventGenerations(Data(), test::kEventsStation);
    ASSERT_EQ(only.size(), 1u);
    EXPECT_EQ(GenerationOfLine(only[0].text), 2);
    EXPECT_EQ(GenerationOfLine(""), -1);
    EXPECT_TRUE(ListEventGenerations(Data(), 13).empty());
}

TEST_F(EventsViewTest, RowsWithAndWithoutParameters) {
    test::MakeEventsFolders(temp_, false);
    TEventsView view;
    ASSERT_TRUE(view.Load(Data(), test::kEventsStation, 0, Program()));
    EXPECT_TRUE(view.HasDefinition());
    view.ShowParameters(false);
    ASSERT_EQ(view.RowCount(), 5);
    EXPECT_EQ(view.Row(0), (Cells{"00001", "012", "Otwarcie obudowy", "26-12-08   10:30:01", "26-12-08   10:31:05"}));
    EXPECT_EQ(view.Row(4), (Cells{"00005", "007", "", "26-12-08   10:30:05", "26-12-08   10:31:05"}));

    view.ShowParameters(true);
    const std::vector<Cells> expected = {
        {"00001", "012", "Otwarcie obudowy", "26-12-08   10:30:01", "26-12-08   10:31:05"},
        {"", "", "Licznik", "! 4660", ""},
        {"", "", "Temperatura", "? 0.00000", "[°C]"},
        {"00002", "012", "Otwarcie obudowy", "26-12-08   10:30:02", "26-12-08   10:31:05"},
        {"", "", "Liczba m3 w warunkach normalnych", "0.05000", "[m3]"},
        {"00003", "003", "Przepływ maksymalny", "26-12-08   10:30:03", "26-12-08   10:31:05"},
        {"", "", "Rezerwa", "", ""},
        {"", "", "Przepływ", "1235", "[m3/h]"},
        {"00004", "007", "", "26-12-08   10:30:04", "26-12-08   10:31:05"},
        {"00005", "007", "", "26-12-08   10:30:05", "26-12-08   10:31:05"},
    };
    ASSERT_EQ(view.RowCount(), static_cast<int>(expected.size()));
    for (int row = 0; row < view.RowCount(); ++row)
        EXPECT_EQ(view.Row(row), expected[static_cast<std::size_t>(row)]) << "row " << row;
    EXPECT_EQ(view.RecordOfRow(7), 2);
    EXPECT_EQ(view.RowOfRecord(2), 5);
    EXPECT_EQ(view.RecordOfRow(10), -1);

    // Each record that fits no definition is counted once, and told once.
    MessageRecorder messages;
    EXPECT_EQ(view.DefinitionErrors(), 2);
    ReportEventsView(view);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().caption, "Zdarzenia");
    EXPECT_EQ(messages.Last().text, "Znaleziono błędy w definicji parametrów dodatkowych (2)");
}

TEST_F(EventsViewTest, WithoutDefinitionFileOnlyTheWarning) {
    test::MakeEventsFolders(temp_, false);
    TEventsView view;
    ASSERT_TRUE(view.Load(Data(), test::kEventsStation, 0, temp_.Folder()));
    view.ShowParameters(true);
    EXPECT_FALSE(view.HasDefinition());
    EXPECT_EQ(view.RowCount(), 5);
    EXPECT_EQ(view.Cell(0, 2), "");
    EXPECT_EQ(view.DefinitionErrors(), 0);
    MessageRecorder messages;
    ReportEventsView(view);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, "Nie znaleziono pliku definicji zdarzeń dla urządzenia:\nGazTech\nKX 200");
    EXPECT_EQ(messages.Last().kind, MsgWarning);
    EXPECT_FALSE(view.Load(Data(), test::kEventsStation, 3, Program()));
    EXPECT_EQ(view.RowCount(), 0);
}

TEST(EventsPrintRows, OneSelectedLinePrintsTheWholeList) {
    EXPECT_EQ(RowsToPrint({2}, 4), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(RowsToPrint({}, 3), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(RowsToPrint({3, 1, 3, 9}, 4), (std::vector<int>{1, 3}));
}

// A page of 1000 units holds 8 lines of 96: the header takes three, then
// five rows; the other five go on the next page from its top.
TEST_F(EventsViewTest, PrintedListBreaksPagesWithoutRepeatingTheHeader) {
    test::MakeEventsFolders(temp_, false);
    TEventsView view;
    ASSERT_TRUE(view.Load(Data(), test::kEventsStation, 0, Program()));
    view.ShowParameters(true);
    TPrintRecorder recorder({1000, 1000, 4, 10});
    ASSERT_TRUE(recorder.BeginDocument(kEventsDocumentTitle));
    DrawEventsList(recorder, "0.<GazTech>", view, RowsToPrint({}, view.RowCount()));
    const std::vector<std::string> &lines = recorder.Lines();
    const std::vector<std::string> head = {"begin Kiv-Zdarzenia",
                                           "font Times New Roman 8 underline",
                                           "text 100 100 Lista zdarzeń 0.<GazTech>",
                                           "text 100 292 Nr",
                                           "text 292 292 Kod",
                                           "text 420 292 Opis zdarzenia",
                                           "text 1252 292 Początek",
                                           "text 1572 292 Koniec",
                                           "font Times New Roman 8",
                                           "text 100 388 00001"};
    ASSERT_GE(lines.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(head.size())), head);
    const auto page = std::find(lines.begin(), lines.end(), "page");
    ASSERT_NE(page, lines.end());
    EXPECT_EQ(*(page + 1), "text 100 100 00003");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "page"), 1);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string &l) { return l.find("Lista zdarzeń") != std::string::npos; }),
              1);
}

} // namespace
} // namespace kiv
