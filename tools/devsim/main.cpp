// kiv-devsim: a GazModem device on a pseudo-terminal or a serial line, for
// trying and testing the program's read-outs without hardware.
#include <csignal>
#include <filesystem>
#include <cstdio>
#include <string>
#include <vector>

#include "datafiles/timestamp.h"
#include "data_loader.h"
#include "device_model.h"
#include "event_loader.h"
#include "options.h"
#include "profile_loader.h"
#include "request_handlers.h"
#include "serial_link.h"
#include "serving_loop.h"

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

    SimProfile profile;
    if (!LoadProfile(options.profile, profile, error)) return Fail(error);
    if (options.protocol != 0) profile.protocol = options.protocol;
    if (profile.protocol != 1 && profile.protocol != 2)
        std::fprintf(stderr, "kiv-devsim: the profile names protocol %d; every request will be refused\n",
                     profile.protocol);

    uint32_t start = kiv::NowStamp();
    if (!options.clock.empty() && !kiv::ParseStamp(options.clock, start))
        return Fail("--clock wants \"YYYY-MM-DD hh:mm:ss\", not \"" + options.clock + "\"");

    GenerateOptions generate;
    generate.seed = options.seed;
    generate.now = start;
    generate.hourlyDays = options.hourlyDays;
    generate.dailyDays = options.dailyDays;
    generate.eventCount = options.events;
    generate.gasDayHour = options.gasDayHour;
    // Event definitions live next to the profiles, in the program folder.
    generate.eventKinds = LoadEventKinds(std::filesystem::path(options.profile).parent_path().string(),
                                         options.make.empty() ? profile.make : options.make,
                                         options.type.empty() ? profile.type : options.type);
    DeviceData data = GenerateData(profile, static_cast<uint16_t>(options.address), generate);
    ApplyNameplate(options, data);
    if (!options.dataFolder.empty() && !LoadArchives(options.dataFolder, profile, data, error)) return Fail(error);

    SerialLink link;
    std::string portPath = options.device;
    const bool opened = options.device.empty() ? link.OpenPty(portPath, error)
                                               : link.OpenDevice(options.device, options.baud > 0 ? options.baud : 9600, error);
    if (!opened) return Fail(error);
    std::printf("%s\n", portPath.c_str());
    std::fflush(stdout);

    InstallSignals();
    const DeviceSettings settings{profile.protocol, options.badClock, options.maxValues, options.ackPositioning,
                                  options.badPointerEcho, options.earlyDayPosition, options.pointerBase};
    SimDevice device(std::move(data), settings);
    ServeSettings serve;
    serve.faults = options.faults;
    serve.paceBaud = options.device.empty() ? options.baud : 0; // a real line paces itself
    serve.seed = options.seed;
    serve.verbose = options.verbose;
    return Serve(link, device, DeviceClock(start), serve, g_stop);
}
