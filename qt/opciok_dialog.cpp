#include "qt/opciok_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QToolButton>
#include <algorithm>

#include "qt/qt_host.h"
#include "settings/opciok.h"

namespace gombocok {

// A picture box: draws its picture at its top-left corner, clips the rest, and reports clicks
// (a press and a release inside it, as a button does).
class PictureBox : public QWidget {
public:
    explicit PictureBox(QWidget* parent) : QWidget(parent) {}
    std::function<void()> onClick;
    std::string picture, cursorPath;
    QPixmap pixmap;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawPixmap(0, 0, pixmap);
    }
    void mousePressEvent(QMouseEvent* e) override { pressed_ = e->button() == Qt::LeftButton; }
    void mouseReleaseEvent(QMouseEvent* e) override {
        bool click =
            pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
        pressed_ = false;
        if (click && onClick) onClick();
    }

private:
    bool pressed_ = false;
};

// An unfilled rectangle; the border lies inside the bounds.
class OutlineShape : public QWidget {
public:
    explicit OutlineShape(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    QColor color;
    int borderWidth = 1;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const int w = borderWidth;
        p.fillRect(0, 0, width(), w, color);
        p.fillRect(0, height() - w, width(), w, color);
        p.fillRect(0, w, w, height() - 2 * w, color);
        p.fillRect(width() - w, w, w, height() - 2 * w, color);
    }
};

// The body of the tab strip under its tabs: the style's tab page frame.
class TabPane : public QWidget {
public:
    explicit TabPane(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QStyleOptionTabWidgetFrame opt;
        opt.initFrom(this);
        opt.rect = rect();
        opt.shape = QTabBar::RoundedNorth;
        style()->drawPrimitive(QStyle::PE_FrameTabWidget, &opt, &p, this);
    }
};

namespace {

// Text controls keep their design rectangle unless their text needs more room: then they grow to
// the right (no further than the container's edge) and about their vertical centre, so a longer
// translation or a wider font is never clipped. They never move: a grown control may reach under
// its right-hand neighbour's margin, and the neighbour stays at its design place.
void placeText(QWidget* w, const QRect& design) {
    const QSize hint = w->sizeHint();
    const int room = w->parentWidget() ? w->parentWidget()->width() - design.x() : hint.width();
    const int width = std::max(design.width(), std::min(hint.width(), room));
    const int height = std::max(design.height(), hint.height());
    w->setGeometry(design.x(), design.y() - (height - design.height()) / 2, width, height);
}

template <class W>
void mirrorText(W* w, const std::string& caption) {
    const QString text = qs(caption);
    if (w->text() != text) w->setText(text);
}

}  // namespace

AmmoEdit::AmmoEdit(QWidget* parent) : QLineEdit(parent) {}

bool AmmoEdit::event(QEvent* e) {
    // Every key goes to the rules first, except Tab and Shift+Tab: they move the focus to the
    // next control, as in any dialog, and never reach the box as a key.
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return QLineEdit::event(e);
        if (keyDown && !keyDown(virtualKey(*key))) {
            e->accept();
            return true;
        }
        typing_ = true;
        const bool handled = QLineEdit::event(e);
        typing_ = false;
        return handled;
    }
    return QLineEdit::event(e);
}

