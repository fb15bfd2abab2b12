#include "options.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <map>

namespace kiv::devsim {
namespace {

bool ToInt(const std::string& text, long long lo, long long hi, long long& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= lo && value <= hi;
}

struct IntOption {
    long long lo;
    long long hi;
    std::function<void(Options&, long long)> set;
};

const std::map<std::string, IntOption>& IntOptions() {
    static const std::map<std::string, IntOption> table{
        {"--address", {1, 65535, [](Options& o, long long v) { o.address = static_cast<int>(v); }}},
        {"--seed", {0, 4294967295LL, [](Options& o, long long v) { o.seed = static_cast<uint32_t>(v); }}},
        {"--baud", {110, 115200, [](Options& o, long long v) { o.baud = static_cast<int>(v); }}},
        {"--protocol", {1, 2, [](Options& o, long long v) { o.protocol = static_cast<int>(v); }}},
        {"--hourly-days", {0, 3650, [](Options& o, long long v) { o.hourlyDays = static_cast<int>(v); }}},
        {"--daily-days", {0, 3650, [](Options& o, long long v) { o.dailyDays = static_cast<int>(v); }}},
        {"--events", {0, 65535, [](Options& o, long long v) { o.events = static_cast<int>(v); }}},
        {"--gas-hour", {0, 23, [](Options& o, long long v) { o.gasDayHour = static_cast<int>(v); }}},
        {"--max-values", {0, 255, [](Options& o, long long v) { o.maxValues = static_cast<int>(v); }}},
        {"--noise-before", {0, 1000, [](Options& o, long long v) { o.faults.noiseBefore = static_cast<std::size_t>(v); }}},
        {"--noise-after", {0, 1000, [](Options& o, long long v) { o.faults.noiseAfter = static_cast<std::size_t>(v); }}},
        {"--corrupt-crc", {0, 1000000, [](Options& o, long long v) { o.faults.corruptEvery = static_cast<int>(v); }}},
        {"--silence", {0, 1000000, [](Options& o, long long v) { o.faults.silentEvery = static_cast<int>(v); }}},
        {"--byte-gap", {0, 60000, [](Options& o, long long v) { o.faults.byteGapMs = static_cast<int>(v); }}},
        {"--reply-delay", {0, 60000, [](Options& o, long long v) { o.faults.replyDelayMs = static_cast<int>(v); }}},
        {"--pointer-base", {0, 2147483647, [](Options& o, long long v) { o.pointerBase = static_cast<int32_t>(v); }}},
        {"--connect-speed", {300, 115200, [](Options& o, long long v) { o.connectSpeed = static_cast<int>(v); }}},
        {"--dial-time", {0, 120000, [](Options& o, long long v) { o.dialTimeMs = static_cast<int>(v); }}},
        {"--guard-time", {0, 10000, [](Options& o, long long v) { o.guardTimeMs = static_cast<int>(v); }}},
        {"--modem-errors", {0, 1000, [](Options& o, long long v) { o.modemErrors = static_cast<int>(v); }}},
        {"--transporter", {1, 65535, [](Options& o, long long v) { o.transporter = static_cast<int>(v); }}},
        {"--slots", {0, 65536, [](Options& o, long long v) { o.slots = static_cast<int>(v); }}},
        {"--tcp", {0, 65535, [](Options& o, long long v) { o.tcpPort = static_cast<int>(v); }}},
    };
    return table;
}

const std::map<std::string, std::string Options::*>& TextOptions() {
    static const std::map<std::string, std::string Options::*> table{
        {"--profile", &Options::profile}, {"--data", &Options::dataFolder}, {"--device", &Options::device},
        {"--clock", &Options::clock},     {"--make", &Options::make},       {"--type", &Options::type},
        {"--serial", &Options::serial},   {"--last", &Options::last},
    };
    return table;
}

const std::map<std::string, bool Options::*>& Switches() {
    static const std::map<std::string, bool Options::*> table{
        {"--wrong-serial", &Options::wrongSerial},
        {"--bad-clock", &Options::badClock},
        {"--ack-positioning", &Options::ackPositioning},
        {"--bad-pointer-echo", &Options::badPointerEcho},
        {"--early-day-position", &Options::earlyDayPosition},
        {"--verbose", &Options::verbose},
        {"--modem", &Options::modem},
        {"--ignore-dtr", &Options::ignoreDtr},
    };
    return table;
}

// "ADDRESS" or "ADDRESS:PROFILE", the address a whole number of 1..65535.
bool ParseExtraDevice(const std::string& text, ExtraDevice& device, std::string& error) {
    const std::size_t colon = text.find(':');
    long long address = 0;
    if (!ToInt(text.substr(0, colon), 1, 65535, address) || (colon != std::string::npos && colon + 1 == text.size())) {
        error = "--extra-device wants ADDRESS[:PROFILE] with an address of 1..65535, not \"" + text + "\"";
        return false;
    }
    device.address = static_cast<uint16_t>(address);
    device.profile = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    return true;
}

// "ADDRESS=NAME", the address a whole number of 1..65535.
bool ParseDeviceName(const std::string& text, DeviceName& named, std::string& error) {
    const std::size_t equals = text.find('=');
    long long address = 0;
    if (equals == std::string::npos || !ToInt(text.substr(0, equals), 1, 65535, address)) {
        error = "--device-name wants ADDRESS=NAME with an address of 1..65535, not \"" + text + "\"";
        return false;
    }
    named.address = static_cast<uint16_t>(address);
    named.name = text.substr(equals + 1);
    return true;
}

// Options that may be given more than once, each value kept; false with a
// message for a value that cannot be taken.
using ListAdd = std::function<bool(Options&, const std::string&, std::string&)>;

const std::map<std::string, ListAdd>& ListOptions() {
    static const std::map<std::string, ListAdd> table{
        {"--number",
         [](Options& o, const std::string& value, std::string&) {
             o.numbers.push_back(value);
             return true;
         }},
        {"--extra-device",
         [](Options& o, const std::string& value, std::string& error) {
             ExtraDevice device;
             if (!ParseExtraDevice(value, device, error)) return false;
             o.extraDevices.push_back(device);
             return true;
         }},
        {"--device-name",
         [](Options& o, const std::string& value, std::string& error) {
             DeviceName named;
             if (!ParseDeviceName(value, named, error)) return false;
             o.deviceNames.push_back(named);
             return true;
         }},
        {"--silent-entry",
         [](Options& o, const std::string& value, std::string& error) {
             long long entry = 0;
             if (!ToInt(value, 0, 65535, entry)) {
                 error = "--silent-entry takes an entry number from 0 to 65535, not \"" + value + "\"";
                 return false;
             }
             o.silentEntries.push_back(static_cast<int>(entry));
             return true;
         }},
    };
    return table;
}

// Two devices on one address could not both answer; the second would be lost unseen.
bool AddressesDistinct(const Options& o, std::string& error) {
    std::vector<int> seen{o.address};
    for (const ExtraDevice& device : o.extraDevices) {
        if (std::find(seen.begin(), seen.end(), device.address) != seen.end()) {
            error = "--extra-device " + std::to_string(device.address) + ": another device has address " +
                    std::to_string(device.address) + " already";
            return false;
        }
        seen.push_back(device.address);
    }
    return true;
}

bool NamesHeldDevice(const Options& o, uint16_t address) {
    if (o.address == address) return true;
    return std::any_of(o.extraDevices.begin(), o.extraDevices.end(),
                       [address](const ExtraDevice& device) { return device.address == address; });
}

// The transporter needs an address of its own, and its options a transporter.
bool TransporterOptionsFit(const Options& o, std::string& error) {
    if (o.transporter == 0) {
        if (o.slots != 0 || !o.silentEntries.empty() || !o.deviceNames.empty()) {
            error = "the directory options need --transporter";
            return false;
        }
        return true;
    }
    if (o.modem) {
        error = "--transporter and --modem exclude each other";
        return false;
    }
    if (NamesHeldDevice(o, static_cast<uint16_t>(o.transporter))) {
        error = "--transporter " + std::to_string(o.transporter) + ": a held device has that address";
        return false;
    }
    for (const DeviceName& named : o.deviceNames) {
        if (!NamesHeldDevice(o, named.address)) {
            error = "--device-name " + std::to_string(named.address) + ": the transporter holds no such device";
            return false;
        }
    }
    return true;
}

bool ModemOptionsGiven(const Options& o) {
    const Options plain;
    return !o.numbers.empty() || (!o.extraDevices.empty() && o.transporter == 0) || o.connectSpeed != plain.connectSpeed ||
           o.dialTimeMs != plain.dialTimeMs || o.guardTimeMs != plain.guardTimeMs ||
           o.modemErrors != plain.modemErrors || o.ignoreDtr;
}

} // namespace

ParseResult ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
    bool seedGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") return ParseResult::kHelp;
        if (const auto sw = Switches().find(name); sw != Switches().end()) {
            options.*(sw->second) = true;
            continue;
        }
        const auto text = TextOptions().find(name);
        const auto number = IntOptions().find(name);
        const auto list = ListOptions().find(name);
        if (text == TextOptions().end() && number == IntOptions().end() && list == ListOptions().end()) {
            error = "unknown option " + name;
            return ParseResult::kError;
        }
        if (i + 1 >= args.size()) {
            error = name + " needs a value";
            return ParseResult::kError;
        }
        const std::string& value = args[++i];
        if (text != TextOptions().end()) {
            options.*(text->second) = value;
            continue;
        }
        if (list != ListOptions().end()) {
            if (!list->second(options, value, error)) return ParseResult::kError;
            continue;
        }
        long long v = 0;
        if (!ToInt(value, number->second.lo, number->second.hi, v)) {
            error = name + " takes a number from " + std::to_string(number->second.lo) + " to " +
                    std::to_string(number->second.hi) + ", not \"" + value + "\"";
            return ParseResult::kError;
        }
        number->second.set(options, v);
        seedGiven = seedGiven || name == "--seed";
    }
    if (options.profile.empty() || options.address == 0) {
        error = "--profile and --address are required";
        return ParseResult::kError;
    }
    if (seedGiven && !options.dataFolder.empty()) {
        error = "--data and --seed exclude each other";
        return ParseResult::kError;
    }
    if (!options.modem && ModemOptionsGiven(options)) {
        error = "the modem options need --modem";
        return ParseResult::kError;
    }
    if (options.tcpPort >= 0 && !options.device.empty()) {
        error = "--tcp and --device exclude each other";
        return ParseResult::kError;
    }
    if (!AddressesDistinct(options, error)) return ParseResult::kError;
    if (!TransporterOptionsFit(options, error)) return ParseResult::kError;
    return ParseResult::kRun;
}

