#include "art.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "pixelart.h"

namespace gombocok::assetgen {
namespace {

constexpr QRgb kInk = 0xff0e0a18;  // outline of every sprite: dark, never pure black

// ---------------------------------------------------------------------------------------------
// UFOs: a breadcrumb-coated dumpling on a saucer rim, friendlier at low levels.

struct UfoLook {
    Ramp dough;
    Ramp metal;
    QRgb light;
};

UfoLook ufoLook(int level) {
    switch (level) {
        case 1:
            return {{0xff785434, 0xffb0804c, 0xffdeb06e, 0xfff4d696, 0xfffff0c8},
                    {0xff1e4650, 0xff328282, 0xff5abeaa, 0xffaaf0dc},
                    0xff78ff8c};
        case 2:
            return {{0xff6e461e, 0xffaa702c, 0xffd69c40, 0xfff0c460, 0xffffe6a0},
                    {0xff1e3264, 0xff3264aa, 0xff5a96dc, 0xffaad2fa},
                    0xff78dcff};
        case 3:
            return {{0xff643418, 0xffa05624, 0xffcc7a34, 0xffe8a050, 0xfffac882},
                    {0xff282e3c, 0xff505a6e, 0xff828ca0, 0xffc8cedc},
                    0xffffe65a};
        case 4:
            return {{0xff54221a, 0xff883826, 0xffb45234, 0xffd67248, 0xffec986e},
                    {0xff281e1e, 0xff504038, 0xff826e5a, 0xffbeaa8c},
                    0xffff9628};
        case 5:
            return {{0xff34163c, 0xff562660, 0xff7a3a82, 0xffa056a4, 0xffc480c4},
                    {0xff1a1824, 0xff343046, 0xff58526e, 0xff8c82aa},
                    0xffff3c3c};
        default:
            return {{0xff181218, 0xff2c2028, 0xff422e38, 0xff5c3e4a, 0xff7c5662},
                    {0xff120e12, 0xff261e24, 0xff40323a, 0xff6e545c},
                    0xffff1e3c};
    }
}

void eyeWhite(QImage& l, double cx, double cy, double rx, double ry) {
    fill(l, ellipseMask(l.width(), l.height(), cx, cy, rx, ry), 0xfff0f0fa);
}

void px(QImage& l, int x, int y, QRgb c) {
    if (x >= 0 && y >= 0 && x < l.width() && y < l.height()) l.setPixel(x, y, c | 0xff000000u);
}

void hline(QImage& l, int x0, int x1, int y, QRgb c) {
    for (int x = x0; x <= x1; ++x) px(l, x, y, c);
}

void line(QImage& l, int x0, int y0, int x1, int y1, QRgb c) {
    const int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= n; ++i) {
        const double t = n == 0 ? 0 : double(i) / n;
        px(l, int(std::lround(x0 + (x1 - x0) * t)), int(std::lround(y0 + (y1 - y0) * t)), c);
    }
}

// Teeth: a dark mouth with alternating light fangs along its top and bottom rows.
void fangs(QImage& l, int x0, int x1, int y0, int y1) {
    fill(l, rectMask(l.width(), l.height(), x0, y0, x1, y1), 0xff3c0a10);
    for (int x = x0; x <= x1; x += 3) {
        px(l, x, y0, 0xfff0e6dc);
        px(l, x + 1, y0, 0xfff0e6dc);
        px(l, x, y0 + 1, 0xffc8bcb4);
        px(l, x + 2, y1, 0xfff0e6dc);
        px(l, x + 3, y1, 0xffc8bcb4);
    }
}

}  // namespace

