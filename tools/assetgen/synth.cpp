#include "synth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "pixelart.h"

namespace gombocok::assetgen {
namespace {

constexpr double kTwoPi = 2.0 * M_PI;
constexpr double kDt = 1.0 / kSampleRate;

double midiHz(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

size_t samplesFor(double seconds) {
    return size_t(std::lround(seconds * kSampleRate));
}

void ensure(Signal& s, size_t n) {
    if (s.size() < n) s.resize(n, 0.0);
}

enum class Voice { Pad, Bass, Pluck, Lead, EPiano, Bell };

// Attack, hold for `dur`, then release; decaying voices fade by their own time constant.
double envelope(Voice v, double t, double dur) {
    auto ar = [&](double attack, double release) {
        double e = std::min(1.0, t / attack);
        if (t > dur) e *= std::max(0.0, 1.0 - (t - dur) / release);
        return e;
    };
    switch (v) {
        case Voice::Pad:
            return ar(0.35, 0.7);
        case Voice::Bass:
            return ar(0.006, 0.08) * (0.45 + 0.55 * std::exp(-t / 0.25));
        case Voice::Pluck:
            return ar(0.003, 0.15) * std::exp(-t / 0.22);
        case Voice::Lead:
            return ar(0.025, 0.14) * (0.8 + 0.2 * std::exp(-t / 0.2));
        case Voice::EPiano:
            return ar(0.004, 0.35) * std::exp(-t / 1.4);
        case Voice::Bell:
            return ar(0.003, 1.2) * std::exp(-t / 1.1);
    }
    return 0;
}

double tail(Voice v) {
    switch (v) {
        case Voice::Pad:
            return 0.7;
        case Voice::Bass:
            return 0.08;
        case Voice::Pluck:
            return 0.15;
        case Voice::Lead:
            return 0.14;
        case Voice::EPiano:
            return 0.35;
        case Voice::Bell:
            return 1.2;
    }
    return 0;
}

double waveform(Voice v, double f, double t) {
    switch (v) {
        case Voice::Pad: {
            double s = 0;
            for (int h = 1; h <= 6; ++h) {
                const double a = 1.0 / std::pow(h, 1.6);
                s += a * (std::sin(kTwoPi * h * f * 1.003 * t) +
                          std::sin(kTwoPi * h * f * 0.997 * t + h));
            }
            return 0.35 * s;
        }
        case Voice::Bass:
            return std::sin(kTwoPi * f * t) + 0.35 * std::sin(kTwoPi * 2 * f * t) +
                   0.12 * std::sin(kTwoPi * 3 * f * t);
        case Voice::Pluck:
            return std::sin(kTwoPi * f * t +
                            1.6 * std::exp(-t / 0.08) * std::sin(kTwoPi * 2 * f * t));
        case Voice::Lead: {
            const double vib = t > 0.18 ? 0.004 * f / 5.5 * std::sin(kTwoPi * 5.5 * (t - 0.18)) : 0;
            const double p = kTwoPi * f * t + kTwoPi * vib;
            return std::sin(p) + 0.22 * std::sin(2 * p) + 0.1 * std::sin(3 * p);
        }
        case Voice::EPiano:
            return std::sin(kTwoPi * f * t + 1.2 * std::exp(-t / 0.4) * std::sin(kTwoPi * f * t)) +
                   0.25 * std::exp(-t / 0.12) * std::sin(kTwoPi * 7 * f * t);
        case Voice::Bell:
            return std::sin(kTwoPi * f * t +
                            1.8 * std::exp(-t / 0.5) * std::sin(kTwoPi * 3.5 * f * t));
    }
    return 0;
}

void note(Signal& out, double start, double dur, int midi, double vol, Voice v) {
    if (midi <= 0) return;
    const double f = midiHz(midi);
    const size_t s0 = samplesFor(start);
    const size_t n = samplesFor(dur + tail(v));
    ensure(out, s0 + n);
    for (size_t i = 0; i < n; ++i) {
        const double t = i * kDt;
        out[s0 + i] += vol * envelope(v, t, dur) * waveform(v, f, t);
    }
}

void chord(Signal& out, double start, double dur, const std::vector<int>& notes, double vol,
           Voice v) {
    for (int m : notes) note(out, start, dur, m, vol, v);
}

// Deterministic white noise in [-1, 1].
class Noise {
public:
    explicit Noise(uint64_t seed) : rng_(seed) {}
    double operator()() { return rng_.uniform() * 2.0 - 1.0; }

private:
    Rng rng_;
};

void kick(Signal& out, double start, double vol) {
    const size_t s0 = samplesFor(start), n = samplesFor(0.6);
    ensure(out, s0 + n);
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        const double t = i * kDt;
        phase += kTwoPi * (42 + 70 * std::exp(-t / 0.035)) * kDt;
        const double env = std::exp(-t / 0.16) * std::min(1.0, t / 0.002) * (1.0 - double(i) / n);
        out[s0 + i] += vol * env * std::sin(phase);
    }
}

void hat(Signal& out, double start, double vol, Noise& noise) {
    const size_t s0 = samplesFor(start), n = samplesFor(0.08);
    ensure(out, s0 + n);
    double low = 0;
    for (size_t i = 0; i < n; ++i) {
        const double x = noise();
        low += 0.45 * (x - low);
        out[s0 + i] += vol * std::exp(-double(i) * kDt / 0.018) * (x - low);
    }
}

void snare(Signal& out, double start, double vol, Noise& noise) {
    const size_t s0 = samplesFor(start), n = samplesFor(0.25);
    ensure(out, s0 + n);
    double a = 0, b = 0;
    for (size_t i = 0; i < n; ++i) {
        const double t = i * kDt;
        const double x = noise();
        a += 0.5 * (x - a);
        b += 0.08 * (x - b);
        out[s0 + i] += vol * (0.8 * std::exp(-t / 0.06) * (a - b) +
                              0.5 * std::exp(-t / 0.04) * std::sin(kTwoPi * 190 * t));
    }
}

// A small Schroeder reverb for a sense of space.
Signal reverb(const Signal& in, double wet, double seconds) {
    const std::array<int, 4> combs = {557, 593, 641, 677};
    const std::array<int, 2> allpasses = {113, 173};
    Signal out(in.size() + samplesFor(seconds), 0.0);
    Signal sum(out.size(), 0.0);
    for (int d : combs) {
        std::vector<double> buf(size_t(d), 0.0);
        double damp = 0;
        for (size_t i = 0; i < out.size(); ++i) {
            const double x = i < in.size() ? in[i] : 0.0;
            double& slot = buf[i % size_t(d)];
            const double y = slot;
            damp = y * 0.6 + damp * 0.4;
            slot = x + damp * 0.8;
            sum[i] += y / combs.size();
        }
    }
    for (int d : allpasses) {
        std::vector<double> buf(size_t(d), 0.0);
        for (size_t i = 0; i < sum.size(); ++i) {
            double& slot = buf[i % size_t(d)];
            const double y = slot - sum[i] * 0.5;
            slot = sum[i] + slot * 0.5;
            sum[i] = y;
        }
    }
    for (size_t i = 0; i < out.size(); ++i) out[i] = (i < in.size() ? in[i] : 0.0) + wet * sum[i];
    return out;
}

// Feedback echo, for the lead and the arpeggio.
void echo(Signal& s, double delay, double feedback) {
    const size_t d = samplesFor(delay);
    s.resize(s.size() + d * 3, 0.0);
    for (size_t i = d; i < s.size(); ++i) s[i] += feedback * s[i - d];
}

void mixInto(Signal& out, const Signal& in, double gain) {
    ensure(out, in.size());
    for (size_t i = 0; i < in.size(); ++i) out[i] += gain * in[i];
}

void fadeEdges(Signal& s, double in, double out) {
    const size_t a = std::min(s.size(), samplesFor(in));
    const size_t b = std::min(s.size(), samplesFor(out));
    for (size_t i = 0; i < a; ++i) s[i] *= double(i) / a;
    for (size_t i = 0; i < b; ++i) s[s.size() - 1 - i] *= double(i) / b;
}

struct Step {
    int midi;
    double beats;
};

void melody(Signal& out, double start, double beat, const std::vector<Step>& steps, int transpose,
            double vol, Voice v) {
    double t = start;
    for (const Step& s : steps) {
        if (s.midi > 0) note(out, t, s.beats * beat * 0.92, s.midi + transpose, vol, v);
        t += s.beats * beat;
    }
}

}  // namespace

double peakOf(const Signal& s) {
    double p = 0;
    for (double x : s) p = std::max(p, std::abs(x));
    return p;
}

double rmsOf(const Signal& s) {
    if (s.empty()) return 0;
    double sum = 0;
    for (double x : s) sum += x * x;
    return std::sqrt(sum / s.size());
}

void level(Signal& s, double rms, double peak) {
    const Signal dry = s;
    const double knee = 0.7 * peak;
    double gain = rms / std::max(1e-12, rmsOf(dry));
    for (int pass = 0; pass < 30; ++pass) {
        for (size_t i = 0; i < s.size(); ++i) {
            const double x = dry[i] * gain;
            const double a = std::abs(x);
            const double y =
                a <= knee ? a : knee + (peak - knee) * std::tanh((a - knee) / (peak - knee));
            s[i] = std::copysign(y, x);
        }
        const double now = rmsOf(s);
        if (std::abs(now / rms - 1.0) < 0.005) break;
        gain *= rms / now;
    }
}

Signal gameMusic() {
    const double beat = 60.0 / 112.0, bar = 4 * beat;
    struct Chord {
        std::vector<int> tones;
        int bass;
    };
    const std::vector<Chord> cycle = {
        {{57, 60, 64}, 45}, {{57, 60, 65}, 41}, {{55, 60, 64}, 48}, {{55, 59, 62}, 43},
        {{57, 60, 64}, 45}, {{57, 60, 65}, 41}, {{57, 62, 65}, 38}, {{56, 59, 64}, 40},
    };
    const std::vector<Step> tune = {
        {76, 1},  {81, 1}, {84, 1},   {83, .5}, {81, .5}, {81, 1.5}, {79, .5}, {77, 1}, {76, 1},
        {76, 1},  {79, 1}, {84, 1.5}, {83, .5}, {86, 2},  {83, 1},   {79, 1},  {84, 1}, {83, .5},
        {81, .5}, {76, 1}, {81, 1},   {84, 1},  {86, .5}, {84, .5},  {81, 2},
    };
    std::vector<Step> tuneA = tune;
    for (Step s : {Step{77, 1}, {81, 1}, {86, 1}, {84, 1}, {83, 2}, {80, 1}, {76, 1}})
        tuneA.push_back(s);
    std::vector<Step> tuneB = tune;
    for (Step s : {Step{77, 1}, {76, 1}, {74, 1}, {72, 1}, {71, 2}, {76, 2}}) tuneB.push_back(s);

    Signal pads, arp, bass, drums, lead;
    Noise noise(1234);
    const int cycles = 4;
    for (int c = 0; c < cycles; ++c) {
        for (int b = 0; b < 8; ++b) {
            const double t = (c * 8 + b) * bar;
            const Chord& ch = cycle[size_t(b)];
            chord(pads, t, bar, ch.tones, 0.10, Voice::Pad);
            const std::vector<int>& tones = ch.tones;
            const int pattern[8] = {0, 1, 2, 3, 2, 1, 0, 1};
            for (int i = 0; i < 8; ++i) {
                const int idx = pattern[i];
                const int m = (idx == 3 ? tones[0] + 12 : tones[size_t(idx)]) + 12;
                note(arp, t + i * beat / 2, beat / 2, m, c == 0 ? 0.16 : 0.12, Voice::Pluck);
            }
            if (c >= 1) {
                const double at[] = {0, 1.5, 2, 3, 3.5};
                const int up[] = {0, 0, 12, 0, 7};
                for (int i = 0; i < 5; ++i)
                    note(bass, t + at[i] * beat, beat * 0.45, ch.bass + up[i], 0.32, Voice::Bass);
                for (int i = 0; i < 4; ++i) {
                    if (i % 2 == 0) kick(drums, t + i * beat, 0.55);
                    if (i % 2 == 1) snare(drums, t + i * beat, 0.22, noise);
                    hat(drums, t + i * beat + beat / 2, 0.08, noise);
                }
            }
        }
    }
    melody(lead, 2 * 8 * bar, beat, tuneA, -12, 0.22, Voice::Lead);
    melody(lead, 3 * 8 * bar, beat, tuneB, 0, 0.17, Voice::Lead);
    // Closing bar: the home chord rings out with a bell on top.
    const double end = cycles * 8 * bar;
    chord(pads, end, bar, {57, 60, 64, 69}, 0.10, Voice::Pad);
    note(bass, end, bar * 0.8, 45, 0.3, Voice::Bass);
    note(lead, end, bar * 0.5, 81, 0.10, Voice::Bell);
    kick(drums, end, 0.5);

    echo(arp, beat * 0.75, 0.28);
    echo(lead, beat * 0.75, 0.22);
    Signal song;
    mixInto(song, reverb(pads, 0.35, 2.0), 1.0);
    mixInto(song, arp, 1.0);
    mixInto(song, bass, 1.0);
    mixInto(song, drums, 1.0);
    mixInto(song, reverb(lead, 0.3, 2.0), 1.0);
    song.resize(samplesFor(end + bar + 1.5));
    fadeEdges(song, 0.01, 1.5);
    return song;
}

Signal optionsMusic() {
    const double beat = 60.0 / 80.0, bar = 4 * beat;
    const std::vector<std::pair<std::vector<int>, int>> chords = {{{62, 66, 69, 73}, 38},
                                                                  {{59, 62, 66, 69}, 35},
                                                                  {{55, 59, 62, 66}, 43},
                                                                  {{57, 61, 64, 67}, 45}};
    const std::vector<Step> tune = {
        {78, 1.5}, {81, .5}, {83, 2},   {81, 1},  {78, 1}, {76, 2}, {74, 1.5}, {76, .5}, {78, 1},
        {81, 1},   {76, 4},  {78, 1.5}, {81, .5}, {86, 2}, {85, 1}, {83, 1},   {81, 2},  {78, 4},
    };
    Signal keys, bass, bells, brush;
    Noise noise(99);
    const int bars = 11;
    for (int b = 0; b < bars; ++b) {
        const double t = b * bar;
        const auto& [tones, root] = chords[size_t(b % 4)];
        chord(keys, t, beat * 1.5, tones, 0.09, Voice::EPiano);
        chord(keys, t + 2.5 * beat, beat * 0.5, tones, 0.06, Voice::EPiano);
        note(bass, t, beat * 1.8, root, 0.3, Voice::Bass);
        note(bass, t + 2 * beat, beat * 1.8, root + 7, 0.24, Voice::Bass);
        if (b >= 4)
            for (int i = 0; i < 4; ++i) hat(brush, t + i * beat + beat / 2, 0.06, noise);
    }
    melody(bells, 4 * bar, beat, tune, 0, 0.12, Voice::Bell);
    const double end = bars * bar;
    chord(keys, end, bar, {62, 66, 69, 73, 78}, 0.08, Voice::EPiano);
    note(bass, end, bar, 38, 0.28, Voice::Bass);
    echo(bells, beat * 0.5, 0.3);
    Signal song;
    mixInto(song, reverb(keys, 0.4, 2.0), 1.0);
    mixInto(song, bass, 1.0);
    mixInto(song, reverb(bells, 0.5, 2.0), 1.0);
    mixInto(song, brush, 1.0);
    song.resize(samplesFor(end + bar + 1.0));
    fadeEdges(song, 0.01, 1.2);
    return song;
}

Signal startJingle() {
    Signal s, pad;
    const int run[] = {69, 73, 76, 81, 85};
    for (int i = 0; i < 5; ++i) note(s, i * 0.08, 0.12, run[i], 0.25, Voice::Pluck);
    chord(pad, 0.45, 1.6, {57, 61, 64, 69}, 0.12, Voice::Pad);
    note(s, 0.45, 1.2, 76, 0.18, Voice::Lead);
    note(s, 0.45, 0.2, 93, 0.12, Voice::Bell);
    note(s, 0.45, 1.6, 45, 0.3, Voice::Bass);
    kick(s, 0.45, 0.6);
    Signal out;
    mixInto(out, reverb(s, 0.3, 1.0), 1.0);
    mixInto(out, reverb(pad, 0.35, 1.0), 1.0);
    out.resize(samplesFor(3.0));
    fadeEdges(out, 0.005, 0.6);
    return out;
}

Signal quitJingle() {
    Signal s, pad;
    const int run[] = {76, 72, 69, 64};
    for (int i = 0; i < 4; ++i) note(s, i * 0.12, 0.16, run[i], 0.25, Voice::Pluck);
    chord(pad, 0.5, 0.6, {53, 57, 60}, 0.12, Voice::Pad);
    note(s, 0.5, 0.6, 41, 0.3, Voice::Bass);
    chord(pad, 1.15, 0.8, {52, 55, 60, 64}, 0.12, Voice::Pad);
    note(s, 1.15, 0.9, 36, 0.3, Voice::Bass);
    note(s, 1.15, 0.3, 84, 0.1, Voice::Bell);
    Signal out;
    mixInto(out, reverb(s, 0.3, 1.0), 1.0);
    mixInto(out, reverb(pad, 0.35, 1.0), 1.0);
    out.resize(samplesFor(2.6));
    fadeEdges(out, 0.005, 0.5);
    return out;
}

Signal playerShot() {
    Signal s(samplesFor(0.22));
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i * kDt;
        phase += kTwoPi * (260 + 1500 * std::exp(-t / 0.04)) * kDt;
        const double tone = std::sin(phase) + std::sin(3 * phase) / 3 + std::sin(5 * phase) / 8;
        s[i] = std::min(1.0, t / 0.002) * std::exp(-t / 0.06) * tone;
    }
    fadeEdges(s, 0.0, 0.02);
    return s;
}

