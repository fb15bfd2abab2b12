// kiv-cli read DATAFOLDER ADDRESS [options]: reads one station over a direct
// line with the settings of its station file, as the transmission window
// does, printing the progress lines and the result message. Run it in the
// working folder that holds Kiv.ini ([Ports] mapping, Debug, CommSettings);
// the device profiles are taken from the program folder. Exit code 0 after a
// complete read-out, else the read-out's result code; 64 for bad arguments,
// 65 when the station's profile cannot be read, 69 when the port does not open.
#include <QCoreApplication>

#include <charconv>
#include <cstdio>
#include <iostream>
#include <map>
#include <streambuf>
#include <string>
#include <vector>

#include "cli_command.h"
#include "comm/comm_module.h"
#include "comm/device_readout.h"
#include "comm/progress_recorder.h"
#include "config/program_settings.h"
#include "config/station_db.h"
#include "datafiles/timestamp.h"
#include "support/text_encoding.h"

namespace kiv::cli {
namespace {

constexpr const char* kUsage =
    "usage: kiv-cli read DATAFOLDER ADDRESS [--port COMn] [--baud N] [--parity TEXT] [--answer-timeout MS]\n"
    "       [--char-timeout MS] [--silence MS] [--block N] [--attempts N] [--from TIME] [--to TIME] [--log FILE]\n"
    "       TIME is \"YYYY-MM-DD hh:mm:ss\"\n";

// Passes progress lines to stdout, leaving out the lamps and the bar.
class TProgressLines : public std::streambuf {
protected:
    int overflow(int c) override {
        if (c == '\n') {
            if (line_.rfind("lamp:", 0) != 0 && line_.rfind("bar:", 0) != 0) std::cout << line_ << '\n' << std::flush;
            line_.clear();
        } else if (c != EOF) {
            line_ += static_cast<char>(c);
        }
        return c;
    }

private:
    std::string line_;
};

struct TReadOptions {
    std::map<std::string, std::string> values;
    [[nodiscard]] bool Has(const std::string& name) const { return values.contains(name); }
    [[nodiscard]] const std::string& Get(const std::string& name) const { return values.at(name); }
};

bool ParseNumber(const std::string& text, int& value) {
    return !text.empty() && std::from_chars(text.data(), text.data() + text.size(), value).ptr == text.data() + text.size();
}

bool ParseArguments(const std::vector<std::string>& args, TReadOptions& options) {
    static const char* const kNames[] = {"--port",  "--baud",     "--parity", "--answer-timeout", "--char-timeout",
                                         "--silence", "--block", "--attempts", "--from", "--to", "--log"};
    for (std::size_t i = 2; i < args.size(); i += 2) {
        bool known = false;
        for (const char* name : kNames) known = known || args[i] == name;
        if (!known || i + 1 >= args.size()) return false;
        options.values[args[i]] = args[i + 1];
    }
    return true;
}

// Applies the numeric and time overrides; false on a malformed one.
bool ApplyOverrides(const TReadOptions& options, TRekStacjiFull& station, TReadOutInput& input) {
    const std::pair<const char*, int32_t*> numbers[] = {
        {"--answer-timeout", &station.StartTimeout}, {"--char-timeout", &station.CharsTimeout},
        {"--silence", &station.SilenceTime},          {"--block", &station.ArcSamplesPerBlock},
        {"--attempts", &station.Repeats}};
    for (const auto& [name, field] : numbers) {
        if (!options.Has(name)) continue;
        int value = 0;
        if (!ParseNumber(options.Get(name), value) || value < 0) return false;
        *field = value;
    }
    if (station.ArcSamplesPerBlock < 1 || station.ArcSamplesPerBlock > 250) return false;
    if (options.Has("--port")) station.ComNumber = options.Get("--port");
    if (options.Has("--baud")) station.BaudRate = options.Get("--baud");
    if (options.Has("--parity")) station.Parity = options.Get("--parity");
    const std::pair<const char*, int32_t*> times[] = {{"--from", &input.startTime}, {"--to", &input.endTime}};
    for (const auto& [name, field] : times) {
        if (!options.Has(name)) continue;
        TimeStamp stamp = 0;
        if (!ParseStamp(options.Get(name), stamp) || stamp > 0x7FFFFFFFu) return false;
        *field = static_cast<int32_t>(stamp);
    }
    return true;
}

// A station names its profile by the profile's name (text 1 of an .FCP file
// in the program folder); a file name is taken as it is.
std::string ProfileFileOf(const std::string& folder, const std::string& name) {
    TFCProfileRdWr reader;
    for (const std::string& file : TFCProfileRdWr::ListProfiles(folder)) {
        std::string text1, text2, text3, text4;
        if (reader.ReadProfileTexts(folder + file, text1, text2, text3, text4) && text1 == name) return folder + file;
    }
    return folder + name;
}

int RunRead(const std::vector<std::string>& args) {
    int address = 0;
    TReadOptions options;
    if (args.size() < 2 || !ParseNumber(args[1], address) || address < 1 || address > 65535 ||
        !ParseArguments(args, options)) {
        std::fputs(kUsage, stderr);
        return 64;
    }
    static int argc = 1;
    static char name[] = "kiv-cli";
    static char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    TReadOutInput input;
    input.address = static_cast<uint16_t>(address);
    input.dataFolder = WithTrailingSlash(args[0]);
    input.stationFile = StationFilePath(input.dataFolder, address);
    input.settingsFile = KivIniPathInWorkingFolder();
    TRekStacjiFull station;
    ReadFullStationRecord(input.stationFile, address, station);
    if (!ApplyOverrides(options, station, input)) {
        std::fputs(kUsage, stderr);
        return 64;
    }
    const std::string profileFile =
        ProfileFileOf(WithTrailingSlash(QCoreApplication::applicationDirPath().toStdString()), station.DeviceProfile);
    std::vector<std::string> groups;
    TFCProfileRdWr reader;
    if (station.DeviceProfile.empty() || !reader.ReadProfile(profileFile, input.profile, input.items, groups)) {
        std::fprintf(stderr, "kiv-cli: the device profile \"%s\" of station %d cannot be read\n",
                     station.DeviceProfile.c_str(), address);
        return 65;
    }
    input.samplesPerBlock = static_cast<uint8_t>(station.ArcSamplesPerBlock);
    input.attempts = station.Repeats;

    TProgressLines lines;
    std::ostream echo(&lines);
    TTxProgressRecorder progress(&echo);
    progress.Reset(std::to_string(address) + " " + station.Label);
    TFCommModule module;
    module.SetProgress(&progress);
    module.SetSettingsFile(input.settingsFile);
    if (options.Has("--log")) module.SetLogFile(options.Get("--log"));
    int baud = 0;
    if (!ParseNumber(station.BaudRate, baud)) baud = 9600;
    if (!module.OpenDirect(station.ComNumber, baud, station.CharsTimeout, station.StartTimeout, 0, 0,
                           station.SilenceTime, false, station.RtsSet, station.DtrSet, station.Parity))
        return 69;
    TLinkStats stats;
    TReadLink link{module, progress, &stats};
    TDevSign sign;
    const uint8_t result = ReadDevice(link, input, sign);
    progress.StopCounter();
    module.ClosePort();
    const TReadOutMessage message = ReadOutMessage(result, sign);
    std::printf("result %d%s%s\n", result, message.text.empty() ? "" : ": ", message.text.c_str());
    std::printf("requests %ld, bytes sent %ld, received %ld\n", stats.requests, stats.bytesSent, stats.bytesReceived);
    return result == RdSuccess ? 0 : result;
}

const CliRegistrar registrar({"read", "DATAFOLDER ADDRESS [options]",
                              "reads one station over a direct line (--help-like list: run without arguments)",
                              RunRead});

} // namespace
} // namespace kiv::cli
