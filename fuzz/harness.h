#pragma once
// The bodies of the fuzz targets. Each takes one input and hands it to one
// parser of outside input the way the program meets it: files are written
// into a scratch data folder (in memory when /dev/shm is there) and read back
// through the program's own readers; a store target first lays down a fuzzed
// existing file and then stores into it; the reply targets answer the
// read-out's requests from the input through a port owner without a port
// (fake_comm_module.cpp). A body returns 0; a broken promise of the code under
// test (a file it stored that it then refuses) aborts, which the fuzzer counts
// as a finding like any crash. The same bodies run the kept findings under
// tests/data/fuzz/<target>/ as regression cases of the normal test suite.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kiv::fuzz {

using THarness = int (*)(const uint8_t* data, std::size_t size);
struct TFuzzTarget {
    const char* name; // the fuzzer is fuzz_<name>, its corpus corpus/<name>
    THarness run;
};
[[nodiscard]] const std::vector<TFuzzTarget>& Targets();

// Takes an input apart front to back; past its end every read gives zeros.
class TInput {
public:
    TInput(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    [[nodiscard]] uint8_t Byte();
    [[nodiscard]] uint16_t U16();
    // The next `count` bytes, fewer at the end of the input.
    [[nodiscard]] std::string_view Take(std::size_t count);
    // A piece preceded by its 16-bit length.
    [[nodiscard]] std::string_view Piece() { return Take(U16()); }
    [[nodiscard]] std::string_view Rest() { return Take(size_ - pos_); }
    [[nodiscard]] bool Empty() const { return pos_ >= size_; }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// The scratch data folder (trailing "/"), made once per process with a
// message sink that answers every box with its default button unseen.
[[nodiscard]] const std::string& Scratch();
// The station every file target works on, and its folder emptied.
constexpr int kStation = 12;
[[nodiscard]] std::string FreshStationFolder();
void WriteFile(const std::string& path, std::string_view bytes);

int FuzzIni(const uint8_t* data, std::size_t size);
int FuzzTIni(const uint8_t* data, std::size_t size);
int FuzzStationFile(const uint8_t* data, std::size_t size);
int FuzzEventDefinition(const uint8_t* data, std::size_t size);
int FuzzProfile(const uint8_t* data, std::size_t size);
int FuzzCurrentData(const uint8_t* data, std::size_t size);
int FuzzEventsRead(const uint8_t* data, std::size_t size);
int FuzzEventsStore(const uint8_t* data, std::size_t size);
int FuzzArchiveOpen(const uint8_t* data, std::size_t size);
int FuzzArchiveStore(const uint8_t* data, std::size_t size);
int FuzzFrameCheck(const uint8_t* data, std::size_t size);
int FuzzReplyClock(const uint8_t* data, std::size_t size);
int FuzzReplyNameplate(const uint8_t* data, std::size_t size);
int FuzzReplyCurrentData(const uint8_t* data, std::size_t size);
int FuzzReplyEvents(const uint8_t* data, std::size_t size);
int FuzzReplyArchive(const uint8_t* data, std::size_t size);
int FuzzImport(const uint8_t* data, std::size_t size);

} // namespace kiv::fuzz
