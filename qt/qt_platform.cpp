#include "qt/qt_platform.h"

#include <pwd.h>
#include <unistd.h>

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QMessageBox>
#include <QScreen>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "base/assets.h"
#include "base/bounded_read.h"
#include "base/controls.h"
#include "base/language.h"
#include "settings/settings_file.h"

// The design pictures live in a static library, whose resources are registered by hand.
static void initDesignResources() {
    Q_INIT_RESOURCE(design);
}

namespace gombocok {
namespace {

constexpr const char* kDesignPrefix = "design:";

QString designResource(const std::string& picture) {
    return QStringLiteral(":/design/") +
           QString::fromStdString(picture.substr(std::char_traits<char>::length(kDesignPrefix))) +
           QStringLiteral(".png");
}

bool isDesignPicture(const std::string& picture) {
    return picture.rfind(kDesignPrefix, 0) == 0;
}

// The run-time pictures are at most 4.3 KB and 75 by 58 pixels, the cursor 4.3 KB and 32 by
// 32. A file past 1 MiB, a picture past 1024 pixels a side or a cursor past 256 (the most its
// format can say) is refused like a damaged file, before it is decoded.
constexpr std::size_t kMaxPictureBytes = std::size_t{1} << 20;
constexpr int kMaxPictureSide = 1024;
constexpr int kMaxCursorSide = 256;

// The file is read here, bounded, and only its bytes reach Qt's decoders.
QImage decodeImage(const QByteArray& bytes, const char* format, int maxSide) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > maxSide || size.height() > maxSide) return {};
    QImage image = reader.read();
    if (image.width() > maxSide || image.height() > maxSide) return {};
    return image;
}

std::optional<QByteArray> readPictureFile(const std::string& path) {
    const FileBytes file = readRegularFile(path, kMaxPictureBytes);
    if (file.status != ReadStatus::ok) return std::nullopt;
    return QByteArray(reinterpret_cast<const char*>(file.bytes.data()),
                      static_cast<qsizetype>(file.bytes.size()));
}

QPixmap readPixmap(const std::string& picture) {
    QImage image;
    if (isDesignPicture(picture)) {
        image = QImageReader(designResource(picture)).read();
    } else if (auto bytes = readPictureFile(picture)) {
        image = decodeImage(*bytes, nullptr, kMaxPictureSide);
    }
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

std::uint16_t le16(const QByteArray& b, int at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}

}  // namespace

std::optional<QPoint> curHotSpot(const QByteArray& file) {
    // ICONDIR: reserved 0, type (1 icon, 2 cursor), count; then 16-byte entries whose
    // planes and bit-count fields hold the hot spot in a cursor.
    if (file.size() < 6 + 16 || le16(file, 0) != 0 || le16(file, 2) != 2 || le16(file, 4) == 0)
        return std::nullopt;
    return QPoint(le16(file, 6 + 4), le16(file, 6 + 6));
}

QtPlatform::QtPlatform() {
    initDesignResources();
}
QtPlatform::~QtPlatform() = default;

void QtPlatform::openSound(const std::string& name) {
    // Every sound of the manifest is prepared before the first play.
    std::vector<std::string> paths;
    for (const Asset* asset : assets::all)
        if (asset->kind == Asset::Kind::sound) paths.push_back(programFile(*this, asset->file));
    sound_.prepare(paths);
    sound_.open(name);
}

void QtPlatform::playSound(const std::string& path) {
    sound_.play(path);
}

const QPixmap& QtPlatform::pixmap(const std::string& picture) {
    auto it = pixmaps_.find(picture);
    if (it == pixmaps_.end()) it = pixmaps_.emplace(picture, readPixmap(picture)).first;
    return it->second;
}

void QtPlatform::loadPicture(const std::string& path) {
    // Read afresh: a file that failed before may be there now, and one that was read may be gone.
    QPixmap p = readPixmap(path);
    if (p.isNull()) throw MissingPicture(path);
    pixmaps_[path] = p;
}

void QtPlatform::loadCursor(const std::string& path) {
    const std::optional<QByteArray> bytes = readPictureFile(path);
    if (!bytes) throw MissingPicture(path);
    QImage image = decodeImage(*bytes, "ICO", kMaxCursorSide);
    if (image.isNull()) throw MissingPicture(path);
    const QPoint hot = curHotSpot(*bytes).value_or(QPoint(-1, -1));
    cursors_[path] = QCursor(QPixmap::fromImage(image), hot.x(), hot.y());
}