QImage drawUfo(int level) {
    const int W = 49, H = 50;
    const double cx = 24.5;
    const UfoLook look = ufoLook(level);
    QImage l = newLayer(W, H);

    // Horns and spikes go first so the body overlaps their roots.
    if (level >= 5) {
        const double len = level == 6 ? 9 : 6;
        const Mask horns =
            polygonMask(W, H, {{13, 14}, {18, 10}, {11 - len / 3, 10 - len}, {10, 10}}) |
            polygonMask(W, H, {{36, 14}, {31, 10}, {38 + len / 3, 10 - len}, {39, 10}});
        bevel(l, horns, {0xff5a4a50, 0xffa08c8c, 0xffd2c3b4, 0xfff0e6d2});
    }
    if (level >= 4) {
        std::vector<int> at;
        double len = 5;
        if (level == 4) at = {8, 41};
        if (level == 5) at = {6, 14, 35, 43}, len = 7;
        if (level == 6) at = {5, 12, 19, 30, 37, 44}, len = 9;
        Mask spikes(W, H);
        for (int sx : at)
            spikes = spikes |
                     polygonMask(W, H, {{sx - 2.5, 35.0}, {sx + 2.5, 35.0}, {sx + 0.5, 36 + len}});
        bevel(l, spikes, look.metal);
    }

    const double domeY = 21, r = 14;
    const Mask dome = ellipseMask(W, H, cx, domeY, r, r);
    ball(l, dome, cx, domeY, r, look.dough, 7, uint32_t(level));

    const Mask rim = ellipseMask(W, H, cx, 32, 23.5, 6);
    const Mask pod = ellipseMask(W, H, cx, 38.5, 9, 4.5) - rim;
    bevel(l, pod, look.metal);
    // Contact shadow where the dumpling sits in the rim.
    paint(l, dome,
          [&](int x, int y) { return rim.at(x, y + 1) ? look.dough[0] : QRgb(l.pixel(x, y)); });
    paint(l, rim, [&](int x, int y) {
        if (!rim.at(x, y - 1)) return look.metal[3];
        if (!rim.at(x, y + 1)) return look.metal[0];
        if (y == 32) return look.metal[0];
        if (y < 32) return (x < 16) ? look.metal[3] : look.metal[2];
        return look.metal[1];
    });
    for (int lx : {5, 12, 19, 29, 36, 43}) {
        const bool lit = level >= 5 || ((lx / 7) % 2 == 0);
        const QRgb c = lit ? look.light : mix(look.light, look.metal[1], 0.6);
        px(l, lx, 34, c);
        px(l, lx + 1, 34, c);
        px(l, lx, 35, mix(c, look.metal[0], 0.35));
        px(l, lx + 1, 35, mix(c, look.metal[0], 0.35));
    }
    // Beam emitter under the pod.
    hline(l, 23, 25, 42, look.light);
    px(l, 24, 43, mix(look.light, 0xffffffff, 0.5));

    const QRgb mouth = 0xff4a1e1e;
    switch (level) {
        case 1: {
            line(l, 24, 3, 24, 7, look.metal[2]);
            fill(l, ellipseMask(W, H, 24.5, 3, 2.3, 2.3), look.light);
            px(l, 24, 2, 0xffffffff);
            eyeWhite(l, 19.5, 16.5, 2.8, 3.4);
            eyeWhite(l, 29.5, 16.5, 2.8, 3.4);
            for (int ex : {19, 29}) {
                fill(l, rectMask(W, H, ex - 1, 16, ex, 18), 0xff1e1428);
                px(l, ex - 1, 16, 0xffffffff);
            }
            hline(l, 14, 16, 21, 0xffff8c8c);
            hline(l, 33, 35, 21, 0xffff8c8c);
            hline(l, 22, 27, 23, mouth);
            px(l, 21, 22, mouth);
            px(l, 28, 22, mouth);
            break;
        }
        case 2: {
            line(l, 19, 9, 16, 3, look.metal[2]);
            line(l, 30, 9, 33, 3, look.metal[2]);
            fill(l, ellipseMask(W, H, 16, 2.5, 1.8, 1.8), look.light);
            fill(l, ellipseMask(W, H, 33, 2.5, 1.8, 1.8), look.light);
            eyeWhite(l, 19.5, 16.5, 2.8, 3.2);
            eyeWhite(l, 29.5, 16.5, 2.8, 3.2);
            for (int ex : {18, 28}) fill(l, rectMask(W, H, ex - 1, 16, ex, 18), 0xff1e1428);
            hline(l, 22, 26, 23, mouth);
            px(l, 27, 22, mouth);
            break;
        }
        case 3: {
            fill(l, rectMask(W, H, 23, 4, 25, 7), look.metal[2]);
            px(l, 24, 3, look.light);
            eyeWhite(l, 19.5, 17, 2.8, 2.6);
            eyeWhite(l, 29.5, 17, 2.8, 2.6);
            hline(l, 16, 22, 15, look.dough[0]);
            hline(l, 27, 33, 15, look.dough[0]);
            hline(l, 17, 22, 16, look.dough[1]);
            hline(l, 27, 32, 16, look.dough[1]);
            for (int ex : {18, 28}) fill(l, rectMask(W, H, ex, 17, ex + 1, 18), 0xff1e1428);
            hline(l, 21, 28, 23, mouth);
            break;
        }
        case 4: {
            eyeWhite(l, 19.5, 17.5, 2.6, 2.6);
            eyeWhite(l, 29.5, 17.5, 2.6, 2.6);
            for (int ex : {18, 28}) fill(l, rectMask(W, H, ex, 17, ex + 1, 18), 0xffc81e1e);
            line(l, 15, 12, 22, 15, 0xff2a1010);
            line(l, 15, 13, 22, 16, 0xff2a1010);
            line(l, 34, 12, 27, 15, 0xff2a1010);
            line(l, 34, 13, 27, 16, 0xff2a1010);
            hline(l, 21, 28, 22, mouth);
            px(l, 20, 23, mouth);
            px(l, 29, 23, mouth);
            break;
        }
        case 5: {
            const Mask eyes = polygonMask(W, H, {{14, 14}, {23, 17}, {22, 20}, {14, 17}}) |
                              polygonMask(W, H, {{35, 14}, {26, 17}, {27, 20}, {35, 17}});
            fill(l, eyes, 0xffff3232);
            hline(l, 18, 20, 17, 0xffffdc50);
            hline(l, 29, 31, 17, 0xffffdc50);
            fangs(l, 18, 31, 21, 24);
            break;
        }
        default: {
            fill(l, ellipseMask(W, H, 24.5, 15.5, 6.5, 5.5), 0xff500008);
            fill(l, ellipseMask(W, H, 24.5, 15.5, 5, 4.2), 0xffdc1428);
            fill(l, ellipseMask(W, H, 24.5, 15.5, 3, 2.6), 0xffff5a3c);
            fill(l, rectMask(W, H, 24, 12, 24, 19), 0xff1a0004);
            px(l, 22, 13, 0xffffe6c8);
            fangs(l, 15, 34, 22, 25);
            // Glowing cracks in the charcoal crust.
            line(l, 13, 19, 16, 23, 0xffb4142a);
            line(l, 36, 19, 33, 23, 0xffb4142a);
            line(l, 20, 9, 22, 11, 0xffb4142a);
            line(l, 30, 8, 28, 10, 0xffb4142a);
            break;
        }
    }
    outline(l, kInk);
    return onBlack(l);
}

