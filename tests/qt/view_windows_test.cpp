// The three windows together on the offscreen platform: every text widget shows its control,
// assistive technology reads the windows in the interface's words, the dialog's layout in both
// languages, and the player's actions reaching the rules through real widgets and key events.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include "base/catalogue.h"
#include "qt/board_window.h"
#include "qt/opciok_dialog.h"
#include "qt/splash_window.h"
#include "settings/opciok.h"
#include "tests/support/view_support.h"

namespace gombocok {
namespace {

struct Shown {
    std::string caption;
    bool visible;
    bool enabled = true;
    std::optional<bool> checked = {};
};
Shown of(const Label& l) {
    return {l.caption, l.visible};
}
Shown of(const Button& b) {
    return {b.caption, b.visible, b.enabled};
}
Shown of(const CheckBox& c) {
    return {c.caption, c.visible, true, c.ticked()};
}
Shown of(const OptionButton& o) {
    return {o.caption, o.visible, true, o.selected()};
}
// The level message and the cheat marker show only while they say something.
Shown notice(const Label& l) {
    return {l.caption, l.visible && !l.caption.empty()};
}

class Windows : public ::testing::Test, protected testing::QtProgram {
protected:
    void SetUp() override {
        for (View* v : std::initializer_list<View*>{&board, &dialog, &splash}) host.addView(v);
        // The title animation would redraw the picture under the test: its timers stand still.
        host.run([this] {
            program.show(WindowId::splash);
            program.splash().cimscroll.setInterval(0);
            program.splash().zeneindit.setInterval(0);
            program.show(WindowId::board);
            program.show(WindowId::opciok);
        });
    }
    BoardForm& b() { return program.board(); }
    OpciokForm& o() { return *program.opciokIfLoaded(); }
    SplashForm& s() { return program.splash(); }
    // Shows a page by a click on its tab; exactly that page shows.
    void showTab(int tab) {
        QTabBar* tabs = dialog.tabStrip();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab - 1).center());
        EXPECT_EQ(o().fules.selected, tab);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(dialog.page(i)->isVisible(), i == tab - 1) << tab;
    }
    void chooseLanguage(int button) {
        showTab(1);
        QTest::mouseClick(dialog.findChildren<QRadioButton*>()[button], Qt::LeftButton);
    }
    // Logical pixels of a window's grab, so the checks hold at any device pixel ratio.
    static QColor pixelOf(QWidget* w, QPoint p) {
        const QPixmap shot = w->grab();
        const qreal r = shot.devicePixelRatio();
        return QColor(shot.toImage().pixel(qRound(p.x() * r), qRound(p.y() * r)));
    }

    BoardWindow board{host};
    OpciokDialog dialog{host, &board};
    SplashWindow splash{host};
};

