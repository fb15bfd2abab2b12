#pragma once
// What answers the requests of a read-out under the reply targets: canned
// good replies first (the steps a target passes on its way to the decoder it
// fuzzes), then replies taken from the input. Each reply of the input is a
// control byte and a piece with its 16-bit length: with bit 0 of the control
// byte set the piece is a reply code and its data, framed here with the right
// LEN and CRC for the device that was asked, so that the fuzzer reaches the
// decoders behind the frame check; without it the piece is sent as it is,
// noise and broken frames included. An input used up answers nothing.
#include <cstdint>
#include <deque>
#include <vector>

#include "harness.h"

namespace kiv::fuzz {

class TReplyScript {
public:
    explicit TReplyScript(TInput& input) : input_(input) {}
    void Can(std::vector<uint8_t> reply) { canned_.push_back(std::move(reply)); }
    // The reply bytes to the request frame.
    [[nodiscard]] std::vector<uint8_t> Answer(const std::vector<uint8_t>& request);

private:
    TInput& input_;
    std::deque<std::vector<uint8_t>> canned_;
    int answered_ = 0;
};

// The script the port owner answers from while it lives (fake_comm_module.cpp).
void SetReplyScript(TReplyScript* script);

} // namespace kiv::fuzz
