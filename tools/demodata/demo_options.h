#pragma once
// The command line of kiv-demodata, turned into DemoOptions (or the port
// mapping request the run script makes).
#include <string>
#include <vector>

#include "datafiles/timestamp.h"
#include "demo_writer.h"

namespace kiv::demo {

enum class Command { Generate, SetPort, Help, Error };

struct CommandLine {
    Command command = Command::Error;
    DemoOptions demo;
    std::string port; // --set-port
    std::string device;
    std::string error;
};

// `now` is the computer's clock: the default end is its midnight (archives
// up to yesterday), "--until now" its last whole hour; the default start is
// two years (730 days) before the end's day.
[[nodiscard]] CommandLine ParseCommandLine(const std::vector<std::string> &args, TimeStamp now,
                                           const std::string &programFolder);
[[nodiscard]] std::string UsageText();

} // namespace kiv::demo
