// The options dialog on the offscreen platform: its layout, and the player's actions reaching the
// rules through real widgets and real key events.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "qt/board_window.h"
#include "qt/opciok_dialog.h"
#include "tests/qt/view_support.h"

namespace gombocok {
namespace {

class OpciokView : public ::testing::Test, protected testing::QtProgram {
protected:
    void SetUp() override {
        host.addView(&dialog);
        host.run([this] { program.show(WindowId::opciok); });
    }

    OpciokForm& form() { return *program.opciokIfLoaded(); }
    void showTab(int tab) {
        QTabBar* tabs = dialog.tabStrip();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab - 1).center());
    }
    void setAmmo(const std::string& text) {
        host.run([&] { form().mloszer.text = text; });
    }

    OpciokDialog dialog{host};
};

int visiblePages(const OpciokDialog& d) {
    int n = 0;
    for (int i = 0; i < 3; ++i) n += d.page(i)->isVisible();
    return n;
}

TEST_F(OpciokView, TabClickShowsExactlyThatPage) {
    for (int tab : {2, 3, 1, 3}) {
        showTab(tab);
        EXPECT_EQ(form().fules.selected, tab);
        EXPECT_EQ(dialog.tabStrip()->currentIndex(), tab - 1);
        EXPECT_EQ(visiblePages(dialog), 1) << "after tab " << tab;
        EXPECT_TRUE(dialog.page(tab - 1)->isVisible()) << "after tab " << tab;
    }
}

// Where a control's text ends, in its parent's coordinates (labels and the option and check
// buttons write their text from the left).
int textEnd(QWidget* w) {
    const QString text = w->property("text").toString();
    int left = w->contentsRect().left();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        const bool radio = qobject_cast<QRadioButton*>(b) != nullptr;
        left =
            b->style()
                ->subElementRect(
                    radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &opt, b)
                .left();
    }
    return w->x() + left + w->fontMetrics().horizontalAdvance(text);
}

// In both languages every control stands at its design place. A caption that needs more room
// than its design box grows its control to the right, inside its page, and never pushes the
// next control of its row: the text still ends before that control begins.
TEST_F(OpciokView, EveryControlAtItsDesignPlaceAndEveryTextReadableInBothLanguages) {
    for (int language : {1, 0, 1}) {
        showTab(1);
        QTest::mouseClick(dialog.findChild<QRadioButton*>(language ? "nyelv1" : "nyelv0"),
                          Qt::LeftButton);
        ASSERT_TRUE(form().nyelv[language].selected());
        const std::string lang = form().nyelv[0].caption;
        const OpciokForm& f = form();
        const std::vector<std::pair<const char*, QRect>> designs = {
            {"egy", pxRect(f.egy)},           {"ketto", pxRect(f.ketto)},
            {"harom", pxRect(f.harom)},       {"uh0", pxRect(f.uh[0])},
            {"uh1", pxRect(f.uh[1])},         {"uh2", pxRect(f.uh[2])},
            {"keret", pxRect(f.keret)},       {"Label1", pxRect(f.Label1)},
            {"Label5", pxRect(f.Label5)},     {"nyelv0", pxRect(f.nyelv[0])},
            {"nyelv1", pxRect(f.nyelv[1])},   {"vizeff", pxRect(f.vizeff)},
            {"Label2", pxRect(f.Label2)},     {"hzene", pxRect(f.hzene)},
            {"effektek", pxRect(f.effektek)}, {"Label3", pxRect(f.Label3)},
            {"Label4", pxRect(f.Label4)},     {"nszcsuszka", pxRect(f.nszcsuszka)},
            {"mloszer", pxRect(f.mloszer)},   {"mehet", pxRect(f.mehet)},
        };
        for (const auto& [name, design] : designs) {
            auto* w = dialog.findChild<QWidget*>(QString::fromLatin1(name));
            ASSERT_NE(w, nullptr) << name;
            const QRect at = w->geometry();
            EXPECT_EQ(at.x(), design.x()) << name << " in " << lang;
            EXPECT_LE(std::abs(at.center().y() - design.center().y()), 1) << name << " in " << lang;
            EXPECT_GE(at.width(), design.width()) << name << " in " << lang;
            EXPECT_GE(at.height(), design.height()) << name << " in " << lang;
        }

        std::vector<QWidget*> texts;
        for (QLabel* l : dialog.findChildren<QLabel*>()) texts.push_back(l);
        for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>())
            if (!b->text().isEmpty() && !qobject_cast<QPushButton*>(b)) texts.push_back(b);
        ASSERT_EQ(texts.size(), 10u);
        for (QWidget* w : texts) {
            const std::string text = w->property("text").toString().toStdString();
            EXPECT_GE(w->width(), w->sizeHint().width()) << text;
            EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << text;
            for (QWidget* other :
                 w->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (other == w || other == dialog.marker() || !other->isVisibleTo(&dialog))
                    continue;
                const bool sameRow =
                    other->y() < w->geometry().bottom() && w->y() < other->geometry().bottom();
                const bool isText = std::find(texts.begin(), texts.end(), other) != texts.end();
                if (sameRow && other->x() > w->x())
                    EXPECT_LT(textEnd(w), other->x()) << text << " runs into the next control";
                else if (sameRow && isText)
                    EXPECT_LT(textEnd(other), w->x()) << text << " is run into";
                else
                    EXPECT_FALSE(w->geometry().intersects(other->geometry()))
                        << text << " / " << other->objectName().toStdString();
            }
        }
        QTabBar* tabs = dialog.tabStrip();
        EXPECT_LE(tabs->geometry().bottom(), dialog.page(0)->y() + pxRect(f.Label1).y());
        for (int i = 0; i < tabs->count(); ++i) {
            EXPECT_LE(tabs->tabRect(i).right(), tabs->width()) << tabs->tabText(i).toStdString();
            EXPECT_GT(tabs->tabRect(i).width(),
                      tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)));
        }
    }
}

