// How cleanly the game's sounds are converted to the output's rate: the energy the conversion
// puts above the file's own Nyquist frequency (where the files hold nothing, so all of it is an
// image of the conversion), as a share of the whole, in dB.
#include <algorithm>
#include <cmath>
#include <complex>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "audio/wav.h"
#include "bench/bench.h"

namespace gombocok::bench {
namespace {

void fft(std::vector<std::complex<double>>& a) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w = std::polar(1.0, -2 * M_PI / static_cast<double>(len));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> wk = 1;
            for (std::size_t k = 0; k < len / 2; ++k, wk *= w) {
                const auto u = a[i + k], v = a[i + k + len / 2] * wk;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

}  // namespace

// Blocks of 8192 samples, half overlapping, under a Blackman-Harris window (side lobes 92 dB
// down, so what lies below the limit does not leak above it in the measure).
double shareAboveDb(const std::vector<float>& samples, int rate, double limitHz) {
    constexpr std::size_t kBlock = 8192;
    std::vector<double> window(kBlock);
    for (std::size_t k = 0; k < kBlock; ++k) {
        const double x = 2 * M_PI * static_cast<double>(k) / (kBlock - 1);
        window[k] =
            0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
    }
    const auto firstBin = static_cast<std::size_t>(std::ceil(limitHz * kBlock / rate));
    double above = 0, all = 0;
    std::vector<std::complex<double>> a(kBlock);
    for (std::size_t at = 0; at + kBlock <= samples.size() + kBlock / 2; at += kBlock / 2) {
        for (std::size_t k = 0; k < kBlock; ++k)
            a[k] = at + k < samples.size() ? samples[at + k] * window[k] : 0.0;
        fft(a);
        for (std::size_t b = 0; b <= kBlock / 2; ++b) {
            const double e = std::norm(a[b]);
            all += e;
            if (b >= firstBin) above += e;
        }
    }
    if (all <= 0) return -300;
    return 10 * std::log10(std::max(above, 1e-300) / all);
}

void resampling(Report& report, const std::string& dir) {
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().extension() == ".wav") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    if (files.empty()) throw std::runtime_error("no sounds in " + dir);
    for (const auto& path : files) {
        const auto sound = readWavFile(path.string());
        if (!sound) throw std::runtime_error("cannot read " + path.string());
        const double nyquist = sound->sampleRate / 2.0;
        for (const int rate : {44100, 48000}) {
            const auto out = convertPcm(*sound, rate, 1);
            if (!out) throw std::runtime_error("cannot convert " + path.string());
            const std::vector<float> samples(out->begin(), out->end());
            if (std::all_of(samples.begin(), samples.end(), [](float v) { return v == 0; })) {
                report.note(path.filename().string() + " holds silence only");
                break;
            }
            report.figure(
                "resample_images_" + path.stem().string() + (rate == 44100 ? "_44k" : "_48k"),
                shareAboveDb(samples, rate, nyquist + 75), 1, "dB", Goal::atMost(-70));
        }
    }
}

}  // namespace gombocok::bench
