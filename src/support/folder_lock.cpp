#include "support/folder_lock.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <limits>
#include <random>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/file_replace.h"
#include "support/helpers.h"

namespace kiv {
namespace {

// Enough for a handful of programs starting on one stale lock at once, each
// waiting its turn at the takeover.
constexpr int kAcquireAttempts = 200;
constexpr int kTakeoverWaitMs = 10;
constexpr long kTakeoverStaleSeconds = 10;

std::string LockPath(const std::string& folder) { return PathWithSeparator(folder) + kFolderLockName; }

std::string HostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return "?";
    return name;
}

struct TProcessStat {
    char state = '?';
    long long start = 0; // 0: not known
};

// Fields 3 (state) and 22 (start) of /proc/PID/stat, counted after the
// command name in brackets, which may itself hold blanks and brackets.
TProcessStat ProcessStat(long pid) {
    TProcessStat stat;
    std::string text;
    if (ReadWholeFile("/proc/" + std::to_string(pid) + "/stat", text) != 0) return stat;
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) return stat;
    std::istringstream fields(text.substr(close + 1));
    std::string field;
    for (int k = 3; k <= 22 && fields >> field; ++k) {
        if (k == 3) stat.state = field.front();
        if (k == 22) stat.start = std::atoll(field.c_str());
    }
    return stat;
}

std::string NowText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return DateTimeText(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                        local.tm_sec);
}

TFolderLockOwner ThisProcess(const std::string& program) {
    TFolderLockOwner me;
    me.host = HostName();
    me.pid = static_cast<long>(::getpid());
    me.started = NowText();
    me.program = program;
    me.processStart = ProcessStat(me.pid).start;
    return me;
}

bool IsThisProcess(const TFolderLockOwner& owner) {
    const TFolderLockOwner me = ThisProcess("");
    return owner.host == me.host && owner.pid == me.pid &&
           (owner.processStart == 0 || me.processStart == 0 || owner.processStart == me.processStart);
}

std::string LockText(const TFolderLockOwner& owner) {
    return "Host=" + owner.host + "\r\nPid=" + std::to_string(owner.pid) + "\r\nStarted=" + owner.started +
           "\r\nProgram=" + owner.program + "\r\nProcessStart=" + std::to_string(owner.processStart) + "\r\n";
}

bool ParseLock(const std::string& text, TFolderLockOwner& owner) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == "Host") owner.host = value;
        else if (key == "Pid") owner.pid = std::atol(value.c_str());
        else if (key == "Started") owner.started = value;
        else if (key == "Program") owner.program = value;
        else if (key == "ProcessStart") owner.processStart = std::atoll(value.c_str());
    }
    return !owner.host.empty() && owner.pid > 0;
}

// A name beside the lock that no other program picks, on this host or
// another one using the same network folder: host, process and a random part.
std::string UniqueName(const std::string& path, const char* ending) {
    std::string host = HostName();
    for (char& c : host)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '.') c = '_';
    std::random_device random;
    char part[20];
    std::snprintf(part, sizeof part, "%08x%08x", random(), random());
    return path + "." + host + "." + std::to_string(::getpid()) + "." + part + ending;
}

int CreateExclusively(const std::string& path, const std::string& content) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return errno;
    const int rc = WriteAll(fd, content.data(), content.size());
    ::close(fd);
    return rc;
}

bool NoLinksHere(int rc) { return rc == EPERM || rc == ENOTSUP || rc == ENOSYS || rc == EMLINK; }

// Gives `from` the name `path` unless something is there already; `from`
// stays. Where the file system has no links, an exclusive create stands in.
// 0, EEXIST when something is there, or the errno of the failure.
int LinkExclusively(const std::string& from, const std::string& path, const std::string& content) {
    const int rc = ::link(from.c_str(), path.c_str()) == 0 ? 0 : errno;
    return NoLinksHere(rc) ? CreateExclusively(path, content) : rc;
}

// The lock is written whole under a name of its own and then linked to its
// place, which fails while a lock is there, also on a network file system.
int CreateLock(const std::string& path, const std::string& content) {
    const std::string temporary = UniqueName(path, ".tmp");
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return errno;
    int rc = WriteAll(fd, content.data(), content.size());
    ::close(fd);
    if (rc == 0) rc = LinkExclusively(temporary, path, content);
    ::unlink(temporary.c_str());
    return rc;
}