QCursor QtPlatform::cursor(const std::string& path) {
    auto it = cursors_.find(path);
    if (it != cursors_.end()) return it->second;
    try {
        loadCursor(path);
    } catch (const MissingPicture&) {
        return QCursor();
    }
    return cursors_[path];
}

MsgAnswer QtPlatform::messageBox(const std::string& text, const std::string& title, MsgIcon icon,
                                 MsgButtons buttons, MsgLanguage language) {
    const MsgAnswer dismissed = buttons == MsgButtons::yesNo ? MsgAnswer::no : MsgAnswer::ok;
    QString body = QString::fromStdString(text);
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    body.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (host_ && host_->endRequested()) {
        // Ending at a request from outside: said on stderr, as no one may be there to answer.
        std::cerr << "gombocok: " << body.toStdString() << std::endl;
        return dismissed;
    }
    if (host_) {
        host_->holdTimers();
        // The player sees the state that led to the question (an empty bar, "0%") while answering.
        host_->syncViews();
    }
    // Qt names the standard buttons when it creates them, in the language of the translations
    // installed then: the box's own language, for as long as the box lives. The box never gets
    // the language change of the switch back, as it is gone by then.
    const bool interfaceHungarian = translations_.hungarian();
    translations_.useHungarian(language == MsgLanguage::hungarian);
    int answer = 0;
    {
        QMessageBox box(
            icon == MsgIcon::critical ? QMessageBox::Critical : QMessageBox::Warning,
            QString::fromStdString(title), body,
            buttons == MsgButtons::yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
            QApplication::activeWindow());
        openBoxes_.push_back(&box);
        answer = box.exec();
        openBoxes_.pop_back();
    }
    translations_.useHungarian(interfaceHungarian);
    if (host_) host_->resumeTimers();
    if (buttons == MsgButtons::ok || (host_ && host_->endRequested())) return dismissed;
    return answer == QMessageBox::Yes ? MsgAnswer::yes : MsgAnswer::no;
}

void QtPlatform::followInterfaceLanguage(const std::string& programnyelv) {
    const NamedLanguage language = namedLanguage(programnyelv);
    if (language != NamedLanguage::none)
        translations_.useHungarian(language == NamedLanguage::hungarian);
}

void QtPlatform::dismissMessageBoxes() {
    for (QMessageBox* box : openBoxes_) box->done(QMessageBox::No);
}

std::string QtPlatform::programDirectory() {
    if (!programDirectory_.empty()) return programDirectory_;
    // Taken as the file system spells it: a name that is not valid UTF-8 would not survive a
    // trip through QString, and every file of the program would be looked for in the wrong place.
    std::string exe(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
        if (n < 0) {
            exe.clear();
            break;
        }
        if (static_cast<std::size_t>(n) < exe.size()) {
            exe.resize(static_cast<std::size_t>(n));
            break;
        }
        exe.resize(exe.size() * 2);
    }
    const std::size_t slash = exe.rfind('/');
    programDirectory_ =
        slash != std::string::npos
            ? exe.substr(0, slash)
            : QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    return programDirectory_;
}

std::string QtPlatform::configDirectory() {
    const char* home = std::getenv("HOME");
    // Without HOME the account's own home directory, as the shell would have set it.
    std::string fromAccount;
    if (!home || home[0] != '/') {
        struct passwd entry {};
        struct passwd* found = nullptr;
        std::vector<char> buffer(16384);
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
            found->pw_dir)
            fromAccount = found->pw_dir;
        home = fromAccount.c_str();
    }
    return userConfigDirectory(std::getenv("XDG_CONFIG_HOME"), home);
}

ScreenSize QtPlatform::screenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    const QRect r = screen->availableGeometry();
    return {static_cast<float>(r.width()) * kTwipsPerPixel,
            static_cast<float>(r.height()) * kTwipsPerPixel};
}

void QtPlatform::randomize() {
    if (seeded_) return;
    seeded_ = true;
    rng_.seed(
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
}

double QtPlatform::random() {
    return rng_.next();
}

}  // namespace gombocok
