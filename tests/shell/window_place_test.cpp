// Remembered window places: bringing a place back onto the screens, the
// "x,y,w,h" text, and the [Windows] section of Kiv.ini.
#include "shell/model/window_place.h"
#include "shell_test_util.h"

#include <gtest/gtest.h>

namespace kiv {
namespace {

const TPlace kLeft{0, 0, 1920, 1040};     // primary, task bar below
const TPlace kRight{1920, 0, 1280, 1024}; // second monitor to its right
const TPlace kAbove{0, -768, 1024, 768};  // a third one above the primary

TEST(WindowPlace, PlaceComesBackOntoTheScreens) {
    struct Row {
        const char* what;
        TPlace place;
        std::vector<TPlace> screens;
        TPlace placed;
    };
    const Row rows[] = {
        {"inside the primary", {100, 80, 640, 480}, {kLeft, kRight}, {100, 80, 640, 480}},
        {"across two screens", {1600, 100, 640, 480}, {kLeft, kRight}, {1600, 100, 640, 480}},
        {"on a screen at negative coordinates", {10, -700, 640, 480}, {kLeft, kAbove}, {10, -700, 640, 480}},
        {"second monitor gone", {2200, 300, 640, 480}, {kLeft}, {1280, 300, 640, 480}},
        {"far off every screen", {-5000, -5000, 640, 480}, {kLeft, kRight}, {0, 0, 640, 480}},
        {"partly below the primary's bottom", {100, 900, 640, 480}, {kLeft, kRight}, {100, 560, 640, 480}},
        {"partly off the right screen", {2900, 100, 640, 480}, {kLeft, kRight}, {2560, 100, 640, 480}},
        {"over the gap beside a smaller screen", {1900, 900, 640, 480}, {kLeft, kRight}, {1920, 544, 640, 480}},
        {"larger than its screen", {-50, -50, 2500, 1500}, {kLeft}, {0, 0, 1920, 1040}},
        {"off every screen goes to the first", {5000, 5000, 300, 200}, {kRight, kLeft}, {2900, 824, 300, 200}},
        {"no screens known", {-5000, 10, 640, 480}, {}, {-5000, 10, 640, 480}},
    };
    for (const Row& r : rows) {
        const TPlace p = PlaceOnScreens(r.place, r.screens);
        EXPECT_EQ(p, r.placed) << r.what << ": " << PlaceText(p);
    }
}

TEST(WindowPlace, TextHoldsFourIntegersAndASize) {
    struct Row {
        const char* text;
        bool ok;
        TPlace place;
    };
    const Row rows[] = {
        {"10,20,640,480", true, {10, 20, 640, 480}}, {"-1920,-5,300,200", true, {-1920, -5, 300, 200}},
        {"", false, {}},                             {"10,20,640", false, {}},
        {"10,20,640,480,5", false, {}},              {"10,20,0,480", false, {}},
        {"10,20,640,-1", false, {}},                 {"10, 20,640,480", false, {}},
        {"a,20,640,480", false, {}},                 {"10,20,640,99999999999", false, {}},
    };
    for (const Row& r : rows) {
        TPlace place{1, 2, 3, 4};
        EXPECT_EQ(ParsePlace(r.text, place), r.ok) << r.text;
        if (r.ok) EXPECT_EQ(PlaceText(place), r.text);
        else EXPECT_EQ(place, (TPlace{1, 2, 3, 4})) << r.text << ": a bad text leaves the place alone";
    }
}

TEST(WindowPlace, KeptInTheWindowsSectionNextToOtherSettings) {
    test::ShellTempFolder temp;
    const std::string ini = temp.File("Kiv.ini");
    test::WriteText(ini, "[Main]\r\nCursorPosition=00004 Delta\r\n[Windows]\r\nTFCurData=broken\r\n");
    TPlace place;
    EXPECT_FALSE(ReadWindowPlace(ini, "TF_Main", place));
    EXPECT_FALSE(ReadWindowPlace(ini, "TFCurData", place));
    bool ticked = true;
    EXPECT_FALSE(ReadKeptTick(ini, "TFTxInit", "CheckBox_Log", ticked));

    ASSERT_TRUE(WriteWindowPlace(ini, "TF_Main", {40, 30, 560, 520}));
    ASSERT_TRUE(WriteWindowPlace(ini, "TFCurData", {-900, 10, 300, 480}));
    ASSERT_TRUE(WriteKeptTick(ini, "TFTxInit", "CheckBox_Log", false));
    ASSERT_TRUE(ReadWindowPlace(ini, "tf_main", place));
    EXPECT_EQ(place, (TPlace{40, 30, 560, 520}));
    ASSERT_TRUE(ReadWindowPlace(ini, "TFCurData", place));
    EXPECT_EQ(place, (TPlace{-900, 10, 300, 480}));
    ASSERT_TRUE(ReadKeptTick(ini, "TFTxInit", "CheckBox_Log", ticked));
    EXPECT_FALSE(ticked);
    ASSERT_TRUE(WriteKeptTick(ini, "TFTxInit", "CheckBox_Log", true));
    ASSERT_TRUE(ReadKeptTick(ini, "TFTxInit", "CheckBox_Log", ticked));
    EXPECT_TRUE(ticked);
    EXPECT_EQ(test::ReadText(ini), "[Main]\r\nCursorPosition=00004 Delta\r\n[Windows]\r\nTFCurData=-900,10,300,480\r\n"
                                   "TF_Main=40,30,560,520\r\nTFTxInit.CheckBox_Log=YES\r\n");
}

} // namespace
} // namespace kiv
