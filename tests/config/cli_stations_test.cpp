#include "config_test_util.h"

#include <cstdio>
#include <sys/wait.h>

using kiv::test::TempFolder;
using kiv::test::WriteBytes;

namespace {

// Runs kiv-cli and returns its standard output; status gets the exit code.
std::string RunCli(const std::string& args, int& status) {
    const std::string command = std::string(KIV_CLI_PATH) + " " + args + " 2>/dev/null";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    status = WEXITSTATUS(::pclose(pipe));
    return out;
}

TEST(CliStations, ListsStationsThenGroups) {
    TempFolder dir;
    WriteBytes(dir.Folder() + "FC_00012/00012.INI",
               "[Main]\nLabel=Łódź\nGroupLabel=Sieć A\nTelephoneNumber=123\n[Hardware]\nDeviceProfile=P\n");
    WriteBytes(dir.Folder() + "FC_00003/00003.INI", "[Main]\nLabel=Trzy\n[Communication]\nModemProfile=M\n");
    WriteBytes(dir.Folder() + "FC_00020/00020.INI", "[Main]\nLabel=Dwadzieścia\nGroupLabel=Sieć A\n");
    int status = -1;
    EXPECT_EQ(RunCli("stations " + dir.path.string(), status),
              "00003\tTrzy\t\t0\t1\t0\n"
              "00012\tŁódź\tSieć A\t1\t0\t1\n"
              "00020\tDwadzieścia\tSieć A\t0\t0\t0\n"
              "group\tSieć A\t2\n");
    EXPECT_EQ(status, 0);
}

} // namespace