TEST_F(Windows, EveryTextWidgetShowsItsControl) {
    const struct {
        QWidget* window;
        const char* name;
        std::function<Shown()> control;
    } rows[] = {
        {&board, "shotDownCaption", [&] { return of(b().shotDownCaption); }},
        {&board, "ido", [&] { return of(b().ido); }},
        {&board, "uzenet", [&] { return notice(b().uzenet); }},
        {&board, "cheatbox", [&] { return notice(b().cheatbox); }},
        {&board, "indit", [&] { return of(b().indit); }},
        {&board, "szunet", [&] { return of(b().szunet); }},
        {&board, "beallit", [&] { return of(b().beallit); }},
        {&board, "kilepes", [&] { return of(b().kilepes); }},
        {&dialog, "spacecraftCaption", [&] { return of(o().spacecraftCaption); }},
        {&dialog, "nyelv0", [&] { return of(o().nyelv[0]); }},
        {&dialog, "nyelv1", [&] { return of(o().nyelv[1]); }},
        {&dialog, "vizeff", [&] { return of(o().vizeff); }},
        {&dialog, "hzene", [&] { return of(o().hzene); }},
        {&dialog, "effektek", [&] { return of(o().effektek); }},
        {&dialog, "mehet", [&] { return of(o().mehet); }},
        {&splash, "cim", [&] { return of(s().cim); }},
        {&splash, "szerzo", [&] { return of(s().szerzo); }},
    };
    const std::function<void()> changes[] = {
        [] {},
        [&] {
            b().uzenet.caption = "2. szint";
            b().cheatbox.visible = true;
            b().szunet.enabled = true;
            b().indit.enabled = false;
            b().ido.caption = "01:07";
            b().szazalek.foreColor = {255, 255, 255};
            o().hzene.setValue(0);
            o().selectNyelv(1);
            s().cim.visible = true;
            s().cim.Top = 100;
            s().szerzo.Top = 5300;
            b().shotDownCaption.caption = "Lelőtt ufók összesen:";
            o().effektek.visible = false;
            o().mehet.enabled = false;
            s().szerzo.caption = "a Gombócok műhelyéből, szeretettel";
        },
        [&] {
            b().shotDownCaption.visible = false;
            b().uzenet.caption.clear();
        },
    };
    for (std::size_t round = 0; round < std::size(changes); ++round) {
        host.run(changes[round]);
        for (const auto& row : rows) {
            auto* w = row.window->findChild<QWidget*>(QString::fromLatin1(row.name));
            ASSERT_NE(w, nullptr) << row.name;
            const Shown c = row.control();
            EXPECT_EQ(w->property("text").toString().toStdString(), c.caption) << row.name << round;
            EXPECT_EQ(w->isVisibleTo(w->parentWidget()), c.visible);
            EXPECT_EQ(w->isEnabled(), c.enabled);
            if (c.checked) {
                EXPECT_EQ(w->property("checked").toBool(), *c.checked);
            }
            // The whole caption can be read.
            if (!qobject_cast<QPushButton*>(w)) {
                EXPECT_GE(w->width(), w->sizeHint().width());
            }
        }
    }
    auto colour = [&](const char* name) {
        return board.findChild<QLabel*>(name)->palette().color(QPalette::WindowText);
    };
    EXPECT_EQ(colour("szazalek"), QColor(255, 255, 255));
    EXPECT_GT(colour("cheatbox").lightness(), 128);  // black could not be read on the field
    EXPECT_EQ(splash.windowTitle(), QStringLiteral("Dumplers"));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash.title()->y(), 7);  // the title labels where the model puts them
    EXPECT_EQ(splash.credit()->y(), 353);
    // Each window keeps its form's client area; the field and the panel stand in their boxes.
    for (auto [w, form] : {std::pair<QWidget*, const Window*>{&board, &b().window},
                           {&dialog, &o().window},
                           {&splash, &s().window}}) {
        EXPECT_EQ(w->size(), QSize(px(form->Width), px(form->Height)));
        EXPECT_EQ(w->minimumSize(), w->maximumSize());
    }
    EXPECT_EQ(board.field()->geometry(), pxRect(b().jmezo));
    EXPECT_EQ(board.findChild<QWidget*>("statusPanel")->geometry(), pxRect(b().statusPanel));
    EXPECT_EQ(splash.picture()->geometry(), pxRect(s().hkep));
}

std::vector<std::string> namesOf(QWidget* parent) {
    std::vector<std::string> names;
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(parent);
    for (int i = 0; i < a->childCount(); ++i)
        names.push_back(a->child(i)->text(QAccessible::Name).toStdString());
    return names;
}

QAccessibleInterface* accessible(QWidget* window, const char* name) {
    return QAccessible::queryAccessibleInterface(
        window->findChild<QWidget*>(QString::fromLatin1(name)));
}

