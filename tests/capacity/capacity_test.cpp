// The virtual station definition and the ordered capacity on small data
// folders: formulas as the definition window shows and saves them, entries
// rewritten with every later field kept, two data folders apart, and the
// capacity stored into PeakFlow or into the virtual station's entry.
#include "capacity/ordered_capacity.h"
#include "capacity/virtual_definition.h"

#include "common/temp_folder.h"
#include "config/config_test_util.h"
#include "config/program_settings.h"
#include "config/virtual_stations.h"

#include <gtest/gtest.h>

namespace kiv {
namespace {

using test::ReadBytes;
using test::WriteBytes;

class CapacityTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [address, label] : {std::pair{12, "Kotłownia"}, {13, "Szkoła"}, {20, "Łaźnia"}})
            WriteBytes(StationFilePath(folderA_, address), std::string("[Main]\nLabel=") + label + "\n");
        stations_.Build(folderA_);
        WriteBytes(kivIni_, "[" + VirtualSectionName(folderA_) + "]\nSum1=Bilans@12-20@150@Taryfa A@x\n" +
                                "Sum2=Druga@+00013@0\n[" + VirtualSectionName(folderB_) + "]\nSum1=Bilans@+00013@7\n");
    }
    [[nodiscard]] TDefinitionResult Save(int number, const std::string& opened, const std::string& label,
                                         const std::string& formula) const {
        return SaveDefinition({kivIni_, folderA_, number, opened, label, MembersOf(CleanFormula(formula), stations_)});
    }

    test::TempFolder temp_{"kiv-capacity"};
    std::string folderA_ = temp_.Folder() + "a/";
    std::string folderB_ = temp_.Folder() + "b/";
    std::string kivIni_ = temp_.File("Kiv.ini");
    TStationDb stations_;
};

TEST_F(CapacityTest, FormulaShownAsMembersAndSavedFromThem) {
    const struct {
        const char* name;
        const char* stored;
        std::vector<std::string> plus;
        std::vector<std::string> minus;
        const char* saved;
    } rows[] = {
        {"no signs, no zeros", "12-20", {"00012 Kotłownia"}, {"00020 Łaźnia"}, "+00012-00020"},
        {"one member subtracted", "-00012", {}, {"00012 Kotłownia"}, "-00012"},
        {"unknown member dropped", "+00012+00099-00013", {"00012 Kotłownia"}, {"00013 Szkoła"}, "+00012-00013"},
        {"blanks and letters dropped", "x1 2-2;0", {"00012 Kotłownia"}, {"00020 Łaźnia"}, "+00012-00020"},
        {"sign without digits", "+-13", {}, {"00013 Szkoła"}, "-00013"},
        {"too many digits", "+99999999999+00013", {"00013 Szkoła"}, {}, "+00013"},
        {"leading zeros beyond five", "+000000020", {"00020 Łaźnia"}, {}, "+00020"},
        {"empty", "", {}, {}, ""},
    };
    for (const auto& r : rows) {
        const TMemberLists members = MembersOf(CleanFormula(r.stored), stations_);
        EXPECT_EQ(members, (TMemberLists{r.plus, r.minus})) << r.name;
        EXPECT_EQ(BuildFormula(members), r.saved) << r.name;
    }
    const TMemberLists chosen{{"00012 Kotłownia"}, {}};
    EXPECT_TRUE(IsChosenMember("00012 Kotłownia", chosen));
    EXPECT_FALSE(IsChosenMember("00013 Szkoła", chosen));
    EXPECT_FALSE(IsChosenMember("Bilans", chosen));
    // Groups, virtual stations, stations gone and stations chosen already are no new members.
    EXPECT_EQ(PickedMembers({"Północ", "00012 Kotłownia", "00013 Szkoła", "Bilans", "00099 Brak", "00013 Szkoła"},
                            stations_, chosen),
              std::vector<std::string>{"00013 Szkoła"});
}

