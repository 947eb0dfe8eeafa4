// Prints what the program's own code holds, for the scripts that would otherwise type it again:
//   gombocok-facts settings                    the default settings.txt, byte for byte
//   gombocok-facts wav-header TAG CH RATE BITS BYTES
//                                              the opening of a WAV file (format tag, channels,
//                                              sample rate, bits, data chunk size); the caller
//                                              appends the data
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "audio/wav.h"
#include "settings/settings_file.h"

namespace {

bool write(const void* bytes, std::size_t size) {
    return std::fwrite(bytes, 1, size, stdout) == size && std::fflush(stdout) == 0;
}

bool number(const char* text, long long max, long long& out) {
    char* end = nullptr;
    out = std::strtoll(text, &end, 10);
    return *text && !*end && out >= 0 && out <= max;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view what = argc > 1 ? argv[1] : "";
    if (what == "settings" && argc == 2) {
        const std::string s = gombocok::defaultSettings();
        return write(s.data(), s.size()) ? 0 : 1;
    }
    if (what == "wav-header" && argc == 7) {
        long long v[5];
        for (int k = 0; k < 5; ++k)
            if (!number(argv[2 + k], k == 4 ? 0xffffffffLL : 0x7fffffffLL, v[k])) {
                std::fprintf(stderr, "gombocok-facts: not a number in range: %s\n", argv[2 + k]);
                return 2;
            }
        const std::vector<std::uint8_t> h =
            gombocok::wavHeader(int(v[0]), int(v[1]), int(v[2]), int(v[3]), std::uint32_t(v[4]));
        return write(h.data(), h.size()) ? 0 : 1;
    }
    std::fprintf(stderr,
                 "usage: gombocok-facts settings\n"
                 "       gombocok-facts wav-header TAG CHANNELS RATE BITS DATA_BYTES\n");
    return 2;
}
