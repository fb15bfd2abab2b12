#include "datafiles/folder_check.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

#include "config/ini_file.h"
#include "config/station_db.h"
#include "config/text_case.h"
#include "datafiles/archive.h"
#include "datafiles/events.h"
#include "datafiles/fcc.h"
#include "support/file_replace.h"
#include "support/messages.h"

namespace kiv {
namespace {

namespace fs = std::filesystem;

constexpr const char* kEmptyFile = "plik jest pusty (0 bajtów)";

// While it lives, the messages a reader would show are kept instead.
class TMessageCapture : public IMessageSink {
public:
    TMessageCapture() : previous_(SetMessageSink(this)) {}
    ~TMessageCapture() override { SetMessageSink(previous_); }
    TMessageCapture(const TMessageCapture&) = delete;
    TMessageCapture& operator=(const TMessageCapture&) = delete;

    int Show(const std::string&, const std::string& text, int, unsigned) override {
        last_ = text;
        return ResOk;
    }
    // The last message, without the quoted path the archive appends to it.
    [[nodiscard]] std::string Take(const std::string& path) {
        std::string text = std::move(last_);
        last_.clear();
        const std::string quoted = " \"" + path + "\"";
        if (text.size() > quoted.size() && text.ends_with(quoted)) text.resize(text.size() - quoted.size());
        return text;
    }

private:
    IMessageSink* previous_;
    std::string last_;
};

// Where a station's findings go.
struct TStationCheck {
    std::string folder; // the station folder with its "/"
    int address = 0;
    TCheckSummary& summary;
    TMessageCapture& capture;

