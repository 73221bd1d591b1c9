// A WAV file either is refused with a message or gives samples at the
// engine's rate, no more than its rate allows, read a piece at a time.
#include "commands/ZelError.h"
#include "fuzz/FuzzSupport.h"
#include "recognition/AudioSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string file = zelfuzz::WriteInput("in.wav", data, size);
    try {
        zel::TWavFileSource source(file, 16000, false);
        const size_t recorded = source.SampleCount();
        ZELFUZZ_CHECK(recorded <= size / 2);
        // At the lowest rate accepted each sample becomes 16.
        size_t total = 0;
        int16_t buffer[320];
        for (int32_t n; (n = source.Read(buffer, 320)) > 0;) {
            ZELFUZZ_CHECK(n <= 320);
            total += static_cast<size_t>(n);
            ZELFUZZ_CHECK(total <= recorded * 16 + 16);
        }
    } catch (const zel::TError&) {
    }
    return 0;
}
