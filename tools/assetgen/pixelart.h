// Small pixel-art toolkit: hard-edged masks, palette ramps and shading on a pixel grid. No
// antialiasing anywhere, so every picture stays crisp when enlarged and its opaque area is exact.
#pragma once

#include <QImage>
#include <QPointF>
#include <QRgb>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

namespace gombocok::assetgen {

// Deterministic generator (splitmix64): the same seed always draws the same picture.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return double(next() >> 11) / double(1ull << 53); }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return int(next() % uint64_t(n)); }

private:
    uint64_t state_;
};

uint32_t hash2(int x, int y, uint32_t seed);

class Mask {
public:
    Mask(int w, int h) : w_(w), h_(h), bits_(size_t(w) * h, 0) {}
    int width() const { return w_; }
    int height() const { return h_; }
    bool at(int x, int y) const {
        return x >= 0 && y >= 0 && x < w_ && y < h_ && bits_[size_t(y) * w_ + x];
    }
    void set(int x, int y, bool on = true) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) bits_[size_t(y) * w_ + x] = on;
    }
    Mask operator|(const Mask& o) const;
    Mask operator&(const Mask& o) const;
    Mask operator-(const Mask& o) const;
    bool empty() const;

private:
    int w_, h_;
    std::vector<uint8_t> bits_;
};

// Shapes test pixel centres, so a shape covers exactly the pixels whose centre lies inside it.
Mask ellipseMask(int w, int h, double cx, double cy, double rx, double ry);
Mask polygonMask(int w, int h, std::initializer_list<QPointF> points);
Mask polygonMask(int w, int h, const std::vector<QPointF>& points);
Mask rectMask(int w, int h, int x0, int y0, int x1, int y1);  // inclusive corners
Mask dilate(const Mask& m);
Mask opaqueMask(const QImage& layer);

using Ramp = std::vector<QRgb>;           // dark to light
QRgb rampAt(const Ramp& ramp, double t);  // t in [0, 1], clamped
QRgb mix(QRgb a, QRgb b, double t);

// A transparent ARGB layer; opaque pixels have alpha 255.
QImage newLayer(int w, int h);
void fill(QImage& layer, const Mask& m, QRgb c);
void paint(QImage& layer, const Mask& m, const std::function<QRgb(int, int)>& colour);
// Top edge light, bottom edge dark, the rest by a vertical gradient over the mask's rows.
void bevel(QImage& layer, const Mask& m, const Ramp& ramp);
// Sphere shading lit from the upper left; `speckle` darkens a sprinkle of pixels (seeded).
void ball(QImage& layer, const Mask& m, double cx, double cy, double r, const Ramp& ramp,
          int speckle = 0, uint32_t seed = 1);
// Every transparent pixel next to (4-neighbourhood) an opaque one gets `c`.
void outline(QImage& layer, QRgb c);
// Draws `src` onto `dst` at (x, y), opaque pixels only.
void blit(QImage& dst, const QImage& src, int x, int y);
// The layer on a black ground, with every opaque pixel kept off pure black.
QImage onBlack(const QImage& layer);
// Sprite and mask pair: the mask is white where the sprite is black (transparent), else black.
QImage maskOf(const QImage& spriteOnBlack);
// Nearest-neighbour enlargement by a whole factor.
QImage enlarge(const QImage& img, int factor);

}  // namespace gombocok::assetgen