Signal ufoShot() {
    Signal s(samplesFor(0.34));
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i * kDt;
        const double f = (130 + 420 * std::exp(-t / 0.09)) * (1 + 0.18 * std::sin(kTwoPi * 28 * t));
        phase += kTwoPi * f * kDt;
        const double tri = 2.0 / M_PI * std::asin(std::sin(phase));
        s[i] = std::min(1.0, t / 0.003) * std::exp(-t / 0.11) *
               (0.8 * tri + 0.3 * std::sin(2 * phase));
    }
    fadeEdges(s, 0.0, 0.03);
    return s;
}

Signal crash() {
    Signal s(samplesFor(0.9));
    Noise noise(777);
    double lp1 = 0, lp2 = 0, phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i * kDt;
        const double cutoff = 0.02 + 0.25 * std::exp(-t / 0.12);
        const double x = noise();
        lp1 += cutoff * (x - lp1);
        lp2 += cutoff * (lp1 - lp2);
        phase += kTwoPi * (38 + 80 * std::exp(-t / 0.06)) * kDt;
        const double thump = std::exp(-t / 0.15) * std::sin(phase);
        s[i] = std::min(1.0, t / 0.002) * (3.0 * std::exp(-t / 0.22) * lp2 + 0.9 * thump);
    }
    fadeEdges(s, 0.0, 0.1);
    return s;
}

Signal departure() {
    Signal s(samplesFor(1.6));
    Noise noise(31337);
    double lp1 = 0, lp2 = 0, phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i * kDt;
        const double f = 140 * std::pow(9.0, t / 1.6);
        phase += kTwoPi * f * kDt;
        const double trem = 0.65 + 0.35 * std::sin(kTwoPi * 11 * t);
        const double c = 0.015 + 0.04 * t / 1.6;
        lp1 += c * (noise() - lp1);
        lp2 += c * (lp1 - lp2);
        const double env = std::min(1.0, t / 0.15) * std::max(0.0, 1.0 - t / 1.6);
        s[i] = env * (trem * (std::sin(phase) + 0.3 * std::sin(2 * phase)) + 6.0 * lp2);
    }
    return s;
}

Signal silence() {
    return Signal(samplesFor(0.1), 0.0);
}

}  // namespace gombocok::assetgen
