#include "devsim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "../common/param_item.h"
#include "datafiles/profile.h"

extern char** environ;

namespace kivtest {

std::string WriteDevsimProfile(const std::string& folder, int protocol) {
    kiv::TRecProfParams params;
    params.profileByte = static_cast<uint8_t>(protocol);
    params.texts = {"LINK TEST", "Plum", "MacMAT", "", ""};
    const kiv::TParamItem item = kiv::test::MakeItem(
        {.shortName = "Vn", .param = 0, .type = 6, .hour = 0, .hourType = 6, .fullName = "Objętość normalna"});
    const std::string name = folder + "/TEST.FCP";
    kiv::TFCProfileRdWr writer;
    return writer.WriteProfile(name, params, &item, 1, {}) == 0 ? name : std::string();
}

DevsimProcess::DevsimProcess(const std::string& program, std::vector<std::string> args) {
    int out[2];
    if (pipe(out) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    stdout_ = out[0];
    if (pid_ < 0)
        return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::string line;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd pfd{stdout_, POLLIN, 0};
        if (poll(&pfd, 1, 100) <= 0)
            continue;
        char c = 0;
        if (read(stdout_, &c, 1) != 1)
            break;
        if (c == '\n') {
            port_ = line;
            break;
        }
        line.push_back(c);
    }
}

DevsimProcess::~DevsimProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    if (stdout_ >= 0)
        close(stdout_);
}

} // namespace kivtest
