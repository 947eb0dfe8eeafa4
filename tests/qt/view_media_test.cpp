// The Qt platform's pictures and cursor against whatever a program directory may hold under
// their names: refused at once, like a damaged file, unless it is a picture of sane size.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QImage>
#include <fstream>

#include "qt/qt_platform.h"
#include "tests/support/test_support.h"

namespace gombocok {
namespace {

void writeFile(const std::string& path, const QByteArray& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.constData(), bytes.size());
}

QByteArray encoded(QSize size, const char* format) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray shipped(const char* name) {
    std::ifstream in(std::string(GOMBOCOK_ASSETS_DIR "/") + name, std::ios::binary);
    return QByteArray::fromStdString(std::string(std::istreambuf_iterator<char>(in), {}));
}

// What may stand at a path beside regular files is the bounded read's matter; here a FIFO shows
// that both loads go through it.
TEST(QtMedia, PicturesAndTheCursorOfSaneSizeLoadAndEverythingElseIsRefused) {
    testing::TempProgramDir dir("");
    QtPlatform platform;
    const QByteArray ufo = shipped("ufo1.gif"), cur = shipped("handk.cur");
    const struct {
        const char* what;
        QByteArray bytes;
        bool cursor, loads;
    } cases[] = {
        {"the shipped UFO", ufo, false, true},
        {"the shipped spacecraft", shipped("k_urhajo_03.jpg"), false, true},
        {"1024 pixels wide", encoded({1024, 2}, "PNG"), false, true},
        {"1025 pixels wide", encoded({1025, 2}, "PNG"), false, false},
        {"a JPEG 20000 pixels high", encoded({1, 20000}, "JPEG"), false, false},
        {"a picture cut short", ufo.left(60), false, false},
        // Decoders stop at the picture's end; the file is refused by its size before that.
        {"a picture with 1 MiB after it", ufo + QByteArray(1 << 20, 0), false, false},
        {"the shipped cursor", cur, true, true},
        {"a cursor cut short", cur.left(60), true, false},
        {"a cursor with 1 MiB after it", cur + QByteArray(1 << 20, 0), true, false},
    };
    for (const auto& c : cases) {
        const std::string path = dir.file(std::string("case ") + c.what);
        writeFile(path, c.bytes);
        bool loaded = true;
        try {
            c.cursor ? platform.loadCursor(path) : platform.loadPicture(path);
        } catch (const MissingPicture& e) {
            loaded = false;
            EXPECT_EQ(e.path(), path);
        }
        EXPECT_EQ(loaded, c.loads) << c.what;
    }
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(platform.loadPicture(fifo), MissingPicture);
    EXPECT_THROW(platform.loadCursor(fifo), MissingPicture);
    EXPECT_TRUE(platform.cursor(fifo).pixmap().isNull());  // the arrow, at once
    // The cursor's hot spot is the file's; an icon (type 1) has none, nor has a header cut short.
    EXPECT_EQ(platform.cursor(dir.file("handk.cur")).hotSpot(), QPoint(12, 0));
    QByteArray icon = cur;
    EXPECT_EQ(curHotSpot(icon.left(10)), std::nullopt);
    icon[2] = 1;
    EXPECT_EQ(curHotSpot(icon), std::nullopt);
    // The pictures stored with the designs.
    for (const char* design : {"design:urhajo", "design:hatter", "design:icon"})
        EXPECT_FALSE(platform.pixmap(design).isNull()) << design;
}

}  // namespace
}  // namespace gombocok