// ---------------------------------------------------------------------------------------------
// Spacecraft: three silhouettes, every nose at the right edge on row 29.

namespace {

const Ramp kFlame = {0xffdc5014, 0xffffaa28, 0xfffff096, 0xffffffff};

void flame(QImage& l, int nozzleX, int y0, int y1, int length) {
    const int W = l.width(), H = l.height();
    const double mid = (y0 + y1 + 1) / 2.0;
    const Mask m = polygonMask(W, H,
                               {{double(nozzleX), double(y0)},
                                {double(nozzleX), double(y1 + 1)},
                                {double(nozzleX - length), mid}});
    paint(l, m, [&](int x, int y) {
        const double along = double(nozzleX - x) / length;
        const double across = std::abs(y + 0.5 - mid) / ((y1 - y0 + 1) / 2.0);
        return rampAt(kFlame, 1.0 - along * 0.9 - across * 0.45);
    });
}

void glass(QImage& l, const Mask& canopy) {
    const Ramp g = {0xff142846, 0xff286ea0, 0xff5abee6, 0xffc8f0ff};
    bevel(l, canopy, g);
    // A glint on the canopy's upper left.
    for (int y = 0; y < l.height(); ++y)
        for (int x = 0; x < l.width(); ++x)
            if (canopy.at(x, y) && canopy.at(x, y - 1) && !canopy.at(x - 2, y - 1)) {
                px(l, x, y, g[3]);
                return;
            }
}

}  // namespace

QImage drawShip(int type) {
    const int W = 75;
    const int H = type == 1 ? 43 : type == 2 ? 38 : 58;
    QImage l = newLayer(W, H);
    if (type == 1) {
        // Interceptor: needle fuselage, tall tail fin, small delta wing below.
        const Ramp white = {0xff3c465a, 0xff788296, 0xffb4becd, 0xffe1e6f0, 0xfffafcff};
        const Ramp blue = {0xff142460, 0xff2850b4, 0xff3c78e6, 0xff8cb4ff};
        bevel(l, polygonMask(W, H, {{4, 25}, {20, 25}, {11, 3}, {4, 3}}), blue);
        bevel(l, polygonMask(W, H, {{22, 34}, {46, 34}, {30, 42}, {18, 42}}), blue);
        const Mask hull =
            polygonMask(W, H, {{3, 24}, {50, 23}, {75, 28}, {75, 30}, {50, 35}, {3, 35}});
        bevel(l, hull, white);
        hline(l, 8, 58, 31, 0xff3c78e6);
        hline(l, 8, 50, 32, 0xff2850b4);
        glass(l, ellipseMask(W, H, 46, 25, 9, 4.5) -
                     polygonMask(W, H, {{0, 26}, {75, 26}, {75, 43}, {0, 43}}));
        fill(l, rectMask(W, H, 3, 26, 5, 32), 0xff505a6e);
        flame(l, 3, 27, 31, 4);
        px(l, 6, 5, 0xffff5050);
    } else if (type == 2) {
        // Hauler: a heavy wedge sloping down to its nose, twin engines, ventral keel.
        const Ramp hullRamp = {0xff46321e, 0xff8c6432, 0xffc89646, 0xffebbe64, 0xfffae196};
        const Ramp grey = {0xff32323c, 0xff646473, 0xff9696a5, 0xffcdcdd7};
        bevel(l, polygonMask(W, H, {{30, 33}, {52, 33}, {46, 38}, {36, 38}}), grey);
        const Mask hull =
            polygonMask(W, H, {{6, 7}, {22, 5}, {75, 28}, {75, 30}, {66, 34}, {6, 34}});
        bevel(l, hull, hullRamp);
        // Hazard stripes on the rear flank.
        for (int y = 18; y <= 28; ++y)
            for (int x = 10; x <= 24; ++x)
                if (((x + y) / 3) % 2 == 0) px(l, x, y, 0xff32281e);
        glass(l, ellipseMask(W, H, 40, 13.5, 8, 4) -
                     polygonMask(W, H, {{0, 14}, {75, 37}, {75, 38}, {0, 38}}));
        bevel(l, rectMask(W, H, 3, 8, 7, 15), grey);
        bevel(l, rectMask(W, H, 3, 23, 7, 31), grey);
        flame(l, 3, 9, 14, 4);
        flame(l, 3, 24, 30, 4);
        hline(l, 28, 70, 31, 0xff8c6432);
    } else {
        // Cruiser: wide swept wings above and below, pods with cannons at the tips.
        const Ramp hullRamp = {0xff32384a, 0xff646c7d, 0xff969eaf, 0xffc8cedc, 0xfff0f4fa};
        const Ramp red = {0xff501414, 0xff962828, 0xffc84638, 0xfff07864};
        const Ramp grey = {0xff282c38, 0xff505a6e, 0xff8c96aa, 0xffc8d2e1};
        bevel(l, polygonMask(W, H, {{12, 22}, {38, 22}, {24, 6}, {12, 6}}), red);
        bevel(l, polygonMask(W, H, {{12, 36}, {38, 36}, {24, 52}, {12, 52}}), red);
        const Mask pods = rectMask(W, H, 8, 3, 30, 7) | rectMask(W, H, 8, 51, 30, 55);
        bevel(l, pods, grey);
        fill(l, rectMask(W, H, 31, 4, 40, 5), 0xff505a6e);
        fill(l, rectMask(W, H, 31, 53, 40, 54), 0xff505a6e);
        px(l, 9, 4, 0xff78ff8c);
        px(l, 9, 53, 0xffff5050);
        const Mask hull = polygonMask(
            W, H, {{6, 21}, {42, 20}, {62, 24}, {75, 28}, {75, 30}, {62, 34}, {42, 38}, {6, 37}});
        bevel(l, hull, hullRamp);
        hline(l, 10, 56, 29, 0xffc84638);
        glass(l, ellipseMask(W, H, 53, 25.5, 9, 4.5) -
                     polygonMask(W, H, {{0, 27}, {75, 27}, {75, 58}, {0, 58}}));
        fill(l, rectMask(W, H, 4, 24, 7, 33), 0xff505a6e);
        hline(l, 4, 7, 24, 0xff8c96aa);
        flame(l, 4, 25, 32, 5);
    }
    outline(l, kInk);
    return onBlack(l);
}