TEST_F(Windows, AssistiveTechnologyReadsTheWindowsInTheInterfaceLanguage) {
    // Each caption read, then each value read with its caption; the texts are the catalogue's.
    auto panel = [](bool hu) {
        std::vector<std::string> names;
        for (auto [caption, value] :
             {std::pair<const Text&, const char*>{text::conditionCaption, "100%"},
              {text::ammoCaption, "150"},
              {text::ufosCaption, "4"},
              {text::levelCaption, "3"},
              {text::shotDownCaption, "7"},
              {text::timeCaption, "01:07"}}) {
            names.emplace_back(caption.in(hu));
            names.push_back(std::string(caption.in(hu)) + " " + value);
        }
        return names;
    };
    const struct {
        int button;
        std::vector<std::string> panel;
        std::string_view spacecraft;
        std::string_view cheat;
    } languages[] = {
        {0, panel(true), text::spacecraftNames[0].hu, text::cheatMode.hu},
        {1, panel(false), text::spacecraftNames[0].en, text::cheatMode.en},
    };
    host.run([&] {
        b().mundb.caption = "150";
        b().elldb.caption = "4";
        b().szintjelzo.caption = "3";
        b().lelott.caption = "7";
        b().ido.caption = "01:07";
        b().cheatbox.visible = true;
    });
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&board)->role(), QAccessible::Window);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&dialog)->role(), QAccessible::Dialog);
    for (const auto& l : languages) {
        // Chosen as assistive technology chooses: the radio button's own action.
        QAccessibleInterface* button = accessible(&dialog, l.button ? "nyelv1" : "nyelv0");
        ASSERT_EQ(button->role(), QAccessible::RadioButton);
        if (!button->state().checked)
            button->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        EXPECT_EQ(o().nyelv[l.button].selected(), true);
        EXPECT_EQ(namesOf(board.findChild<QWidget*>("statusPanel")), l.panel);
        QAccessibleInterface* cheat = accessible(&board, "cheatbox");
        EXPECT_EQ(cheat->role(), QAccessible::Notification);
        EXPECT_EQ(cheat->text(QAccessible::Name).toStdString(), l.cheat);
        QAccessibleInterface* first = accessible(&dialog, "uh0");
        EXPECT_EQ(first->role(), QAccessible::ListItem);
        EXPECT_EQ(first->text(QAccessible::Name).toStdString(), l.spacecraft);
        // Pressed as a click: chosen, and told as selected.
        host.run([&] { program.opciokRules()->uh_Click(2); });
        EXPECT_FALSE(first->state().selected);
        first->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_TRUE(first->state().selected);
        EXPECT_TRUE(first->state().selectable);
    }
}

// The mask blackens the sprite's opaque area and keeps the picture elsewhere; the sprite is then
// painted into the black. A mask or sprite applied with the wrong operation shows here.
TEST_F(Windows, TitleSpritesAreComposedWithAndThenOr) {
    const QColor title(0, 0, 200), red(255, 40, 0);
    // A picture of one colour with a square of another at (10, 10), 20 by 20.
    auto picture = [&](const char* name, QSize size, QColor ground, QColor square) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(ground);
        for (int y = 10; y < 30; ++y)
            for (int x = 10; x < 30; ++x) image.setPixelColor(x, y, square);
        image.save(QString::fromStdString(dir.file(name)));
        return dir.file(name);
    };
    const std::string mask = picture("mask.png", {49, 50}, Qt::white, Qt::black);
    const std::string sprite = picture("sprite.png", {49, 50}, Qt::black, red);
    host.run([&] {
        s().hkep.picture = picture("title.png", {550, 413}, title, title);
        s().hkepDrawing = {{mask, 400, 340, 49, 50, Blit::Op::srcAnd},
                           {sprite, 400, 340, 49, 50, Blit::Op::srcPaint}};
    });
    const QPoint origin = splash.picture()->pos() + QPoint(2, 2);
    const struct {
        int x, y;
        QColor expected;
    } pixels[] = {
        {420, 360, red},   {410, 350, red},   {402, 342, title},
        {448, 389, title}, {449, 390, title}, {100, 100, title},
    };
    for (const auto& p : pixels)
        EXPECT_EQ(pixelOf(&splash, origin + QPoint(p.x, p.y)), p.expected) << p.x << "," << p.y;
    // Cleared back to its own picture, the title shows no trace of the sprite.
    host.run([&] { s().hkepDrawing.clear(); });
    EXPECT_EQ(pixelOf(&splash, origin + QPoint(420, 360)), title);
}

// A click on the title, which lies over the picture, is a click on the picture: on to the game.
TEST_F(Windows, AClickOnTheTitleMovesOnToTheGame) {
    host.run([&] {
        s().cim.Top = 100;
        s().cim.visible = true;
        b().window.visible = false;
    });
    const QPoint onTitle = splash.title()->geometry().center();
    ASSERT_EQ(splash.childAt(onTitle), splash.picture());
    QTest::mouseClick(splash.picture(), Qt::LeftButton, {},
                      splash.picture()->mapFrom(&splash, onTitle));
    EXPECT_FALSE(splash.isVisible());
    EXPECT_TRUE(b().window.visible);
}