int AmmoEdit::virtualKey(const QKeyEvent& event) {
    const int key = event.key();
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return (keypad ? 96 : 48) + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;  // same numbers as the virtual keys
    switch (key) {
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Clear:
            return 12;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Shift:
            return 16;
        case Qt::Key_Control:
            return 17;
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
            return 18;
        case Qt::Key_Pause:
            return 19;
        case Qt::Key_CapsLock:
            return 20;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Space:
            return 32;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return 46;
        case Qt::Key_Meta:
            return 91;
        case Qt::Key_Menu:
            return 93;
        case Qt::Key_Asterisk:
            return keypad ? 106 : 0xBB;
        case Qt::Key_Plus:
            return keypad ? 107 : 0xBB;
        case Qt::Key_Minus:
            return keypad ? 109 : 0xBD;
        case Qt::Key_Period:
            return keypad ? 110 : 0xBE;
        case Qt::Key_Slash:
            return keypad ? 111 : 0xBF;
        case Qt::Key_Comma:
            return 0xBC;
        case Qt::Key_NumLock:
            return 144;
        case Qt::Key_ScrollLock:
            return 145;
        default:
            break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
    // Punctuation and accented letters sit on the OEM keys of a Windows keyboard.
    return 0xDF;
}

OpciokDialog::OpciokDialog(QtHost& host, QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      host_(host) {
    const OpciokForm design;
    setFont(controlFont(Font{}));
    setFixedSize(px(design.window.Width), px(design.window.Height));
    setWindowIcon(QIcon(host_.pixmap("design:icon")));

    fules_ = new QTabBar(this);
    fules_->setExpanding(false);
    fules_->setDrawBase(false);
    fules_->setElideMode(Qt::ElideNone);
    fules_->setUsesScrollButtons(false);
    for (const auto& caption : design.fules.tabs) fules_->addTab(qs(caption));
    pane_ = new TabPane(this);
    for (auto& page : pages_) page = new QWidget(this);
    QWidget* egy = pages_[0];
    QWidget* ketto = pages_[1];
    QWidget* harom = pages_[2];

    // The marker lies under the pictures it surrounds.
    keret_ = new OutlineShape(egy);
    for (int k = 0; k < 3; ++k) {
        uh_[k] = new PictureBox(egy);
        uh_[k]->onClick = [this, k] {
            host_.run([this, k] {
                if (Opciok* r = host_.program().opciokRules()) r->uh_Click(k);
            });
        };
    }
    Label1_ = new QLabel(egy);
    Label5_ = new QLabel(egy);
    for (int k = 0; k < 2; ++k) {
        nyelv_[k] = new QRadioButton(egy);
        // The group is the form's: a click only asks the form to select this button.
        nyelv_[k]->setAutoExclusive(false);
        connect(nyelv_[k], &QRadioButton::clicked, this, [this, k] {
            OpciokForm* f = form_;
            if (!f || !host_.run([f, k] { f->selectNyelv(k); })) sync();
        });
    }
    vizeff_ = new QCheckBox(egy);

    Label2_ = new QLabel(ketto);
    hzene_ = new QCheckBox(ketto);
    effektek_ = new QCheckBox(ketto);

    Label3_ = new QLabel(harom);
    Label4_ = new QLabel(harom);
    nszcsuszka_ = new QSlider(Qt::Horizontal, harom);
    nszcsuszka_->setPageStep(1);
    nszcsuszka_->setTickPosition(QSlider::TicksBelow);
    nszcsuszka_->setTickInterval(1);
    chloszerDown_ = new QToolButton(harom);
    chloszerDown_->setArrowType(Qt::LeftArrow);
    chloszerDown_->setAccessibleName(QStringLiteral("−1"));
    chloszerUp_ = new QToolButton(harom);
    chloszerUp_->setArrowType(Qt::RightArrow);
    chloszerUp_->setAccessibleName(QStringLiteral("+1"));
    for (QToolButton* b : {chloszerDown_, chloszerUp_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    mloszer_ = new AmmoEdit(harom);
    mloszer_->keyDown = [this](int vk) { return mloszerKeyDown(vk); };

    mehet_ = new QPushButton(this);

    // The design's names, for assistive technology and for finding a control by its name.
    const std::pair<QWidget*, const char*> names[] = {
        {fules_, "fules"},
        {egy, "egy"},
        {ketto, "ketto"},
        {harom, "harom"},
        {keret_, "keret"},
        {uh_[0], "uh0"},
        {uh_[1], "uh1"},
        {uh_[2], "uh2"},
        {Label1_, "Label1"},
        {Label5_, "Label5"},
        {nyelv_[0], "nyelv0"},
        {nyelv_[1], "nyelv1"},
        {vizeff_, "vizeff"},
        {Label2_, "Label2"},
        {hzene_, "hzene"},
        {effektek_, "effektek"},
        {Label3_, "Label3"},
        {Label4_, "Label4"},
        {nszcsuszka_, "nszcsuszka"},
        {mloszer_, "mloszer"},
        {mehet_, "mehet"},
    };
    for (auto [widget, name] : names) widget->setObjectName(QString::fromLatin1(name));
    setObjectName(QStringLiteral("opciok"));

    Label1_->setBuddy(uh_[0]);
    Label5_->setBuddy(nyelv_[0]);
    Label3_->setBuddy(nszcsuszka_);
    Label4_->setBuddy(mloszer_);

    connect(fules_, &QTabBar::currentChanged, this, [this](int index) {
        if (!host_.run([this, index] {
                if (Opciok* r = host_.program().opciokRules()) r->fules_Click(index + 1);
            }))
            sync();
    });
    auto checkBox = [this](QCheckBox* box, CheckBox OpciokForm::*control) {
        connect(box, &QCheckBox::clicked, this, [this, control](bool on) {
            OpciokForm* f = form_;
            if (!f || !host_.run([f, control, on] { (f->*control).setValue(on ? 1 : 0); })) sync();
        });
    };
    checkBox(vizeff_, &OpciokForm::vizeff);
    checkBox(hzene_, &OpciokForm::hzene);
    checkBox(effektek_, &OpciokForm::effektek);
    connect(nszcsuszka_, &QSlider::valueChanged, this, [this](int value) {
        OpciokForm* f = form_;
        if (!f || !host_.run([f, value] { f->nszcsuszka.setValue(value); })) sync();
    });
    connect(chloszerDown_, &QToolButton::clicked, this, [this] {
        host_.run([this] {
            if (Opciok* r = host_.program().opciokRules()) r->chloszer_DownClick();
        });
    });
    connect(chloszerUp_, &QToolButton::clicked, this, [this] {
        host_.run([this] {
            if (Opciok* r = host_.program().opciokRules()) r->chloszer_UpClick();
        });
    });
    // Any change of the text that did not come from the model: a typed digit, a paste, a drop,
    // an input method, an undo from the context menu.
    connect(mloszer_, &QLineEdit::textChanged, this, &OpciokDialog::mloszerEdited);
    connect(mehet_, &QPushButton::clicked, this, [this] {
        host_.run([this] {
            if (Opciok* r = host_.program().opciokRules()) r->mehet_Click();
        });
    });
}

QWidget* OpciokDialog::spacecraft(int k) const {
    return uh_[k];
}
QWidget* OpciokDialog::marker() const {
    return keret_;
}

bool OpciokDialog::mloszerKeyDown(int virtualKey) {
    OpciokForm* f = form_;
    Opciok* r = host_.program().opciokRules();
    if (!f || !r) return false;
    const std::string before = f->mloszer.text;
    if (!host_.run([r, virtualKey] { r->mloszer_KeyDown(virtualKey); })) {
        sync();
        return false;
    }
    // The rules refuse a key by emptying the box; only a digit they left alone is typed.
    return host_.program().opciokIfLoaded() == f && virtualKey >= 48 && virtualKey <= 57 &&
           f->mloszer.text == before;
}

void OpciokDialog::mloszerEdited(const QString& text) {
    OpciokForm* f = form_;
    Opciok* r = host_.program().opciokRules();
    if (!f || !r) return;
    const std::string t = text.toStdString();
    if (t == f->mloszer.text) return;
    const bool ran = mloszer_->typing() ? host_.run([f, t] { f->mloszer.text = t; })
                                        : host_.run([r, t] { r->mloszer_Change(t); });
    if (!ran) sync();
}

void OpciokDialog::closeEvent(QCloseEvent* event) {
    // Closing unloads the dialog, which saves the settings; the sync after it hides the window.
    event->ignore();
    if (form_) host_.run([this] { host_.program().unload(WindowId::opciok); });
}

void OpciokDialog::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    placement_.framed(*this);
}

void OpciokDialog::sync() {
    OpciokForm* f = host_.program().opciokIfLoaded();
    if (f != form_) {
        form_ = f;
        placement_.forget();
        shows_ = 0;
    }
    // A hidden dialog is brought up to date when it is shown; the game's timers sync every view
    // up to a hundred times a second.
    if (!f || !f->window.visible) {
        hide();
        return;
    }

    if (windowTitle() != qs(f->window.caption)) setWindowTitle(qs(f->window.caption));

    {
        const QSignalBlocker block(fules_);
        for (int i = 0; i < static_cast<int>(f->fules.tabs.size()); ++i) {
            if (i >= fules_->count()) fules_->addTab(QString());
            if (fules_->tabText(i) != qs(f->fules.tabs[i]))
                fules_->setTabText(i, qs(f->fules.tabs[i]));
        }
        while (fules_->count() > static_cast<int>(f->fules.tabs.size()))
            fules_->removeTab(fules_->count() - 1);
        if (f->fules.selected >= 1 && f->fules.selected <= fules_->count())
            fules_->setCurrentIndex(f->fules.selected - 1);
    }
    const QRect strip = pxRect(f->fules);
    const int tabHeight = fules_->sizeHint().height();
    fules_->setGeometry(strip.x(), strip.y(), strip.width(), tabHeight);
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, fules_);
    pane_->setGeometry(strip.x(), strip.y() + tabHeight - overlap, strip.width(),
                       strip.height() - tabHeight + overlap);

    const Frame* frames[] = {&f->egy, &f->ketto, &f->harom};
    for (int i = 0; i < 3; ++i) {
        pages_[i]->setGeometry(pxRect(*frames[i]));
        pages_[i]->setVisible(frames[i]->visible);
    }

    for (int k = 0; k < 3; ++k) {
        PictureBox* box = uh_[k];
        const Sprite& s = f->uh[k];
        box->setGeometry(pxRect(s));
        box->setVisible(s.visible);
        if (box->picture != s.picture) {
            box->picture = s.picture;
            box->pixmap = s.picture.empty() ? QPixmap() : host_.pixmap(s.picture);
            box->update();
        }
        // The pictures carry no text: assistive technology reads them as the choice they are.
        const QString name = qs(f->Label1.caption) + QLatin1Char(' ') + QString::number(k + 1);
        if (box->accessibleName() != name) box->setAccessibleName(name);
        if (box->cursorPath != s.cursor) {
            box->cursorPath = s.cursor;
            if (s.cursor.empty())
                box->unsetCursor();
            else
                box->setCursor(host_.cursor(s.cursor));
        }
    }
    keret_->setGeometry(pxRect(f->keret));
    keret_->setVisible(f->keret.visible);
    const QColor border(f->keret.border.r, f->keret.border.g, f->keret.border.b);
    if (keret_->color != border || keret_->borderWidth != f->keret.borderWidth) {
        keret_->color = border;
        keret_->borderWidth = f->keret.borderWidth;
        keret_->update();
    }

    const std::pair<QLabel*, const Label*> labels[] = {{Label1_, &f->Label1},
                                                       {Label5_, &f->Label5},
                                                       {Label2_, &f->Label2},
                                                       {Label3_, &f->Label3},
                                                       {Label4_, &f->Label4}};
    for (auto [w, l] : labels) {
        mirrorText(w, l->caption);
        w->setVisible(l->visible);
        placeText(w, pxRect(*l));
    }
    for (int k = 0; k < 2; ++k) {
        const QSignalBlocker block(nyelv_[k]);
        mirrorText(nyelv_[k], f->nyelv[k].caption);
        nyelv_[k]->setChecked(f->nyelv[k].selected());
        nyelv_[k]->setVisible(f->nyelv[k].visible);
        placeText(nyelv_[k], pxRect(f->nyelv[k]));
    }
    const std::pair<QCheckBox*, const CheckBox*> boxes[] = {
        {vizeff_, &f->vizeff}, {hzene_, &f->hzene}, {effektek_, &f->effektek}};
    for (auto [w, c] : boxes) {
        const QSignalBlocker block(w);
        mirrorText(w, c->caption);
        w->setChecked(c->ticked());
        w->setVisible(c->visible);
        placeText(w, pxRect(*c));
    }

    {
        const QSignalBlocker block(nszcsuszka_);
        nszcsuszka_->setRange(f->nszcsuszka.min, f->nszcsuszka.max);
        nszcsuszka_->setValue(f->nszcsuszka.value());
        nszcsuszka_->setVisible(f->nszcsuszka.visible);
    }
    const QRect slider = pxRect(f->nszcsuszka);
    const int sliderHeight = std::max(slider.height(), nszcsuszka_->sizeHint().height());
    nszcsuszka_->setGeometry(slider.x(), slider.y() - (sliderHeight - slider.height()) / 2,
                             slider.width(), sliderHeight);

    const QRect spinner = pxRect(f->chloszer);
    chloszerDown_->setGeometry(spinner.x(), spinner.y(), spinner.width() / 2, spinner.height());
    chloszerUp_->setGeometry(spinner.x() + spinner.width() / 2, spinner.y(),
                             spinner.width() - spinner.width() / 2, spinner.height());
    chloszerDown_->setVisible(f->chloszer.visible);
    chloszerUp_->setVisible(f->chloszer.visible);

    mloszer_->setFont(controlFont(f->mloszer.font));
    mloszer_->setGeometry(pxRect(f->mloszer));
    mloszer_->setVisible(f->mloszer.visible);
    if (mloszer_->text() != qs(f->mloszer.text)) mloszer_->setText(qs(f->mloszer.text));

    mirrorText(mehet_, f->mehet.caption);
    mehet_->setGeometry(pxRect(f->mehet));
    mehet_->setEnabled(f->mehet.enabled);
    mehet_->setVisible(f->mehet.visible);

    placement_.apply(*this, f->window);
    if (!isVisible()) show();
    // A show of the open dialog (Options pressed again) brings it back to the front.
    if (shows_ != f->window.shows) {
        shows_ = f->window.shows;
        raise();
        activateWindow();
    }
}

}  // namespace gombocok
