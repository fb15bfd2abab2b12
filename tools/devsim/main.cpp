// kiv-devsim: a GazModem device on a pseudo-terminal or a serial line, for
// trying and testing the program's read-outs without hardware; with --modem,
// one or more devices behind a simulated Hayes modem; with --transporter,
// a KivGAZ transporter holding several devices.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "datafiles/timestamp.h"
#include "data_loader.h"
#include "device_model.h"
#include "event_loader.h"
#include "hayes_modem.h"
#include "options.h"
#include "profile_loader.h"
#include "request_handlers.h"
#include "serial_link.h"
#include "serving_loop.h"
#include "transporter.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnStopSignal(int) { g_stop = 1; }

void InstallSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    // A client vanishing from a real line must not end the simulator.
    signal(SIGPIPE, SIG_IGN);
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "kiv-devsim: %s\n", message.c_str());
    return 2;
}

void ApplyNameplate(const kiv::devsim::Options& options, kiv::devsim::DeviceData& data) {
    using namespace kiv::devsim;
    const std::pair<const std::string*, NameplateField> overrides[] = {
        {&options.make, kMake}, {&options.type, kType}, {&options.serial, kSerial}, {&options.last, kLast}};
    for (const auto& [text, field] : overrides)
        if (!text->empty()) data.nameplate[field] = *text;
    if (options.wrongSerial) data.nameplate[kSerial] += "X";
}

// One simulated device: the first is the one the options describe, the
// others (--extra-device) have only an address and a profile of their own.
struct DevicePlan {
    uint16_t address = 0;
    std::string profile;
    bool main = false;
};

std::vector<DevicePlan> DevicePlans(const kiv::devsim::Options& options) {
    std::vector<DevicePlan> plans{{static_cast<uint16_t>(options.address), options.profile, true}};
    for (const kiv::devsim::ExtraDevice& extra : options.extraDevices)
        plans.push_back({extra.address, extra.profile.empty() ? options.profile : extra.profile, false});
    return plans;
}

std::unique_ptr<kiv::devsim::SimDevice> BuildDevice(const kiv::devsim::Options& options, const DevicePlan& plan,
                                                    uint32_t start, std::string& error) {
    using namespace kiv::devsim;
    SimProfile profile;
    if (!LoadProfile(plan.profile, profile, error)) return nullptr;
    if (plan.main && options.protocol != 0) profile.protocol = options.protocol;
    if (profile.protocol != 1 && profile.protocol != 2)
        std::fprintf(stderr, "kiv-devsim: the profile names protocol %d; every request will be refused\n",
                     profile.protocol);

    GenerateOptions generate;
    generate.seed = options.seed;
    generate.now = start;
    generate.hourlyDays = options.hourlyDays;
    generate.dailyDays = options.dailyDays;
    generate.eventCount = options.events;
    generate.gasDayHour = options.gasDayHour;
    // Event definitions live next to the profiles, in the program folder.
    const bool ownMake = plan.main && !options.make.empty();
    const bool ownType = plan.main && !options.type.empty();
    generate.eventKinds = LoadEventKinds(std::filesystem::path(plan.profile).parent_path().string(),
                                         ownMake ? options.make : profile.make, ownType ? options.type : profile.type);
    DeviceData data = GenerateData(profile, plan.address, generate);
    if (plan.main) {
        ApplyNameplate(options, data);
        if (!options.dataFolder.empty() && !LoadArchives(options.dataFolder, profile, data, error)) return nullptr;
    }
    const DeviceSettings settings{profile.protocol, options.badClock, options.maxValues, options.ackPositioning,
                                  options.badPointerEcho, options.earlyDayPosition, options.pointerBase};
    return std::make_unique<SimDevice>(std::move(data), settings);
}

