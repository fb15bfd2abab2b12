#include "demo_options.h"

#include <charconv>

namespace kiv::demo {
namespace {

constexpr TimeStamp kDay = 86400;
constexpr TimeStamp kSpanDays = 730;

bool ParseNumber(const std::string &text, uint64_t &value) {
    const char *end = text.data() + text.size();
    return !text.empty() && std::from_chars(text.data(), end, value).ptr == end;
}

// A day "YYYY-MM-DD" as its midnight.
bool ParseDay(const std::string &text, TimeStamp &stamp) {
    return text.size() == 10 && ParseStamp(text, stamp) && stamp % kDay == 0;
}

CommandLine Fail(std::string error) {
    CommandLine line;
    line.error = std::move(error);
    return line;
}

} // namespace

std::string UsageText() {
    return "usage: kiv-demodata OUTFOLDER [--seed S] [--from YYYY-MM-DD] [--until YYYY-MM-DD|now]\n"
           "                    [--only ADDRESS] [--profiles FOLDER]\n"
           "       kiv-demodata --set-port FOLDER PORT DEVICE\n"
           "Writes a demo data folder: a dozen stations in three groups, two years of archives up to\n"
           "yesterday (the last day given by --until; \"now\": up to the last whole hour), events,\n"
           "current data, two virtual stations, tariff sets, a modem profile and Kiv.ini.\n"
           "  --seed S          seed of every generated value (default 1)\n"
           "  --from DAY        first day of the archives (default: 730 days before the end)\n"
           "  --only ADDRESS    only that station's file and archives (a simulated device's contents)\n"
           "  --profiles DIR    folder of KM100.FCP, KM200.FCP and their .EVT files (default: next to\n"
           "                    the program)\n"
           "  --set-port FOLDER PORT DEVICE   sets [Ports] PORT=DEVICE in FOLDER/Kiv.ini\n"
           "The planted gaps, invalid samples and counter jump are listed in OUTFOLDER/demo-manifest.txt.\n";
}

CommandLine ParseCommandLine(const std::vector<std::string> &args, TimeStamp now,
                             const std::string &programFolder) {
    CommandLine line;
    line.demo.profileFolder = programFolder;
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        line.command = Command::Help;
        return line;
    }
    if (!args.empty() && args[0] == "--set-port") {
        if (args.size() != 4 || args[2].empty())
            return Fail("--set-port wants FOLDER PORT DEVICE");
        line.command = Command::SetPort;
        line.demo.outFolder = args[1];
        line.port = args[2];
        line.device = args[3];
        return line;
    }
    std::string from;
    std::string until;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--seed" || arg == "--from" || arg == "--until" || arg == "--only" ||
            arg == "--profiles") {
            if (!hasValue)
                return Fail(arg + " wants a value");
            const std::string &value = args[++i];
            uint64_t number = 0;
            if (arg == "--seed" && !ParseNumber(value, line.demo.seed))
                return Fail("--seed wants a number");
            if (arg == "--only" && (!ParseNumber(value, number) || number < 1 || number > 65535))
                return Fail("--only wants a station address 1..65535");
            if (arg == "--only")
                line.demo.onlyAddress = static_cast<int>(number);
            if (arg == "--from")
                from = value;
            if (arg == "--until")
                until = value;
            if (arg == "--profiles")
                line.demo.profileFolder = value;
        } else if (arg.starts_with("--") || !line.demo.outFolder.empty()) {
            return Fail("unexpected argument \"" + arg + "\"");
        } else {
            line.demo.outFolder = arg;
        }
    }
    if (line.demo.outFolder.empty())
        return Fail("the output folder is missing");
    if (until.empty()) {
        line.demo.until = now - now % kDay;
    } else if (until == "now") {
        line.demo.until = now - now % 3600;
    } else if (ParseDay(until, line.demo.until)) {
        line.demo.until += kDay;
    } else {
        return Fail("--until wants YYYY-MM-DD or now, not \"" + until + "\"");
    }
    const TimeStamp endDay = line.demo.until - line.demo.until % kDay;
    line.demo.from = endDay - kSpanDays * kDay;
    if (!from.empty() && !ParseDay(from, line.demo.from))
        return Fail("--from wants YYYY-MM-DD, not \"" + from + "\"");
    if (line.demo.until <= line.demo.from + 7 * kDay)
        return Fail("the archives must span more than a week");
    line.command = Command::Generate;
    return line;
}

} // namespace kiv::demo
