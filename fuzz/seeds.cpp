// kiv-fuzz-seeds DEMO PROGRAMDIR TESTDATA OUT: the seed inputs of every fuzz
// target, in the form its body takes them (harness.h), written into
// OUT/<target>/. Files come from a demo data folder made by kiv-demodata, the
// profiles and event definitions of the program folder and the test data;
// the reply targets get read-outs that go right, built with the link's own
// frame builder, for both protocol versions.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "comm/link_frame.h"
#include "datafiles/archive.h"
#include "datafiles/events.h"

namespace kiv::fuzz {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class TSeeds {
public:
    explicit TSeeds(fs::path out) : out_(std::move(out)) {}
    void Add(const std::string& target, const std::string& bytes) {
        const fs::path folder = out_ / target;
        fs::create_directories(folder);
        std::ofstream(folder / ("seed-" + std::to_string(++count_)), std::ios::binary) << bytes;
    }
    [[nodiscard]] int Count() const { return count_; }

private:
    fs::path out_;
    int count_ = 0;
};

// The data file bodies' control byte: put the length and the CRC right after a mutation.
const std::string kFix = "\x01";

std::string U16(std::size_t value) { return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)}; }
std::string Piece(const std::string& bytes) { return U16(bytes.size()) + bytes.substr(0, 0xFFFF); }

std::vector<fs::path> FilesBelow(const fs::path& root, const std::string& suffix) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file() && it->path().filename().string().ends_with(suffix)) found.push_back(it->path());
    std::sort(found.begin(), found.end());
    return found;
}

// At most `count` of the files, spread over the list.
std::vector<fs::path> Some(const std::vector<fs::path>& files, std::size_t count) {
    std::vector<fs::path> some;
    for (std::size_t i = 0; i < files.size() && some.size() < count; i += std::max<std::size_t>(1, files.size() / count))
        some.push_back(files[i]);
    return some;
}

// A reply of the reply script: framed by the script from its code and data.
std::string Framed(uint8_t code, const std::string& data) { return "\x01"s + Piece(static_cast<char>(code) + data); }

const std::string kClock = "\x00\x00\x0C\x0A\x03\x19"s; // 2025-03-10 12:00:00
const std::string kHour = "\x00\x0C\x08\x03\x19"s;      // 2025-03-08 12:00
const std::string kFloat = "\x01\x00\x00\x80\x3F"s;     // valid 1.0f

// One read-out that goes right from the step `from` on (0 clock, 1 nameplate,
// 2 current data): protocol, flags, samples per block and one item with a
// current value, an hourly and a daily archive of 32-bit floats.
std::string ReadOut(int protocol, int from) {
    const bool one = protocol == 1;
    std::string s = std::string(1, static_cast<char>(protocol - 1)) + "\x24\x09"s + "\x00\x06\x05\x00\x07\x07\x07"s;
    if (from <= 0) s += Framed(one ? 0xCB : 0xC8, kClock);
    if (from <= 1)
        s += one ? Framed(0x80, "Kivmet\0KM-100\0KM1-00012\0FW 3.04\0"s)
                 : Framed(0x89, "Kivmet\0KM-200\0KM2-00012\0A\0B\0FW 1.2\0"s);
    s += Framed(one ? 0x8A : 0xC0, "\x01\x00\x00"s + kFloat);
    s += Framed(one ? 0xBA : 0xC6, "\x00\x00\x00\x01\x00\x00\x0C\x09\x03\x19\x00\x00\x00\x00\x00\x00"s);
    s += Framed(0x7F, "");
    if (one) {
        s += Framed(0x9A, kHour) + Framed(0x9D, "\x02\x00\x00\x3C"s + kHour + kFloat + kFloat) + Framed(0x7F, "");
        s += Framed(0x9B, "\x06\x08\x03\x19"s) + Framed(0x9F, "\x01\x00\x00\x06\x08\x03\x19"s + kFloat) +
             Framed(0x7F, "");
    } else {
        const std::string pointer = "\x10\x00\x00\x00"s;
        s += Framed(0xC1, kHour + pointer) + Framed(0xC2, "\x02\x00\x00\x3C"s + kHour + pointer + kFloat + kFloat) +
             Framed(0x7F, "");
    }
    return s;
}

void FileSeeds(TSeeds& seeds, const fs::path& demo, const fs::path& program, const fs::path& testData) {
    for (const fs::path& ini : Some(FilesBelow(demo, ".INI"), 6)) {
        seeds.Add("ini", ReadAll(ini));
        seeds.Add("station_file", ReadAll(ini));
    }
    seeds.Add("ini", ReadAll(demo / "Kiv.ini"));
    seeds.Add("tini", ReadAll(demo / "Kiv.ini"));
    for (const fs::path& evt : FilesBelow(program, ".EVT")) {
        seeds.Add("tini", ReadAll(evt));
        seeds.Add("evt", "\x0C" + ReadAll(evt));
    }
    for (const fs::path& root : {program, testData})
        for (const fs::path& fcp : FilesBelow(root, ".FCP")) seeds.Add("fcp", kFix + ReadAll(fcp));
    for (const fs::path& root : {demo, testData}) {
        for (const fs::path& fcc : Some(FilesBelow(root, ".FCC"), 4)) seeds.Add("fcc", kFix + ReadAll(fcc));
        for (const fs::path& fce : Some(FilesBelow(root, ".FCE"), 4)) seeds.Add("fce_read", kFix + ReadAll(fce));
        for (const fs::path& fcd : Some(FilesBelow(root, "_2025_03_dVn.FCD"), 3))
            seeds.Add("fcd_open", kFix + ReadAll(fcd));
    }
    for (const fs::path& fcd : Some(FilesBelow(testData, ".FCD"), 4)) seeds.Add("fcd_open", kFix + ReadAll(fcd));
}