// Where a control's text ends, in its parent's coordinates (labels and the option and check
// buttons write their text from the left).
int textEnd(QWidget* w) {
    int left = w->contentsRect().left();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        const bool radio = qobject_cast<QRadioButton*>(b) != nullptr;
        const auto part = radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents;
        left = b->style()->subElementRect(part, &opt, b).left();
    }
    return w->x() + left + w->fontMetrics().horizontalAdvance(w->property("text").toString());
}

// In both languages every control stands at its design place. A caption that needs more room
// than its design box grows its control to the right, inside its page, and never pushes the
// next control of its row: the text still ends before that control begins.
TEST_F(Windows, EveryDialogControlAtItsDesignPlaceAndEveryTextReadableInBothLanguages) {
    const OpciokForm& f = o();
    const std::pair<const char*, QRect> designs[] = {
        {"egy", pxRect(f.egy)},
        {"ketto", pxRect(f.ketto)},
        {"harom", pxRect(f.harom)},
        {"uh0", pxRect(f.uh[0])},
        {"uh1", pxRect(f.uh[1])},
        {"uh2", pxRect(f.uh[2])},
        {"keret", pxRect(f.keret)},
        {"spacecraftCaption", pxRect(f.spacecraftCaption)},
        {"languageCaption", pxRect(f.languageCaption)},
        {"nyelv0", pxRect(f.nyelv[0])},
        {"nyelv1", pxRect(f.nyelv[1])},
        {"vizeff", pxRect(f.vizeff)},
        {"soundCaption", pxRect(f.soundCaption)},
        {"hzene", pxRect(f.hzene)},
        {"effektek", pxRect(f.effektek)},
        {"damageCaption", pxRect(f.damageCaption)},
        {"initialAmmoCaption", pxRect(f.initialAmmoCaption)},
        {"nszcsuszka", pxRect(f.nszcsuszka)},
        {"mloszer", pxRect(f.mloszer)},
        {"mehet", pxRect(f.mehet)},
    };
    for (int language : {1, 0, 1}) {
        chooseLanguage(language);
        ASSERT_TRUE(o().nyelv[language].selected());
        for (const auto& [name, design] : designs) {
            auto* w = dialog.findChild<QWidget*>(QString::fromLatin1(name));
            ASSERT_NE(w, nullptr) << name;
            const QRect at = w->geometry();
            EXPECT_EQ(at.x(), design.x()) << name << language;
            EXPECT_LE(std::abs(at.center().y() - design.center().y()), 1) << name << language;
            EXPECT_GE(at.width(), design.width()) << name << language;
            EXPECT_GE(at.height(), design.height()) << name << language;
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
                    EXPECT_FALSE(w->geometry().intersects(other->geometry())) << text;
            }
        }
        QTabBar* tabs = dialog.tabStrip();
        EXPECT_LE(tabs->geometry().bottom(), dialog.page(0)->y() + pxRect(f.spacecraftCaption).y());
        for (int i = 0; i < tabs->count(); ++i) {
            EXPECT_LE(tabs->tabRect(i).right(), tabs->width()) << i;
            EXPECT_GT(tabs->tabRect(i).width(),
                      tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)));
        }
    }
}

TEST_F(Windows, MarkerFollowsTheChosenSpacecraft) {
    for (int k : {0, 1, 2}) {
        QTest::mouseClick(dialog.spacecraft(k), Qt::LeftButton);
        const QRect marker = dialog.marker()->geometry();
        EXPECT_EQ(marker.x(), dialog.spacecraft(k)->x() - 8) << k;
        const int y = marker.center().y();
        for (int dx : {0, 1, 2})
            EXPECT_EQ(pixelOf(dialog.page(0), {marker.left() + dx, y}) == QColor(192, 0, 0), dx < 2)
                << k << " +" << dx;
    }
}

