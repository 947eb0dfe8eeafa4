#include "qt/board_window.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "game/board.h"
#include "qt/qt_convert.h"
#include "qt/qt_host.h"
#include "qt/view_accessibility.h"

namespace gombocok {
namespace {

// The level messages and the cheat marker.
class NoticeLabel : public QLabel, public Notice {
public:
    using QLabel::QLabel;
};

constexpr int kStrokeWidth = 3;  // thick enough to see a shot coming

// How long the application must stay without an active window before it counts as left for
// another one: when one of the program's own windows closes, the window manager hands the
// focus to the next one a moment later, and Qt may see no active window in between.
constexpr int kFocusSettleMs = 150;

// The pixels a stroke covers, as paintEvent draws it.
QRect strokeArea(const FieldScene::Stroke& st) {
    const QLine& l = st.line;
    if (l.y1() == l.y2())
        return QRect(std::min(l.x1(), l.x2()), l.y1() - kStrokeWidth / 2, std::abs(l.dx()) + 1,
                     kStrokeWidth);
    return QRect(l.p1(), l.p2())
        .normalized()
        .adjusted(-kStrokeWidth, -kStrokeWidth, kStrokeWidth, kStrokeWidth);
}

// Where two scenes differ: the places of what went, came or moved. A shot's step repaints two
// small strokes instead of the whole field (and sends only those to the display server).
template <class Item, class Area>
void addChanges(QRegion& dirty, const std::vector<Item>& from, const std::vector<Item>& to,
                Area area) {
    for (const Item& a : from)
        if (std::find(to.begin(), to.end(), a) == to.end()) dirty += area(a);
    for (const Item& b : to)
        if (std::find(from.begin(), from.end(), b) == from.end()) dirty += area(b);
}

// The field's contents in painting order, handed to `picture` and `stroke` one by one.
template <class OnPicture, class OnStroke>
void walkField(const BoardForm& f, OnPicture picture, OnStroke stroke) {
    auto add = [&](const Sprite& sp, bool blackIsClear = false) {
        if (sp.visible && !sp.picture.empty()) picture(sp.picture, pxRect(sp), blackIsClear);
    };
    add(f.jhatter);
    add(f.urhajo, true);
    for (int k = 0; k < f.ellen.capacity(); ++k)
        if (f.ellen.exists(k)) add(f.ellen[k], true);
    add(f.uzabra);
    for (const Line* l : {&f.lov, &f.lov2, &f.lov3})
        if (l->visible) stroke(QLine(px(l->X1), px(l->Y1), px(l->X2), px(l->Y2)), l->color);
}

}  // namespace

int virtualKey(int qtKey) {
    if (qtKey == Qt::Key_Space) return vk::space;
    if (qtKey == Qt::Key_Up) return vk::up;
    if (qtKey == Qt::Key_Down) return vk::down;
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;  // Qt's codes for letters and digits are the virtual-key codes
    return 0;
}

FieldScene FieldScene::of(const BoardForm& f) {
    FieldScene s;
    walkField(
        f,
        [&s](const std::string& picture, QRect box, bool blackIsClear) {
            s.pictures.push_back({picture, box, blackIsClear});
        },
        [&s](QLine line, Rgb color) {
            s.strokes.push_back({line, color});
        });
    return s;
}

bool FieldScene::shows(const BoardForm& f) const {
    std::size_t np = 0, ns = 0;
    bool same = true;
    walkField(
        f,
        [&](const std::string& picture, QRect box, bool blackIsClear) {
            same = same && np < pictures.size() && pictures[np].box == box &&
                   pictures[np].blackIsClear == blackIsClear && pictures[np].picture == picture;
            ++np;
        },
        [&](QLine line, Rgb color) {
            same = same && ns < strokes.size() && strokes[ns].line == line &&
                   strokes[ns].color == color;
            ++ns;
        });
    return same && np == pictures.size() && ns == strokes.size();
}

BoardField::BoardField(QtHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    setObjectName(QStringLiteral("jmezo"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BoardField::setScene(FieldScene scene) {
    if (scene == scene_) return;
    QRegion dirty;
    addChanges(dirty, scene_.pictures, scene.pictures,
               [](const FieldScene::Picture& p) { return p.box; });
    addChanges(dirty, scene_.strokes, scene.strokes, strokeArea);
    scene_ = std::move(scene);
    update(dirty);
}

void BoardField::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // Pictures sit on whole pixels and are scaled without smoothing: crisp at any pixel ratio.
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(rect(), Qt::black);
    for (const auto& pic : scene_.pictures) {
        const QPixmap& pm =
            pic.blackIsClear ? clearedBlack(pic.picture) : host_.pixmap(pic.picture);
        if (pm.isNull()) continue;
        const int w = std::min(pic.box.width(), pm.width());
        const int h = std::min(pic.box.height(), pm.height());
        p.drawPixmap(pic.box.topLeft(), pm, QRect(0, 0, w, h));
    }
    for (const auto& st : scene_.strokes) {
        const QLine& l = st.line;
        if (l.y1() == l.y2()) {
            p.fillRect(strokeArea(st), qcolor(st.color));
        } else {
            p.setPen(QPen(qcolor(st.color), kStrokeWidth));
            p.drawLine(l);
        }
    }
}

const QPixmap& BoardField::clearedBlack(const std::string& picture) {
    // Pictures are replaced by path (a level's UFO, the chosen spacecraft), never changed in place,
    // so one cleared copy per path stays right.
    auto it = clearedBlack_.find(picture);
    if (it != clearedBlack_.end()) return it->second;
    QImage img = host_.pixmap(picture).toImage().convertToFormat(QImage::Format_ARGB32);
    // JPEG leaves a little noise in the black, hence a small tolerance rather than exact black.
    constexpr int kNearBlack = 24;
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qRed(row[x]) <= kNearBlack && qGreen(row[x]) <= kNearBlack &&
                qBlue(row[x]) <= kNearBlack)
                row[x] = qRgba(0, 0, 0, 0);
    }
    return clearedBlack_.emplace(picture, QPixmap::fromImage(img)).first->second;
}

void BoardField::keyPressEvent(QKeyEvent* e) {
    const int code = virtualKey(e->key());
    if (code == 0) {
        QWidget::keyPressEvent(e);
        return;
    }
    // Auto-repeated presses count as presses, as the spacecraft's rules expect.
    host_.run([this, code] {
        if (Board* rules = host_.program().boardRules()) rules->keyDown(code);
    });
}

StatusPanel::StatusPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("statusPanel"));
    setFrameStyle(QFrame::Box | QFrame::Sunken);
}

