// The platform on Qt: sounds through one audio output, pictures and cursors read with a bound and
// decoded by Qt's image readers (cached per name), message boxes as modal QMessageBoxes that hold
// the game's timers.
#pragma once

#include <QCursor>
#include <QPixmap>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "audio/sound_player.h"
#include "base/platform.h"
#include "qt/translations.h"

class QMessageBox;

namespace gombocok {

// What a message box asks of the host that runs the program: its timers held while the box is
// open, the views showing the state that led to the box, and whether the program is ending at a
// request from outside (then no one may be there to answer). QtHost implements it.
class BoxHost {
public:
    virtual ~BoxHost() = default;
    virtual bool endRequested() const = 0;
    virtual void holdTimers() = 0;
    virtual void resumeTimers() = 0;
    virtual void syncViews() = 0;
};

class QtPlatform : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    // The host whose timers a message box holds; the host registers itself.
    void attach(BoxHost* host) { host_ = host; }

    void playSound(const std::string& path) override;
    void loadPicture(const std::string& path) override;
    void loadCursor(const std::string& path) override;
    // The box's standard buttons speak the language of its text, whatever the interface's.
    MsgAnswer messageBox(const std::string& text, const std::string& title, MsgIcon icon,
                         MsgButtons buttons, MsgLanguage language) override;
    std::string programDirectory() override;
    std::string configDirectory() override;
    ScreenSize screenSize() override;
    void randomize() override;
    double random() override;

    // The picture a control names ("design:<name>" or a file path); a null pixmap when it
    // cannot be read. Loaded once per name.
    const QPixmap& pixmap(const std::string& picture);
    // The cursor of a .cur file with the file's own hot spot; the arrow when it cannot be read.
    QCursor cursor(const std::string& path);

    SoundPlayer& sound() { return sound_; }
    // Connects the sound output under `name` (the mixer shows it) and makes the game's sounds
    // in the program directory ready beside the game; returns at once.
    void openSound(const std::string& name);

    // Qt's own texts follow the captions' language of `programnyelv` (a value that leaves the
    // captions alone leaves Qt's texts alone too).
    void followInterfaceLanguage(const std::string& programnyelv);
    QtTranslations& translations() { return translations_; }

    // Closes the open message boxes as if dismissed (a question answers No).
    void dismissMessageBoxes();

private:
    BoxHost* host_ = nullptr;
    std::vector<QMessageBox*> openBoxes_;  // innermost last
    SoundPlayer sound_;
    QtTranslations translations_;
    std::map<std::string, QPixmap> pixmaps_;
    std::map<std::string, QCursor> cursors_;
    std::string programDirectory_;  // found once, in the file system's bytes
    UniformRandom rng_;
    bool seeded_ = false;
};

// The hot spot a .cur file gives for its first image; nothing for other files (an .ico has no
// hot spot).
std::optional<QPoint> curHotSpot(const QByteArray& file);

}  // namespace gombocok