// A click is a left press and release both on the picture: released elsewhere, or with the other
// button, it chooses nothing and does not move on.
TEST_F(Windows, APictureTakesOnlyAWholeLeftClick) {
    QTest::mouseClick(dialog.spacecraft(0), Qt::LeftButton);
    const int chosen = dialog.marker()->x();
    QWidget* other = dialog.spacecraft(2);
    QTest::mousePress(other, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(other, Qt::LeftButton, {}, QPoint(-5, -5));
    QTest::mouseClick(other, Qt::RightButton);
    EXPECT_EQ(dialog.marker()->x(), chosen);
    host.run([&] { b().window.visible = false; });
    QWidget* title = splash.picture();
    QTest::mousePress(title, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(title->width() + 5, 5));
    EXPECT_TRUE(splash.isVisible());
    EXPECT_FALSE(b().window.visible);
}

// A refused key or text leaves nothing behind, empties the box and is told; Tab only moves on.
// Text that reaches the box without a key press is checked as a whole by the rules.
TEST_F(Windows, AmmoBoxTakesOnlyMainDigitsFromKeysPasteAndInputMethod) {
    showTab(3);
    AmmoEdit* box = dialog.ammoBox();
    const auto key = [box](Qt::Key k, Qt::KeyboardModifiers m = {}) {
        return [=] { QTest::keyClick(box, k, m); };
    };
    const auto paste = [box](const char* text) {
        return [=] {
            QGuiApplication::clipboard()->setText(text);
            box->paste();
        };
    };
    const auto compose = [box](const char* text) {
        return [=] {
            QInputMethodEvent commit;
            commit.setCommitString(QString::fromUtf8(text));
            QCoreApplication::sendEvent(box, &commit);
        };
    };
    const auto accented = [box] {
        QTest::sendKeyEvent(QTest::Press, box, Qt::Key_unknown, QString::fromUtf8("ő"), {});
    };
    const struct {
        std::function<void()> input;
        const char* before;
        const char* after;
        bool told;
    } cases[] = {
        {key(Qt::Key_Backspace), "120", "", true},
        {key(Qt::Key_5, Qt::KeypadModifier), "120", "", true},
        {key(Qt::Key_A), "120", "", true},
        {accented, "7", "", true},
        {[box] { QTest::keyClicks(box, "150"); }, "", "150", false},
        {key(Qt::Key_Tab), "150", "150", false},
        {paste("12a"), "", "", true},
        {paste("75"), "", "75", false},
        {compose("8"), "", "8", false},
        {compose("ő"), "", "", true},
    };
    for (const auto& c : cases) {
        host.run([&] { o().mloszer.text = c.before; });
        box->setFocus();
        const auto boxes = platform.boxes.size();
        c.input();
        EXPECT_EQ(box->text().toStdString(), c.after) << &c - cases;
        EXPECT_EQ(o().mloszer.text, c.after) << &c - cases;
        EXPECT_EQ(platform.boxes.size(), boxes + c.told) << &c - cases;
    }
}

// The spinner, the slider and the check box reach the rules; closing with the close box unloads
// the dialog, which saves the settings, and the next showing reads them back.
TEST_F(Windows, ControlsReachTheRulesAndTheCloseBoxSavesThem) {
    showTab(3);
    host.run([&] { o().mloszer.text = "199"; });
    QTest::mouseClick(dialog.spinnerUp(), Qt::LeftButton);
    EXPECT_EQ(dialog.ammoBox()->text(), "200");
    QTest::mouseClick(dialog.spinnerDown(), Qt::LeftButton);
    EXPECT_EQ(o().mloszer.text, "199");
    dialog.damageSlider()->setFocus();
    QTest::keyClick(dialog.damageSlider(), Qt::Key_Home);
    EXPECT_EQ(program.vars.serulesszint, 1);
    showTab(2);
    auto* music = dialog.findChild<QCheckBox*>("hzene");
    const bool was = o().hzene.ticked();
    QTest::mouseClick(music, Qt::LeftButton);
    EXPECT_EQ(program.vars.hatterzene, !was);

    EXPECT_FALSE(dialog.close());
    EXPECT_EQ(program.opciokIfLoaded(), nullptr);
    EXPECT_FALSE(dialog.isVisible());
    host.run([this] { program.show(WindowId::opciok); });
    ASSERT_NE(program.opciokIfLoaded(), nullptr);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(o().hzene.ticked(), !was);
    EXPECT_EQ(music->isChecked(), !was);
}

}  // namespace
}  // namespace gombocok