void StatusPanel::setShapes(const std::array<gombocok::Shape, 4>& shapes) {
    // Only where a bar changed: repainting the whole panel would repaint (and lay out the text
    // of) every label on it at each shot.
    QRegion dirty;
    for (std::size_t k = 0; k < shapes.size(); ++k) {
        const gombocok::Shape &a = shapes[k], &b = shapes_[k];
        if (pxRect(a) == pxRect(b) && a.fill == b.fill && a.visible == b.visible &&
            a.filled == b.filled)
            continue;
        if (b.visible) dirty += pxRect(b);
        if (a.visible) dirty += pxRect(a);
    }
    shapes_ = shapes;
    if (!dirty.isEmpty()) update(dirty);
}

void StatusPanel::paintEvent(QPaintEvent* e) {
    QFrame::paintEvent(e);
    QPainter p(this);
    for (const gombocok::Shape& s : shapes_) {
        if (!s.visible || !s.filled) continue;
        p.fillRect(pxRect(s), qcolor(s.fill));
    }
}

BoardWindow::BoardWindow(QtHost& host)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      host_(host),
      field_(new BoardField(host, this)),
      panel_(new StatusPanel(this)) {
    setObjectName(QStringLiteral("board"));
    installViewAccessibility();
    makeLabels();
    makeButtons();
    // Another application taking the focus. Focus moving between the program's own windows
    // and message boxes leaves the application active.
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive)
                    QTimer::singleShot(kFocusSettleMs, this, [this] { pauseInBackground(); });
            });
}

