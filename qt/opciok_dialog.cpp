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
#include <string>

#include "qt/clickable_picture.h"
#include "qt/qt_host.h"
#include "qt/view_accessibility.h"
#include "settings/opciok.h"

namespace gombocok {

// A picture box: draws its picture at its top-left corner, clips the rest, and reports clicks.
class PictureBox : public ClickablePicture, public Selectable {
public:
    explicit PictureBox(QWidget* parent) : ClickablePicture(parent) {}
    QPixmap pixmap;
    bool selected = false;  // the marker surrounds it

    bool chosen() const override { return selected; }
    void choose() override {
        if (onClick) onClick();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawPixmap(0, 0, pixmap);
    }
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

// The Windows virtual-key codes of the keys that are neither letters nor digits; a key pressed
// on the keypad may have a code of its own.
struct KeyCode {
    Qt::Key key;
    int code;
    int keypadCode = 0;  // 0: the same as `code`
};
constexpr KeyCode kKeyCodes[] = {
    {Qt::Key_Backspace, 8},
    {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},
    {Qt::Key_AltGr, 18},
    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},
    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},
    {Qt::Key_Meta, 91},
    {Qt::Key_Menu, 93},
    {Qt::Key_Asterisk, 0xBB, 106},
    {Qt::Key_Plus, 0xBB, 107},
    {Qt::Key_Minus, 0xBD, 109},
    {Qt::Key_Period, 0xBE, 110},
    {Qt::Key_Slash, 0xBF, 111},
    {Qt::Key_Comma, 0xBC},
    {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145},
};

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
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
    for (const KeyCode& k : kKeyCodes)
        if (k.key == key) return keypad && k.keypadCode ? k.keypadCode : k.code;
    // Punctuation and accented letters sit on the OEM keys of a Windows keyboard.
    return 0xDF;
}

