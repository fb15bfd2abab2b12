#include "datafiles/folder_check.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "config/ini_file.h"
#include "config/station_db.h"
#include "config/text_case.h"
#include "datafiles/archive.h"
#include "datafiles/events.h"
#include "datafiles/fcc.h"
#include "support/file_replace.h"
#include "support/first_message.h"

namespace kiv {
namespace {

namespace fs = std::filesystem;

constexpr const char* kEmptyFile = "plik jest pusty (0 bajtów)";

// The series of one channel: the last sample time of each interval seen.
using TSeriesEnds = std::map<uint16_t, TimeStamp>;

// Where a station's findings go.
struct TStationCheck {
    std::string folder; // the station folder with its "/"
    int address = 0;
    TCheckSummary& summary;
    TFirstMessage& messages; // keeps what the readers would show off the screen

    void Add(TCheckKind kind, const std::string& subject, TCheckFinding finding = {}) {
        finding.address = address;
        finding.kind = kind;
        finding.subject = subject;
        summary.findings.push_back(std::move(finding));
    }
    void File(const std::string& name, std::string text) {
        TCheckFinding finding;
        finding.text = std::move(text);
        Add(TCheckKind::File, name, std::move(finding));
    }
    void Counted(TCheckKind kind, const std::string& name, long count, TimeStamp first) {
        TCheckFinding finding;
        finding.count = count;
        finding.first = first;
        Add(kind, name, std::move(finding));
    }
    void Gap(const std::string& channel, uint16_t interval, TimeStamp from, TimeStamp to) {
        TCheckFinding finding;
        finding.interval = interval;
        finding.from = from;
        finding.to = to;
        Add(TCheckKind::Gap, channel, std::move(finding));
    }
};

// A whole-file read of an empty file starts at its end.
bool IsEmptyRead(int rc) { return rc == -2; }

bool HasMainSection(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        if (EqualsNoCase(IniSectionName(text.substr(0, end)), "Main")) return true;
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return false;
}

void CheckStationFile(TStationCheck& st) {
    const std::string name = FiveDigits(st.address) + ".INI";
    std::string text;
    ++st.summary.files;
    if (const int rc = ReadWholeFile(st.folder + name, text); rc != 0)
        st.File(name, rc == 2 ? "brak pliku stacji" : FileErrorMessage(rc));
    else if (!HasMainSection(text))
        st.File(name, "brak sekcji [Main]");
}

// The file read whole; false (with the finding made) when it cannot be, or is empty.
bool ReadWhole(TStationCheck& st, const std::string& path, const std::string& name, Bytes& image) {
    ++st.summary.files;
    TPlik plik;
    const int rc = plik.ReadWholeFile(path, 0, image);
    if (rc == 0) return true;
    st.File(name, IsEmptyRead(rc) ? kEmptyFile : FileErrorMessage(rc));
    return false;
}

// Why a current data or events file whose container passes was refused: its sections.
std::string SectionFault(const Bytes& image, const char* magic) {
    const int fault = StoredImageFault(image, magic);
    return FileErrorMessage(fault != 0 ? fault : -30);
}

void CheckCurrentData(TStationCheck& st, const std::string& dataFolder) {
    const std::string path = FccFileName(dataFolder, st.address);
    if (TPlik::FileSize(path) < 0) return; // a station never read has none
    const std::string name = fs::path(path).filename().string();
    Bytes image;
    if (!ReadWhole(st, path, name, image)) return;
    TFileFCC fcc;
    std::size_t count = 0;
    const uint8_t* values = nullptr;
    TimeStamp time = 0;
    std::string profile;
    if (fcc.ReadCurrentData(dataFolder, st.address, count, values, time, profile) != 0)
        st.File(name, st.messages.Take());
    else if (fcc.identity.empty())
        st.File(name, SectionFault(image, "ZQFCC"));
}

// Older generations are the program's own copies of replaced events files; a
// damaged current file is moved there whole by the next read-out, so it keeps
// being named, as such, until the operator removes it.
void CheckEvents(TStationCheck& st, const std::string& dataFolder) {
    for (int generation = 0; generation <= kEventGenerations; ++generation) {
        const std::string path = EventsFileName(dataFolder, st.address, generation);
        if (TPlik::FileSize(path) < 0) continue;
        const std::string name = fs::path(path).filename().string();
        const std::string older = generation > 0 ? " (starsza generacja zdarzeń)" : "";
        Bytes image;
        if (!ReadWhole(st, path, name, image)) continue;
        TEventsFile file;
        if (ReadEventsFile(dataFolder, st.address, generation, {}, file) < 0) {
            st.File(name, SectionFault(image, kEventsMagic) + older);
            continue;
        }
        const std::size_t usable =
            file.records.empty() ? file.areaStart : file.records.back().offset + file.records.back().length;
        if (usable < file.image.size())
            st.File(name, "zdarzenia od bajtu " + std::to_string(usable) +
                              " nieczytelne: rekord krótszy niż 15 bajtów lub wychodzący poza koniec pliku" + older);
    }
}

struct TMonthFile {
    int year = 0;
    int month = 0;
    std::string name;
    bool operator<(const TMonthFile& o) const { return year != o.year ? year < o.year : month < o.month; }
};

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The month files of each channel, by channel name and then month. Only names
// the program itself would build are taken.
std::map<std::string, std::vector<TMonthFile>> ArchiveChannels(const std::string& folder, int address) {
    std::map<std::string, std::vector<TMonthFile>> channels;
    const std::string prefix = FiveDigits(address) + "_";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= 18 || !name.starts_with(prefix) || !name.ends_with(".FCD") || name[10] != '_' ||
            name[13] != '_' || !AllDigits(std::string_view(name).substr(6, 4)) ||
            !AllDigits(std::string_view(name).substr(11, 2)))
            continue;
        // The name keeps two digits of the year: 2070..2079 hold the 1970s.
        TMonthFile file{FullYear(std::stoi(name.substr(8, 2))), std::stoi(name.substr(11, 2)), name};
        const std::string channel = name.substr(14, name.size() - 18);
        if (file.month < 1 || file.month > 12 || ArchiveFileName(address, file.year, file.month, channel) != name)
            continue;
        channels[channel].push_back(std::move(file));
    }
    for (auto& [channel, files] : channels) std::sort(files.begin(), files.end());
    return channels;
}