void BoardWindow::makeLabels() {
    // In the order a player reads the panel, top to bottom, each value after its caption:
    // assistive technology walks the widgets in this order.
    const struct {
        const char* name;
        Label BoardForm::*control;
        Label BoardForm::*caption;
    } panelLabels[] = {
        {"conditionCaption", &BoardForm::conditionCaption, nullptr},
        {"szazalek", &BoardForm::szazalek, &BoardForm::conditionCaption},
        {"ammoCaption", &BoardForm::ammoCaption, nullptr},
        {"mundb", &BoardForm::mundb, &BoardForm::ammoCaption},
        {"ufosCaption", &BoardForm::ufosCaption, nullptr},
        {"elldb", &BoardForm::elldb, &BoardForm::ufosCaption},
        {"levelCaption", &BoardForm::levelCaption, nullptr},
        {"szintjelzo", &BoardForm::szintjelzo, &BoardForm::levelCaption},
        {"shotDownCaption", &BoardForm::shotDownCaption, nullptr},
        {"lelott", &BoardForm::lelott, &BoardForm::shotDownCaption},
        {"timeCaption", &BoardForm::timeCaption, nullptr},
        {"ido", &BoardForm::ido, &BoardForm::timeCaption},
    };
    for (auto [name, control, caption] : panelLabels) {
        auto* l = new QLabel(panel_);
        l->setObjectName(QString::fromLatin1(name));
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        labels_.push_back({TextMirror(l), control, false, caption});
        // The figures over the two bars read best centred on them.
        if (control == &BoardForm::szazalek || control == &BoardForm::mundb)
            l->setAlignment(Qt::AlignCenter);
    }
    for (auto control : {&BoardForm::uzenet, &BoardForm::cheatbox}) {
        auto* l = new NoticeLabel(field_);
        l->setObjectName(control == &BoardForm::uzenet ? "uzenet" : "cheatbox");
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        labels_.push_back({TextMirror(l), control, true});
        labels_.back().notice = true;
    }
}

void BoardWindow::makeButtons() {
    const std::tuple<const char*, Button BoardForm::*, void (Board::*)()> buttons[] = {
        {"indit", &BoardForm::indit, &Board::indit_Click},
        {"szunet", &BoardForm::szunet, &Board::szunet_Click},
        {"beallit", &BoardForm::beallit, &Board::beallit_Click},
        {"kilepes", &BoardForm::kilepes, &Board::kilepes_Click},
    };
    for (auto [name, control, click] : buttons) {
        auto* b = new QPushButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        buttons_.push_back({TextMirror(b), control, click});
        // Copied into the lambda by name: clang before 16 cannot capture a structured binding.
        connect(b, &QPushButton::clicked, this, [this, control = control, click = click] {
            host_.run([this, control, click] {
                BoardForm* form = host_.program().boardIfLoaded();
                Board* rules = host_.program().boardRules();
                if (!form || !rules) return;
                // A click gives the button the focus before its handler runs.
                form->focus = &(form->*control);
                (rules->*click)();
            });
        });
    }
}

void BoardWindow::forgetForm() {
    if (isVisible()) hide();
    focusApplied_ = nullptr;
    placement_.forget();
    // A window loaded again is mirrored afresh.
    for (LabelView& lv : labels_) {
        lv.mirror.forget();
    }
    for (ButtonView& bv : buttons_) bv.mirror.forget();
    windowCaption_.reset();
}

void BoardWindow::sync() {
    const BoardForm* form = host_.program().boardIfLoaded();
    if (!form) {
        forgetForm();
        return;
    }
    const BoardForm& f = *form;
    syncFrame(f);
    if (field_->geometry() != pxRect(f.jmezo)) field_->setGeometry(pxRect(f.jmezo));
    if (!field_->scene().shows(f)) field_->setScene(FieldScene::of(f));
    if (field_->isVisibleTo(this) != f.jmezo.visible) field_->setVisible(f.jmezo.visible);
    panel_->setGeometry(pxRect(f.statusPanel));
    if (panel_->isVisibleTo(this) != f.statusPanel.visible)
        panel_->setVisible(f.statusPanel.visible);
    panel_->setShapes({f.conditionTrough, f.ammoTrough, f.allapot, f.municio});
    for (LabelView& lv : labels_) syncLabel(lv, f);
    for (ButtonView& bv : buttons_) bv.mirror.show(lookOf(f.*bv.control));
    syncShown(f);
}

