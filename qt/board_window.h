// The game window `board` on Qt. The field is one widget that paints the game objects from the
// model; every text is a real QLabel or QPushButton so assistive technology can read it.
#pragma once

#include <QFont>
#include <QFrame>
#include <QWidget>
#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/forms.h"
#include "qt/mirror.h"
#include "qt/qt_convert.h"
#include "qt/view.h"

class QLabel;
class QPushButton;

namespace gombocok {

class QtHost;
class Board;

// What the field shows, in painting order: a snapshot taken at sync, so the field repaints
// only when it changed.
struct FieldScene {
    struct Picture {
        std::string picture;
        QRect box;  // pixels within the field; the picture is clipped to it
        // The spacecraft and UFO pictures are drawn on black: the field leaves their black
        // out, so they fly over the background instead of in black boxes.
        bool blackIsClear = false;
        friend bool operator==(const Picture&, const Picture&) = default;
    };
    struct Stroke {
        QLine line;  // pixels within the field
        Rgb color;
        friend bool operator==(const Stroke&, const Stroke&) = default;
    };
    std::vector<Picture> pictures;
    std::vector<Stroke> strokes;
    friend bool operator==(const FieldScene&, const FieldScene&) = default;

    static FieldScene of(const BoardForm& form);
    // Whether `of(form)` would give this scene, found without building one.
    bool shows(const BoardForm& form) const;
};

class BoardField : public QWidget {
    Q_OBJECT
public:
    explicit BoardField(QtHost& host, QWidget* parent);
    // Takes the new scene; repaints only if it differs.
    void setScene(FieldScene scene);
    const FieldScene& scene() const { return scene_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;
    // The spacecraft keeps the keys: Tab does not move the focus off the field.
    bool focusNextPrevChild(bool) override { return false; }

private:
    const QPixmap& clearedBlack(const std::string& picture);

    QtHost& host_;
    FieldScene scene_;
    std::map<std::string, QPixmap> clearedBlack_;
};

// The status panel `statusPanel`: the grey troughs and the two bars are painted, its labels are
// child widgets on top of them.
class StatusPanel : public QFrame {
    Q_OBJECT
public:
    explicit StatusPanel(QWidget* parent);
    void setShapes(const std::array<gombocok::Shape, 4>& shapes);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    std::array<gombocok::Shape, 4>
        shapes_{};  // conditionTrough, ammoTrough, allapot, municio: back to front
};

class BoardWindow : public QWidget, public View {
    Q_OBJECT
public:
    explicit BoardWindow(QtHost& host);
    void sync() override;

    BoardField* field() const { return field_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void moveEvent(QMoveEvent* e) override;

private:
    struct LabelView {
        TextMirror mirror;
        Label BoardForm::*control;
        bool onField;
        // A status value is read with the caption beside it.
        Label BoardForm::*caption = nullptr;
        bool notice = false;  // announced when it appears
        std::string readAs = {};
    };
    struct ButtonView {
        TextMirror mirror;
        Button BoardForm::*control;
        void (Board::*click)();
    };
    void makeLabels();
    void makeButtons();
    void forgetForm();
    void syncFrame(const BoardForm& form);
    void syncLabel(LabelView& view, const BoardForm& form);
    void syncShown(const BoardForm& form);
    void applyFocus(const BoardForm& form);
    // The window has left the front: a game in play pauses as a click on Pause would.
    void pauseInBackground();

    QtHost& host_;
    BoardField* field_;
    StatusPanel* panel_;
    std::vector<LabelView> labels_;
    std::vector<ButtonView> buttons_;
    WindowPlacement placement_;
    std::optional<std::string> windowCaption_;
    const void* focusApplied_ = nullptr;
};

// The virtual-key code of a Qt key the spacecraft understands, or 0.
int virtualKey(int qtKey);

}  // namespace gombocok
