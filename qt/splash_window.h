// The title screen `splash` on Qt: the title picture with the sprites the rules blitted onto it,
// and the scrolling title and credit.
#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "base/forms.h"
#include "qt/mirror.h"
#include "qt/qt_convert.h"
#include "qt/view.h"

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
    QtHost& host_;
    SplashForm* form_ = nullptr;
    WindowPlacement placement_;

    TitlePicture* hkep_;
    QLabel* cim_;
    QLabel* szerzo_;
    std::array<TextMirror, 2> labels_;
};

// The title picture with the blits applied in order: AND and OR raster operations on a copy of
// the picture, the sources taken from their top-left corners.
QImage composeTitle(QtHost& host, const std::string& picture, const std::vector<Blit>& drawing);

}  // namespace gombocok
