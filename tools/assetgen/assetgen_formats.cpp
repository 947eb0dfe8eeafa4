#include "assetgen_formats.h"

#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>

namespace gombocok::assetgen {
namespace {

void put16(QByteArray& out, unsigned v) {
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

void put32(QByteArray& out, uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

// Packs variable-width codes least significant bit first, as GIF wants them.
class BitPacker {
public:
    void write(unsigned code, int bits) {
        acc_ |= uint32_t(code) << used_;
        used_ += bits;
        while (used_ >= 8) {
            bytes_.push_back(uint8_t(acc_ & 0xff));
            acc_ >>= 8;
            used_ -= 8;
        }
    }
    std::vector<uint8_t> finish() {
        if (used_ > 0) bytes_.push_back(uint8_t(acc_ & 0xff));
        acc_ = 0;
        used_ = 0;
        return std::move(bytes_);
    }

private:
    std::vector<uint8_t> bytes_;
    uint32_t acc_ = 0;
    int used_ = 0;
};

}  // namespace

QByteArray encodeGif(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width();
    const int h = image.height();

    std::vector<QRgb> palette;
    std::map<QRgb, int> indexOf;
    std::vector<int> indices(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb c = image.pixel(x, y) & 0xffffff;
            auto it = indexOf.find(c);
            if (it == indexOf.end()) {
                if (palette.size() == 256) throw std::runtime_error("GIF: more than 256 colours");
                it = indexOf.emplace(c, int(palette.size())).first;
                palette.push_back(c);
            }
            indices[size_t(y) * w + x] = it->second;
        }
    }
    palette.resize(256, 0);

    QByteArray out("GIF89a");
    put16(out, w);
    put16(out, h);
    out.append(char(0xF7));  // global colour table of 256 entries, 8 bits per primary
    out.append(char(0));     // background colour index
    out.append(char(0));     // no aspect ratio
    for (QRgb c : palette) {
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    out.append(char(0x2C));
    put16(out, 0);
    put16(out, 0);
    put16(out, w);
    put16(out, h);
    out.append(char(0));  // no local table, not interlaced

    const int minCodeSize = 8;
    const unsigned clearCode = 1u << minCodeSize;
    out.append(char(minCodeSize));

    // The dictionary maps (prefix code, next index) to a code. The code width grows one step
    // as soon as the newest code needs it, and the table restarts before code 4096.
    BitPacker bits;
    std::map<std::pair<unsigned, int>, unsigned> dict;
    int codeSize = minCodeSize + 1;
    unsigned maxCode = clearCode + 1;
    bits.write(clearCode, codeSize);
    long current = -1;
    for (int value : indices) {
        if (current < 0) {
            current = value;
            continue;
        }
        auto it = dict.find({unsigned(current), value});
        if (it != dict.end()) {
            current = it->second;
            continue;
        }
        bits.write(unsigned(current), codeSize);
        dict[{unsigned(current), value}] = ++maxCode;
        if (maxCode >= (1u << codeSize)) ++codeSize;
        if (maxCode == 4095) {
            bits.write(clearCode, codeSize);
            dict.clear();
            codeSize = minCodeSize + 1;
            maxCode = clearCode + 1;
        }
        current = value;
    }
    bits.write(unsigned(current), codeSize);
    bits.write(clearCode, codeSize);
    bits.write(clearCode + 1, minCodeSize + 1);

    const std::vector<uint8_t> data = bits.finish();
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = std::min<size_t>(255, data.size() - at);
        out.append(char(n));
        out.append(reinterpret_cast<const char*>(data.data() + at), qsizetype(n));
    }
    out.append(char(0));     // end of image data
    out.append(char(0x3B));  // trailer
    return out;
}

QByteArray encodeCursor(const QImage& source, int hotX, int hotY) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width();
    const int h = image.height();
    if (w > 256 || h > 256 || w % 32 != 0) throw std::runtime_error("cursor: unsupported size");
    const int maskStride = w / 8;
    const uint32_t xorBytes = uint32_t(w) * h * 4;
    const uint32_t andBytes = uint32_t(maskStride) * h;

    QByteArray out;
    put16(out, 0);  // reserved
    put16(out, 2);  // cursor
    put16(out, 1);  // one image
    out.append(char(w == 256 ? 0 : w));
    out.append(char(h == 256 ? 0 : h));
    out.append(char(0));  // no palette
    out.append(char(0));
    put16(out, hotX);
    put16(out, hotY);
    put32(out, 40 + xorBytes + andBytes);
    put32(out, 6 + 16);

    put32(out, 40);
    put32(out, w);
    put32(out, h * 2);  // XOR and AND bitmaps stacked
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);
    put32(out, xorBytes + andBytes);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);

    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const QRgb c = image.pixel(x, y);
            const bool opaque = qAlpha(c) != 0;
            out.append(char(opaque ? qBlue(c) : 0));
            out.append(char(opaque ? qGreen(c) : 0));
            out.append(char(opaque ? qRed(c) : 0));
            out.append(char(opaque ? 255 : 0));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        for (int byte = 0; byte < maskStride; ++byte) {
            uint8_t m = 0;
            for (int bit = 0; bit < 8; ++bit) {
                if (qAlpha(image.pixel(byte * 8 + bit, y)) == 0) m |= uint8_t(0x80 >> bit);
            }
            out.append(char(m));
        }
    }
    return out;
}

QByteArray encodeJpeg(const QImage& source, int quality) {
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    for (int c = 0; c < cinfo.num_components; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;
        cinfo.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

}  // namespace gombocok::assetgen