// Stores over demo files: the file, then records that partly repeat it.
void StoreSeeds(TSeeds& seeds, const fs::path& demo) {
    for (const fs::path& fce : Some(FilesBelow(demo, ".FCE"), 3)) {
        const int address = std::stoi(fce.stem().string());
        TEventsFile file;
        if (ReadEventsFile(demo.string() + "/", address, 0, {}, file) <= 0) continue;
        std::string records;
        for (std::size_t k = file.records.size() > 3 ? file.records.size() - 3 : 0; k < file.records.size(); ++k)
            records.append(reinterpret_cast<const char*>(file.image.data() + file.records[k].offset),
                           file.records[k].length);
        seeds.Add("fce_store", kFix + Piece(ReadAll(fce)) + records);
        seeds.Add("fce_store", kFix + Piece("") + records);
    }
    const TimeStamp march = MonthStart(2025, 3);
    for (const fs::path& fcd : Some(FilesBelow(demo, "_2025_03_dVn.FCD"), 3)) {
        TFcdContent content;
        if (ReadFcdContent(fcd.string(), content) != 0) continue;
        std::string records;
        for (std::size_t at = 0; at + kSampleSize <= content.samples.size() && at < 40 * kSampleSize; at += 5 * kSampleSize) {
            std::string record(reinterpret_cast<const char*>(content.samples.data() + at), kSampleSize);
            const TimeStamp minutes = (GetU32(content.samples, at) - march) / 60;
            record.replace(0, 2, U16(minutes + (at % 2 == 0 ? 0 : 30)));
            records += record;
        }
        seeds.Add("fcd_store", kFix + Piece(ReadAll(fcd)) + records);
    }
}

// Old configuration files of the kind the import takes, one a line end of each kind.
void ImportSeeds(TSeeds& seeds) {
    const std::string keys[] = {"[Main]", "Label=Stacja Północ", "TelephoneNumber=0521234567", "[Hardware]",
                                "Brand=Kivmet", "Type=KM-100", "SerialNumber=KM1-00007", "Comment=stary opis",
                                "[Communication]", "ComNumber=COM2", "BaudRate=4800", "Parity=Even",
                                "DtrSet=YES", "RtsSet=NO", "ArcSamplesPerBlock=100", "Repeats=3",
                                "SilenceTime=50", "StartTimeout=2000", "CharsTimeout=200", "ReadSingleVn=YES"};
    for (const char* end : {"\r\n", "\n", "\r"}) {
        std::string text;
        for (const std::string& line : keys) text += line + end;
        seeds.Add("import", text);
    }
}

void LinkSeeds(TSeeds& seeds) {
    for (int protocol : {1, 2}) {
        seeds.Add("reply_clock", ReadOut(protocol, 0));
        seeds.Add("reply_nameplate", ReadOut(protocol, 1));
        seeds.Add("reply_current", ReadOut(protocol, 2));
        const std::string event = Framed(protocol == 1 ? 0xBA : 0xC6,
                                         "\x00\x00\x00\x05\x00\x00\x0C\x09\x03\x19\x00\x00\x00\x00\x00\x00"s + kFloat);
        seeds.Add("reply_events", std::string(1, static_cast<char>(protocol - 1)) + "\x0A"s + Piece("") + event +
                                      event + Framed(0x7F, ""));
    }
    const std::string archive = "\x07\x07\x07\x0A"s + U16(48) + Piece(kFloat + "\x01\x02\x00\x00\x00"s);
    seeds.Add("reply_archive", "\x00"s + archive + Framed(0x9A, kHour) +
                                   Framed(0x9D, "\x02\x00\x00\x3C"s + kHour + kFloat + kFloat) + Framed(0x7F, "") +
                                   Framed(0x9B, "\x06\x08\x03\x19"s) +
                                   Framed(0x9F, "\x01\x00\x00\x06\x08\x03\x19"s + kFloat) + Framed(0x7F, ""));
    seeds.Add("reply_archive", "\x01"s + archive + Framed(0xC1, kHour + "\x10\x00\x00\x00"s) +
                                   Framed(0xC2, "\x02\x00\x00\x3C"s + kHour + "\x10\x00\x00\x00"s + kFloat + kFloat) +
                                   Framed(0x7F, ""));
    const uint8_t clock[] = {0, 0, 12, 10, 3, 25};
    const std::vector<uint8_t> frame = BuildFrame(0xCB, 0, clock, sizeof clock, 12);
    const std::string bytes(frame.begin(), frame.end());
    seeds.Add("frame", bytes);
    seeds.Add("frame", "\x00\x16\x68"s + bytes + "\x16\x68\x05"s);
}

} // namespace
} // namespace kiv::fuzz

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: kiv-fuzz-seeds DEMO PROGRAMDIR TESTDATA OUT\n");
        return 2;
    }
    using namespace kiv::fuzz;
    TSeeds seeds(argv[4]);
    FileSeeds(seeds, argv[1], argv[2], argv[3]);
    StoreSeeds(seeds, argv[1]);
    LinkSeeds(seeds);
    ImportSeeds(seeds);
    std::printf("%d seeds in %s\n", seeds.Count(), argv[4]);
    return 0;
}
