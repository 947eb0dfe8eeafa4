#include "pixelart.h"

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace gombocok::assetgen {

uint32_t hash2(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

Mask Mask::operator|(const Mask& o) const {
    Mask r = *this;
    for (size_t i = 0; i < bits_.size(); ++i) r.bits_[i] = bits_[i] || o.bits_[i];
    return r;
}

Mask Mask::operator&(const Mask& o) const {
    Mask r = *this;
    for (size_t i = 0; i < bits_.size(); ++i) r.bits_[i] = bits_[i] && o.bits_[i];
    return r;
}

Mask Mask::operator-(const Mask& o) const {
    Mask r = *this;
    for (size_t i = 0; i < bits_.size(); ++i) r.bits_[i] = bits_[i] && !o.bits_[i];
    return r;
}

bool Mask::empty() const {
    return std::none_of(bits_.begin(), bits_.end(), [](uint8_t b) { return b != 0; });
}

Mask ellipseMask(int w, int h, double cx, double cy, double rx, double ry) {
    Mask m(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = (x + 0.5 - cx) / rx;
            const double dy = (y + 0.5 - cy) / ry;
            if (dx * dx + dy * dy <= 1.0) m.set(x, y);
        }
    }
    return m;
}

Mask polygonMask(int w, int h, const std::vector<QPointF>& points) {
    QImage img(w, h, QImage::Format_Grayscale8);
    img.fill(0);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255));
        p.drawPolygon(QPolygonF(QList<QPointF>(points.begin(), points.end())));
    }
    Mask m(w, h);
    for (int y = 0; y < h; ++y) {
        const uchar* row = img.constScanLine(y);
        for (int x = 0; x < w; ++x) m.set(x, y, row[x] > 127);
    }
    return m;
}

Mask polygonMask(int w, int h, std::initializer_list<QPointF> points) {
    return polygonMask(w, h, std::vector<QPointF>(points));
}

Mask rectMask(int w, int h, int x0, int y0, int x1, int y1) {
    Mask m(w, h);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) m.set(x, y);
    return m;
}

Mask dilate(const Mask& m) {
    Mask r = m;
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x)
            if (m.at(x - 1, y) || m.at(x + 1, y) || m.at(x, y - 1) || m.at(x, y + 1)) r.set(x, y);
    return r;
}

Mask opaqueMask(const QImage& layer) {
    Mask m(layer.width(), layer.height());
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x) m.set(x, y, qAlpha(layer.pixel(x, y)) != 0);
    return m;
}

QRgb rampAt(const Ramp& ramp, double t) {
    const int n = int(ramp.size());
    const int i = std::clamp(int(std::floor(t * n)), 0, n - 1);
    return ramp[size_t(i)];
}

QRgb mix(QRgb a, QRgb b, double t) {
    auto l = [t](int u, int v) { return int(std::lround(u + (v - u) * t)); };
    return qRgb(l(qRed(a), qRed(b)), l(qGreen(a), qGreen(b)), l(qBlue(a), qBlue(b)));
}

QImage newLayer(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(0);
    return img;
}

void fill(QImage& layer, const Mask& m, QRgb c) {
    paint(layer, m, [c](int, int) { return c; });
}

void paint(QImage& layer, const Mask& m, const std::function<QRgb(int, int)>& colour) {
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x)
            if (m.at(x, y)) layer.setPixel(x, y, colour(x, y) | 0xff000000u);
}

void bevel(QImage& layer, const Mask& m, const Ramp& ramp) {
    int top = m.height(), bottom = -1;
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x)
            if (m.at(x, y)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (bottom < 0) return;
    const size_t n = ramp.size();
    paint(layer, m, [&](int x, int y) {
        if (!m.at(x, y - 1)) return ramp[n - 1];
        if (!m.at(x, y + 1)) return ramp[0];
        const double t = bottom == top ? 0.5 : double(y - top) / double(bottom - top);
        // Inner pixels use the ramp without its two extremes, lightest near the top.
        const int inner = int(n) - 2;
        const int i = std::clamp(int((1.0 - t) * inner), 0, inner - 1);
        return ramp[size_t(1 + i)];
    });
}

void ball(QImage& layer, const Mask& m, double cx, double cy, double r, const Ramp& ramp,
          int speckle, uint32_t seed) {
    const double lx = -0.55, ly = -0.65, lz = 0.53;
    paint(layer, m, [&](int x, int y) {
        const double nx = std::clamp((x + 0.5 - cx) / r, -1.0, 1.0);
        const double ny = std::clamp((y + 0.5 - cy) / r, -1.0, 1.0);
        const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));
        const double d = nx * lx + ny * ly + nz * lz;
        int i = std::clamp(int(std::floor((d + 0.45) / 1.45 * double(ramp.size()))), 0,
                           int(ramp.size()) - 1);
        if (speckle > 0 && i > 0 && hash2(x, y, seed) % uint32_t(speckle) == 0) --i;
        return ramp[size_t(i)];
    });
}

void outline(QImage& layer, QRgb c) {
    const Mask m = opaqueMask(layer);
    fill(layer, dilate(m) - m, c);
}

void blit(QImage& dst, const QImage& src, int x0, int y0) {
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const QRgb c = src.pixel(x, y);
            const int dx = x0 + x, dy = y0 + y;
            if (qAlpha(c) != 0 && dx >= 0 && dy >= 0 && dx < dst.width() && dy < dst.height())
                dst.setPixel(dx, dy, c);
        }
}

QImage onBlack(const QImage& layer) {
    QImage out(layer.size(), QImage::Format_RGB32);
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x) {
            const QRgb c = layer.pixel(x, y);
            if (qAlpha(c) == 0) {
                out.setPixel(x, y, qRgb(0, 0, 0));
            } else if ((c & 0xffffff) == 0) {
                out.setPixel(x, y, qRgb(1, 1, 1));
            } else {
                out.setPixel(x, y, c | 0xff000000u);
            }
        }
    return out;
}

QImage maskOf(const QImage& sprite) {
    QImage out(sprite.size(), QImage::Format_RGB32);
    for (int y = 0; y < sprite.height(); ++y)
        for (int x = 0; x < sprite.width(); ++x)
            out.setPixel(
                x, y, (sprite.pixel(x, y) & 0xffffff) == 0 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return out;
}

QImage enlarge(const QImage& img, int factor) {
    QImage out(img.width() * factor, img.height() * factor, img.format());
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) out.setPixel(x, y, img.pixel(x / factor, y / factor));
    return out;
}

}  // namespace gombocok::assetgen