// ---------------------------------------------------------------------------------------------
// Hand cursor.

QImage drawHand() {
    const int S = 32;
    QImage l = newLayer(S, S);
    const Mask finger = rectMask(S, S, 10, 4, 14, 18) | ellipseMask(S, S, 12.5, 4, 2.5, 2.5);
    const Mask curled = ellipseMask(S, S, 17.5, 15, 2.6, 2.6) |
                        ellipseMask(S, S, 21.5, 15.5, 2.6, 2.6) |
                        ellipseMask(S, S, 25, 16.5, 2.4, 2.4);
    const Mask palm = rectMask(S, S, 10, 15, 26, 25) | ellipseMask(S, S, 18, 24, 8.5, 4);
    const Mask thumb = polygonMask(S, S, {{11, 17}, {7, 13.5}, {4, 14.5}, {4, 17}, {10, 25}}) |
                       ellipseMask(S, S, 5.5, 15.5, 2.2, 2.2);
    const Mask glove = finger | curled | palm | thumb;
    paint(l, glove, [&](int x, int y) {
        if (!glove.at(x + 1, y) || !glove.at(x, y + 1)) return QRgb(0xffb4b9c8);
        return QRgb(0xffffffff);
    });
    // Creases between the curled fingers and along the thumb.
    for (int y = 14; y <= 18; ++y) {
        px(l, 15, y, 0xff8c91a0);
        px(l, 19, y + 1, 0xff8c91a0);
        px(l, 23, y + 1, 0xff8c91a0);
    }
    line(l, 9, 19, 11, 22, 0xff8c91a0);
    const Mask cuff = rectMask(S, S, 11, 26, 25, 29);
    bevel(l, cuff, {0xff143c8c, 0xff2864c8, 0xff508cf0, 0xff96beff});
    outline(l, 0xff000000);
    return l;
}

QPoint handHotSpot() {
    const QImage hand = drawHand();
    for (int y = 0; y < hand.height(); ++y)
        for (int x = 0; x < hand.width(); ++x)
            if (qAlpha(hand.pixel(x, y)) != 0) return {x, y};
    return {0, 0};
}

// ---------------------------------------------------------------------------------------------
// Sky: nebula, stars and planets.

