#pragma once
// The lock of a data folder. Every program rewrites whole files, so two
// programs writing into one folder (a network folder used from two desks)
// can lose a read-out: the later writer replaces what the other just stored.
// A program that works on a folder keeps the lock file "Kiv.lock" in it,
// naming the host, the process and when it took the lock; a second program
// finds it and asks its user (the main window) or refuses (kiv-cli read, the
// automatic round) unless told to go on. A lock whose process no longer runs
// on this host is stale and taken over without a question; one from another
// host cannot be checked and counts as live. Standard library and POSIX.
#include <string>

namespace kiv {

inline constexpr const char* kFolderLockName = "Kiv.lock";
// The exit code of a command that refuses a folder locked by another
// program (EX_TEMPFAIL: try again once the other program has ended).
inline constexpr int kExitFolderLocked = 75;

// What a lock file says about the program holding it.
struct TFolderLockOwner {
    std::string host;
    long pid = 0;
    std::string started;        // "YYYY-MM-DD hh:mm:ss" when the lock was taken, local time
    std::string program;        // "Kiv", "kiv-cli read", ...
    long long processStart = 0; // the process's start after boot, in clock ticks; 0: not known
};

// "komputer biuro2, proces 1234 (Kiv), od 2026-12-01 08:00:00"
[[nodiscard]] std::string OwnerText(const TFolderLockOwner& owner);

enum class TLockResult {
    Taken,       // the folder was free or its lock stale; this object holds it now
    Own,         // this process holds it already (through another object)
    HeldByOther, // another live program holds it; `holder` says which
    NotWritable, // no lock can be written there (a read-only folder); nothing is held
};

class TFolderLock {
public:
    TFolderLock() = default;
    ~TFolderLock() { Release(); }
    TFolderLock(const TFolderLock&) = delete;
    TFolderLock& operator=(const TFolderLock&) = delete;
    TFolderLock(TFolderLock&& other) noexcept;
    // Releases what this object holds and takes over what `other` held.
    TFolderLock& operator=(TFolderLock&& other) noexcept;

    // Takes the lock of `folder` for `program`; see TLockResult.
    [[nodiscard]] TLockResult Acquire(const std::string& folder, const std::string& program, TFolderLockOwner& holder);
    // Removes the lock file if it is still this process's; nothing when none is held.
    void Release();
    [[nodiscard]] bool Held() const { return !folder_.empty(); }
    // The folder whose lock is held, ending in "/"; empty when none.
    [[nodiscard]] const std::string& Folder() const { return folder_; }

private:
    std::string folder_;
};

// Reads the lock of `folder`: false when there is none or it cannot be read.
[[nodiscard]] bool ReadFolderLock(const std::string& folder, TFolderLockOwner& owner);
// Whether the holder still runs: a process of this host that is gone, or
// whose number now belongs to a process started at another time, does not.
[[nodiscard]] bool LockHolderRuns(const TFolderLockOwner& owner);

// Whether another program that still runs holds the folder's lock, and which.
[[nodiscard]] bool FolderLockedByOther(const std::string& folder, TFolderLockOwner& holder);

// The lock of the main window's data folder, for the whole run.
[[nodiscard]] TFolderLock& ProgramFolderLock();

// For a command that writes into a folder for a while (kiv-cli read, the
// automatic round): takes the lock into `lock` for as long as it lives and
// gives true; true as well inside a program that holds the lock already, in
// a folder where no lock can be written, and with `force` when another
// program holds it (its lock is left alone). False with the line that
// names the other program otherwise.
[[nodiscard]] bool LockForWriting(TFolderLock& lock, const std::string& folder, const std::string& program, bool force,
                                  std::string& refusal);

} // namespace kiv
