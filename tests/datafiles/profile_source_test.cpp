#include "profile_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <fstream>
#include <sstream>

#include "datafiles/profile.h"
#include "profile_test_util.h"
#include "support/file_replace.h"
#include "support/text_encoding.h"

using namespace kiv;
using namespace kiv::test;

namespace {

const char* const kSource = R"(# comment
; another comment
[Profile]
name     = Test KT-1
make     = Testmet
type     = KT-1
serial   = 42
text5    = wolny tekst
protocol = 2
number   = -5

[groups]
LICZ = Liczniki
POM  = Pomiary = bieżące

[item]
column   = 1
short    = dVn
full     = Przyrost objętości
unit     = m3
hourly   = 2 7
daily    = 3 7
kind     = dV
paired   = Vn
graph    = dV-Q
flow     = Qn
flowunit = m3/h
scale    = 1000 1 0.001

[ITEM]
Short     = P
full      = Ciśnienie
unit      = bar
group     = POM
param     = 4
type      = 7
hourly    = none
condition = 8 9
)";

TEST(ProfileSource, CompilesEveryField) {
    TProfileSource source;
    std::string error;
    ASSERT_TRUE(CompileProfileSource(kSource, source, error)) << error;
    EXPECT_EQ(2, source.params.profileByte);
    EXPECT_EQ(-5, source.params.profileNumber);
    EXPECT_EQ((std::array<std::string, 5>{"Test KT-1", "Testmet", "KT-1", "42", "wolny tekst"}), source.params.texts);
    EXPECT_EQ((std::vector<std::string>{"LICZ=Liczniki", "POM=Pomiary = bieżące"}),
              std::vector<std::string>({source.groups[0], DecodeText(source.groups[1])}));
    ASSERT_EQ(2u, source.items.size());
    const TParamItem& dv = source.items[0];
    EXPECT_EQ(1, dv.ColumnIndex());
    EXPECT_EQ("dVn", dv.ShortName());
    EXPECT_EQ(Utf8ToCp1250("Przyrost objętości"), dv.FullName());
    EXPECT_EQ("", dv.GroupName());
    EXPECT_EQ(-1, dv.ParamNumber());
    EXPECT_EQ(2, dv.HourIndex());
    EXPECT_EQ(7, dv.HourTypeCode());
    EXPECT_EQ(3, dv.DayIndex());
    EXPECT_EQ(-1, dv.CondFirst());
    EXPECT_EQ("dV", dv.Kind());
    EXPECT_EQ("Vn", dv.PairedName());
    EXPECT_EQ("dV-Q", dv.GraphTitle());
    EXPECT_EQ("Qn", dv.FlowName());
    EXPECT_EQ("m3/h", dv.FlowUnit());
    EXPECT_EQ(1000.0f, dv.Threshold());
    EXPECT_EQ(1.0f, dv.FactorBelow());
    EXPECT_EQ(0.001f, dv.FactorAbove());
    const TParamItem& p = source.items[1];
    EXPECT_EQ(-1, p.ColumnIndex());
    EXPECT_EQ(4, p.ParamNumber());
    EXPECT_EQ(7, p.TypeCode());
    EXPECT_EQ(-1, p.HourIndex());
    EXPECT_EQ(-1, p.DayIndex());
    EXPECT_EQ(8, p.CondFirst());
    EXPECT_EQ(9, p.CondSecond());
    EXPECT_EQ(1.0f, p.FactorAbove());
}

TEST(ProfileSource, RoundTripThroughTheProfileFile) {
    TProfileSource source;
    std::string error;
    ASSERT_TRUE(CompileProfileSource(kSource, source, error)) << error;
    TempFolder folder;
    const std::string name = folder.File("KT1.FCP");
    TFCProfileRdWr rw;
    ASSERT_EQ(0, rw.WriteProfile(name, source.params, source.items.data(), static_cast<int>(source.items.size()),
                                 source.groups));
    TRecProfParams params;
    std::vector<TParamItem> items;
    std::vector<std::string> groups;
    ASSERT_TRUE(rw.ReadProfile(name, params, items, groups));
    EXPECT_EQ(source.params, params);
    EXPECT_EQ(source.items, items);
    EXPECT_EQ(source.groups, groups);
}

