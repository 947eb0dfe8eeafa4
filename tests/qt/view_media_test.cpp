// The Qt platform's pictures and cursor against whatever a program directory may hold under
// their names: refused at once, like a damaged file, unless it is a picture of sane size.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QImage>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "qt/qt_platform.h"
#include "tests/test_support.h"

namespace gombocok {
namespace {

namespace fs = std::filesystem;

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

struct Case {
    const char* what;
    std::function<void(const testing::TempProgramDir& dir, const std::string& path)> make;
    bool loads;
};

void copyOf(const testing::TempProgramDir& dir, const char* name, const std::string& path,
            const QByteArray& tail = {}) {
    std::ifstream in(dir.file(name), std::ios::binary);
    QByteArray bytes =
        QByteArray::fromStdString(std::string(std::istreambuf_iterator<char>(in), {}));
    writeFile(path, bytes + tail);
}

// The hostile cases shared by pictures and the cursor.
std::vector<Case> hostile(const char* shipped) {
    return {
        {"a directory", [](auto&, auto& p) { fs::create_directory(p); }, false},
        {"a FIFO", [](auto&, auto& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, false},
        {"a link to /dev/zero", [](auto&, auto& p) { fs::create_symlink("/dev/zero", p); }, false},
        {"a link to /dev/urandom", [](auto&, auto& p) { fs::create_symlink("/dev/urandom", p); },
         false},
        {"cut short",
         [=](auto& d, auto& p) {
             copyOf(d, shipped, p);
             fs::resize_file(p, 60);
         },
         false},
        // Decoders stop at the picture's end; the file is refused by its size before that.
        {"the shipped file with 1 MiB after it",
         [=](auto& d, auto& p) { copyOf(d, shipped, p, QByteArray(1 << 20, '\0')); }, false},
    };
}

void check(const std::vector<Case>& cases, void (QtPlatform::*load)(const std::string&)) {
    testing::TempProgramDir dir("");
    QtPlatform platform;
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.file("case" + std::to_string(n++));
        c.make(dir, path);
        const auto start = std::chrono::steady_clock::now();
        bool loaded = true;
        try {
            (platform.*load)(path);
        } catch (const MissingPicture& e) {
            loaded = false;
            EXPECT_EQ(e.path(), path);
        }
        EXPECT_EQ(loaded, c.loads);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    }
}

TEST(QtMedia, PicturesOfSaneSizeLoadAndEverythingElseIsRefused) {
    std::vector<Case> cases = {
        {"the shipped UFO", [](auto& d, auto& p) { copyOf(d, "ufo1.gif", p); }, true},
        {"the shipped spacecraft", [](auto& d, auto& p) { copyOf(d, "k_urhajo_03.jpg", p); }, true},
        {"1024 pixels wide",
         [](auto&, auto& p) {
             writeFile(p, encoded({1024, 2}, "PNG"));
         },
         true},
        {"1025 pixels wide",
         [](auto&, auto& p) {
             writeFile(p, encoded({1025, 2}, "PNG"));
         },
         false},
        {"a JPEG 20000 pixels high",
         [](auto&, auto& p) {
             writeFile(p, encoded({1, 20000}, "JPEG"));
         },
         false},
    };
    for (auto& c : hostile("ufo1.gif")) cases.push_back(c);
    check(cases, &QtPlatform::loadPicture);
    // The pictures stored with the designs.
    QtPlatform platform;
    for (const char* design : {"design:urhajo", "design:hatter", "design:icon"})
        EXPECT_FALSE(platform.pixmap(design).isNull()) << design;
}

TEST(QtMedia, TheCursorLoadsWithItsHotSpotAndEverythingElseIsRefused) {
    std::vector<Case> cases = {
        {"the shipped cursor", [](auto& d, auto& p) { copyOf(d, "handk.cur", p); }, true},
    };
    for (auto& c : hostile("handk.cur")) cases.push_back(c);
    check(cases, &QtPlatform::loadCursor);

    testing::TempProgramDir dir("");
    QtPlatform platform;
    const QCursor cursor = platform.cursor(dir.file("handk.cur"));
    EXPECT_FALSE(cursor.pixmap().isNull());
    EXPECT_EQ(cursor.hotSpot(), QPoint(12, 0));  // as the file gives it
    // A cursor that cannot be read is the arrow, at once.
    const std::string fifo = dir.file("fifo.cur");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(platform.cursor(fifo).pixmap().isNull());
    EXPECT_TRUE(platform.pixmap(fifo).isNull());
}

}  // namespace
}  // namespace gombocok