namespace {

double lattice(int x, int y, int z, uint32_t seed) {
    return double(hash2(x * 73856093 ^ z * 19349663, y, seed) & 0xffff) / 65535.0;
}

double valueNoise(double x, double y, double z, uint32_t seed) {
    const int xi = int(std::floor(x)), yi = int(std::floor(y)), zi = int(std::floor(z));
    const double fx = x - xi, fy = y - yi, fz = z - zi;
    auto s = [](double t) { return t * t * (3 - 2 * t); };
    const double u = s(fx), v = s(fy), w = s(fz);
    double c[2][2][2];
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            for (int k = 0; k < 2; ++k) c[i][j][k] = lattice(xi + i, yi + j, zi + k, seed);
    auto lerp = [](double a, double b, double t) { return a + (b - a) * t; };
    const double x00 = lerp(c[0][0][0], c[1][0][0], u), x10 = lerp(c[0][1][0], c[1][1][0], u);
    const double x01 = lerp(c[0][0][1], c[1][0][1], u), x11 = lerp(c[0][1][1], c[1][1][1], u);
    return lerp(lerp(x00, x10, v), lerp(x01, x11, v), w);
}

double fbm(double x, double y, double z, uint32_t seed) {
    double sum = 0, amp = 0.5, norm = 0;
    for (int o = 0; o < 5; ++o) {
        sum += amp * valueNoise(x, y, z, seed + uint32_t(o) * 101);
        norm += amp;
        x *= 2.03;
        y *= 2.03;
        z *= 2.03;
        amp *= 0.5;
    }
    return sum / norm;
}

constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

const Ramp kPurple = {0xff06061a, 0xff140e30, 0xff26164a, 0xff3e2066, 0xff5c2e80, 0xff7a4290};
const Ramp kTeal = {0xff06061a, 0xff0a1a30, 0xff0e2c46, 0xff12405a, 0xff1c5a70, 0xff307884};

// Nebula colour at tile column `u` of a sky whose columns wrap after `period` pixels: the noise
// runs around a cylinder, so column u and column u + period see the same cloud.
QRgb nebula(int u, int y, double period, uint32_t seed, double strength) {
    const double a = 2.0 * M_PI * u / period;
    const double rad = period / (2.0 * M_PI * 95.0);
    const double cxn = rad * std::cos(a), cyn = rad * std::sin(a), zn = y / 95.0;
    double n = fbm(cxn + 3.1, cyn + 7.7, zn, seed);
    const double hue = fbm(cxn * 0.6 + 11.0, cyn * 0.6 - 4.0, zn * 0.6 + 5.0, seed + 7);
    // A soft band across the middle of the sky keeps the clouds away from the edges.
    const double band = std::exp(-std::pow((y - 0.55 * 420) / 150.0, 2));
    double d = std::clamp((n - 0.42) * 3.0 * strength * (0.45 + 0.55 * band), 0.0, 1.0);
    const double levels = double(kPurple.size() - 1);
    const double th = (kBayer[y & 3][u & 3] + 0.5) / 16.0;
    const int lvl = std::clamp(int(std::floor(d * levels + th - 0.5)), 0, int(levels));
    const double h = hue < 0.47 ? 0.0 : hue < 0.55 ? 0.5 : 1.0;
    return mix(kPurple[size_t(lvl)], kTeal[size_t(lvl)], h);
}

struct Star {
    int u, y, kind;
    QRgb colour;
};

std::vector<Star> scatterStars(int count, int width, int height, uint64_t seed) {
    Rng rng(seed);
    const QRgb tints[] = {0xffffffff, 0xffdce6ff, 0xffffecc8, 0xffb4c8ff, 0xffffd2d2};
    std::vector<Star> stars;
    for (int i = 0; i < count; ++i) {
        Star s{rng.below(width), rng.below(height), 0, tints[rng.below(5)]};
        const double r = rng.uniform();
        s.kind = r < 0.62 ? 0 : r < 0.86 ? 1 : r < 0.97 ? 2 : 3;
        if (s.kind == 0) s.colour = mix(0xff06061a, s.colour, rng.range(0.3, 0.6));
        stars.push_back(s);
    }
    return stars;
}

void drawStar(QImage& img, int x, int y, const Star& s) {
    auto put = [&](int dx, int dy, double k) {
        const int X = x + dx, Y = y + dy;
        if (X < 0 || Y < 0 || X >= img.width() || Y >= img.height()) return;
        img.setPixel(X, Y, mix(img.pixel(X, Y), s.colour, k) | 0xff000000u);
    };
    put(0, 0, 1.0);
    if (s.kind >= 2) {
        for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) put(dx, dy, 0.55);
    }
    if (s.kind == 3) {
        for (auto [dx, dy] : {std::pair{2, 0}, {-2, 0}, {0, 2}, {0, -2}}) put(dx, dy, 0.3);
        for (auto [dx, dy] : {std::pair{3, 0}, {-3, 0}}) put(dx, dy, 0.15);
    }
}

// A banded planet with optional ring, as an opaque-where-drawn layer.
QImage planet(int r, const Ramp& ramp, bool ring, uint32_t seed) {
    const int ringX = ring ? int(r * 1.9) : r + 1;
    const int W = 2 * ringX + 2, H = 2 * r + 4;
    const double cx = W / 2.0, cy = H / 2.0;
    QImage l = newLayer(W, H);
    const Mask body = ellipseMask(W, H, cx, cy, r, r);
    Mask ringMask(W, H);
    if (ring) {
        ringMask = ellipseMask(W, H, cx, cy, r * 1.85, r * 0.38) -
                   ellipseMask(W, H, cx, cy, r * 1.35, r * 0.22);
        const Mask back =
            ringMask & polygonMask(W, H, {{0, 0}, {double(W), 0}, {double(W), cy}, {0, cy}});
        paint(l, back, [&](int x, int) { return (x / 3) % 2 ? 0xff8c785a : 0xff6e5e48; });
    }
    const double lx = -0.6, ly = -0.45, lz = 0.66;
    paint(l, body, [&](int x, int y) {
        const double nx = (x + 0.5 - cx) / r, ny = (y + 0.5 - cy) / r;
        const double nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
        double d = nx * lx + ny * ly + nz * lz;
        const double bandN = valueNoise(0.5, ny * 5.0, 0.3, seed);
        d += (bandN - 0.5) * 0.35;
        const double th = (kBayer[y & 3][x & 3] + 0.5) / 16.0 - 0.5;
        return rampAt(ramp, (d + 0.3) / 1.3 + th / double(ramp.size()));
    });
    if (ring) {
        const Mask front =
            ringMask - polygonMask(W, H, {{0, 0}, {double(W), 0}, {double(W), cy}, {0, cy}});
        paint(l, front, [&](int x, int) { return (x / 3) % 2 ? 0xffd2be96 : 0xffaa9670; });
    }
    return l;
}

}  // namespace

