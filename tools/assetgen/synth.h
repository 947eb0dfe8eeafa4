// The game's sounds, synthesised at kSampleRate, mono, as floating-point samples in [-1, 1].
#pragma once

#include <vector>

namespace gombocok::assetgen {

constexpr int kSampleRate = 22050;

using Signal = std::vector<double>;

Signal gameMusic();     // urzaj: background music of play, a little over a minute
Signal optionsMusic();  // beallit: calmer music of the options dialog
Signal startJingle();   // prgindit
Signal quitJingle();    // prgvege
Signal playerShot();    // uloves
Signal ufoShot();       // ufoloves
Signal crash();         // utkozes
Signal departure();     // tavozas
Signal silence();       // csend: 0.1 s of digital zero

double peakOf(const Signal& s);
double rmsOf(const Signal& s);
// Scales `s` to the given RMS, squeezing peaks with a soft limiter so none exceeds `peak`.
void level(Signal& s, double rms, double peak);

}  // namespace gombocok::assetgen
