#include "datafiles/profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "profile_test_util.h"
#include "support/message_recorder.h"

using namespace kiv;
using namespace kiv::test;

namespace {

TRecProfParams Params(int32_t number = 0) {
    TRecProfParams p;
    p.profileByte = 2;
    p.profileNumber = number;
    p.texts = {"Kivmet KM-200", "Kivmet", "KM-200", "", ""};
    return p;
}

std::vector<TParamItem> ThreeItems() {
    return {MakeItem("Vn", 0, 9, 1), MakeItem("dVn", -1, 0, 2, 3), MakeItem("P", 1, 7, 7)};
}

class ProfileFile : public ::testing::Test {
protected:
    std::string Write(const TRecProfParams& params, const std::vector<TParamItem>& items,
                      const std::vector<std::string>& groups = {"LICZ=Liczniki"}) {
        const std::string name = folder.File("T.FCP");
        EXPECT_EQ(0, rw.WriteProfile(name, params, items.data(), static_cast<int>(items.size()), groups));
        return name;
    }
    bool Read(const std::string& name) { return rw.ReadProfile(name, params, items, groups); }

    TempFolder folder;
    MessageRecorder messages;
    TFCProfileRdWr rw;
    TRecProfParams params;
    std::vector<TParamItem> items;
    std::vector<std::string> groups;
};

TEST_F(ProfileFile, WrittenProfileReadsBackWhole) {
    const auto written = ThreeItems();
    const std::string name = Write(Params(17), written, {"LICZ=Liczniki", "POM=Pomiary", "X=a=b"});
    ASSERT_TRUE(Read(name));
    EXPECT_EQ(Params(17), params);
    EXPECT_EQ(written, items);
    EXPECT_EQ((std::vector<std::string>{"LICZ=Liczniki", "POM=Pomiary", "X=a=b"}), groups);
    EXPECT_EQ(3, rw.ItemCount(name));
    EXPECT_EQ(0u, messages.Count());
}

TEST_F(ProfileFile, OptionalSectionsAbsentReadAsEmptyAndZero) {
    TRecProfParams bare = Params(0);
    bare.texts[2].clear();
    const std::string name = Write(bare, ThreeItems(), {});
    const Bytes image = ReadRaw(name);
    for (int32_t id : {3005, 3006, 3007, 3009, 3010}) EXPECT_EQ(-1, FindSection(image, 0, id)) << id;
    params.profileNumber = 99;
    params.texts[2] = "stale";
    ASSERT_TRUE(Read(name));
    EXPECT_EQ(0, params.profileNumber);
    EXPECT_EQ("", params.texts[2]);
    EXPECT_EQ("", params.texts[3]);
    EXPECT_EQ("", params.texts[4]);
    EXPECT_TRUE(groups.empty());
}

TEST_F(ProfileFile, ItemCountNeedsWholeItems) {
    const std::string name = folder.File("C.FCP");
    Bytes image(kHeaderSize, 0);
    PutU16(image, 7, kHeaderSize);
    image.resize(kHeaderSize + 238);
    WriteRaw(name, image);
    EXPECT_EQ(0, rw.ItemCount(name));
    image.resize(kHeaderSize + 2 * 237);
    WriteRaw(name, image);
    EXPECT_EQ(2, rw.ItemCount(name));
    image.resize(kHeaderSize + 1001 * 237);
    WriteRaw(name, image);
    EXPECT_EQ(0, rw.ItemCount(name));
    image.assign(19, 0);
    WriteRaw(name, image);
    EXPECT_EQ(0, rw.ItemCount(name));
    EXPECT_EQ(0, rw.ItemCount(folder.File("missing.FCP")));
}

TEST_F(ProfileFile, DamagedFilesDoNotValidateAndShowNothing) {
    const std::string name = Write(Params(), ThreeItems());
    const Bytes good = ReadRaw(name);
    struct Damage {
        const char* what;
        std::size_t offset;
        uint8_t value;
    };
    const long key1 = FindSection(good, 0, 3001);
    const Damage damages[] = {
        {"magic", 4, 'D'},
        {"version 2", 5, 2},
        {"length field", 11, static_cast<uint8_t>(good[11] + 1)},
        {"data area byte", good.size() - 5, static_cast<uint8_t>(good[good.size() - 5] ^ 0x40)},
        {"key section renamed", static_cast<std::size_t>(key1) + 2, 0x77},
    };
    for (const Damage& d : damages) {
        Bytes bad = good;
        bad[d.offset] = d.value;
        WriteRaw(name, bad);
        EXPECT_FALSE(Read(name)) << d.what;
    }
    EXPECT_EQ(0u, messages.Count());
}

TEST_F(ProfileFile, MissingFileShowsItsMessage) {
    EXPECT_FALSE(Read(folder.File("none.FCP")));
    ASSERT_EQ(1u, messages.Count());
    EXPECT_EQ("Nie znaleziono pliku (2)", messages.Last().text);
}

TEST_F(ProfileFile, CapacityLimitsTheCopiedItems) {
    const std::string name = Write(Params(), ThreeItems());
    std::vector<TParamItem> two(2);
    ASSERT_TRUE(rw.ReadProfile(name, params, 2, two.data(), groups));
    EXPECT_EQ("Vn", two[0].ShortName());
    EXPECT_EQ("dVn", two[1].ShortName());
}

TEST_F(ProfileFile, ProfileTextsComeFromTheHeaderOnly) {
    TRecProfParams p = Params();
    p.texts[3] = "123";
    const std::string name = Write(p, ThreeItems());
    std::string t1 = "x", t2 = "x", t3 = "x", t4 = "x";
    ASSERT_TRUE(rw.ReadProfileTexts(name, t1, t2, t3, t4));
    EXPECT_EQ("Kivmet KM-200", t1);
    EXPECT_EQ("Kivmet", t2);
    EXPECT_EQ("KM-200", t3);
    EXPECT_EQ("123", t4);
    t1 = t2 = t3 = t4 = "x";
    EXPECT_FALSE(rw.ReadProfileTexts(folder.File("none.FCP"), t1, t2, t3, t4));
    EXPECT_EQ("", t1 + t2 + t3 + t4);
    EXPECT_EQ(0u, messages.Count());
}

TEST_F(ProfileFile, BuilderRefusesWhatTheFileCannotHold) {
    std::vector<TParamItem> many(1001);
    EXPECT_TRUE(rw.BuildProfile(Params(), many.data(), 1001, {}).empty());
    EXPECT_TRUE(rw.BuildProfile(Params(), many.data(), 0, {}).empty());
    const std::vector<std::string> huge(700, std::string(100, 'g'));
    EXPECT_TRUE(rw.BuildProfile(Params(), many.data(), 1, huge).empty());
    EXPECT_FALSE(rw.BuildProfile(Params(), many.data(), 1000, {}).empty());
}

TEST(ProfileList, FindsProfilesInAnyCaseAndSkipsFolders) {
    TempFolder folder;
    for (const char* name : {"b.fcp", "a.FCP", "c.Fcp", "d.txt", "FCP", "e.FCPX"}) WriteRaw(folder.File(name), {1});
    std::filesystem::create_directory(folder.File("dir.FCP"));
    EXPECT_EQ((std::vector<std::string>{"a.FCP", "b.fcp", "c.Fcp"}), TFCProfileRdWr::ListProfiles(folder.Folder()));
    EXPECT_TRUE(TFCProfileRdWr::ListProfiles(folder.File("missing")).empty());
}

TEST(ProfileItems, CompactDropsNegativeNumbersAndSortsTheRest) {
    std::vector<TParamItem> items = {MakeItem("a", 7, 4), MakeItem("b", -1, 4), MakeItem("c", 3, 4)};
    ASSERT_EQ(2, TFCProfileRdWr::CompactItems(items.data(), 3));
    EXPECT_EQ("c", items[0].ShortName());
    EXPECT_EQ("a", items[1].ShortName());

    std::vector<TParamItem> more = {MakeItem("a", 5, 4), MakeItem("b", 0, 4), MakeItem("c", -3, 4),
                                    MakeItem("d", 9, 4), MakeItem("e", 2, 4)};
    ASSERT_EQ(4, TFCProfileRdWr::CompactItems(more.data(), 5));
    EXPECT_EQ("b e a d", more[0].ShortName() + " " + more[1].ShortName() + " " + more[2].ShortName() + " " +
                             more[3].ShortName());
    EXPECT_EQ(0, TFCProfileRdWr::CompactItems(more.data(), 0));
}

TEST(ProfileItems, DropUnreadKeepsItemsWithAnyArchiveInOrder) {
    std::vector<TParamItem> items = {MakeItem("a", 0, 4, -1, -1), MakeItem("b", 1, 4, 3, -1),
                                     MakeItem("c", 2, 4, -1, -1), MakeItem("d", 3, 4, -1, 0),
                                     MakeItem("e", 4, 4, 0, 5)};
    ASSERT_EQ(3, TFCProfileRdWr::DropUnreadItems(items.data(), 5));
    EXPECT_EQ("b", items[0].ShortName());
    EXPECT_EQ("d", items[1].ShortName());
    EXPECT_EQ("e", items[2].ShortName());
}

TEST(ProfileItems, AccessorsHitTheStoredOffsets) {
    TParamItem item;
    item.SetColumnIndex(0x01020304);
    item.SetShortName("dVn");
    item.SetGroupName("LICZ");
    item.SetParamNumber(-1);
    item.SetDayTypeCode(7);
    item.SetCondSecond(12);
    item.SetFlowUnit("m3/h");
    item.SetFactorAbove(2.0f);
    EXPECT_EQ(0x04, item.raw[0]);
    EXPECT_EQ(0x01, item.raw[3]);
    EXPECT_EQ(3, item.raw[4]);
    EXPECT_EQ('d', item.raw[5]);
    EXPECT_EQ(4, item.raw[127]);
    EXPECT_EQ(0xFF, item.raw[142]);
    EXPECT_EQ(7, item.raw[153]);
    EXPECT_EQ(12, item.raw[158]);
    EXPECT_EQ(4, item.raw[206]);
    EXPECT_EQ(0x40, item.raw[232]); // 2.0f is 0x40000000
    // A stored length beyond the room is cut to it; a longer text is cut on writing.
    item.raw[162] = 200;
    EXPECT_EQ(10u, item.Kind().size());
    item.SetFullName("Objętość");
    item.SetShortName(std::string(30, 'x'));
    EXPECT_EQ(20u, item.ShortName().size());
    EXPECT_EQ("Objętość", item.FullName());
}

} // namespace