QImage drawBackground() {
    const int W = 1060, H = 420;
    const double period = 7100.0 / 15.0;
    QImage img(W, H, QImage::Format_RGB32);
    // Each copy of the tile starts at a whole pixel, round(k * period); the tile's own column u
    // drives everything drawn, so the copies are exact shifts of each other.
    auto tileStart = [&](int k) { return int(std::lround(k * period)); };
    for (int x = 0; x < W; ++x) {
        int k = 0;
        while (x >= tileStart(k + 1)) ++k;
        const int u = x - tileStart(k);
        for (int y = 0; y < H; ++y) img.setPixel(x, y, nebula(u, y, period, 20261206, 1.0));
    }
    const int tileW = int(std::ceil(period));
    auto everyCopy = [&](auto draw) {
        for (int k = -1; k <= 3; ++k) draw(tileStart(k));
    };
    const QImage moon = planet(8, {0xff1e2a3c, 0xff3c5068, 0xff64809e, 0xff9cb8d2}, false, 9);
    const QImage red = planet(4, {0xff501e1e, 0xff96412d, 0xffd27846}, false, 11);
    // Only small bodies: the field is wider than one period, so anything big would be seen twice.
    const auto stars = scatterStars(260, tileW - 1, H, 42);
    everyCopy([&](int x0) {
        for (const Star& s : stars) drawStar(img, x0 + s.u, s.y, s);
        blit(img, moon, x0 + 95, 318);
        blit(img, red, x0 + 420, 212);
    });
    return img;
}

// ---------------------------------------------------------------------------------------------
// Title picture.

namespace {

Mask textMask(int w, int h, const QString& text, int pixelSize, int baseline) {
    QImage img(w, h, QImage::Format_Grayscale8);
    img.fill(0);
    {
        QPainter p(&img);
        QFont font("DejaVu Sans", 10, QFont::Bold);
        font.setPixelSize(pixelSize);
        font.setStyleStrategy(QFont::NoAntialias);
        p.setFont(font);
        p.setPen(QColor(255, 255, 255));
        const int tw = p.fontMetrics().horizontalAdvance(text);
        p.drawText((w - tw) / 2, baseline, text);
    }
    Mask m(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) m.set(x, y, img.pixelColor(x, y).red() > 127);
    return m;
}

}  // namespace

QImage drawTitle() {
    const int W = 550, H = 413;
    QImage img(W, H, QImage::Format_RGB32);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) img.setPixel(x, y, nebula(x, y, 1400.0, 77, 1.15));
    const auto stars = scatterStars(300, W, H, 4242);
    for (const Star& s : stars) drawStar(img, s.u, s.y, s);

    // The home planet's horizon along the bottom, with a thin bright atmosphere.
    {
        const double cx = 275, cy = 413 + 600, r = 640;
        const Ramp sea = {0xff0a1a3c, 0xff12305a, 0xff1c4a7c, 0xff2a6498};
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
                if (d > r + 2) continue;
                if (d > r) {
                    img.setPixel(x, y, 0xff64c8f0);
                    continue;
                }
                const double depth = (r - d) / 40.0;
                const double land = fbm(x / 40.0, y / 14.0, 2.0, 5);
                const double th = (kBayer[y & 3][x & 3] + 0.5) / 16.0 - 0.5;
                QRgb c = rampAt(sea, 1.0 - depth + th * 0.25);
                if (land > 0.56) c = mix(c, 0xff3c8c50, 0.55);
                if (land > 0.66) c = mix(c, 0xffe6e6dc, 0.5);
                img.setPixel(x, y, c);
            }
    }
    blit(img, planet(30, {0xff2a1e3c, 0xff503c78, 0xff7c64b4, 0xffaa96dc, 0xffdcd2f5}, true, 3),
         412, 32);

    // The title, lettered like golden dumplings rolled in breadcrumbs.
    const Mask letters = textMask(W, H, QStringLiteral("Gombócok"), 82, 168);
    const Mask rim1 = dilate(dilate(letters));
    const Mask rim2 = dilate(rim1);
    Mask shadow(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (rim2.at(x - 5, y - 5)) shadow.set(x, y);
    QImage l = newLayer(W, H);
    fill(l, shadow, 0xff0a0614);
    fill(l, rim2, 0xff1e0a14);
    fill(l, rim1 - letters, 0xff6e2a10);
    int top = H, bottom = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (letters.at(x, y)) top = std::min(top, y), bottom = std::max(bottom, y);
    const Ramp gold = {0xffbe5a1e, 0xffe6822d, 0xfffab446, 0xffffdc78, 0xfffff5c8};
    paint(l, letters, [&](int x, int y) {
        if (!letters.at(x, y - 1) || !letters.at(x - 1, y)) return gold[4];
        if (!letters.at(x, y + 1) || !letters.at(x + 1, y)) return gold[0];
        const double t = double(y - top) / std::max(1, bottom - top);
        const double th = (kBayer[y & 3][x & 3] + 0.5) / 16.0 - 0.5;
        QRgb c = rampAt({gold[1], gold[2], gold[3], gold[3]}, 1.0 - t + th * 0.2);
        if (hash2(x, y, 31) % 11 == 0) c = gold[1];
        return c;
    });
    blit(img, l, 0, 0);

    // A wave of dumplings closing in from the right.
    const int spots[][3] = {{6, 452, 214}, {5, 392, 238}, {4, 470, 268}, {3, 330, 222}};
    for (const auto& s : spots) {
        QImage u = drawUfo(s[0]);
        QImage layer = newLayer(u.width(), u.height());
        for (int y = 0; y < u.height(); ++y)
            for (int x = 0; x < u.width(); ++x)
                if ((u.pixel(x, y) & 0xffffff) != 0) layer.setPixel(x, y, u.pixel(x, y));
        blit(img, layer, s[1], s[2]);
    }
    return img;
}