struct SourceFault {
    const char* what;
    std::string text;
    std::string message; // a fragment of the error
};

class ProfileSourceFaults : public ::testing::TestWithParam<SourceFault> {};

TEST_P(ProfileSourceFaults, AreReportedWithTheirLine) {
    TProfileSource source;
    std::string error;
    EXPECT_FALSE(CompileProfileSource(GetParam().text, source, error));
    EXPECT_NE(std::string::npos, error.find(GetParam().message)) << error;
}

const std::string kHead = "[profile]\nname = X\nprotocol = 1\n[groups]\nG = g\n";

INSTANTIATE_TEST_SUITE_P(
    Table, ProfileSourceFaults,
    ::testing::Values(
        SourceFault{"no name", "[profile]\nprotocol = 1\n[item]\nshort = a\n", "needs a name"},
        SourceFault{"no protocol", "[profile]\nname = X\n[item]\nshort = a\n", "protocol"},
        SourceFault{"protocol 3", "[profile]\nname = X\nprotocol = 3\n", "line 3: protocol must be 1 or 2"},
        SourceFault{"no items", kHead, "no [item]"},
        SourceFault{"unknown section", kHead + "[itme]\n", "line 6: unknown section"},
        SourceFault{"unknown key", kHead + "[item]\nshort = a\ncolour = red\n", "line 8: unknown item key colour"},
        SourceFault{"no equals", kHead + "[item]\nshort a\n", "line 7: expected key = value"},
        SourceFault{"key outside", "name = X\n", "line 1: key outside a section"},
        SourceFault{"short too long", kHead + "[item]\nshort = " + std::string(21, 'x') + "\n", "line 7: short"},
        SourceFault{"full name of 81 Polish letters", kHead + "[item]\nshort = a\nfull = " + [] {
            std::string s;
            for (int i = 0; i < 81; ++i) s += "ą";
            return s;
        }() + "\n", "line 8: full"},
        SourceFault{"kind too long", kHead + "[item]\nshort = a\nkind = 12345678901\n", "line 8: kind"},
        SourceFault{"group name too long", "[groups]\nABCDEFGHIJKL = x\n", "line 2: group name"},
        SourceFault{"group twice", "[groups]\nA = x\nA = y\n", "line 3: group A declared twice"},
        SourceFault{"group not declared", kHead + "[item]\nshort = a\ngroup = H\n", "group H is not in [groups]"},
        SourceFault{"type 13", kHead + "[item]\nshort = a\ntype = 13\n", "line 8: type must be 1..12"},
        SourceFault{"current value without type", kHead + "[item]\nshort = a\nparam = 1\n", "needs a type"},
        SourceFault{"parameter number twice",
                    kHead + "[item]\nshort = a\nparam = 1\ntype = 4\n[item]\nshort = b\nparam = 1\ntype = 4\n",
                    "parameter number 1 used twice"},
        SourceFault{"archived short name twice",
                    kHead + "[item]\nshort = a\nhourly = 1 7\n[item]\nshort = a\ndaily = 2 7\n", "short name a used twice"},
        SourceFault{"archive without type", kHead + "[item]\nshort = a\nhourly = 3\n", "line 8: archive"},
        SourceFault{"archive type 11", kHead + "[item]\nshort = a\nhourly = 3 11\n", "sample type"},
        SourceFault{"negative archive index", kHead + "[item]\nshort = a\ndaily = -2 7\n", "index"},
        SourceFault{"condition of one number", kHead + "[item]\nshort = a\ncondition = 4\n", "condition"},
        SourceFault{"scale with words", kHead + "[item]\nshort = a\nscale = a b c\n", "scale"},
        SourceFault{"key twice", kHead + "[item]\nshort = a\nshort = b\n", "line 8: key short given twice"},
        SourceFault{"item without short name", kHead + "[item]\nfull = x\n", "without short name"},
        SourceFault{"number not numeric", "[profile]\nnumber = 1x\n", "line 2: number"},
        SourceFault{"unclosed header", "[profile\n", "line 1:"}));