TEST_F(OpciokView, MarkerFollowsTheChosenSpacecraft) {
    for (int k : {0, 1, 2}) {
        QTest::mouseClick(dialog.spacecraft(k), Qt::LeftButton);
        const QRect marker = dialog.marker()->geometry();
        EXPECT_EQ(marker.x(), dialog.spacecraft(k)->x() - 8) << "spacecraft " << k;
        const QPixmap shot = dialog.page(0)->grab();
        const QImage image = shot.toImage();
        // Logical pixels, so the test holds at any device pixel ratio.
        const auto at = [&](int x, int y) {
            const qreal r = shot.devicePixelRatio();
            return QColor(image.pixel(qRound(x * r), qRound(y * r)));
        };
        const int y = marker.center().y();
        EXPECT_EQ(at(marker.left(), y), QColor(192, 0, 0));
        EXPECT_EQ(at(marker.left() + 1, y), QColor(192, 0, 0));
        EXPECT_NE(at(marker.left() + 2, y), QColor(192, 0, 0));
    }
}

// A refused key leaves nothing behind and empties the box, whatever character it carries.
TEST_F(OpciokView, AmmoBoxRefusesEveryKeyButTheMainDigits) {
    showTab(3);
    AmmoEdit* box = dialog.ammoBox();
    box->setFocus();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* what;
    } refused[] = {
        {Qt::Key_Backspace, Qt::NoModifier, "Backspace"},
        {Qt::Key_5, Qt::KeypadModifier, "keypad 5"},
        {Qt::Key_A, Qt::NoModifier, "A"},
    };
    for (const auto& r : refused) {
        setAmmo("120");
        const auto boxes = platform.boxes.size();
        QTest::keyClick(box, r.key, r.modifiers);
        EXPECT_EQ(box->text(), QString()) << r.what;
        EXPECT_EQ(form().mloszer.text, "") << r.what;
        EXPECT_EQ(platform.boxes.size(), boxes + 1) << r.what;
    }
    // A non-ASCII character (an accented letter on a Hungarian keyboard).
    setAmmo("7");
    QTest::sendKeyEvent(QTest::Press, box, Qt::Key_unknown, QString::fromUtf8("ő"), {});
    EXPECT_EQ(box->text(), QString());

    const auto boxes = platform.boxes.size();
    QTest::keyClicks(box, "150");
    EXPECT_EQ(box->text(), "150");
    EXPECT_EQ(form().mloszer.text, "150");
    EXPECT_EQ(platform.boxes.size(), boxes);

    // Tab only moves on to the next control: the box keeps its number and nothing is said.
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_EQ(form().mloszer.text, "150");
    EXPECT_EQ(platform.boxes.size(), boxes);
}

// Text that reaches the box without a key press is checked as a whole by the rules.
TEST_F(OpciokView, TextFromPasteOrInputMethodGoesThroughTheRules) {
    showTab(3);
    AmmoEdit* box = dialog.ammoBox();
    const auto paste = [box](const char* text) {
        QGuiApplication::clipboard()->setText(text);
        box->paste();
    };
    const auto compose = [box](const char* text) {
        QInputMethodEvent commit;
        commit.setCommitString(QString::fromUtf8(text));
        QCoreApplication::sendEvent(box, &commit);
    };
    const struct {
        std::function<void(const char*)> how;
        const char* text;
        const char* expected;
        bool message;
        const char* what;
    } cases[] = {
        {paste, "12a", "", true, "paste with a letter"},
        {paste, "75", "75", false, "paste of digits"},
        {compose, "8", "8", false, "input method digit"},
        {compose, "ő", "", true, "input method letter"},
    };
    for (const auto& c : cases) {
        setAmmo("");
        box->setFocus();
        const auto boxes = platform.boxes.size();
        c.how(c.text);
        EXPECT_EQ(box->text().toStdString(), c.expected) << c.what;
        EXPECT_EQ(form().mloszer.text, c.expected) << c.what;
        EXPECT_EQ(platform.boxes.size(), boxes + (c.message ? 1 : 0)) << c.what;
    }
}

