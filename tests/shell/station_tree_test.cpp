// The station tree as data: building, ticking, the station set, the
// availability rule for "any", the command hand-over helpers and the default
// period of a station.
#include "shell/model/command_availability.h"
#include "shell/model/main_commands.h"
#include "shell/model/station_tree.h"
#include "shell_test_util.h"


#include <gtest/gtest.h>


namespace kiv {
namespace {

TRekStacji Station(int address, const std::string& label, const std::string& group, bool profile, bool phone,
                   bool modem) {
    TRekStacji s;
    s.address = static_cast<std::uint16_t>(address);
    s.label = label;
    s.groupLabel = group;
    s.hasProfile = profile;
    s.hasTelephone = phone;
    s.hasModemProfile = modem;
    return s;
}

std::vector<TRekStacji> SampleStations() {
    return {Station(1, "Alfa", "Północ", true, false, false), Station(2, "Beta", "", false, true, true),
            Station(3, "Gamma", "Południe", true, true, true), Station(4, "Delta", "Północ", true, true, false),
            Station(10, "Zeta", "", true, false, true)};
}

const std::vector<std::string> kVirtual{"Suma A@+00001+00004@0", "", "bilans@@0"};

std::vector<std::string> Texts(const std::vector<TTreeNode>& nodes) {
    std::vector<std::string> texts;
    for (const auto& n : nodes) texts.push_back(n.text);
    return texts;
}

TEST(StationTree, BuildsSortedGroupsStationsAndVirtualStations) {
    TStationTree tree;
    tree.Build(SampleStations(), kVirtual, true);
    EXPECT_EQ(Texts(tree.Roots()), (std::vector<std::string>{"00002 Beta", "00010 Zeta", "bilans", "Południe",
                                                             "Północ", "Suma A"}));
    const TTreeNode& north = tree.Roots()[4];
    EXPECT_EQ(north.kind, KindGroup);
    EXPECT_EQ(Texts(north.children), (std::vector<std::string>{"00001 Alfa", "00004 Delta"}));
    EXPECT_EQ(north.children[0].kind, KindStation);
    EXPECT_EQ(north.children[1].kind, KindPhone);
    EXPECT_EQ(tree.Roots()[0].kind, KindNoProfile);
    EXPECT_EQ(tree.Roots()[1].kind, KindStation);
    EXPECT_EQ(tree.Roots()[3].children[0].kind, KindModem);
    EXPECT_EQ(tree.Roots()[2].kind, KindVirtual);
    for (const TNodeRef ref : tree.InTreeOrder()) EXPECT_EQ(tree.Node(ref)->tick, TickClear);
    EXPECT_EQ(tree.NodeCount(), 9);
    EXPECT_EQ(tree.Find("00004 Delta"), (TNodeRef{4, 1}));
    EXPECT_FALSE(tree.Find("00004").Valid());
}

TEST(StationTree, VirtualStationsOnlyInTickModeAndNeverWithoutStations) {
    TStationTree tree;
    tree.Build(SampleStations(), kVirtual, false);
    EXPECT_FALSE(tree.Find("Suma A").Valid());
    tree.Build({}, kVirtual, true);
    EXPECT_TRUE(tree.Empty());
}

TEST(StationTree, NodeKindFollowsTheThreeFlags) {
    struct Row {
        bool profile, phone, modem;
        int kind;
    };
    const Row rows[] = {{false, false, false, 6}, {false, true, true, 6}, {true, false, false, 5},
                        {true, false, true, 5},   {true, true, true, 7},  {true, true, false, 8}};
    for (const Row& r : rows)
        EXPECT_EQ(StationNodeKind(Station(1, "", "", r.profile, r.phone, r.modem)), r.kind)
            << r.profile << r.phone << r.modem;
}

TEST(StationTree, GroupTicksItsStationsAndFollowsThem) {
    TStationTree tree;
    tree.Build(SampleStations(), kVirtual, true);
    const TNodeRef north = tree.Find("Północ");
    ASSERT_TRUE(tree.Toggle(north));
    EXPECT_EQ(tree.Node(north)->tick, TickTicked);
    EXPECT_EQ(tree.Node({north.top, 0})->tick, TickTicked);
    EXPECT_EQ(tree.Node({north.top, 1})->tick, TickTicked);

    ASSERT_TRUE(tree.Toggle({north.top, 0}));
    EXPECT_EQ(tree.Node(north)->tick, TickPartly);
    ASSERT_TRUE(tree.Toggle({north.top, 1}));
    EXPECT_EQ(tree.Node(north)->tick, TickClear);
    ASSERT_TRUE(tree.Toggle({north.top, 1}));
    ASSERT_TRUE(tree.Toggle({north.top, 0}));
    EXPECT_EQ(tree.Node(north)->tick, TickTicked);

    // A partly ticked group becomes ticked with all its stations.
    ASSERT_TRUE(tree.Toggle({north.top, 0}));
    ASSERT_TRUE(tree.Toggle(north));
    EXPECT_EQ(tree.Node({north.top, 0})->tick, TickTicked);
    ASSERT_TRUE(tree.Toggle(north));
    EXPECT_EQ(tree.Node({north.top, 0})->tick, TickClear);
    EXPECT_EQ(tree.Node({north.top, 1})->tick, TickClear);
    EXPECT_FALSE(tree.Toggle({99, -1}));
}

TEST(StationSet, SingleTickedStationIsAStationSet) {
    TStationTree tree;
    tree.Build(SampleStations(), kVirtual, true);
    ASSERT_TRUE(tree.Toggle(tree.Find("00010 Zeta")));
    TNodeRef selected = tree.Find("00002 Beta");
    const TStationSet set = ComputeStationSet(tree, selected, {});
    EXPECT_TRUE(set.setMode);
    EXPECT_EQ(set.title, "Kiv - zespół stacji");
    EXPECT_EQ(set.column, ColStationSet);
    EXPECT_EQ(set.keys, std::vector<std::string>{"00010"});
    EXPECT_EQ(set.labels, std::vector<std::string>{"Zeta"});
}

TEST(StationSet, VirtualMembersNeedAnEntryWithMembers) {
    TStationTree tree;
    tree.Build(SampleStations(), kVirtual, true);
    std::vector<TVirtualEntry> entries;
    for (const auto& raw : kVirtual)
        if (!raw.empty()) entries.push_back(ParseVirtualEntry(raw));
    ASSERT_TRUE(tree.Toggle(tree.Find("Suma A")));
    ASSERT_TRUE(tree.Toggle(tree.Find("bilans"))); // no members: not part of the set
    ASSERT_TRUE(tree.Toggle(tree.Find("00001 Alfa")));
    TNodeRef selected;
    const TStationSet set = ComputeStationSet(tree, selected, entries);
    // Tree order: the group "Północ" with Alfa comes before "Suma A".
    EXPECT_EQ(set.keys, (std::vector<std::string>{"00001", "+00001+00004"}));
    EXPECT_EQ(set.labels, (std::vector<std::string>{"Alfa", "Suma A"}));
    EXPECT_EQ(KeyLabelList(set.keys, set.labels), (std::vector<std::string>{"00001@Alfa", "+00001+00004@Suma A"}));
}

TEST(StationSet, SelectedNodeWhenNothingIsTicked) {
    TStationTree tree;
    tree.Build(SampleStations(), kVirtual, true);
    TNodeRef selected;
    TStationSet set = ComputeStationSet(tree, selected, {});
    EXPECT_EQ(selected, (TNodeRef{0, -1})) << "the first node gets selected";
    EXPECT_EQ(set.title, "Kiv - 00002 Beta");
    EXPECT_EQ(set.column, ColKind6);

    selected = tree.Find("Północ");
    set = ComputeStationSet(tree, selected, {});
    EXPECT_EQ(set.title, "Kiv");
    EXPECT_EQ(set.column, ColGroup);
    EXPECT_TRUE(set.keys.empty());

    selected = tree.Find("Suma A"); // no matching entry given
    set = ComputeStationSet(tree, selected, {});
    EXPECT_EQ(set.title, "Kiv");
    EXPECT_EQ(set.column, ColKind9);

    TStationTree empty;
    selected = {};
    set = ComputeStationSet(empty, selected, {});
    EXPECT_FALSE(selected.Valid());
    EXPECT_EQ(set.column, ColNoStation);
    EXPECT_EQ(set.title, "Kiv");
}

TEST(Availability, AnyDependsOnTelephoneCount) {
    for (int column : {ColGroup, ColKind5, ColKind6, ColKind7, ColKind8}) {
        EXPECT_FALSE(CommandEnabled(CmdModemAuto, static_cast<AvailabilityColumn>(column), 0));
        EXPECT_TRUE(CommandEnabled(CmdModemAuto, static_cast<AvailabilityColumn>(column), 1));
    }
    EXPECT_FALSE(CommandEnabled(CmdModemAuto, ColKind9, 5));
    EXPECT_EQ(ColumnOfKind(KindGroupSelected), ColGroup);
    EXPECT_EQ(ColumnOfKind(3), ColNoStation);
}

TEST(MainCommands, ExportDropsVirtualMembers) {
    std::vector<std::string> list{"+00001-00002@Bilans", "00003@Trzy", "00012+00013@Suma"};
    EXPECT_TRUE(RemoveVirtualMembers(list));
    EXPECT_EQ(list, std::vector<std::string>{"00003@Trzy"});
    EXPECT_FALSE(RemoveVirtualMembers(list));
}

} // namespace
} // namespace kiv

