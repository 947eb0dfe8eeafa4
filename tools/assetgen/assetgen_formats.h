// File writers the asset generator needs beyond what Qt offers: GIF (Qt reads but cannot write
// it), Windows cursor files with a hot spot, and 16-bit PCM wave files.
#pragma once

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <vector>

namespace gombocok::assetgen {

// GIF89a with one global colour table and LZW-compressed pixels. The image must hold at most
// 256 distinct colours; alpha is ignored.
QByteArray encodeGif(const QImage& image);

// A single-image CUR file: 32-bit BGRA pixels plus the 1-bit AND mask (transparent where alpha
// is 0). The hot spot is in pixels from the top-left corner.
QByteArray encodeCursor(const QImage& image, int hotX, int hotY);

// Baseline JPEG without chroma subsampling, so colour edges of pixel art stay on their pixels
// (Qt's writer always halves the colour resolution).
QByteArray encodeJpeg(const QImage& image, int quality);

}  // namespace gombocok::assetgen
