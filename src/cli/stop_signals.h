#pragma once
// Ctrl+C and SIGTERM for the commands that hold a line (kiv-cli read, round,
// transporter): instead of killing the program they ask the running
// read-out to end at its next request, so the port is closed and what was
// read up to then is stored as usual.
#include <csignal>

#include "comm/device_request.h"

namespace kiv::cli {

inline void StopOnSignal(int) { RequestStop(); }

inline void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = StopOnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace kiv::cli