TEST_F(CapacityTest, SavingRenamesAddsAndRefusesWithinItsOwnFolder) {
    EXPECT_EQ(LookupSum(kivIni_, folderA_, "Druga").key, "Sum2");
    EXPECT_EQ(LookupSum(kivIni_, folderA_, "Brak").label, "");
    const TDefinitionResult renamed = Save(2, "Druga", "  Nowa nazwa ", "+00013");
    EXPECT_EQ(renamed.label, "Nowa nazwa");
    EXPECT_EQ(ReadSumEntry(kivIni_, folderA_, 2), "Nowa nazwa@+00013@0");
    const TDefinitionResult added = Save(0, "", "Trzecia", "13");
    EXPECT_EQ(added.number, 3);
    EXPECT_EQ(ReadSumEntry(kivIni_, folderA_, 3), "Trzecia@+00013@0");

    const std::string before = ReadBytes(kivIni_);
    EXPECT_EQ(Save(2, "Nowa nazwa", " ", "13").result, DefinitionSave::NoLabel);
    EXPECT_EQ(Save(2, "Nowa nazwa", "A@B", "13").result, DefinitionSave::LabelHasSeparator);
    EXPECT_EQ(Save(2, "Nowa nazwa", "Bilans", "13").result, DefinitionSave::LabelTaken);
    EXPECT_EQ(ReadBytes(kivIni_), before);

    EXPECT_EQ(ReadSumEntries(kivIni_, folderB_), std::vector<std::string>{"Bilans@+00013@7"});
    ASSERT_TRUE(EraseVirtualSection(kivIni_, folderA_));
    EXPECT_TRUE(ReadSumEntries(kivIni_, folderA_).empty());
    EXPECT_EQ(ReadSumEntries(kivIni_, folderB_), std::vector<std::string>{"Bilans@+00013@7"});
}

// The windows' own cases (an absent PeakFlow, "Anuluj", 150 ending in "@")
// are in the window test; these are what the field may hold and what may fail.
TEST_F(CapacityTest, CapacityStoredIntoPeakFlowOrTheEntry) {
    const TCapacitySubject station{"00012 Kotłownia", folderA_, false, kivIni_};
    const std::string file = StationFilePath(folderA_, 12);
    EXPECT_EQ(StationOrderedCapacity(file), 1);
    EXPECT_EQ(StoreCapacity(station, ReadCapacity(station), " 30"), CapacityStore::Stored);
    EXPECT_EQ(StationOrderedCapacity(file), 30);
    EXPECT_EQ(StoreCapacity(station, ReadCapacity(station), " "), CapacityStore::NothingToStore);
    EXPECT_EQ(ReadCapacity(station).value, "30");

    const TCapacitySubject bilans{"Bilans", folderA_, true, kivIni_};
    EXPECT_EQ(StoreCapacity(bilans, ReadCapacity(bilans), "1 5"), CapacityStore::Stored);
    EXPECT_EQ(ReadSumEntry(kivIni_, folderA_, 1), "Bilans@12-20@15@Taryfa A@x");
    EXPECT_EQ(ReadSumEntry(kivIni_, folderB_, 1), "Bilans@+00013@7");
    const std::string before = ReadBytes(kivIni_);
    const TCapacitySubject missing{"Brak", folderA_, true, kivIni_};
    EXPECT_EQ(StoreCapacity(missing, ReadCapacity(missing), "5"), CapacityStore::NoEntry);
    EXPECT_EQ(StoreCapacity(missing, ReadCapacity(missing), ""), CapacityStore::NothingToStore);
    EXPECT_EQ(ReadBytes(kivIni_), before);
    const TCapacitySubject gone{"00077 Nie ma", folderA_, false, kivIni_};
    EXPECT_EQ(StoreCapacity(gone, ReadCapacity(gone), "5"), CapacityStore::WriteFailed);
}

// What the period report and the graph compare the hours with: a missing
// or non-numeric value is 1, for a station's PeakFlow as for the entry's
// third field; the entries end at the first missing key (Sum6).
TEST_F(CapacityTest, OrderedCapacityIsOneWhenMissingOrNoNumber) {
    WriteBytes(kivIni_, "[" + VirtualSectionName(folderA_) + "]\nSum1=Pusta@+00012@\nSum2=Tekst@+00012@sto@T\n" +
                            "Sum3=Krótka@+00012\nsum4=Liczba@+00012@ 250 @T\nSum5=Zero@+00012@0\n" +
                            "Sum7=Za luką@+00012@40\n");
    const std::string file = StationFilePath(folderA_, 13);
    const struct {
        const char* peakFlow; // nullptr: no key
        int station;
        const char* label;
        int virtualStation;
    } rows[] = {
        {nullptr, 1, "Brak", 1},  {"", 1, "Pusta", 1},     {"sto", 1, "Tekst", 1},          {"12x", 1, "Krótka", 1},
        {"+30", 30, "Liczba", 250}, {"0", 0, "Zero", 0}, {"99999999999", 1, "Za luką", 1},
    };
    for (const auto& r : rows) {
        WriteBytes(file, r.peakFlow ? std::string("[Measurements]\nPeakFlow=") + r.peakFlow + "\n" : "[Main]\n");
        EXPECT_EQ(StationOrderedCapacity(file), r.station) << (r.peakFlow ? r.peakFlow : "no key");
        EXPECT_EQ(VirtualOrderedCapacity(kivIni_, folderA_, r.label), r.virtualStation) << r.label;
    }
}

} // namespace
} // namespace kiv