OpciokDialog::OpciokDialog(QtHost& host, QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      host_(host) {
    const OpciokForm design;
    setObjectName(QStringLiteral("opciok"));
    setFont(controlFont(Font{}));
    setFixedSize(px(design.window.Width), px(design.window.Height));
    setWindowIcon(QIcon(host_.pixmap("design:icon")));
    installViewAccessibility();

    fules_ = new QTabBar(this);
    fules_->setObjectName(QStringLiteral("fules"));
    fules_->setExpanding(false);
    fules_->setDrawBase(false);
    fules_->setElideMode(Qt::ElideNone);
    fules_->setUsesScrollButtons(false);
    for (const auto& caption : design.fules.tabs) fules_->addTab(qs(caption));
    connect(fules_, &QTabBar::currentChanged, this, [this](int index) {
        if (!host_.run([this, index] {
                if (Opciok* r = host_.program().opciokRules()) r->fules_Click(index + 1);
            }))
            sync();
    });
    pane_ = new TabPane(this);
    const char* pageNames[] = {"egy", "ketto", "harom"};
    for (int i = 0; i < 3; ++i) {
        pages_[i] = new QWidget(this);
        pages_[i]->setObjectName(QString::fromLatin1(pageNames[i]));
    }
    makeAppearancePage(pages_[0]);
    makeSoundsPage(pages_[1]);
    makeGameplayPage(pages_[2]);

    mehet_ = new QPushButton(this);
    mehet_->setObjectName(QStringLiteral("mehet"));
    texts_.push_back({TextMirror(mehet_), [](const OpciokForm& f) { return lookOf(f.mehet); }});
    connect(mehet_, &QPushButton::clicked, this, [this] {
        host_.run([this] {
            if (Opciok* r = host_.program().opciokRules()) r->mehet_Click();
        });
    });
}

// A widget of the dialog named as its control in the design: assistive technology and the
// tests find it by that name.
template <class W, class... Args>
W* OpciokDialog::make(const char* name, QWidget* page, Args&&... args) {
    auto* w = new W(std::forward<Args>(args)..., page);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QLabel* OpciokDialog::makeLabel(const char* name, QWidget* page, Look look) {
    auto* l = make<QLabel>(name, page);
    texts_.push_back({TextMirror(l), look});
    return l;
}

QCheckBox* OpciokDialog::makeCheckBox(const char* name, QWidget* page,
                                      CheckBox OpciokForm::*control, Look look) {
    auto* box = make<QCheckBox>(name, page);
    texts_.push_back({TextMirror(box), look});
    // Toggled, not clicked: assistive technology toggles a box without a click.
    connect(box, &QCheckBox::toggled, this, [this, control](bool on) {
        OpciokForm* f = form_;
        if (!f || !host_.run([f, control, on] { (f->*control).setValue(on ? 1 : 0); })) sync();
    });
    return box;
}

void OpciokDialog::makeAppearancePage(QWidget* egy) {
    // Made in the order a player reads the page (assistive technology walks them so); the
    // marker lies under the pictures it surrounds.
    QLabel* spacecraftCaption = makeLabel(
        "spacecraftCaption", egy, [](const OpciokForm& f) { return lookOf(f.spacecraftCaption); });
    keret_ = make<OutlineShape>("keret", egy);
    for (int k = 0; k < 3; ++k) {
        uh_[k] = make<PictureBox>(("uh" + std::to_string(k)).c_str(), egy);
        uh_[k]->onClick = [this, k] {
            host_.run([this, k] {
                if (Opciok* r = host_.program().opciokRules()) r->uh_Click(k);
            });
        };
    }
    spacecraftCaption->setBuddy(uh_[0]);
    QLabel* languageCaption = makeLabel(
        "languageCaption", egy, [](const OpciokForm& f) { return lookOf(f.languageCaption); });
    for (int k = 0; k < 2; ++k) {
        // The group is the form's: a button turned on (by a click, a key or assistive
        // technology) only asks the form to select it, and the sync shows the form's choice.
        nyelv_[k] = make<QRadioButton>(k == 0 ? "nyelv0" : "nyelv1", egy);
        connect(nyelv_[k], &QRadioButton::toggled, this, [this, k](bool on) {
            OpciokForm* f = form_;
            if (!on) return;
            if (!f || !host_.run([f, k] { f->selectNyelv(k); })) sync();
        });
    }
    texts_.push_back(
        {TextMirror(nyelv_[0]), [](const OpciokForm& f) { return lookOf(f.nyelv[0]); }});
    texts_.push_back(
        {TextMirror(nyelv_[1]), [](const OpciokForm& f) { return lookOf(f.nyelv[1]); }});
    languageCaption->setBuddy(nyelv_[0]);
    makeCheckBox("vizeff", egy, &OpciokForm::vizeff,
                 [](const OpciokForm& f) { return lookOf(f.vizeff); });
}

void OpciokDialog::makeSoundsPage(QWidget* ketto) {
    makeLabel("soundCaption", ketto, [](const OpciokForm& f) { return lookOf(f.soundCaption); });
    makeCheckBox("hzene", ketto, &OpciokForm::hzene,
                 [](const OpciokForm& f) { return lookOf(f.hzene); });
    makeCheckBox("effektek", ketto, &OpciokForm::effektek,
                 [](const OpciokForm& f) { return lookOf(f.effektek); });
}

void OpciokDialog::makeGameplayPage(QWidget* harom) {
    // In the order a player reads the page.
    QLabel* damageCaption = makeLabel("damageCaption", harom,
                                      [](const OpciokForm& f) { return lookOf(f.damageCaption); });
    nszcsuszka_ = make<QSlider>("nszcsuszka", harom, Qt::Horizontal);
    nszcsuszka_->setPageStep(1);
    nszcsuszka_->setTickPosition(QSlider::TicksBelow);
    nszcsuszka_->setTickInterval(1);
    connect(nszcsuszka_, &QSlider::valueChanged, this, [this](int value) {
        OpciokForm* f = form_;
        if (!f || !host_.run([f, value] { f->nszcsuszka.setValue(value); })) sync();
    });
    QLabel* initialAmmoCaption = makeLabel("initialAmmoCaption", harom, [](const OpciokForm& f) {
        return lookOf(f.initialAmmoCaption);
    });
    chloszerDown_ = new QToolButton(harom);
    chloszerDown_->setArrowType(Qt::LeftArrow);
    chloszerDown_->setAccessibleName(QStringLiteral("−1"));
    chloszerUp_ = new QToolButton(harom);
    chloszerUp_->setArrowType(Qt::RightArrow);
    chloszerUp_->setAccessibleName(QStringLiteral("+1"));
    for (QToolButton* b : {chloszerDown_, chloszerUp_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, up = b == chloszerUp_] {
            host_.run([this, up] {
                if (Opciok* r = host_.program().opciokRules())
                    up ? r->chloszer_UpClick() : r->chloszer_DownClick();
            });
        });
    }
    mloszer_ = make<AmmoEdit>("mloszer", harom);
    mloszer_->keyDown = [this](int vk) { return mloszerKeyDown(vk); };
    // Any change of the text that did not come from the model: a typed digit, a paste, a drop,
    // an input method, an undo from the context menu.
    connect(mloszer_, &QLineEdit::textChanged, this, &OpciokDialog::mloszerEdited);
    damageCaption->setBuddy(nszcsuszka_);
    initialAmmoCaption->setBuddy(mloszer_);
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
        for (TextView& t : texts_) t.mirror.forget();
    }
    // A hidden dialog is brought up to date when it is shown; the game's timers sync every view
    // up to a hundred times a second.
    if (!f || !f->window.visible) {
        hide();
        return;
    }
    if (windowTitle() != qs(f->window.caption)) setWindowTitle(qs(f->window.caption));
    syncTabs(*f);
    syncSpacecraft(*f);
    for (TextView& t : texts_) t.mirror.show(t.look(*f));
    syncGameplay(*f);

    placement_.apply(*this, f->window);
    if (!isVisible()) show();
    // A show of the open dialog (Options pressed again) brings it back to the front.
    if (shows_ != f->window.shows) {
        shows_ = f->window.shows;
        raise();
        activateWindow();
    }
}

