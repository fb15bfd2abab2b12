#pragma once
// kiv-devsim started as a child process for link tests and the link
// benchmark: it opens its own pseudo-terminal and names it on its first
// output line; the destructor ends it.
#include <string>
#include <sys/types.h>
#include <vector>

namespace kivtest {

// A one-item protocol-1 profile ("Plum"/"MacMAT") written to folder/TEST.FCP.
std::string WriteDevsimProfile(const std::string& folder, int protocol);

class DevsimProcess {
public:
    // program: the kiv-devsim executable; args after it.
    DevsimProcess(const std::string& program, std::vector<std::string> args);
    ~DevsimProcess();
    DevsimProcess(const DevsimProcess&) = delete;
    DevsimProcess& operator=(const DevsimProcess&) = delete;

    // The pseudo-terminal it serves, or empty when it did not start.
    const std::string& PortPath() const { return port_; }

private:
    pid_t pid_ = -1;
    int stdout_ = -1;
    std::string port_;
};

} // namespace kivtest
