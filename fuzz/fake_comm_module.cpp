// The port owner without a port, linked into the reply targets instead of
// comm_module.cpp: SendFrame builds the request as the module does and takes
// the reply from the reply script at once; the reply then goes through the
// module's own frame check, so the read-out meets exactly what the real
// exchange would hand it. Only what the read-out calls is here.
#include "comm/comm_module.h"

#include <algorithm>

#include "comm/link_frame.h"
#include "reply_script.h"

namespace kiv {
namespace fuzz {
namespace {
TReplyScript* g_script = nullptr;
}
void SetReplyScript(TReplyScript* script) { g_script = script; }
} // namespace fuzz

TFCommModule::TFCommModule(QObject* parent) : QObject(parent), port_(nullptr) {}

TFCommModule::~TFCommModule() = default;

void TFCommModule::SendFrame(uint8_t kind, uint16_t secondAddress, uint16_t dataLength, const uint8_t* data,
                             uint16_t deviceAddress) {
    const std::vector<uint8_t> request = BuildFrame(RequestCode(kind), secondAddress, data, dataLength, deviceAddress);
    const std::vector<uint8_t> reply = fuzz::g_script != nullptr ? fuzz::g_script->Answer(request) : std::vector<uint8_t>{};
    // The module stops reading at its receive limit.
    std::size_t count = std::min<std::size_t>(reply.size(), kRxLimit);
    std::copy_n(reply.begin(), count, ex_.rxBuffer.begin());
    if (count == 0) {
        ex_.result = TxResult::NoReply;
    } else {
        const bool good = CheckFrame(ex_.rxBuffer.data(), count);
        ex_.result = good ? TxResult::Good : TxResult::BadFrame;
    }
    ex_.rxCount = static_cast<uint16_t>(count);
    ex_.txState = TxState::Done;
}

TxResult TFCommModule::WaitForExchange() { return ex_.result; }

std::vector<uint8_t> TFCommModule::GetReply() const {
    return {ex_.rxBuffer.begin(), ex_.rxBuffer.begin() + ex_.rxCount};
}

} // namespace kiv