void OpciokDialog::syncTabs(const OpciokForm& f) {
    {
        const QSignalBlocker block(fules_);
        for (int i = 0; i < static_cast<int>(f.fules.tabs.size()); ++i) {
            if (i >= fules_->count()) fules_->addTab(QString());
            if (fules_->tabText(i) != qs(f.fules.tabs[i]))
                fules_->setTabText(i, qs(f.fules.tabs[i]));
        }
        while (fules_->count() > static_cast<int>(f.fules.tabs.size()))
            fules_->removeTab(fules_->count() - 1);
        if (f.fules.selected >= 1 && f.fules.selected <= fules_->count())
            fules_->setCurrentIndex(f.fules.selected - 1);
    }
    const QRect strip = pxRect(f.fules);
    const int tabHeight = fules_->sizeHint().height();
    fules_->setGeometry(strip.x(), strip.y(), strip.width(), tabHeight);
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, fules_);
    pane_->setGeometry(strip.x(), strip.y() + tabHeight - overlap, strip.width(),
                       strip.height() - tabHeight + overlap);

    const Frame* frames[] = {&f.egy, &f.ketto, &f.harom};
    for (int i = 0; i < 3; ++i) {
        pages_[i]->setGeometry(pxRect(*frames[i]));
        pages_[i]->setVisible(frames[i]->visible);
    }
}

void OpciokDialog::syncSpacecraft(const OpciokForm& f) {
    keret_->setGeometry(pxRect(f.keret));
    keret_->setVisible(f.keret.visible);
    const QColor border(f.keret.border.r, f.keret.border.g, f.keret.border.b);
    if (keret_->color != border || keret_->borderWidth != f.keret.borderWidth) {
        keret_->color = border;
        keret_->borderWidth = f.keret.borderWidth;
        keret_->update();
    }
    for (int k = 0; k < 3; ++k) {
        PictureBox* box = uh_[k];
        const Sprite& s = f.uh[k];
        box->setGeometry(pxRect(s));
        box->setVisible(s.visible);
        if (box->picture != s.picture) {
            box->picture = s.picture;
            box->pixmap = s.picture.empty() ? QPixmap() : host_.pixmap(s.picture);
            box->update();
        }
        // The pictures carry no text: assistive technology reads them by the name the captions
        // give them, and as chosen while the marker surrounds them.
        if (box->accessibleName() != qs(f.uhNames[k])) box->setAccessibleName(qs(f.uhNames[k]));
        const bool selected = f.keret.visible && pxRect(f.keret).contains(pxRect(s));
        if (box->selected != selected) {
            box->selected = selected;
            QAccessibleEvent event(box, QAccessible::Selection);
            QAccessible::updateAccessibility(&event);
        }
        mirrorCursor(*box, box->cursorPath, s.cursor, host_);
    }
}

void OpciokDialog::syncGameplay(const OpciokForm& f) {
    {
        const QSignalBlocker block(nszcsuszka_);
        nszcsuszka_->setRange(f.nszcsuszka.min, f.nszcsuszka.max);
        nszcsuszka_->setValue(f.nszcsuszka.value());
        nszcsuszka_->setVisible(f.nszcsuszka.visible);
    }
    const QRect slider = pxRect(f.nszcsuszka);
    const int sliderHeight = std::max(slider.height(), nszcsuszka_->sizeHint().height());
    nszcsuszka_->setGeometry(slider.x(), slider.y() - (sliderHeight - slider.height()) / 2,
                             slider.width(), sliderHeight);

    const QRect spinner = pxRect(f.chloszer);
    chloszerDown_->setGeometry(spinner.x(), spinner.y(), spinner.width() / 2, spinner.height());
    chloszerUp_->setGeometry(spinner.x() + spinner.width() / 2, spinner.y(),
                             spinner.width() - spinner.width() / 2, spinner.height());
    chloszerDown_->setVisible(f.chloszer.visible);
    chloszerUp_->setVisible(f.chloszer.visible);

    mloszer_->setFont(controlFont(f.mloszer.font));
    mloszer_->setGeometry(pxRect(f.mloszer));
    mloszer_->setVisible(f.mloszer.visible);
    if (mloszer_->text() != qs(f.mloszer.text)) mloszer_->setText(qs(f.mloszer.text));
}

}  // namespace gombocok
