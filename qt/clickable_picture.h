// The picture boxes that take clicks (the spacecraft pictures of the options dialog, the title
// screen's picture): a click is a left-button press and release both inside the box, as a
// button takes it.
#pragma once

#include <QMouseEvent>
#include <QWidget>
#include <functional>
#include <string>

namespace gombocok {

class ClickablePicture : public QWidget {
public:
    explicit ClickablePicture(QWidget* parent) : QWidget(parent) {}
    std::function<void()> onClick;
    std::string picture, cursorPath;  // the files the widget shows now

protected:
    void mousePressEvent(QMouseEvent* e) override { pressed_ = e->button() == Qt::LeftButton; }
    void mouseReleaseEvent(QMouseEvent* e) override {
        const bool click =
            pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
        pressed_ = false;
        if (click && onClick) onClick();
    }

private:
    bool pressed_ = false;
};

}  // namespace gombocok
