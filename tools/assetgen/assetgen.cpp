// Draws and synthesises every picture and sound of the game.
// Usage: assetgen ASSETS_DIR [DATA_DIR]   (DATA_DIR defaults to ASSETS_DIR/../data)
// Output is byte-for-byte the same on every run.

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <cmath>
#include <cstdio>
#include <set>
#include <stdexcept>
#include <string>

#include "art.h"
#include "assetgen_formats.h"
#include "audio/wav.h"
#include "base/assets.h"
#include "pixelart.h"
#include "synth.h"

namespace gombocok::assetgen {
namespace {

// The run-time files written so far, so that one the manifest names and nothing makes is found.
std::set<std::string> written;

QString runtimePath(const QString& assets, const Asset& a) {
    written.insert(a.file);
    return assets + "/" + a.file;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

void writeImage(const QString& path, const QImage& img, const char* format, int quality = -1) {
    QImageWriter w(path, format);
    if (quality >= 0) w.setQuality(quality);
    if (!w.write(img)) throw std::runtime_error("cannot write " + path.toStdString());
}

void writeGif(const QString& path, const QImage& img) {
    const QByteArray bytes = encodeGif(img);
    // Read it back: the encoder is ours, the decoder is Qt's.
    QBuffer buf;
    buf.setData(bytes);
    const QImage back = QImageReader(&buf, "gif").read().convertToFormat(QImage::Format_RGB32);
    if (back != img.convertToFormat(QImage::Format_RGB32))
        throw std::runtime_error("GIF round trip differs: " + path.toStdString());
    writeFile(path, bytes);
}

void writeSound(const QString& path, const Signal& s) {
    std::vector<int16_t> pcm(s.size());
    for (size_t i = 0; i < s.size(); ++i)
        pcm[i] = int16_t(std::lround(std::clamp(s[i], -1.0, 1.0) * 32767.0));
    const std::vector<std::uint8_t> bytes = encodeWav(pcm, kSampleRate, 1);
    writeFile(path,
              QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    std::printf("%-14s %6.2f s  peak %6.2f dBFS  rms %6.2f dBFS\n",
                QFileInfo(path).fileName().toUtf8().constData(), double(s.size()) / kSampleRate,
                20 * std::log10(std::max(1e-9, peakOf(s))),
                20 * std::log10(std::max(1e-9, rmsOf(s))));
}

void generate(const QString& assets, const QString& data) {
    QDir().mkpath(assets + "/design");

    // Pictures the program loads at run time.
    for (int level = 1; level <= 6; ++level)
        writeGif(runtimePath(assets, assets::ufo[level - 1]), drawUfo(level));
    for (int type = 1; type <= 3; ++type)
        writeFile(runtimePath(assets, assets::urhajokep[type - 1]), encodeJpeg(drawShip(type), 95));
    const QPoint hot = handHotSpot();
    writeFile(runtimePath(assets, assets::handk), encodeCursor(drawHand(), hot.x(), hot.y()));

    // Pictures stored with the window designs.
    const QString d = assets + "/design/";
    writeImage(d + "urhajo.png", drawShip(3), "png");
    writeImage(d + "ufo.png", drawUfo(1), "png");
    writeImage(d + "uzenet.png", drawFather(), "png");
    writeImage(d + "hatter.png", drawBackground(), "png");
    writeImage(d + "icon.png", drawIcon(32), "png");
    for (int type = 1; type <= 3; ++type)
        writeImage(d + QString("uh%1.png").arg(type), drawShip(type), "png");
    writeImage(d + "cimkep.png", drawTitle(), "png");
    const QImage ship = drawShip(3), ufo = drawUfo(3);
    writeImage(d + "ukep.png", ship, "png");
    writeImage(d + "umaszk.png", maskOf(ship), "png");
    writeImage(d + "kep.png", ufo, "png");
    writeImage(d + "maszk.png", maskOf(ufo), "png");

    // Desktop icons.
    for (int size : {32, 48, 64, 128, 256}) {
        const QString dir = QString("%1/icons/hicolor/%2x%2/apps").arg(data).arg(size);
        QDir().mkpath(dir);
        writeImage(dir + "/gombocok.png", drawIcon(size), "png");
    }

    // Sounds: music and jingles at one loudness, effects close to it, every peak below -1 dBFS.
    const double musicRms = std::pow(10.0, -17.0 / 20), effectRms = std::pow(10.0, -18.0 / 20);
    const double peak = std::pow(10.0, -1.5 / 20);
    struct Piece {
        const Asset& sound;
        Signal (*make)();
        double rms;
    };
    const Piece pieces[] = {
        {assets::urzaj, gameMusic, musicRms},      {assets::beallit, optionsMusic, musicRms},
        {assets::prgindit, startJingle, musicRms}, {assets::prgvege, quitJingle, musicRms},
        {assets::uloves, playerShot, effectRms},   {assets::ufoloves, ufoShot, effectRms},
        {assets::utkozes, crash, effectRms},       {assets::tavozas, departure, effectRms},
    };
    for (const Piece& p : pieces) {
        Signal s = p.make();
        level(s, p.rms, peak);
        writeSound(runtimePath(assets, p.sound), s);
    }
    writeSound(runtimePath(assets, assets::csend), silence());

    for (const Asset* a : assets::all)
        if (!written.contains(a->file))
            throw std::runtime_error(std::string("nothing makes ") + a->file);
}

}  // namespace
}  // namespace gombocok::assetgen

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s ASSETS_DIR [DATA_DIR]\n", argv[0]);
        return 2;
    }
    // Fonts need a GUI application; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString assets = QString::fromLocal8Bit(argv[1]);
    const QString data = argc == 3 ? QString::fromLocal8Bit(argv[2]) : assets + "/../data";
    try {
        gombocok::assetgen::generate(assets, QDir::cleanPath(data));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
