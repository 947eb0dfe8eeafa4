// The title screen `splash` on Qt: the title picture with the sprites the rules blitted onto it,
// and the scrolling title and credit.
#pragma once

#include <QImage>
#include <QWidget>
#include <string>
#include <vector>

#include "ui/forms.h"
#include "ui/qt/view.h"

class QLabel;

namespace gombocok {

class QtHost;
class TitlePicture;

class SplashWindow : public QWidget, public View {
    Q_OBJECT
  public:
    explicit SplashWindow(QtHost& host);

    void sync() override;

    QWidget* picture() const;
    QLabel* title() const { return cim_; }
    QLabel* credit() const { return szerzo_; }

  private:
    void placeOnScreen(const Window& w);

    QtHost& host_;
    SplashForm* form_ = nullptr;
    bool placed_ = false;
    float placedLeft_ = 0, placedTop_ = 0;

    TitlePicture* hkep_;
    QLabel* cim_;
    QLabel* szerzo_;
};

// The title picture with the blits applied in order: AND and OR raster operations on a copy of
// the picture, the sources taken from their top-left corners.
QImage composeTitle(QtHost& host, const std::string& picture, const std::vector<Blit>& drawing);

}  // namespace gombocok