// ---------------------------------------------------------------------------------------------
// The father on the comms screen.

QImage drawFather() {
    const int W = 139, H = 144;
    QImage img(W, H, QImage::Format_RGB32);
    // Screen with scanlines inside a metal bezel.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const bool bezel = x < 4 || y < 4 || x >= W - 4 || y >= H - 4;
            QRgb c = (y % 2) ? 0xff0e2632 : 0xff12303e;
            if (bezel) {
                const bool lit = x < 4 ? x < 3 - 0 && y < H - 2 : y < 4;
                c = (x == 0 || y == 0) ? 0xffc8ced8 : lit ? 0xff8c94a4 : 0xff4a505e;
                if (x == W - 1 || y == H - 1) c = 0xff2a2e38;
            }
            img.setPixel(x, y, c);
        }
    QImage l = newLayer(W, H);
    const Ramp navy = {0xff10142a, 0xff1e284e, 0xff2c3a6c, 0xff42548c, 0xff6074aa};
    const Ramp skin = {0xff6e3c28, 0xffa05f41, 0xffc8865e, 0xffe6aa82, 0xfff5c8a0};
    const Ramp grey = {0xff6e6e78, 0xff9a9aa5, 0xffc3c3cc, 0xffe6e6ee};
    const QRgb gold = 0xffe6b43c, goldDark = 0xffa0781e;

    // Uniform with epaulettes, a white collar and a medal.
    bevel(l, polygonMask(W, H, {{8, 140}, {24, 116}, {52, 106}, {87, 106}, {115, 116}, {131, 140}}),
          navy);
    fill(l, polygonMask(W, H, {{56, 106}, {83, 106}, {69.5, 126}}), 0xffe6ebf0);
    fill(l, polygonMask(W, H, {{66, 110}, {73, 110}, {71, 130}, {68, 130}}), 0xff8c1e1e);
    for (int side : {0, 1}) {
        const int x0 = side ? 100 : 18;
        fill(l, rectMask(W, H, x0, 114, x0 + 20, 118), gold);
        for (int x = x0; x <= x0 + 20; x += 3) {
            line(l, x, 119, x, 123, goldDark);
        }
    }
    fill(l, ellipseMask(W, H, 98.5, 128.5, 3.5, 3.5), gold);
    px(l, 97, 127, 0xfffff0b4);
    fill(l, rectMask(W, H, 97, 121, 100, 125), 0xff1e64c8);

    // Neck, ears and head with a square jaw.
    bevel(l, rectMask(W, H, 57, 94, 82, 108), {skin[0], skin[1], skin[1], skin[2]});
    for (double ex : {42.0, 97.0}) ball(l, ellipseMask(W, H, ex, 72, 4.5, 8), ex, 72, 8, skin);
    const Mask head =
        ellipseMask(W, H, 69.5, 64, 27, 30) |
        polygonMask(W, H, {{43, 66}, {96, 66}, {94, 92}, {83, 104}, {56, 104}, {45, 92}});
    ball(l, head, 64, 62, 44, skin, 0);
    // Stubble on the jaw, creases beside the nose.
    paint(l, head, [&](int x, int y) {
        const QRgb c = l.pixel(x, y);
        return (y > 90 && hash2(x, y, 5) % 3 == 0) ? mix(c, 0xff503c3c, 0.35) : c;
    });
    line(l, 61, 79, 55, 89, skin[1]);
    line(l, 78, 79, 84, 89, skin[0]);
    // Grey temples.
    fill(l, polygonMask(W, H, {{43, 52}, {49, 52}, {48, 68}, {44, 70}}), grey[1]);
    fill(l, polygonMask(W, H, {{90, 52}, {96, 52}, {95, 70}, {91, 68}}), grey[0]);

    // Eyes under heavy brows.
    for (int side : {0, 1}) {
        const int ex = side ? 81 : 58;
        fill(l, rectMask(W, H, ex - 3, 67, ex + 3, 69), 0xffe6e1dc);
        fill(l, rectMask(W, H, ex - 1, 67, ex, 69), 0xff283c50);
        px(l, ex - 1, 67, 0xff141418);
        hline(l, ex - 3, ex + 3, 71, skin[1]);
        hline(l, ex - 2, ex + 2, 72, skin[2]);
    }
    const Mask brows = polygonMask(W, H, {{48, 58}, {66, 62}, {66, 66}, {48, 63}}) |
                       polygonMask(W, H, {{91, 58}, {73, 62}, {73, 66}, {91, 63}});
    paint(l, brows, [&](int x, int y) {
        return brows.at(x, y + 1) ? (hash2(x, y, 3) % 3 ? grey[2] : grey[3]) : grey[0];
    });
    // A big nose, shaded from the left.
    const Mask nose = polygonMask(W, H, {{66, 63}, {73, 63}, {78, 83}, {61, 83}});
    paint(l, nose, [&](int x, int y) {
        if (!nose.at(x - 1, y)) return skin[4];
        if (!nose.at(x + 1, y) || !nose.at(x, y + 1)) return skin[1];
        return y > 77 ? skin[2] : skin[3];
    });
    px(l, 65, 83, skin[0]);
    px(l, 74, 83, skin[0]);

    // The walrus moustache and a stern mouth beneath it.
    hline(l, 61, 78, 97, 0xff50282a);
    const Mask tache = polygonMask(W, H,
                                   {{50, 90},
                                    {59, 83},
                                    {69.5, 85},
                                    {80, 83},
                                    {89, 90},
                                    {92, 99},
                                    {83, 95},
                                    {69.5, 94},
                                    {56, 95},
                                    {47, 99}});
    paint(l, tache, [&](int x, int y) {
        if (!tache.at(x, y + 1)) return grey[0];
        if (!tache.at(x, y - 1)) return grey[3];
        return (x + (y / 3)) % 4 == 0 ? grey[1] : grey[2];
    });

    // Captain's cap: crown, band, badge, gold braid, shiny visor.
    const Mask crown =
        polygonMask(W, H, {{36, 45}, {38, 28}, {52, 17}, {87, 17}, {101, 28}, {103, 45}});
    bevel(l, crown, navy);
    fill(l, rectMask(W, H, 38, 39, 101, 46), 0xff14182c);
    hline(l, 38, 101, 39, goldDark);
    const Mask badge = polygonMask(W, H,
                                   {{69.5, 23},
                                    {73, 29},
                                    {79, 30},
                                    {74, 34},
                                    {76, 40},
                                    {69.5, 36},
                                    {63, 40},
                                    {65, 34},
                                    {60, 30},
                                    {66, 29}});
    fill(l, badge, gold);
    px(l, 69, 26, 0xfffff0b4);
    fill(l, polygonMask(W, H, {{57, 31}, {61, 31}, {64, 35}, {50, 33}}), goldDark);
    fill(l, polygonMask(W, H, {{82, 31}, {78, 31}, {75, 35}, {89, 33}}), goldDark);
    const Mask visor = polygonMask(W, H, {{38, 46}, {101, 46}, {107, 54}, {32, 54}});
    paint(l, visor, [&](int x, int y) {
        if (y == 46) return gold;
        return (y == 48 && x > 45 && x < 70) ? QRgb(0xff5a5f78) : QRgb(0xff0c0c18);
    });
    outline(l, 0xff08060c);
    blit(img, l, 0, 0);

    // Signal bars and a live lamp in the corner of the screen.
    for (int i = 0; i < 4; ++i)
        for (int y = 14 - 2 * i; y <= 15; ++y) hline(img, 10 + 3 * i, 11 + 3 * i, y, 0xff78ff8c);
    fill(img, ellipseMask(W, H, 127.5, 12.5, 2.5, 2.5), 0xffff3c3c);
    return img;
}

