// The entry of one fuzz target: libFuzzer hands each input to the body the
// build named (KIV_FUZZ_TARGET, one of the targets of harness.h).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "harness.h"

namespace {

kiv::fuzz::THarness Body() {
    for (const kiv::fuzz::TFuzzTarget& target : kiv::fuzz::Targets())
        if (std::strcmp(target.name, KIV_FUZZ_TARGET) == 0) return target.run;
    std::fprintf(stderr, "no fuzz body is named %s\n", KIV_FUZZ_TARGET);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const kiv::fuzz::THarness body = Body();
    return body(data, size);
}
