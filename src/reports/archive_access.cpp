#include "reports/archive_access.h"

#include "config/station_db.h"
#include "datafiles/profile.h"
#include "support/messages.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <filesystem>
#include <iterator>

namespace kiv {
namespace {

constexpr TimeStamp kDay = 86400;
// "nnnnn_yyyy_mm_": the parameter name starts after it.
constexpr std::size_t kNameStart = 14;

// A month file of the station as its name tells it.
struct TMonthFile {
    std::string parameter;
    int year = 0;
    int month = 0;
};

bool Digits(const std::string &text, std::size_t at, std::size_t count, int &value) {
    const char *first = text.data() + at;
    const auto [end, ec] = std::from_chars(first, first + count, value);
    return ec == std::errc() && end == first + count && std::all_of(first, first + count, [](char c) {
               return c >= '0' && c <= '9';
           });
}

// Month files of the address, by name; names that do not parse are left out.
std::vector<TMonthFile> MonthFiles(const std::string &dataFolder, int address) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(StationFolderPath(dataFolder, address), ec), end; !ec && it != end;
         it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    const std::string prefix = FiveDigits(address) + "_";
    std::vector<TMonthFile> files;
    for (const std::string &name : names) {
        TMonthFile file;
        if (name.size() < kNameStart + 4 || name.compare(0, prefix.size(), prefix) != 0 || name[10] != '_' ||
            name[13] != '_' || name.compare(name.size() - 4, 4, ".FCD") != 0 || !Digits(name, 6, 4, file.year) ||
            !Digits(name, 11, 2, file.month) || file.month < 1 || file.month > 12)
            continue;
        file.parameter = name.substr(kNameStart, name.find('.', kNameStart) - kNameStart);
        files.push_back(std::move(file));
    }
    return files;
}

bool Listed(const TParamList &list, const std::string &name) {
    return std::any_of(list.begin(), list.end(), [&](const TNProf &entry) { return entry.name == name; });
}

// Opens the parameter for the period and puts its first descriptor in place.
// The archive's open status: 0, ArcNoFile or a failure whose message was shown.
int AddDescriptor(const std::string &dataFolder, int address, const std::string &parameter, TimeStamp from,
                  TimeStamp to, TParamList &list) {
    TArchive archive;
    const int status = archive.OpenPeriod(dataFolder, address, from, to, parameter);
    if (status != 0 || archive.SampleCount() == 0)
        return status;
    TParamDescriptor descriptor;
    if (!archive.DescriptorEntry(1, descriptor.validFrom, descriptor.item))
        return status;
    const int32_t column = descriptor.item.ColumnIndex();
    if (column < 0 || column >= kMaxProfileItems)
        return status;
    const auto at = static_cast<std::size_t>(column);
    if (list.size() <= at)
        list.resize(at + 1);
    list[at] = {parameter, descriptor};
    return status;
}

TNProf FixedEntry(const std::string &name, int32_t column) {
    const bool counter = name[0] == 'V';
    TNProf entry{name, {0, {}}};
    TParamItem &item = entry.descriptor.item;
    item.SetColumnIndex(column);
    item.SetShortName(name);
    item.SetUnit("m3");
    item.SetKind(counter ? "V" : "dV");
    item.SetPairedName(counter ? "d" + name : name.substr(1));
    item.SetGraphTitle(counter ? "m" : "dV-Q");
    item.SetFlowName(counter ? "" : "Qn");
    item.SetFlowUnit(counter ? "" : "m3/h");
    item.SetThreshold(0.0f);
    item.SetFactorBelow(1.0f);
    item.SetFactorAbove(1.0f);
    item.SetParamNumber(kNoParamNumber);
    item.SetHourIndex(-1);
    item.SetDayIndex(-1);
    item.SetCondFirst(-1);
    item.SetCondSecond(-1);
    return entry;
}

bool FiniteFloat(float value) { return (std::bit_cast<uint32_t>(value) & 0x7F800000u) != 0x7F800000u; }

// Scales each sample with the descriptor in force at it.
void Scale(const TArchive &archive, std::vector<TReportSample> &samples) {
    std::vector<TParamItem> items(static_cast<std::size_t>(archive.DescriptorCount()));
    for (std::size_t i = 0; i < items.size(); ++i) {
        TimeStamp validFrom = 0;
        (void)archive.DescriptorEntry(static_cast<int>(i + 1), validFrom, items[i]);
    }
    for (TReportSample &s : samples) {
        const auto at = static_cast<std::size_t>(s.descriptorIndex - 1);
        if (s.status != 1 || at >= items.size() || !FiniteFloat(items[at].Threshold()))
            continue;
        const TParamItem &item = items[at];
        s.value *= s.value < item.Threshold() ? item.FactorBelow() : item.FactorAbove();
    }
}

} // namespace

int KeyAddress(const std::string &key) {
    int address = 0;
    if (key.empty() || key.size() > 5 || !Digits(key, 0, key.size(), address) || address > kMaxStationAddress)
        return 0;
    return address;
}

bool ClipToAcceptedRange(TimeStamp &start, TimeStamp &end, TimeStamp lower, TimeStamp upper) {
    if (static_cast<TimeStamp>(lower + kDay) >= upper)
        return true;
    if (lower > end || upper < start) {
        (void)MessageDlg("", "Zakres czasowy danych nie mieści się w akceptowanych limitach", MsgError, BtnOk);
        return false;
    }
    start = std::max(start, lower);
    end = std::min(end, upper);
    return true;
}

