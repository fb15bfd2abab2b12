#include "support/print_recorder.h"

#include <gtest/gtest.h>

using namespace kiv;

namespace {

// A heading centred over a rule, one right-aligned number per page.
void TinyLayout(IPrintSurface &surface) {
    surface.SetFont({"Arial Narrow", 12, true, false});
    const std::string title = "Zażółć";
    const int top = surface.TextHeight("M");
    surface.TextOut((surface.PageWidth() - surface.TextWidth(title)) / 2, top, title);
    surface.SetPen({0x102030, 2, true, false});
    surface.Line(0, 2 * top, surface.PageWidth(), 2 * top);
    surface.NewPage();
    surface.SetFont({"Times New Roman", 10.5, false, true});
    surface.TextOut(surface.PageWidth() - surface.TextWidth("44"), top, "44");
    surface.SetBrush(0xFF0000);
    surface.FillRect(1, 2, 3, 4);
    surface.StretchPicture(5, 6, 7, 8, "graf.bmp");
}

} // namespace

TEST(PrintRecorder, WritesEveryCallWithFixedMetrics) {
    TPrintRecorder recorder;
    ASSERT_TRUE(recorder.BeginDocument("Kiv-raport dobowy"));
    TinyLayout(recorder);
    ASSERT_TRUE(recorder.EndDocument());
    // 12 pt: 48 units a character (six of them, Polish letters counted once),
    // a line 120 high; 10.5 pt: 42 a character (the row stays where 12 pt put it).
    const std::vector<std::string> expected{
        "begin Kiv-raport dobowy",
        "font Arial Narrow 12 bold",
        "text 2336 120 Zażółć",
        "pen 102030 2 dotted",
        "line 0 240 4960 240",
        "page",
        "font Times New Roman 10.5 underline",
        "text 4876 120 44",
        "brush FF0000",
        "fill 1 2 3 4",
        "picture 5 6 7 8 graf.bmp",
        "end",
    };
    EXPECT_EQ(recorder.Lines(), expected);
    EXPECT_EQ(recorder.Pages(), 2);
    EXPECT_FALSE(recorder.Failed());
}

TEST(PrintRecorder, ScriptedFailureStopsTheRest) {
    TPrintRecorder recorder;
    recorder.FailFrom(5); // the NewPage
    ASSERT_TRUE(recorder.BeginDocument("Kiv-Zdarzenia"));
    TinyLayout(recorder);
    EXPECT_TRUE(recorder.Failed());
    EXPECT_FALSE(recorder.EndDocument());
    EXPECT_EQ(recorder.Lines().size(), 5u);
    EXPECT_EQ(recorder.Pages(), 1);
}
