#pragma once
// Runs the built kiv-cli as a user would: its exit code, stdout and stderr.
#include "common/temp_folder.h"

#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace kiv::test {

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The output files go into dir, beside the data the call reads.
inline Outcome RunCli(const std::vector<std::string>& args, const TempFolder& dir) {
    std::vector<std::string> all{KIV_PROGRAM_DIR "/kiv-cli"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string out = dir.File("cli.out"), err = dir.File("cli.err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    Outcome outcome;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    outcome.out = ReadText(out);
    outcome.err = ReadText(err);
    return outcome;
}

inline std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

} // namespace kiv::test