void BoardWindow::syncFrame(const BoardForm& f) {
    if (f.window.caption != windowCaption_) {
        windowCaption_ = f.window.caption;
        setWindowTitle(qs(*windowCaption_));
        // Read without the run of blanks that pushes the maker mark to the end of the title bar.
        setAccessibleName(windowTitle().simplified());
    }
    const QSize client(px(f.window.Width), px(f.window.Height));
    if (size() != client) setFixedSize(client);
    placement_.apply(*this, f.window);
}

void BoardWindow::syncLabel(LabelView& lv, const BoardForm& f) {
    const Label& l = f.*lv.control;
    QWidget* w = lv.mirror.widget();
    TextLook look = lookOf(l);
    // Labels on the field are drawn in the model's colour unless that is the default black,
    // which could not be read on the dark field.
    look.colour = lv.onField && l.foreColor == Rgb{} ? Rgb{255, 255, 160} : l.foreColor;
    std::string readAs = lv.caption ? (f.*lv.caption).caption + ' ' + l.caption : l.caption;
    if (lv.notice) {
        // A notice says nothing while it is empty, and is announced when it appears: named
        // before it is shown.
        look.visible = l.visible && !l.caption.empty();
    } else if (!lv.caption) {
        readAs.clear();  // read by its text
    }
    if (readAs != lv.readAs) {
        lv.readAs = std::move(readAs);
        w->setAccessibleName(qs(lv.readAs));
    }
    lv.mirror.show(look);
}

void BoardWindow::syncShown(const BoardForm& f) {
    const bool becameVisible = f.window.visible && !isVisible();
    if (f.window.visible != isVisible()) setVisible(f.window.visible);
    if (becameVisible) {
        raise();
        activateWindow();
        focusApplied_ = nullptr;
    }
    applyFocus(f);
}

void BoardWindow::applyFocus(const BoardForm& f) {
    // Only a change of the model's focus moves Qt's: a tick must not pull the focus back from
    // where the player put it.
    if (f.focus == focusApplied_) return;
    focusApplied_ = f.focus;
    if (f.focus == &f.urhajo) {
        field_->setFocus(Qt::OtherFocusReason);
        return;
    }
    for (const ButtonView& bv : buttons_)
        if (f.focus == &(f.*bv.control)) bv.mirror.widget()->setFocus(Qt::OtherFocusReason);
}

void BoardWindow::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    placement_.framed(*this);
}

void BoardWindow::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    // Queued: the state may change while a sync runs, and an event must not start inside it.
    if (e->type() == QEvent::WindowStateChange && isMinimized())
        QMetaObject::invokeMethod(this, &BoardWindow::pauseInBackground, Qt::QueuedConnection);
}

void BoardWindow::pauseInBackground() {
    const bool away = isMinimized() || QGuiApplication::applicationState() != Qt::ApplicationActive;
    if (!away) return;
    // A message box is open inside a handler: it holds the game, and its answer decides. Looked
    // at again once it has closed, in case the window is still away then.
    if (host_.program().inEvent()) {
        QTimer::singleShot(kFocusSettleMs, this, &BoardWindow::pauseInBackground);
        return;
    }
    host_.run([this] {
        if (Board* rules = host_.program().boardRules()) rules->pauseInBackground();
    });
}

void BoardWindow::closeEvent(QCloseEvent* e) {
    // The frame's close box runs the window's unload request, which ends the program through
    // the program end; the window itself closes when the program does.
    e->ignore();
    host_.run([this] {
        if (Board* rules = host_.program().boardRules()) rules->Form_QueryUnload();
    });
}

}  // namespace gombocok
