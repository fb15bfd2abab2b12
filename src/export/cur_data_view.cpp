#include "export/cur_data_view.h"

#include <algorithm>
#include <charconv>

#include "datafiles/fcc.h"
#include "datafiles/profile.h"
#include "datafiles/profile_catalogue.h"
#include "support/helpers.h"
#include "support/text_encoding.h"

namespace kiv {

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string VolumeName(int mode) {
    return mode == 1 ? "objętość w warunkach normalnych: Vn0+Vn1*10000"
                     : "objętość w warunkach normalnych: Vn0+Vn1*100000";
}

} // namespace

int LoadCurData(const TCurDataSource& source, TCurDataSet& set) {
    TFileFCC fcc;
    std::size_t count = 0;
    const uint8_t* values = nullptr;
    TimeStamp time = 0;
    std::string readWith;
    if (fcc.ReadCurrentData(source.dataFolder, source.address, count, values, time, readWith) != 0 ||
        values == nullptr || count == 0)
        return CurDataNoFile;

    TProfileRecord profile;
    switch (ReadCatalogueProfile(source.profileNames, source.profileFiles, ProgramFolder(), source.deviceProfile,
                                 profile)) {
    case ProfileRead: break;
    case ProfileNotInCatalogue: return CurDataNoProfile;
    default: return CurDataBadProfile;
    }
    if (readWith != profile.params.Name()) return CurDataOtherProfile;

    set = {};
    set.values.assign(values, values + count);
    set.time = time;
    for (const std::string& entry : profile.groups) {
        set.groupNames.push_back(GroupEntryName(entry));
        set.groupCaptions.push_back(DecodeText(GroupEntryCaption(entry)));
    }
    std::vector<TParamItem>& items = profile.items;
    items.resize(static_cast<std::size_t>(TFCProfileRdWr::CompactItems(items.data(), static_cast<int>(items.size()))));
    set.items = std::move(items);
    return CurDataLoaded;
}

std::string CurDataLoadMessage(int result, const std::string& deviceProfile) {
    switch (result) {
    case CurDataNoFile: return "Brak poprawnego zbioru danych bieżących";
    case CurDataNoProfile: return "Brak profilu urządzenia \"" + deviceProfile + "\" w folderze programu";
    case CurDataBadProfile: return "Błąd odczytu profilu";
    case CurDataOtherProfile: return "Dane bieżące odczytano innym profilem";
    default: return {};
    }
}

std::vector<TCurDataRow> GroupRows(const TCurDataSet& set, const std::string& groupName, const TVnCalc& calc) {
    std::vector<TCurDataRow> rows;
    const int count = static_cast<int>(set.items.size());
    bool haveVn0 = false;
    bool haveVn1 = false;
    double vn0 = 0;
    double vn1 = 0;
    std::size_t after = 0; // rows up to the later counter's row
    for (int r = 0; r < count; ++r) {
        const TParamItem& item = set.items[static_cast<std::size_t>(r)];
        if (item.GroupName() != groupName) continue;
        std::string value;
        const long at = TFCProfileRdWr::ValueOffset(set.items.data(), count, set.values.data(), set.values.size(),
                                                    item.ParamNumber());
        if (at >= 0)
            value = Trimmed(TFCProfileRdWr::ValueText(set.values.data() + at,
                                                      set.values.size() - static_cast<std::size_t>(at),
                                                      item.TypeCode()));
        rows.push_back({DecodeText(item.FullName()), DecodeText(item.Unit()), value});
        if (calc.mode <= 0) continue;
        if (r == calc.vn0Index && ValueNumber(value, vn0)) {
            haveVn0 = true;
            after = rows.size();
        }
        if (r == calc.vn1Index && ValueNumber(value, vn1)) {
            haveVn1 = true;
            after = rows.size();
        }
    }
    std::string volume;
    if (haveVn0 && haveVn1 && ComposedVolume(calc.mode, vn0, vn1, volume))
        rows.insert(rows.begin() + static_cast<long>(after), TCurDataRow{VolumeName(calc.mode), "m3", volume});
    return rows;
}

bool ComposedVolume(int mode, double vn0, double vn1, std::string& text) {
    if ((mode != 1 && mode != 2) || vn0 < 0 || vn1 < 0) return false;
    const double volume = vn0 + vn1 * (mode == 1 ? 10000.0 : 100000.0);
    char buffer[64];
    const auto done = std::to_chars(buffer, buffer + sizeof buffer, volume, std::chars_format::general, 15);
    text = Trimmed(std::string(buffer, done.ptr));
    return true;
}

bool ValueNumber(const std::string& text, double& number) {
    std::string plain = Trimmed(text);
    std::replace(plain.begin(), plain.end(), ',', '.');
    if (plain.empty()) return false;
    const char* end = plain.data() + plain.size();
    const auto done = std::from_chars(plain.data(), end, number);
    return done.ec == std::errc() && done.ptr == end;
}

std::string CurDataCaption(TimeStamp time) { return "Dane bieżące - " + StampText(time); }

} // namespace kiv