bool ModemSettingsOf(const kiv::devsim::Options& options, const std::map<uint16_t, kiv::devsim::SimDevice*>& devices,
                     kiv::devsim::ModemSettings& settings, std::string& error) {
    using namespace kiv::devsim;
    settings.connectSpeed = options.connectSpeed > 0 ? options.connectSpeed : options.baud > 0 ? options.baud : 9600;
    settings.defaultAddress = static_cast<uint16_t>(options.address);
    settings.dialTimeMs = options.dialTimeMs;
    settings.guardTimeMs = options.guardTimeMs;
    settings.errorLines = options.modemErrors;
    settings.ignoreDtr = options.ignoreDtr;
    for (const std::string& text : options.numbers) {
        DialRule rule;
        if (!ParseDialRule(text, rule, error)) return false;
        if (rule.address != 0 && devices.count(rule.address) == 0) {
            error = "--number " + text + ": no device has address " + std::to_string(rule.address) +
                    " (see --extra-device)";
            return false;
        }
        settings.rules.push_back(rule);
    }
    return true;
}

// The transporter and the devices it holds, in the directory's order: the
// --address device first, then the extra devices as given.
kiv::devsim::SimTransporter TransporterOf(const kiv::devsim::Options& options,
                                          const std::vector<std::unique_ptr<kiv::devsim::SimDevice>>& devices) {
    using namespace kiv::devsim;
    TransporterSettings settings;
    settings.address = static_cast<uint16_t>(options.transporter);
    settings.slots = static_cast<std::size_t>(options.slots);
    settings.silentEntries.insert(options.silentEntries.begin(), options.silentEntries.end());
    std::vector<HeldDevice> held;
    for (const auto& device : devices) {
        const uint16_t address = device->Data().address;
        std::string name = "Stacja " + std::to_string(address);
        for (const DeviceName& named : options.deviceNames)
            if (named.address == address) name = named.name;
        held.push_back({address, name, device.get()});
    }
    return SimTransporter(settings, std::move(held));
}

} // namespace

int main(int argc, char** argv) {
    using namespace kiv::devsim;
    Options options;
    std::string error;
    switch (ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    case ParseResult::kHelp:
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    case ParseResult::kError:
        return Fail(error + " (see --help)");
    case ParseResult::kRun:
        break;
    }

    uint32_t start = kiv::NowStamp();
    if (!options.clock.empty() && !kiv::ParseStamp(options.clock, start))
        return Fail("--clock wants \"YYYY-MM-DD hh:mm:ss\", not \"" + options.clock + "\"");

    std::vector<std::unique_ptr<SimDevice>> devices;
    std::map<uint16_t, SimDevice*> byAddress;
    for (const DevicePlan& plan : DevicePlans(options)) {
        std::unique_ptr<SimDevice> device = BuildDevice(options, plan, start, error);
        if (!device) return Fail(error);
        byAddress[plan.address] = device.get();
        devices.push_back(std::move(device));
    }
    ModemSettings modemSettings;
    if (options.modem && !ModemSettingsOf(options, byAddress, modemSettings, error)) return Fail(error);

    SerialLink link;
    std::string portPath = options.device;
    int tcpPort = options.tcpPort;
    bool opened = false;
    if (tcpPort >= 0) {
        opened = link.OpenTcp(tcpPort, error);
        portPath = std::to_string(tcpPort);
    } else if (options.device.empty()) {
        opened = link.OpenPty(portPath, error, options.modem);
    } else {
        opened = link.OpenDevice(options.device, options.baud > 0 ? options.baud : 9600, error);
    }
    if (!opened) return Fail(error);
    std::printf("%s\n", portPath.c_str());
    std::fflush(stdout);

    InstallSignals();
    ServeSettings serve;
    serve.faults = options.faults;
    serve.paceBaud = options.device.empty() ? options.baud : 0; // a real line paces itself
    serve.seed = options.seed;
    serve.verbose = options.verbose;
    const DeviceClock clock(start);
    if (options.transporter != 0) {
        SimTransporter transporter = TransporterOf(options, devices);
        return Serve(link, transporter, clock, serve, g_stop);
    }
    if (!options.modem) return Serve(link, *devices.front(), clock, serve, g_stop);
    HayesModem modem(modemSettings);
    return ServeModem(link, modem, byAddress, clock, serve, g_stop);
}
