#include "qt/splash_window.h"

#include <qdrawutil.h>

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

#include "game/splash.h"
#include "qt/clickable_picture.h"
#include "qt/qt_host.h"
#include "qt/view_accessibility.h"

namespace gombocok {

namespace {

constexpr int kBorder = 2;  // the sunken border around the title picture, pixels

}  // namespace

QImage composeTitle(QtHost& host, const std::string& picture, const std::vector<Blit>& drawing) {
    QImage image = host.pixmap(picture).toImage().convertToFormat(QImage::Format_RGB32);
    QPainter p(&image);
    for (const Blit& blit : drawing) {
        p.setCompositionMode(blit.op == Blit::Op::srcAnd ? QPainter::RasterOp_SourceAndDestination
                                                         : QPainter::RasterOp_SourceOrDestination);
        const QImage source =
            host.pixmap(blit.source).toImage().convertToFormat(QImage::Format_RGB32);
        p.drawImage(QPoint(blit.x, blit.y), source, QRect(0, 0, blit.width, blit.height));
    }
    return image;
}

// The picture box `hkep`: a sunken border and, inside it, the composed title picture. Reports
// clicks.
class TitlePicture : public ClickablePicture {
public:
    explicit TitlePicture(QWidget* parent) : ClickablePicture(parent) {}
    std::vector<Blit> drawing;
    QImage image;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        qDrawWinPanel(&p, rect(), palette(), true);
        p.setClipRect(rect().adjusted(kBorder, kBorder, -kBorder, -kBorder));
        p.drawImage(kBorder, kBorder, image);
    }
};

SplashWindow::SplashWindow(QtHost& host)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      host_(host),
      hkep_(new TitlePicture(this)),
      cim_(new QLabel(this)),
      szerzo_(new QLabel(this)),
      labels_{TextMirror(cim_), TextMirror(szerzo_)} {
    installViewAccessibility();
    setObjectName(QStringLiteral("splash"));
    hkep_->setObjectName(QStringLiteral("hkep"));
    cim_->setObjectName(QStringLiteral("cim"));
    szerzo_->setObjectName(QStringLiteral("szerzo"));
    const SplashForm design;
    setFixedSize(px(design.window.Width), px(design.window.Height));
    hkep_->onClick = [this] {
        host_.run([this] {
            if (Splash* r = host_.program().splashRules()) r->hkep_Click();
        });
    };
    for (QLabel* l : {cim_, szerzo_}) {
        l->setAlignment(Qt::AlignCenter);
        // The labels lie over the picture: a click on them is a click on the picture.
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
}

QWidget* SplashWindow::picture() const {
    return hkep_;
}

void SplashWindow::sync() {
    SplashForm* f = host_.program().splashIfLoaded();
    if (f != form_) {
        form_ = f;
        placement_.forget();
        for (TextMirror& m : labels_) m.forget();
    }
    // Hidden for good after the title: nothing to mirror while the game's timers run.
    if (!f || !f->window.visible) {
        hide();
        return;
    }

    const Sprite& hkep = f->hkep;
    hkep_->setGeometry(pxRect(hkep.Left, hkep.Top, hkep.Width, hkep.Height));
    hkep_->setVisible(hkep.visible);
    if (hkep_->picture != hkep.picture || hkep_->drawing != f->hkepDrawing) {
        hkep_->picture = hkep.picture;
        hkep_->drawing = f->hkepDrawing;
        hkep_->image = composeTitle(host_, hkep.picture, hkep_->drawing);
        hkep_->update();
    }
    mirrorCursor(*hkep_, hkep_->cursorPath, hkep.cursor, host_);

    // A text wider than its label grows about the label's centre rather than being clipped.
    const Label* labels[] = {&f->cim, &f->szerzo};
    for (int i = 0; i < 2; ++i) {
        TextLook look = lookOf(*labels[i]);
        look.colour = labels[i]->foreColor;
        labels_[i].show(look);
    }

    if (windowTitle() != qs(f->window.caption)) setWindowTitle(qs(f->window.caption));
    placement_.apply(*this, f->window);
    if (!isVisible()) show();
}

}  // namespace gombocok