std::string HelpText() {
    return R"(Usage: kiv-devsim --profile FILE.FCP --address N [--data DATAFOLDER | --seed S]
                  [--device PATH] [--baud B] [--protocol 1|2] [options]

Answers as a GazModem device described by a device profile. Without --device
or --tcp it opens a pseudo-terminal, prints its path as the first line of its
output and serves until stopped (SIGTERM or SIGINT end it cleanly).

Device:
  --profile FILE     device profile (.FCP); gives the protocol version, the
                     expected make, type and serial number and the parameters
  --address N        station address the device answers to (1..65535)
  --protocol 1|2     GazModem version to speak instead of the profile's
  --seed S           seed of the generated contents (default 1)
  --data FOLDER      take the archives of station N from this data folder
                     (other contents are generated)
  --clock TIME       device clock at start, "YYYY-MM-DD hh:mm:ss"
                     (default: the computer's clock); it runs on from there
  --make TEXT, --type TEXT, --serial TEXT, --last TEXT
                     nameplate strings (default: the profile's expected texts)
  --hourly-days N    days of hourly archive to generate (default 160)
  --daily-days N     days of daily archive to generate (default 400)
  --gas-hour H       hour of the daily samples (default 6)
  --events N         events in the device's log (default 30)
  --max-values N     most parameter numbers per current-data reply (default:
                     as many as asked, within the reply size)

Line:
  --device PATH      serve on this serial device instead of a pseudo-terminal
  --tcp PORT         listen on 127.0.0.1:PORT instead, as a serial-device
                     server does (0: a free port); the port is the first line
                     of the output; one connection at a time
  --baud B           line speed; on a pseudo-terminal or TCP the replies are
                     paced at 10 bits per byte so read-out times are realistic

Faults:
  --noise-before N   N random bytes (never 0x68) before every reply frame
  --noise-after N    N random bytes (never 0x16) after every reply frame
  --corrupt-crc N    spoil the CRC of every N-th reply
  --silence N        leave every N-th request unanswered (1: never answer)
  --byte-gap MS      send replies one byte at a time, MS ms apart
  --reply-delay MS   wait MS ms before answering
  --wrong-serial     report a serial number other than the expected one
  --bad-clock        report the invalid clock 2003-02-29 12:00:00
  --ack-positioning  version 1: answer archive positioning with a bare 0xE5
                     instead of the time found
  --bad-pointer-echo version 2: echo a block pointer other than the one asked
  --pointer-base N   version 2: block pointers count from N (default 100000)
  --early-day-position
                     version 1: answer daily positioning with the day two
                     days before the one asked

Modem:
  --modem            answer as a Hayes modem in front of the device: AT
                     commands, dialling, online mode bridged to the device
  --number N=WHAT    dialling N reaches the device with address WHAT, or ends
                     in the result word WHAT (BUSY, NO ANSWER, NO CARRIER,
                     NO DIALTONE, VOICE, ...); repeatable; "=WHAT" is a dial
                     without digits. Without any, every number reaches the
                     device; with some, other numbers end in NO CARRIER
  --extra-device A[:PROFILE]
                     one more device behind the modem (or in the transporter), with address A and
                     generated contents (default: the --profile); repeatable,
                     every device on an address of its own
  --connect-speed B  speed in the CONNECT result (default: --baud, or 9600)
  --dial-time MS     from the dial command to its result (default 200)
  --guard-time MS    quiet line around the "+++" escape (default 1000)
  --modem-errors N   answer ERROR to the first N command lines
  --ignore-dtr       do not hang up when the program drops DTR

Transporter:
  --transporter A    answer as a KivGAZ transporter on address A holding the
                     device and every --extra-device, each answering on its
                     own address as itself; address A answers the directory
  --device-name A=NAME
                     the name of held device A in the directory (default
                     "Stacja A"); repeatable
  --slots N          directory slots (default: one per held device); the
                     slots after the devices are empty, past them 0x7F
  --silent-entry I   leave the request for directory entry I unanswered;
                     repeatable

  --verbose          log requests and replies on stderr
  --help             this text
)";
}

} // namespace kiv::devsim