TEST(ProfileSource, AcceptsAThousandItemsButNotMore) {
    std::string text = kHead;
    for (int i = 0; i < 1000; ++i) text += "[item]\nshort = p" + std::to_string(i) + "\n";
    TProfileSource source;
    std::string error;
    EXPECT_TRUE(CompileProfileSource(text, source, error)) << error;
    text += "[item]\nshort = over\n";
    EXPECT_FALSE(CompileProfileSource(text, source, error));
    EXPECT_NE(std::string::npos, error.find("more than 1000 items"));
}

// The demo profiles are built into the program folder from profiles/*.txt.
struct DemoProfile {
    const char* file;
    uint8_t protocol;
    const char* name;
    const char* type;
};

class DemoProfiles : public ::testing::TestWithParam<DemoProfile> {};

TEST_P(DemoProfiles, ReadAndDescribeARealisticDevice) {
    const DemoProfile& demo = GetParam();
    const std::string file = std::string(KIV_PROGRAM_DIR) + "/" + demo.file;
    TFCProfileRdWr rw;
    TRecProfParams params;
    std::vector<TParamItem> items;
    std::vector<std::string> groups;
    ASSERT_TRUE(rw.ReadProfile(file, params, items, groups)) << file;
    EXPECT_EQ(demo.protocol, params.profileByte);
    EXPECT_EQ(demo.name, params.texts[0]);
    EXPECT_EQ("Kivmet", params.texts[1]);
    EXPECT_EQ(demo.type, params.texts[2]);
    EXPECT_GE(groups.size(), 3u);

    std::map<std::string, TParamItem> byName;
    for (const TParamItem& item : items) byName[item.ShortName()] = item;
    for (const char* name : {"Vn", "Vr", "dVn", "dVr", "P", "t", "dP"}) ASSERT_EQ(1u, byName.count(name)) << name;
    for (const char* name : {"dVn", "dVr"}) {
        EXPECT_GE(byName[name].HourIndex(), 0) << name;
        EXPECT_GE(byName[name].DayIndex(), 0) << name;
        EXPECT_EQ("dV", byName[name].Kind());
    }
    EXPECT_EQ(0, byName["Vn"].ColumnIndex());
    EXPECT_EQ(1, byName["dVn"].ColumnIndex());
    EXPECT_GE(byName["dP"].CondFirst(), 0);

    // Every group an item names exists, and the current values are numbered
    // without gaps from 0 so that the read-out requests one range.
    std::set<std::string> groupNames;
    for (const std::string& entry : groups) groupNames.insert(GroupEntryName(entry));
    std::set<uint8_t> types;
    int current = 0;
    for (const TParamItem& item : items) {
        if (!item.GroupName().empty()) {
            EXPECT_EQ(1u, groupNames.count(item.GroupName())) << item.ShortName();
        }
        if (item.ParamNumber() >= 0) {
            ++current;
            types.insert(item.TypeCode());
        }
    }
    const int compacted = TFCProfileRdWr::CompactItems(items.data(), static_cast<int>(items.size()));
    ASSERT_EQ(current, compacted);
    for (int i = 0; i < compacted; ++i) EXPECT_EQ(i, items[static_cast<std::size_t>(i)].ParamNumber());
    EXPECT_GE(types.size(), 7u);
}

INSTANTIATE_TEST_SUITE_P(Demo, DemoProfiles,
                         ::testing::Values(DemoProfile{"KM100.FCP", 1, "Kivmet KM-100", "KM-100"},
                                           DemoProfile{"KM200.FCP", 2, "Kivmet KM-200", "KM-200"}));

TEST(DemoEventDefinitions, NameTheirDevice) {
    for (const char* type : {"KM-100", "KM-200"}) {
        std::string file = std::string(KIV_PROGRAM_DIR) + "/KM" + std::string(type).substr(3) + ".EVT";
        std::string text;
        ASSERT_EQ(0, ReadWholeFile(file, text)) << file;
        EXPECT_NE(std::string::npos, text.find("[Identity]\nBrand=Kivmet\nType=" + std::string(type) + "\n"));
        EXPECT_NE(std::string::npos, text.find("[12]\nEventDescription="));
        EXPECT_NE(std::string::npos, text.find("ParamTypeCode0=7"));
    }
}

} // namespace