TParamList ListArchiveParameters(const std::string &dataFolder, int address, TimeStamp from, TimeStamp to) {
    std::vector<std::string> unreadable;
    return ListArchiveParameters(dataFolder, address, from, to, unreadable);
}

TParamList ListArchiveParameters(const std::string &dataFolder, int address, TimeStamp from, TimeStamp to,
                                 std::vector<std::string> &unreadable) {
    TParamList list;
    const bool namesOnly = from == to && from != 0;
    for (const TMonthFile &file : MonthFiles(dataFolder, address)) {
        if (Listed(list, file.parameter))
            continue;
        if (namesOnly) {
            list.push_back({file.parameter, {}});
            continue;
        }
        const TimeStamp monthStart = MonthStart(file.year, file.month);
        const TimeStamp monthEnd = MonthEnd(file.year, file.month);
        const TimeStamp periodFrom = from == 0 ? monthStart : from;
        const TimeStamp periodTo = to == 0 ? monthEnd : to;
        if (periodFrom > monthEnd || periodTo < monthStart)
            continue;
        const int status = AddDescriptor(dataFolder, address, file.parameter, periodFrom, periodTo, list);
        if (status != 0 && status != ArcNoFile &&
            std::find(unreadable.begin(), unreadable.end(), file.parameter) == unreadable.end())
            unreadable.push_back(file.parameter);
    }
    return list;
}

TParamList ReportParameters(const TParamList &list) {
    TParamList kept;
    std::copy_if(list.begin(), list.end(), std::back_inserter(kept), [](const TNProf &entry) {
        return !entry.name.empty() && entry.name == entry.descriptor.item.ShortName();
    });
    return kept;
}

TParamList SetVirtualParameters(int variant) {
    struct TFixed {
        const char *name;
        int32_t column;
    };
    static const std::vector<TFixed> kVariants[] = {
        {{"Vn", 0}, {"dVn", 1}, {"Vr", 2}, {"dVr", 3}},
        {{"dVn", 0}, {"dVr", 3}},
        {{"Vn", 0}, {"dVn", 1}},
    };
    TParamList list;
    if (variant < 0 || variant >= static_cast<int>(std::size(kVariants)))
        return list;
    for (const TFixed &fixed : kVariants[variant]) {
        const auto at = static_cast<std::size_t>(fixed.column);
        if (list.size() <= at)
            list.resize(at + 1);
        list[at] = FixedEntry(fixed.name, fixed.column);
    }
    return list;
}

TParamDescriptor FindDescriptor(const TParamList &list, const std::string &name, int occurrence) {
    if (name.empty())
        return occurrence >= 1 && occurrence <= static_cast<int>(list.size())
                   ? list[static_cast<std::size_t>(occurrence - 1)].descriptor
                   : TParamDescriptor{};
    int seen = 0;
    for (const TNProf &entry : list)
        if (entry.descriptor.item.ShortName() == name && ++seen == occurrence)
            return entry.descriptor;
    return {};
}

TNumTab ParseMemberFormula(const std::string &text) {
    TNumTab members;
    std::size_t at = 0;
    while (at < text.size() || members.empty()) {
        const bool negative = at < text.size() && text[at] == '-';
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        const std::size_t next = std::min(text.find_first_of("+-", at), text.size());
        int32_t number = 0;
        const auto [end, ec] = std::from_chars(text.data() + at, text.data() + next, number);
        if (next == at || ec != std::errc() || end != text.data() + next)
            return {};
        members.push_back(negative ? -number : number);
        at = next;
    }
    return members;
}

bool IsDailySample(const TReportSample &sample) { return sample.interval >= 1440; }

int LoadStationSeries(const std::string &dataFolder, int address, const std::string &parameter, TimeStamp from,
                      TimeStamp to, bool counter, TStationSeries &series) {
    series = {};
    if (address < 1 || address > kMaxStationAddress)
        return ArcNoFile;
    TArchive archive;
    TimeStamp start = counter && from > 0 ? from - 1 : from;
    TimeStamp end = to;
    const int status = archive.OpenPeriod(dataFolder, address, start, end, parameter);
    if (status != 0)
        return status;
    archive.ReportSamples(series.samples);
    if (!counter)
        std::erase_if(series.samples, IsDailySample);
    Scale(archive, series.samples);
    TimeStamp validFrom = 0;
    const int identity = series.samples.empty() ? archive.IdentityCount() : series.samples.back().identityIndex;
    (void)archive.IdentityEntry(identity, validFrom, series.cecha);
    return status;
}

void StationDefaultPeriod(const std::string &dataFolder, const std::string &key, TimeStamp &start,
                          TimeStamp &end) {
    start = end = 0;
    const int address = KeyAddress(key);
    if (address == 0)
        return;
    int64_t newest = 0;
    for (const TNProf &entry : ListArchiveParameters(dataFolder, address, 0, 0))
        if (!entry.name.empty())
            newest = std::max(newest, TArchive::NewestSampleTime(dataFolder, address, entry.name));
    if (newest <= 0)
        return;
    TDateTime day = DecodeTime(static_cast<TimeStamp>(newest));
    day.hour = day.minute = day.second = 0;
    end = EncodeTime(day) + kDay;
    day.day = 1;
    start = EncodeTime(day);
}

} // namespace kiv