// ---------------------------------------------------------------------------------------------
// Program icon: the friendly dumpling on a night-sky tile.

QImage drawIcon(int size) {
    if (size > 48) return enlarge(drawIcon(32), size / 32);
    const int S = size;
    const double k = S / 32.0;
    QImage l = newLayer(S, S);
    const Mask tile = rectMask(S, S, 1, 2, S - 2, S - 3) | rectMask(S, S, 2, 1, S - 3, S - 2);
    paint(l, tile, [&](int x, int y) {
        if (!tile.at(x, y - 1) || !tile.at(x - 1, y)) return QRgb(0xff5a64a0);
        if (!tile.at(x, y + 1) || !tile.at(x + 1, y)) return QRgb(0xff0a0c22);
        return mix(0xff0c1030, 0xff28204e, double(y) / S);
    });
    for (auto [sx, sy] : {std::pair{5, 6}, {26, 5}, {22, 27}, {7, 25}, {28, 16}})
        px(l, int(sx * k), int(sy * k), 0xffdce6ff);
    const UfoLook look = ufoLook(1);
    const double cx = S / 2.0;
    const Mask dome = ellipseMask(S, S, cx, 14 * k, 8 * k, 8 * k);
    ball(l, dome, cx, 14 * k, 8 * k, look.dough, 7, 1);
    const Mask rim = ellipseMask(S, S, cx, 20 * k, 13 * k, 3.6 * k);
    paint(l, rim, [&](int x, int y) {
        if (!rim.at(x, y - 1)) return look.metal[3];
        if (!rim.at(x, y + 1)) return look.metal[0];
        return y < 20 * k ? look.metal[2] : look.metal[1];
    });
    for (double lx : {8.0, 13.0, 18.0, 23.0}) px(l, int(lx * k), int(21 * k), look.light);
    for (double ex : {13.0, 18.0}) {
        fill(l, rectMask(S, S, int(ex * k), int(11 * k), int(ex * k) + int(k), int(13 * k)),
             0xff1e1428);
    }
    hline(l, int(14 * k), int(17 * k), int(16 * k), 0xff4a1e1e);
    fill(l, ellipseMask(S, S, cx, 24.5 * k, 3 * k, 1.6 * k) - rim, look.light);
    return l;
}

}  // namespace gombocok::assetgen