TEST_F(OpciokView, SpinnerSliderAndCheckBoxesReachTheRules) {
    showTab(3);
    setAmmo("199");
    QTest::mouseClick(dialog.spinnerUp(), Qt::LeftButton);
    EXPECT_EQ(dialog.ammoBox()->text(), "200");
    QTest::mouseClick(dialog.spinnerDown(), Qt::LeftButton);
    QTest::mouseClick(dialog.spinnerDown(), Qt::LeftButton);
    EXPECT_EQ(dialog.ammoBox()->text(), "198");

    QSlider* slider = dialog.damageSlider();
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Home);
    EXPECT_EQ(form().nszcsuszka.value(), 1);
    QTest::keyClick(slider, Qt::Key_Right);
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(form().nszcsuszka.value(), 3);
    EXPECT_EQ(program.vars.serulesszint, 3);
    EXPECT_EQ(slider->value(), 3);

    showTab(2);
    auto* music = dialog.findChild<QCheckBox*>("hzene");
    const bool was = form().hzene.ticked();
    QTest::mouseClick(music, Qt::LeftButton);
    EXPECT_EQ(form().hzene.ticked(), !was);
    EXPECT_EQ(music->isChecked(), !was);
    EXPECT_EQ(program.vars.hatterzene, !was);
}

// The text box's own menu speaks the language of the captions, from Qt's translations.
TEST_F(OpciokView, AmmoBoxMenuSpeaksTheInterfaceLanguage) {
    const QStringList hungarian = {"Visszavonás", "Újra",   "Kivágás",          "Másolás",
                                   "Beillesztés", "Törlés", "Összes kijelölése"};
    const QStringList english = {"Undo", "Redo", "Cut", "Copy", "Paste", "Delete", "Select All"};
    ASSERT_TRUE(platform.translations().hungarianFound());
    // Hungarian at start; "angol", then "hungarian" (captions Hungarian again), then "english".
    for (auto [button, expected] :
         {std::pair{-1, &hungarian}, {1, &english}, {0, &hungarian}, {1, &english}}) {
        if (button >= 0) {
            showTab(1);
            QTest::mouseClick(dialog.findChildren<QRadioButton*>()[button], Qt::LeftButton);
        }
        std::unique_ptr<QMenu> menu(dialog.ammoBox()->createStandardContextMenu());
        QStringList texts;
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) texts << a->text().section(u'\t', 0, 0).remove(u'&');
        EXPECT_EQ(texts, *expected) << program.vars.programnyelv;
    }
}

// Closing with the close box unloads the dialog, which saves the settings; the next showing
// reads them back into a fresh dialog.
TEST_F(OpciokView, CloseBoxUnloadsAndTheNextShowingReadsTheSavedSettings) {
    showTab(2);
    auto* music = dialog.findChild<QCheckBox*>("hzene");
    const bool was = music->isChecked();
    QTest::mouseClick(music, Qt::LeftButton);

    EXPECT_FALSE(dialog.close());
    EXPECT_EQ(program.opciokIfLoaded(), nullptr);
    EXPECT_FALSE(dialog.isVisible());

    host.run([this] { program.show(WindowId::opciok); });
    ASSERT_NE(program.opciokIfLoaded(), nullptr);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(form().hzene.ticked(), !was);
    EXPECT_EQ(music->isChecked(), !was);
}

// The dialog belongs to the game window, and Options pressed while it is open brings it back
// to the front.
TEST(OpciokOwner, BelongsToTheGameWindowAndOptionsBringsItToTheFront) {
    testing::QtProgram p;
    BoardWindow board{p.host};
    OpciokDialog dialog{p.host, &board};
    p.host.addView(&board);
    p.host.addView(&dialog);
    p.host.run([&] { p.program.show(WindowId::board); });
    auto* options = board.findChild<QPushButton*>(QStringLiteral("beallit"));
    ASSERT_NE(options, nullptr);
    options->click();
    ASSERT_TRUE(dialog.isVisible());
    ASSERT_NE(dialog.windowHandle(), nullptr);
    EXPECT_EQ(dialog.windowHandle()->transientParent(), board.windowHandle());
    EXPECT_FALSE(dialog.isModal());

    for (int round = 0; round < 2; ++round) {
        board.activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &board; }));
        options->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }))
            << "round " << round;
    }
    EXPECT_EQ(p.program.opciokIfLoaded()->window.shows, 3u);
}

}  // namespace
}  // namespace gombocok
