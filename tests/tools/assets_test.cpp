// Checks that every picture, cursor and sound the program and its window designs load has the
// format, size and levels they rely on.

#include "base/assets.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QtEndian>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "audio/wav.h"

namespace gombocok {
namespace {

const std::string kAssets = GOMBOCOK_SOURCE_DIR "/assets/";
const std::string kData = GOMBOCOK_SOURCE_DIR "/data/";

QImage load(const std::string& path) {
    return QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_ARGB32);
}

bool isBlack(QRgb c, int tolerance = 0) {
    return qRed(c) <= tolerance && qGreen(c) <= tolerance && qBlue(c) <= tolerance;
}

// ---------------------------------------------------------------------------------------------
// The manifest: the build installs what it names, assets/ holds exactly that, and each file is
// what its entry says it is.

std::vector<std::string> manifestFiles() {
    std::vector<std::string> files;
    for (const Asset* a : assets::all) files.push_back(a->file);
    return files;
}

TEST(Manifest, IsTheInstallListAndTheRunTimeFilesOfAssets) {
    std::vector<std::string> installed;
    std::string list = GOMBOCOK_RUNTIME_ASSETS;
    for (std::size_t at = 0; at <= list.size();) {
        const std::size_t end = std::min(list.find(',', at), list.size());
        installed.push_back(list.substr(at, end - at));
        at = end + 1;
    }
    EXPECT_EQ(installed, manifestFiles());

    std::set<std::string> present;
    for (const auto& e : std::filesystem::directory_iterator(kAssets))
        if (e.is_regular_file() && e.path().filename() != "settings.txt")
            present.insert(e.path().filename().string());
    const std::vector<std::string> named = manifestFiles();
    EXPECT_EQ(present, std::set<std::string>(named.begin(), named.end()));
    EXPECT_EQ(present.size(), named.size()) << "a file named twice";
}

TEST(Manifest, EachFileIsWhatItsEntrySays) {
    for (const Asset* a : assets::all) {
        const std::string path = kAssets + a->file;
        switch (a->kind) {
            case Asset::Kind::sound:
                EXPECT_TRUE(readWavFile(path).has_value()) << a->file;
                break;
            case Asset::Kind::picture:
                EXPECT_FALSE(load(path).isNull()) << a->file;
                break;
            case Asset::Kind::cursor:
                EXPECT_FALSE(QImageReader(QString::fromStdString(path), "cur").read().isNull())
                    << a->file;
                break;
        }
        EXPECT_NE(std::string(a->what), "") << a->file;
    }
}

// ---------------------------------------------------------------------------------------------
// Pictures: file format by content, pixel size, black ground where the program expects it.

struct Picture {
    const char* path;  // relative to the source tree
    const char* format;
    int width, height;
    int groundTolerance;  // -1: no black ground required; else max channel value at the corners
};

const Picture kPictures[] = {
    {"assets/ufo1.gif", "gif", 49, 50, 0},
    {"assets/ufo2.gif", "gif", 49, 50, 0},
    {"assets/ufo3.gif", "gif", 49, 50, 0},
    {"assets/ufo4.gif", "gif", 49, 50, 0},
    {"assets/ufo5.gif", "gif", 49, 50, 0},
    {"assets/ufo6.gif", "gif", 49, 50, 0},
    {"assets/k_urhajo_01.jpg", "jpeg", 75, 43, 12},
    {"assets/k_urhajo_02.jpg", "jpeg", 75, 38, 12},
    {"assets/k_urhajo_03.jpg", "jpeg", 75, 58, 12},
    {"assets/design/urhajo.png", "png", 75, 58, 0},
    {"assets/design/ufo.png", "png", 49, 50, 0},
    {"assets/design/uzenet.png", "png", 139, 144, -1},
    {"assets/design/hatter.png", "png", 1060, 420, -1},
    {"assets/design/icon.png", "png", 32, 32, -1},
    {"assets/design/uh1.png", "png", 75, 43, 0},
    {"assets/design/uh2.png", "png", 75, 38, 0},
    {"assets/design/uh3.png", "png", 75, 58, 0},
    {"assets/design/cimkep.png", "png", 550, 413, -1},
    {"assets/design/ukep.png", "png", 75, 58, 0},
    {"assets/design/umaszk.png", "png", 75, 58, -1},
    {"assets/design/kep.png", "png", 49, 50, 0},
    {"assets/design/maszk.png", "png", 49, 50, -1},
    {"data/icons/hicolor/32x32/apps/gombocok.png", "png", 32, 32, -1},
    {"data/icons/hicolor/48x48/apps/gombocok.png", "png", 48, 48, -1},
    {"data/icons/hicolor/64x64/apps/gombocok.png", "png", 64, 64, -1},
    {"data/icons/hicolor/128x128/apps/gombocok.png", "png", 128, 128, -1},
    {"data/icons/hicolor/256x256/apps/gombocok.png", "png", 256, 256, -1},
};

TEST(Pictures, FormatSizeAndGround) {
    for (const Picture& p : kPictures) {
        QImageReader reader(QString::fromStdString(GOMBOCOK_SOURCE_DIR "/" + std::string(p.path)));
        reader.setDecideFormatFromContent(true);
        EXPECT_EQ(reader.format().toStdString(), p.format) << p.path;
        const QImage img = reader.read();
        ASSERT_EQ(img.size(), QSize(p.width, p.height)) << p.path;
        for (int corner = 0; corner < 4 && p.groundTolerance >= 0; ++corner)
            EXPECT_TRUE(isBlack(img.pixel(corner % 2 * (p.width - 1), corner / 2 * (p.height - 1)),
                                p.groundTolerance))
                << p.path << " corner " << corner;
    }
}

// The player's shot leaves the 58-pixel box at row 29, and every spacecraft picture is drawn
// from the box's top-left corner: the nose must touch the right edge around that row.
TEST(Pictures, SpacecraftNoseAtShotRow) {
    const char* ships[] = {"k_urhajo_01.jpg",   "k_urhajo_02.jpg", "k_urhajo_03.jpg",
                           "design/uh1.png",    "design/uh2.png",  "design/uh3.png",
                           "design/urhajo.png", "design/ukep.png"};
    for (const char* name : ships) {
        const QImage img = load(kAssets + name);
        ASSERT_FALSE(img.isNull()) << name;
        const int x = img.width() - 1;
        std::vector<int> lit;
        for (int y = 0; y < img.height(); ++y)
            if (!isBlack(img.pixel(x, y), 40)) lit.push_back(y);
        ASSERT_FALSE(lit.empty()) << name << ": nothing at the right edge";
        EXPECT_GE(lit.front(), 26) << name;
        EXPECT_LE(lit.back(), 32) << name;
    }
}

// Title-screen sprites: AND with the mask, then OR with the sprite. The mask must be pure
// black and white, black exactly where the sprite is not black.
TEST(Pictures, MasksMatchTheirSprites) {
    const std::pair<const char*, const char*> pairs[] = {{"design/kep.png", "design/maszk.png"},
                                                         {"design/ukep.png", "design/umaszk.png"}};
    for (const auto& [spriteName, maskName] : pairs) {
        const QImage sprite = load(kAssets + spriteName);
        const QImage mask = load(kAssets + maskName);
        ASSERT_EQ(sprite.size(), mask.size());
        int opaque = 0, wrong = 0;
        for (int y = 0; y < sprite.height(); ++y)
            for (int x = 0; x < sprite.width(); ++x) {
                const QRgb m = mask.pixel(x, y) & 0xffffff;
                const bool spriteOpaque = !isBlack(sprite.pixel(x, y));
                opaque += spriteOpaque;
                if (m != (spriteOpaque ? 0x000000u : 0xffffffu)) ++wrong;
            }
        EXPECT_EQ(wrong, 0) << maskName;
        EXPECT_GT(opaque, sprite.width() * sprite.height() / 5) << spriteName << " nearly empty";
    }
}

// The background moves 100 twips a tick and jumps back after 7100 twips (473 1/3 pixels): the
// picture must repeat with that period or the jump shows.
TEST(Pictures, BackgroundRepeatsWithTheScrollPeriod) {
    const QImage img = load(kAssets + "design/hatter.png");
    ASSERT_EQ(img.width(), 1060);
    long same = 0, total = 0;
    for (int x = 0; x + 474 < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y) {
            const QRgb c = img.pixel(x, y);
            same += (c == img.pixel(x + 473, y) || c == img.pixel(x + 474, y));
            ++total;
        }
    EXPECT_GE(double(same) / total, 0.99);
    // And it is not simply empty: a starfield has many distinct colours.
    std::set<QRgb> seen;
    for (int x = 0; x < 200; ++x) seen.insert(img.pixel(x, 200));
    EXPECT_GE(seen.size(), 5u);
}

// ---------------------------------------------------------------------------------------------
// Cursor: a CUR directory with one 32x32 image whose hot spot lies on the hand.

TEST(Cursor, HotSpotOnTheFingertip) {
    QFile file(QString::fromStdString(kAssets + "handk.cur"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray cur = file.readAll();
    ASSERT_GE(cur.size(), 6 + 16 + 40);
    // Reserved 0, type 2 (a cursor), one image, 32 by 32.
    EXPECT_EQ(cur.left(8).toHex().toStdString(), "0000020001002020");
    const char* entry = cur.constData() + 6;
    const int hotX = qFromLittleEndian<quint16>(entry + 4),
              hotY = qFromLittleEndian<quint16>(entry + 6);
    EXPECT_LE(
        qint64(qFromLittleEndian<quint32>(entry + 12)) + qFromLittleEndian<quint32>(entry + 8),
        cur.size());
    ASSERT_LE(hotY, 8) << "a pointing hand's tip is near the top";

    QImageReader reader(QString::fromStdString(kAssets + "handk.cur"), "cur");
    const QImage img = reader.read().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(img.size(), QSize(32, 32)) << reader.errorString().toStdString();
    EXPECT_GT(qAlpha(img.pixel(hotX, hotY)), 0);
    // Nothing of the hand above the hot spot: it is the tip.
    for (int y = 0; y < hotY; ++y)
        for (int x = 0; x < 32; ++x) EXPECT_EQ(qAlpha(img.pixel(x, y)), 0) << x << "," << y;
}

// ---------------------------------------------------------------------------------------------
// Sounds: read by the program's own reader, convertible for the richest output it opens
// (48 kHz stereo), lengths that fit their use, even levels.

double peakDb(const WavSound& w) {
    int peak = 0;
    for (int16_t s : w.samples) peak = std::max(peak, std::abs(int(s)));
    return 20 * std::log10(std::max(1, peak) / 32768.0);
}

double rmsDb(const WavSound& w) {
    double sum = 0;
    for (int16_t s : w.samples) sum += double(s) * s;
    return 10 * std::log10(std::max(1e-12, sum / std::max<size_t>(1, w.samples.size())) /
                           (32768.0 * 32768.0));
}

struct Sound {
    const char* name;
    double minSeconds, maxSeconds;
    bool silent;
};

const Sound kSounds[] = {
    {"prgindit.wav", 2.0, 4.5, false},   {"urzaj.wav", 60.0, 180.0, false},
    {"beallit.wav", 15.0, 180.0, false}, {"uloves.wav", 0.05, 0.5, false},
    {"ufoloves.wav", 0.05, 0.8, false},  {"utkozes.wav", 0.2, 1.5, false},
    {"tavozas.wav", 0.5, 3.0, false},    {"prgvege.wav", 1.0, 4.0, false},
    {"csend.wav", 0.02, 0.5, true},
};

TEST(Sounds, ReadableLengthsAndLevels) {
    const auto music = readWavFile(kAssets + "urzaj.wav");
    ASSERT_TRUE(music.has_value());
    const double musicRms = rmsDb(*music);
    for (const Sound& s : kSounds) {
        const auto w = readWavFile(kAssets + s.name);
        ASSERT_TRUE(w.has_value()) << s.name << ": the program cannot read it";
        EXPECT_TRUE(w->sampleRate == 22050 || w->sampleRate == 44100) << s.name;
        EXPECT_TRUE(convertPcm(*w, 48000, 2).has_value()) << s.name;
        const double seconds = double(w->samples.size()) / w->channels / w->sampleRate;
        EXPECT_GE(seconds, s.minSeconds) << s.name;
        EXPECT_LE(seconds, s.maxSeconds) << s.name;
        if (s.silent) {
            EXPECT_EQ(std::count(w->samples.begin(), w->samples.end(), 0), std::ssize(w->samples));
            continue;
        }
        EXPECT_LE(peakDb(*w), -1.0) << s.name;
        EXPECT_NEAR(rmsDb(*w), musicRms, 6.0) << s.name;
    }
}

}  // namespace
}  // namespace gombocok

int main(int argc, char** argv) {
    // Image plugins need an application object; nothing is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