// Takes the stale lock `stale` away without ever writing over a lock. One
// program at a time may do so: it holds the takeover file beside the lock,
// made exclusively, while it checks that the lock is still that stale one
// and deletes it. Nothing else can replace a lock that is there, so of
// several programs finding one stale lock exactly one deletes it and, of
// all that then try to put theirs in place, exactly one succeeds. A takeover
// file left by a program that died in that instant is old and is removed.
// False when the folder cannot hold the takeover file.
bool TakeAwayStale(const std::string& path, const std::string& stale) {
    const std::string guard = path + ".takeover";
    const int rc = CreateExclusively(guard, stale);
    if (rc == EEXIST) {
        struct stat info {};
        if (::stat(guard.c_str(), &info) == 0 && std::time(nullptr) - info.st_mtime > kTakeoverStaleSeconds)
            ::unlink(guard.c_str());
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(kTakeoverWaitMs));
        return true;
    }
    if (rc != 0) return false;
    std::string now;
    if (ReadWholeFile(path, now) == 0 && now == stale) ::unlink(path.c_str());
    ::unlink(guard.c_str());
    return true;
}

} // namespace

std::string OwnerText(const TFolderLockOwner& owner) {
    std::string text = "komputer " + owner.host + ", proces " + std::to_string(owner.pid);
    if (!owner.program.empty()) text += " (" + owner.program + ")";
    if (!owner.started.empty()) text += ", od " + owner.started;
    return text;
}

bool ReadFolderLock(const std::string& folder, TFolderLockOwner& owner) {
    std::string text;
    owner = TFolderLockOwner{};
    return ReadWholeFile(LockPath(folder), text) == 0 && ParseLock(text, owner);
}

bool LockHolderRuns(const TFolderLockOwner& owner) {
    if (owner.host != HostName()) return true; // another desk's process cannot be looked at
    // A number no process can have is no process's: not one that runs for ever.
    if (owner.pid <= 0 || owner.pid > std::numeric_limits<pid_t>::max()) return false;
    if (::kill(static_cast<pid_t>(owner.pid), 0) != 0 && errno == ESRCH) return false;
    const TProcessStat stat = ProcessStat(owner.pid);
    if (stat.state == 'Z' || stat.state == 'X') return false; // ended, not yet waited for
    // The number may have gone to a process started later.
    return owner.processStart == 0 || stat.start == 0 || stat.start == owner.processStart;
}

bool FolderLockedByOther(const std::string& folder, TFolderLockOwner& holder) {
    return ReadFolderLock(folder, holder) && !IsThisProcess(holder) && LockHolderRuns(holder);
}

TFolderLock::TFolderLock(TFolderLock&& other) noexcept : folder_(std::move(other.folder_)) { other.folder_.clear(); }

TFolderLock& TFolderLock::operator=(TFolderLock&& other) noexcept {
    if (this != &other) {
        Release();
        folder_ = std::move(other.folder_);
        other.folder_.clear();
    }
    return *this;
}

TLockResult TFolderLock::Acquire(const std::string& folder, const std::string& program, TFolderLockOwner& holder) {
    if (Held() && folder_ == PathWithSeparator(folder)) return TLockResult::Taken;
    Release();
    const std::string path = LockPath(folder);
    const std::string content = LockText(ThisProcess(program));
    // Of several programs finding one stale lock, one at a time deletes it if
    // it is still that lock; each then tries again to put its own in place,
    // so that exactly one of them succeeds and the others find that one's lock.
    for (int attempt = 0; attempt < kAcquireAttempts; ++attempt) {
        const int rc = CreateLock(path, content);
        if (rc == 0) {
            folder_ = PathWithSeparator(folder);
            return TLockResult::Taken;
        }
        if (rc != EEXIST) return TLockResult::NotWritable;
        std::string text;
        if (const int read = ReadWholeFile(path, text); read != 0) {
            if (read == ENOENT) continue; // taken away meanwhile
            return TLockResult::NotWritable;
        }
        TFolderLockOwner found;
        const bool parsed = ParseLock(text, found);
        if (parsed && IsThisProcess(found)) return TLockResult::Own;
        if (parsed && LockHolderRuns(found)) {
            holder = found;
            return TLockResult::HeldByOther;
        }
        if (!TakeAwayStale(path, text)) return TLockResult::NotWritable;
    }
    if (!ReadFolderLock(folder, holder)) return TLockResult::NotWritable;
    return TLockResult::HeldByOther;
}

void TFolderLock::Release() {
    if (folder_.empty()) return;
    TFolderLockOwner owner;
    if (ReadFolderLock(folder_, owner) && IsThisProcess(owner)) ::unlink(LockPath(folder_).c_str());
    folder_.clear();
}

TFolderLock& ProgramFolderLock() {
    static TFolderLock lock;
    return lock;
}

bool LockForWriting(TFolderLock& lock, const std::string& folder, const std::string& program, bool force,
                    std::string& refusal) {
    TFolderLockOwner holder;
    if (lock.Acquire(folder, program, holder) != TLockResult::HeldByOther || force) return true;
    refusal = "folder danych " + PathWithSeparator(folder) + " jest używany przez inny program (" + OwnerText(holder) +
              "); --force zapisuje mimo to";
    return false;
}

} // namespace kiv
