#pragma once
// The start every command that holds a line and writes into a data folder
// shares (kiv-cli read, round, transporter): the folder's lock for the whole
// run, Ctrl+C and SIGTERM asking the read-out to stop (stop_signals.h), and
// the application object the port's timers and the program folder need,
// with numbers written and parsed the C way as the station files keep them.
#include <QCoreApplication>

#include <memory>
#include <string>

#include "cli/cli_command.h"
#include "cli/stop_signals.h"
#include "support/folder_lock.h"
#include "support/helpers.h"

namespace kiv::cli {

class TLineCommand {
public:
    // kExitOk, or kExitFolderLocked with the refusal on stderr when another
    // running program holds the folder and `force` is not given.
    [[nodiscard]] int Start(const char* command, const std::string& folder, bool force) {
        std::string refusal;
        if (!LockForWriting(lock_, folder, std::string("kiv-cli ") + command, force, refusal))
            return Fail(command, kExitFolderLocked, refusal);
        CatchStopSignals();
        static int argc = 1;
        static char name[] = "kiv-cli";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QCoreApplication>(argc, argv);
        KeepCNumbers();
        return kExitOk;
    }

private:
    // The application goes before the lock is released.
    TFolderLock lock_;
    std::unique_ptr<QCoreApplication> app_;
};

} // namespace kiv::cli
