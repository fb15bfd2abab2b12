// kiv-demodata: writes a demo data folder for trying the program without a device.
#include <cstdio>
#include <string>
#include <vector>

#include "demo_options.h"
#include "demo_writer.h"
#include "support/helpers.h"

int main(int argc, char **argv) {
    using namespace kiv::demo;
    const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc),
                                              kiv::NowStamp(), kiv::ProgramFolder());
    switch (line.command) {
    case Command::Help:
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    case Command::Error:
        std::fprintf(stderr, "kiv-demodata: %s\n%s", line.error.c_str(), UsageText().c_str());
        return 2;
    case Command::SetPort:
        if (SetPortMapping(line.demo.outFolder, line.port, line.device))
            return 0;
        std::fprintf(stderr, "kiv-demodata: cannot write Kiv.ini in %s\n", line.demo.outFolder.c_str());
        return 1;
    case Command::Generate:
        break;
    }
    std::string error;
    if (WriteDemo(line.demo, error) != 0) {
        std::fprintf(stderr, "kiv-demodata: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
