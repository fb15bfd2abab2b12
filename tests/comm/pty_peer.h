#pragma once
// A scripted device at the far end of a pseudo-terminal, for driving the
// communication module through its real serial port. The peer holds the
// master side, collects request frames and answers each one from a script:
// chunks of bytes, each written after a delay, optionally paced as a line
// of a given baud rate (10 bits a byte) would deliver them.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kivtest {

using Bytes = std::vector<uint8_t>;

struct Chunk {
    Bytes bytes;
    int delayMs = 0; // before this chunk
};
using Script = std::vector<Chunk>;
using Responder = std::function<Script(const Bytes& request)>;

// A reply frame built independently of the module's frame builder.
Bytes ReplyFrame(uint16_t address, uint8_t code, const Bytes& data);
// The same frame split into one-byte chunks, each after gapMs.
Script ByteByByte(const Bytes& bytes, int gapMs);

class PtyPeer {
public:
    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool Ok() const { return master_ >= 0 && slave_ >= 0; }
    const std::string& SlavePath() const { return slavePath_; }
    // A second descriptor of the slave side, for reading the line settings.
    int SlaveFd() const { return slave_; }

    // Requests are answered from now on; pacingBaud 0 writes at once.
    void Serve(Responder responder, int pacingBaud = 0);
    // Plain text lines (modem commands) instead of frames: each line ended
    // by CR is one request.
    void ServeLines(Responder responder);
    std::vector<Bytes> Requests() const;

private:
    void Run();
    void Answer(const Bytes& request);
    // Cuts the next whole request off the front of pending; false when none is complete.
    bool NextRequest(Bytes& pending, Bytes& request) const;
    void WritePaced(const Bytes& bytes, std::chrono::steady_clock::time_point& at);

    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    Responder responder_;
    int pacingBaud_ = 0;
    bool lines_ = false;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<Bytes> requests_;
};

} // namespace kivtest
