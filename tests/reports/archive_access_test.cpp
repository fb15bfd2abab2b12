// The shared archive access of the analyses: the accepted-range clip, the
// parameter list of a station's month files and the fixed lists of virtual
// stations, descriptor look-up, member formulas, station series with their
// scaling, and the period proposed for a station.
#include "reports/archive_access.h"
#include "support/message_recorder.h"

#include "archive_fixture.h"
#include "common/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kiv {
namespace {

using test::At;

constexpr const char *kClipText = "Zakres czasowy danych nie mieści się w akceptowanych limitach";

TEST(ClipToAcceptedRange, Cases) {
    struct Row {
        const char *name;
        TimeStamp start, end, lower, upper;
        bool ok;
        TimeStamp wantStart, wantEnd;
    };
    const TimeStamp top = 4294967295u;
    const Row rows[] = {
        {"the main window's range never changes a period", 1000, 2000, 0, top, true, 1000, 2000},
        {"a range shorter than a day accepts anything", 1000, 2000, 500000, 580000, true, 1000, 2000},
        {"a range near the top does not wrap into a narrow one", 1000, 2000, top - 10, top, false, 1000, 2000},
        {"period before the range", 1000, 2000, 100000, 900000, false, 1000, 2000},
        {"period after the range", 950000, 990000, 100000, 900000, false, 950000, 990000},
        {"period inside", 200000, 300000, 100000, 900000, true, 200000, 300000},
        {"period over both ends", 50000, 950000, 100000, 900000, true, 100000, 900000},
        {"period over the lower end", 50000, 300000, 100000, 900000, true, 100000, 300000},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        MessageRecorder recorder;
        TimeStamp start = row.start, end = row.end;
        EXPECT_EQ(ClipToAcceptedRange(start, end, row.lower, row.upper), row.ok);
        EXPECT_EQ(start, row.wantStart);
        EXPECT_EQ(end, row.wantEnd);
        ASSERT_EQ(recorder.Count(), row.ok ? 0u : 1u);
        if (!row.ok) {
            EXPECT_EQ(recorder.Last().text, kClipText);
            EXPECT_EQ(recorder.Last().kind, MsgError);
        }
    }
}

// "name:full name" per entry, "name>descriptor name:..." when the two differ,
// ":?" without a descriptor, "-" for an empty position.
std::string Summary(const TParamList &list) {
    std::string text;
    for (const TNProf &entry : list) {
        if (!text.empty())
            text += " ";
        if (entry.name.empty()) {
            text += "-";
            continue;
        }
        const TParamDescriptor &d = entry.descriptor;
        text += entry.name;
        if (d.Found() && d.item.ShortName() != entry.name)
            text += ">" + d.item.ShortName();
        text += ":" + (d.Found() ? d.item.FullName() : std::string("?"));
    }
    return text;
}

TParamItem Described(const std::string &name, int32_t column, const std::string &fullName) {
    TParamItem item = test::ChannelItem(name, column);
    item.SetFullName(fullName);
    return item;
}

void StoreAs(const std::string &folder, const std::string &channel, const TParamItem &item, TimeStamp time) {
    SeedDataRandom(7);
    uint8_t record[kSampleSize];
    const uint8_t slot[5] = {1, 0, 0, 0x80, 0x3F};
    EncodeSample(record, time, 60, VtFloat32, slot, sizeof slot);
    TArchive archive;
    ASSERT_EQ(archive.StoreSamples(folder, 12, item, record, kSampleSize, test::Device(), channel), 0);
}

TEST(ListArchiveParameters, MonthFilesOfThePeriod) {
    test::TempFolder temp("kiv-params");
    const std::string data = temp.Folder();
    test::StoreSamples(data, 12, Described("dVn", 1, "marzec"), {{At(2024, 3, 20, 10), 1.0f}});
    test::StoreSamples(data, 12, Described("dVn", 1, "kwiecień"), {{At(2024, 4, 5, 10), 1.0f}});
    test::StoreSamples(data, 12, Described("Vn", 0, "licznik"), {{At(2024, 4, 2), 1.0f}});
    StoreAs(data, "Alias", Described("Other", 3, "inny"), At(2024, 3, 18));
    const std::string station = data + "FC_00012/";
    for (const char *junk : {"00012_2024_03_Broken.FCD", "00012_20x4_03_Bad.FCD", "00012_2024_13_Bad.FCD",
                             "00013_2024_03_dVn.FCD", "notes.txt"})
        std::ofstream(station + junk) << "damaged";

    struct Row {
        const char *name;
        TimeStamp from, to;
        const char *list;
        const char *kept; // what a report works through
        bool broken;      // the damaged March file was opened and reported
    };
    const Row rows[] = {
        {"15 March to 14 April: one dVn, March's descriptor", At(2024, 3, 15, 0, 0, 1), At(2024, 4, 15),
         "Vn:licznik dVn:marzec - Alias>Other:inny", "Vn:licznik dVn:marzec", true},
        {"April only", At(2024, 4, 1, 0, 0, 1), At(2024, 5, 1), "Vn:licznik dVn:kwiecień", "Vn:licznik dVn:kwiecień",
         false},
        {"zero bounds: every file, each name from its first month", 0, 0, "Vn:licznik dVn:marzec - Alias>Other:inny",
         "Vn:licznik dVn:marzec", true},
        {"from = to: names only, in file name order", At(2024, 3, 15), At(2024, 3, 15), "Alias:? Broken:? dVn:? Vn:?",
         "", false},
        {"a month without files", At(2024, 5, 1), At(2024, 6, 1), "", "", false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        MessageRecorder recorder;
        const TParamList list = ListArchiveParameters(data, 12, row.from, row.to);
        EXPECT_EQ(Summary(list), row.list);
        EXPECT_EQ(Summary(ReportParameters(list)), row.kept);
        EXPECT_EQ(recorder.Saw("00012_2024_03_Broken.FCD"), row.broken);
    }
}

// Each fixed entry as "column name kind paired graph unit flow flowunit threshold below above".
std::string FixedSummary(const TParamList &list) {
    std::string text;
    for (const TNProf &entry : list) {
        const TParamItem &i = entry.descriptor.item;
        if (entry.name.empty()) {
            text += "-|";
            continue;
        }
        text += std::to_string(i.ColumnIndex()) + " " + entry.name + " " + i.ShortName() + " " + i.Kind() + " " +
                i.PairedName() + " " + i.GraphTitle() + " " + i.Unit() + " '" + i.FlowName() + "' '" + i.FlowUnit() +
                "' " + std::to_string(i.Threshold()) + " " + std::to_string(i.FactorBelow()) + " " +
                std::to_string(i.FactorAbove()) + "|";
    }
    return text;
}

TEST(SetVirtualParameters, Variants) {
    const std::string vn = "Vn Vn V dVn m m3 '' '' 0.000000 1.000000 1.000000|";
    const std::string dvn = "dVn dVn dV Vn dV-Q m3 'Qn' 'm3/h' 0.000000 1.000000 1.000000|";
    const std::string vr = "Vr Vr V dVr m m3 '' '' 0.000000 1.000000 1.000000|";
    const std::string dvr = "dVr dVr dV Vr dV-Q m3 'Qn' 'm3/h' 0.000000 1.000000 1.000000|";
    const std::pair<int, std::string> rows[] = {
        {0, "0 " + vn + "1 " + dvn + "2 " + vr + "3 " + dvr},
        {1, "0 " + dvn + "-|-|3 " + dvr},
        {2, "0 " + vn + "1 " + dvn},
        {3, ""},
        {-1, ""},
    };
    for (const auto &[variant, want] : rows)
        EXPECT_EQ(FixedSummary(SetVirtualParameters(variant)), want) << "variant " << variant;
}

TEST(FindDescriptor, ByNameOrPosition) {
    TParamList list = SetVirtualParameters(1); // dVn, -, -, dVr
    list.push_back(list[0]);                   // a second dVn
    list.back().descriptor.item.SetColumnIndex(4);
    struct Row {
        const char *name;
        int occurrence;
        TimeStamp validFrom;
        int32_t column;
    };
    const Row rows[] = {
        {"dVr", 1, 0, 3},          {"dVn", 1, 0, 0},          {"dVn", 2, 0, 4},
        {"dVn", 3, kNoDescriptor, 0}, {"Vn", 1, kNoDescriptor, 0}, {"", 4, 0, 3},
        {"", 2, kNoDescriptor, 0}, {"", 0, kNoDescriptor, 0},  {"", 6, kNoDescriptor, 0},
    };
    for (const Row &row : rows) {
        const TParamDescriptor d = FindDescriptor(list, row.name, row.occurrence);
        EXPECT_EQ(d.validFrom, row.validFrom) << row.name << " " << row.occurrence;
        EXPECT_EQ(d.item.ColumnIndex(), row.column) << row.name << " " << row.occurrence;
    }
    EXPECT_EQ(kNoDescriptor, 199999999u);
}

TEST(ParseMemberFormula, Texts) {
    const std::pair<const char *, TNumTab> rows[] = {
        {"12-5", {12, -5}},
        {"+00012+00013-00020", {12, 13, -20}},
        {"00012", {12}},
        {"-00012", {-12}},
        {"12x", {}},
        {"", {}},
        {"12+", {}},
        {"12--5", {}},
        {"+", {}},
        {"1 2", {}},
        {"99999999999", {}},
    };
    for (const auto &[text, want] : rows)
        EXPECT_EQ(ParseMemberFormula(text), want) << '"' << text << '"';
}

TEST(LoadStationSeries, ScalingAroundTheThreshold) {
    struct Row {
        const char *name;
        float threshold;
        float value;
        double want;
        int16_t status;
    };
    const Row rows[] = {
        {"below the threshold", 100.0f, 99.5f, 199.0, 1},
        {"at the threshold", 100.0f, 100.0f, 50.0, 1},
        {"above the threshold", 100.0f, 150.0f, 75.0, 1},
        {"negative below a zero threshold", 0.0f, -3.0f, -6.0, 1},
        {"no number is left alone", 100.0f, test::kNoNumber, 0.0, 0},
        {"a threshold that is no number scales nothing", test::kNoNumber, 99.5f, 99.5, 1},
    };
    test::TempFolder temp("kiv-scaling");
    const TimeStamp at = At(2024, 3, 10, 5);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TParamItem item = test::ChannelItem("P", 5, "m");
        item.SetThreshold(row.threshold);
        item.SetFactorBelow(2.0f);
        item.SetFactorAbove(0.5f);
        const int address = 12 + static_cast<int>(&row - rows);
        test::StoreSamples(temp.Folder(), address, item, {{at, row.value}});
        TStationSeries series;
        ASSERT_EQ(LoadStationSeries(temp.Folder(), address, "P", at - 3600, at, false, series), 0);
        ASSERT_EQ(series.samples.size(), 1u);
        EXPECT_DOUBLE_EQ(series.samples[0].value, row.want);
        EXPECT_EQ(series.samples[0].status, row.status);
    }
}

// An increment file of a protocol-1 device holds the hourly and the daily archive.
TEST(LoadStationSeries, CounterOffsetAndTheDailyArchive) {
    test::TempFolder temp("kiv-series");
    const TParamItem item = test::ChannelItem("dVn");
    const TimeStamp day = At(2024, 3, 10);
    test::StoreSamples(temp.Folder(), 12, item,
                       {{day, 96.0f, 1440}, {day + 3600, 4.0f}, {day + 7200, 4.0f}, {day + 10800, 4.0f}},
                       test::Device("100"));
    test::StoreSamples(temp.Folder(), 12, item, {{day + 86400, 12.0f, 1440}}, test::Device("200"));
    struct Row {
        const char *name;
        bool counter;
        const char *times;
        const char *serial;
    };
    const Row rows[] = {
        {"an increment keeps the hourly archive", false, "01:00 02:00 03:00", "100"},
        {"a counter keeps everything from one second before", true, "00:00 01:00 02:00 03:00 00:00", "200"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TStationSeries series;
        ASSERT_EQ(LoadStationSeries(temp.Folder(), 12, "dVn", day + 1, day + 86400, row.counter, series), 0);
        std::string times;
        for (const TReportSample &s : series.samples)
            times += (times.empty() ? "" : " ") + StampText(s.time).substr(11, 5);
        EXPECT_EQ(times, row.times);
        EXPECT_EQ(series.cecha.serialNumber, row.serial);
        EXPECT_EQ(series.cecha.type, "MacMat");
    }
    TStationSeries none;
    EXPECT_EQ(LoadStationSeries(temp.Folder(), 13, "dVn", day, day + 86400, false, none), ArcNoFile);
    EXPECT_TRUE(none.samples.empty());
}

TEST(StationDefaultPeriod, NewestSampleOfAnyParameter) {
    MessageRecorder recorder;
    test::TempFolder temp("kiv-default");
    test::StoreSamples(temp.Folder(), 12, test::ChannelItem("dVn", 1), {{At(2024, 5, 20, 7), 1.0f}});
    test::StoreSamples(temp.Folder(), 12, test::ChannelItem("Vn", 0, "V"), {{At(2024, 6, 9, 13), 1.0f}});
    test::StoreSamples(temp.Folder(), 12, test::ChannelItem("Vn", 0, "V"), {{At(2024, 4, 30, 23), 1.0f}});
    std::filesystem::create_directories(temp.Folder() + "FC_00014");
    std::ofstream(temp.Folder() + "FC_00014/00014_2024_05_Vn.FCD") << "damaged";
    const std::pair<const char *, const char *> rows[] = {
        {"00012", "2024-06-01 00:00:00 2024-06-10 00:00:00"},
        {"12", "2024-06-01 00:00:00 2024-06-10 00:00:00"},
        {"+00012", "0 0"},
        {"00012-00013", "0 0"},
        {"00013", "0 0"},
        {"00014", "0 0"},
        {"99999", "0 0"},
        {"", "0 0"},
    };
    for (const auto &[key, want] : rows) {
        TimeStamp start = 1, end = 1;
        StationDefaultPeriod(temp.Folder(), key, start, end);
        const std::string got = start == 0 && end == 0 ? "0 0" : StampText(start) + " " + StampText(end);
        EXPECT_EQ(got, want) << '"' << key << '"';
    }
    EXPECT_TRUE(recorder.Saw("00014_2024_05_Vn.FCD")) << "the damaged file is reported";
}

} // namespace
} // namespace kiv
