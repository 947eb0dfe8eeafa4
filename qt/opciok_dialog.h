// The options dialog `opciok` on Qt: real widgets in the design layout that mirror the form and
// hand the player's actions to the dialog's rules.
#pragma once

#include <QLineEdit>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "base/forms.h"
#include "qt/mirror.h"
#include "qt/qt_convert.h"
#include "qt/view.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabBar;
class QToolButton;

namespace gombocok {

class QtHost;
class PictureBox;
class OutlineShape;
class TabPane;

// The ammunition box. Every key press goes to `keyDown` with its Windows virtual-key code before
// the box sees it; the key reaches the box only when `keyDown` returns true.
class AmmoEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit AmmoEdit(QWidget* parent);
    std::function<bool(int virtualKey)> keyDown;

    // The Windows virtual-key code of a Qt key press (keypad digits 96 to 105).
    static int virtualKey(const QKeyEvent& event);
    // True while an accepted key is being typed into the box (as opposed to a paste, a drop or
    // an input method changing the text).
    bool typing() const { return typing_; }

protected:
    bool event(QEvent* e) override;

private:
    bool typing_ = false;
};

class OpciokDialog : public QWidget, public View {
    Q_OBJECT
public:
    // The dialog belongs to `owner` (the game window): the window manager keeps it above its
    // owner and brings the two to the front together.
    explicit OpciokDialog(QtHost& host, QWidget* owner = nullptr);

    void sync() override;
    QAccessible::Role accessibleRole() const override { return QAccessible::Dialog; }

    // The widgets, for the view tests and for assistive technology lookups.
    QTabBar* tabStrip() const { return fules_; }
    QWidget* page(int index) const { return pages_[index]; }  // egy, ketto, harom
    AmmoEdit* ammoBox() const { return mloszer_; }
    QToolButton* spinnerDown() const { return chloszerDown_; }
    QToolButton* spinnerUp() const { return chloszerUp_; }
    QWidget* spacecraft(int k) const;
    QWidget* marker() const;
    QSlider* damageSlider() const { return nszcsuszka_; }
    QPushButton* okButton() const { return mehet_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    // Gives a text widget the look of its control.
    using Look = TextLook (*)(const OpciokForm&);
    struct TextView {
        TextMirror mirror;
        Look look;
    };
    template <class W, class... Args>
    W* make(const char* name, QWidget* page, Args&&... args);
    QLabel* makeLabel(const char* name, QWidget* page, Look look);
    QCheckBox* makeCheckBox(const char* name, QWidget* page, CheckBox OpciokForm::*control,
                            Look look);
    void makeAppearancePage(QWidget* egy);
    void makeSoundsPage(QWidget* ketto);
    void makeGameplayPage(QWidget* harom);
    void syncTabs(const OpciokForm& f);
    void syncSpacecraft(const OpciokForm& f);
    void syncGameplay(const OpciokForm& f);
    bool mloszerKeyDown(int virtualKey);
    void mloszerEdited(const QString& text);

    QtHost& host_;
    OpciokForm* form_ = nullptr;  // the loaded form this view mirrors, nullptr while unloaded
    WindowPlacement placement_;   // placed on the screen since the form was loaded
    std::uint64_t shows_ = 0;     // the form's shows brought to the front so far

    QTabBar* fules_;
    TabPane* pane_;
    std::array<QWidget*, 3> pages_{};
    std::array<PictureBox*, 3> uh_{};
    OutlineShape* keret_;
    std::array<QRadioButton*, 2> nyelv_{};
    std::vector<TextView> texts_;  // the labels, check boxes, option buttons and OK
    QSlider* nszcsuszka_;
    AmmoEdit* mloszer_;
    QToolButton *chloszerDown_, *chloszerUp_;
    QPushButton* mehet_;
};

}  // namespace gombocok