// Samples out of order in a month file, and the gaps of its channel's series.
void FollowSeries(TStationCheck& st, const std::string& channel, const TMonthFile& file, const Bytes& samples,
                  TSeriesEnds& ends) {
    const TimeStamp start = MonthStart(file.year, file.month), end = MonthEnd(file.year, file.month);
    long late = 0, outside = 0;
    TimeStamp firstLate = 0, previous = 0;
    bool any = false;
    for (std::size_t pos = 0; pos + kSampleSize <= samples.size(); pos += kSampleSize) {
        const TimeStamp time = GetU32(samples, pos);
        if (time < start || time > end) {
            ++outside;
            continue;
        }
        if (any && time < previous && late++ == 0) firstLate = time;
        previous = time;
        any = true;
        const uint16_t interval = GetU16(samples, pos + 4);
        if (interval == 0) continue; // no length to measure a gap by
        const auto [it, fresh] = ends.try_emplace(interval, time);
        if (fresh) continue;
        if (time > it->second + 2u * 60u * interval) st.Gap(channel, interval, it->second, time);
        it->second = std::max(it->second, time);
    }
    if (late > 0) st.Counted(TCheckKind::Order, file.name, late, firstLate);
    if (outside > 0) st.Counted(TCheckKind::OutsideMonth, file.name, outside, 0);
}

// False when the month cannot be taken as a period read would take it.
bool CheckMonth(TStationCheck& st, const std::string& channel, const TMonthFile& file, TSeriesEnds& ends) {
    ++st.summary.files;
    TFcdContent content;
    const int rc = ReadFcdContent(st.folder + file.name, content);
    if (rc != 0 || content.validation != 0) {
        st.File(file.name, IsEmptyRead(rc) ? kEmptyFile : ArchiveFaultText(rc != 0 ? rc : content.validation));
        return false;
    }
    FollowSeries(st, channel, file, content.samples, ends);
    if (content.tailBytes != 0)
        st.File(file.name, "niepełna próbka na końcu obszaru danych (" + std::to_string(content.tailBytes) + " B)");
    return true;
}

// One channel across its months. A month that cannot be read breaks the
// series there: nothing is made up around it.
void CheckChannel(TStationCheck& st, const std::string& channel, const std::vector<TMonthFile>& files) {
    TSeriesEnds ends;
    for (const TMonthFile& file : files)
        if (!CheckMonth(st, channel, file, ends)) ends.clear();
}

// Polish count of samples: 1 próbka, 2 próbki, 5 próbek, 22 próbki.
std::string Samples(long count) {
    const long tens = count % 100, ones = count % 10;
    const char* word = count == 1                                           ? "próbka"
                       : ones >= 2 && ones <= 4 && (tens < 12 || tens > 14) ? "próbki"
                                                                           : "próbek";
    return std::to_string(count) + " " + word;
}

std::string LengthText(TimeStamp seconds) {
    const TimeStamp hours = seconds / 3600, minutes = seconds % 3600 / 60;
    if (hours == 0) return std::to_string(minutes) + " min";
    return std::to_string(hours) + " h" + (minutes != 0 ? " " + std::to_string(minutes) + " min" : "");
}

} // namespace

void CheckStation(const std::string& dataFolder, int address, TCheckSummary& summary) {
    TFirstMessage messages;
    TStationCheck st{StationFolder(dataFolder, address), address, summary, messages};
    ++summary.stations;
    CheckStationFile(st);
    CheckCurrentData(st, dataFolder);
    CheckEvents(st, dataFolder);
    for (const auto& [channel, files] : ArchiveChannels(st.folder, address)) CheckChannel(st, channel, files);
}

TCheckSummary CheckDataFolder(const std::string& dataFolder, const std::vector<int>& addresses) {
    TCheckSummary summary;
    if (!addresses.empty()) {
        for (int address : addresses) CheckStation(dataFolder, address, summary);
        return summary;
    }
    TStationDb db;
    db.Build(dataFolder);
    for (const TRekStacji& station : db.Stations()) CheckStation(dataFolder, station.address, summary);
    return summary;
}

std::string FindingLine(const TCheckFinding& f) {
    std::string line = FiveDigits(f.address) + "\t";
    switch (f.kind) {
    case TCheckKind::File:
        return line + "plik\t" + f.subject + "\t" + f.text;
    case TCheckKind::Order:
        return line + "kolejność\t" + f.subject + "\t" + Samples(f.count) + " nie po kolei, pierwsza " +
               StampText(f.first);
    case TCheckKind::OutsideMonth:
        return line + "poza miesiącem\t" + f.subject + "\t" + Samples(f.count) + " spoza miesiąca pliku";
    case TCheckKind::Gap:
        return line + "luka\t" + f.subject + "\t" + std::to_string(f.interval) + "\t" + StampText(f.from) + "\t" +
               StampText(f.to) + "\t" + LengthText(f.to - f.from);
    }
    return line;
}

std::string SummaryLine(const TCheckSummary& summary) {
    return "Sprawdzono stacji: " + std::to_string(summary.stations) + ", plików: " + std::to_string(summary.files) +
           "; znaleziono: " + std::to_string(summary.findings.size());
}

} // namespace kiv