    void File(const std::string& name, std::string text) {
        TCheckFinding f;
        f.address = address;
        f.subject = name;
        f.text = std::move(text);
        summary.findings.push_back(std::move(f));
    }
    void Counted(TCheckKind kind, const std::string& name, long count, TimeStamp first) {
        TCheckFinding f;
        f.address = address;
        f.kind = kind;
        f.subject = name;
        f.count = count;
        f.first = first;
        summary.findings.push_back(std::move(f));
    }
    void Gap(const std::string& channel, int interval, TimeStamp from, TimeStamp to) {
        TCheckFinding f;
        f.address = address;
        f.kind = TCheckKind::Gap;
        f.subject = channel;
        f.interval = interval;
        f.from = from;
        f.to = to;
        summary.findings.push_back(std::move(f));
    }
};

// Why a current data or events file was refused, as a file error code: both
// kinds carry their CRC over the bytes as stored.
int StoredFormFault(const Bytes& image, const char* magic) {
    TFileHeader header;
    if (!ReadHeader(image, header) || std::memcmp(header.magic, magic, 5) != 0 || header.version != 1) return -10;
    if (header.fileLength != image.size()) return -200;
    if (header.crc != Crc32(image.data() + kHeaderSize, image.size() - kHeaderSize)) return -100;
    return -30;
}

std::string StoredFormFaultText(const std::string& path, const char* magic) {
    TPlik plik;
    Bytes image;
    const int rc = plik.ReadWholeFile(path, 0, image);
    return FileErrorMessage(rc != 0 ? rc : StoredFormFault(image, magic));
}

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

void CheckCurrentData(TStationCheck& st, const std::string& dataFolder) {
    const std::string path = FccFileName(dataFolder, st.address);
    const long size = TPlik::FileSize(path);
    if (size < 0) return; // a station never read has none
    ++st.summary.files;
    const std::string name = fs::path(path).filename().string();
    if (size == 0) return st.File(name, kEmptyFile);
    TFileFCC fcc;
    std::size_t count = 0;
    const uint8_t* values = nullptr;
    TimeStamp time = 0;
    std::string profile;
    const int rc = fcc.ReadCurrentData(dataFolder, st.address, count, values, time, profile);
    if (rc != 0) st.File(name, st.capture.Take(path));
    else if (fcc.identity.empty()) st.File(name, StoredFormFaultText(path, "ZQFCC"));
}

void CheckEvents(TStationCheck& st, const std::string& dataFolder) {
    for (int generation = 0; generation <= kEventGenerations; ++generation) {
        const std::string path = EventsFileName(dataFolder, st.address, generation);
        const long size = TPlik::FileSize(path);
        if (size < 0) continue;
        ++st.summary.files;
        const std::string name = fs::path(path).filename().string();
        if (size == 0) {
            st.File(name, kEmptyFile);
            continue;
        }
        TEventsFile file;
        if (ReadEventsFile(dataFolder, st.address, generation, {}, file) < 0) {
            st.File(name, StoredFormFaultText(path, kEventsMagic));
            continue;
        }
        const std::size_t usable =
            file.records.empty() ? file.areaStart : file.records.back().offset + file.records.back().length;
        if (usable < file.image.size())
            st.File(name, "zdarzenia od bajtu " + std::to_string(usable) +
                              " nieczytelne: rekord krótszy niż 15 bajtów lub wychodzący poza koniec pliku");
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
        TMonthFile file{std::stoi(name.substr(6, 4)), std::stoi(name.substr(11, 2)), name};
        const std::string channel = name.substr(14, name.size() - 18);
        if (file.month < 1 || file.month > 12 || ArchiveFileName(address, file.year, file.month, channel) != name)
            continue;
        channels[channel].push_back(std::move(file));
    }
    for (auto& [channel, files] : channels) std::sort(files.begin(), files.end());
    return channels;
}

// The data area of a month file in bytes, from its header; 0 when that cannot be read.
std::size_t DataAreaLength(const std::string& path) {
    Bytes head(kHeaderSize, 0);
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) return 0;
    const std::size_t got = std::fread(head.data(), 1, head.size(), in);
    std::fclose(in);
    TFileHeader header;
    return got == head.size() && ReadHeader(head, header) && header.headerLength <= header.fileLength
               ? header.fileLength - header.headerLength
               : 0;
}

// The series of one channel: the last sample time of each interval seen.
using TSeriesEnds = std::map<uint16_t, TimeStamp>;

TimeStamp TimeAt(const uint8_t* sample) {
    return static_cast<TimeStamp>(sample[0] | sample[1] << 8 | sample[2] << 16) | static_cast<TimeStamp>(sample[3]) << 24;
}

// Samples out of order in a month file, and the gaps of its series.
void FollowSeries(TStationCheck& st, const std::string& channel, const TMonthFile& file, const Bytes& samples,
                  TSeriesEnds& ends) {
    long late = 0;
    TimeStamp firstLate = 0, previous = 0;
    for (std::size_t pos = 0; pos + kSampleSize <= samples.size(); pos += kSampleSize) {
        const uint8_t* s = &samples[pos];
        const TimeStamp time = TimeAt(s);
        if (pos > 0 && time < previous && late++ == 0) firstLate = time;
        previous = time;
        const uint16_t interval = static_cast<uint16_t>(s[4] | s[5] << 8);
        if (interval == 0) continue; // no length to measure a gap by
        const auto [it, fresh] = ends.try_emplace(interval, time);
        if (fresh) continue;
        if (time > it->second + 2u * 60u * interval) st.Gap(channel, interval, it->second, time);
        it->second = std::max(it->second, time);
    }
    if (late > 0) st.Counted(TCheckKind::Order, file.name, late, firstLate);
}

void CheckMonth(TStationCheck& st, const std::string& dataFolder, const std::string& channel, const TMonthFile& file,
                TSeriesEnds& ends) {
    const std::string path = st.folder + file.name;
    ++st.summary.files;
    TArchive archive;
    TimeStamp start = MonthStart(file.year, file.month);
    TimeStamp end = MonthEnd(file.year, file.month);
    const int rc = archive.OpenPeriod(dataFolder, st.address, start, end, channel);
    if (rc != 0) {
        // A period read skips an empty file, and a year it does not reach.
        if (rc == ArcNoFile && TPlik::FileSize(path) != 0) return;
        ends.clear();
        return st.File(file.name, rc == ArcNoFile ? kEmptyFile : st.capture.Take(path));
    }
    FollowSeries(st, channel, file, archive.Samples(), ends);
    // The read validated the file's length, so its header tells the whole data area.
    const std::size_t area = DataAreaLength(path);
    if (const std::size_t records = area / kSampleSize; records > archive.SampleCount())
        st.Counted(TCheckKind::OutsideMonth, file.name, static_cast<long>(records - archive.SampleCount()), 0);
    if (area % kSampleSize != 0)
        st.File(file.name, "niepełna próbka na końcu obszaru danych (" + std::to_string(area % kSampleSize) +
                               " B)");
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
    TMessageCapture capture;
    TStationCheck st{StationFolder(dataFolder, address), address, summary, capture};
    ++summary.stations;
    CheckStationFile(st);
    CheckCurrentData(st, dataFolder);
    CheckEvents(st, dataFolder);
    for (const auto& [channel, files] : ArchiveChannels(st.folder, address)) {
        TSeriesEnds ends;
        for (const TMonthFile& file : files) CheckMonth(st, dataFolder, channel, file, ends);
    }
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
