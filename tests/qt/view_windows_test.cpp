// The three windows together: every text widget shows its control, and assistive technology
// reads the windows in the interface's words, in the order a player reads them.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QPushButton>

#include "qt/board_window.h"
#include "qt/opciok_dialog.h"
#include "qt/splash_window.h"
#include "settings/opciok.h"
#include "tests/qt/view_support.h"

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
        host.run([this] {
            program.show(WindowId::splash);
            program.splash().cimscroll.setInterval(0);
            program.splash().zeneindit.setInterval(0);
            program.show(WindowId::board);
            program.show(WindowId::opciok);
        });
    }
    BoardForm& b() { return program.board(); }
    OpciokForm& o() { return program.opciok(); }
    SplashForm& s() { return program.splash(); }

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
        {&board, "Label1", [&] { return of(b().Label1); }},
        {&board, "szazalek", [&] { return of(b().szazalek); }},
        {&board, "Label6", [&] { return of(b().Label6); }},
        {&board, "mundb", [&] { return of(b().mundb); }},
        {&board, "Label2", [&] { return of(b().Label2); }},
        {&board, "elldb", [&] { return of(b().elldb); }},
        {&board, "Label4", [&] { return of(b().Label4); }},
        {&board, "szintjelzo", [&] { return of(b().szintjelzo); }},
        {&board, "Label5", [&] { return of(b().Label5); }},
        {&board, "lelott", [&] { return of(b().lelott); }},
        {&board, "Label3", [&] { return of(b().Label3); }},
        {&board, "ido", [&] { return of(b().ido); }},
        {&board, "uzenet", [&] { return notice(b().uzenet); }},
        {&board, "cheatbox", [&] { return notice(b().cheatbox); }},
        {&board, "indit", [&] { return of(b().indit); }},
        {&board, "szunet", [&] { return of(b().szunet); }},
        {&board, "beallit", [&] { return of(b().beallit); }},
        {&board, "kilepes", [&] { return of(b().kilepes); }},
        {&dialog, "Label1", [&] { return of(o().Label1); }},
        {&dialog, "Label5", [&] { return of(o().Label5); }},
        {&dialog, "nyelv0", [&] { return of(o().nyelv[0]); }},
        {&dialog, "nyelv1", [&] { return of(o().nyelv[1]); }},
        {&dialog, "vizeff", [&] { return of(o().vizeff); }},
        {&dialog, "Label2", [&] { return of(o().Label2); }},
        {&dialog, "hzene", [&] { return of(o().hzene); }},
        {&dialog, "effektek", [&] { return of(o().effektek); }},
        {&dialog, "Label3", [&] { return of(o().Label3); }},
        {&dialog, "Label4", [&] { return of(o().Label4); }},
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
        },
        [&] {
            b().Label5.caption = "Lelőtt ufók összesen:";
            b().Label5.visible = false;
            b().uzenet.caption.clear();
            o().effektek.visible = false;
            o().mehet.enabled = false;
            s().szerzo.caption = "a Gombócok műhelyéből, szeretettel";
        },
    };
    for (std::size_t round = 0; round < std::size(changes); ++round) {
        host.run(changes[round]);
        for (const auto& row : rows) {
            SCOPED_TRACE(::testing::Message() << row.name << " in round " << round);
            auto* w = row.window->findChild<QWidget*>(QString::fromLatin1(row.name));
            ASSERT_NE(w, nullptr);
            const Shown c = row.control();
            EXPECT_EQ(w->property("text").toString().toStdString(), c.caption);
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
    // Each window keeps its form's client area; the field and the panel stand in their boxes.
    for (auto [w, form] : {std::pair<QWidget*, const Window*>{&board, &b().window},
                           {&dialog, &o().window},
                           {&splash, &s().window}}) {
        EXPECT_EQ(w->size(), QSize(px(form->Width), px(form->Height)));
        EXPECT_EQ(w->minimumSize(), w->maximumSize());
    }
    EXPECT_EQ(board.field()->geometry(), pxRect(b().jmezo));
    EXPECT_EQ(board.findChild<QWidget*>("Frame1")->geometry(), pxRect(b().Frame1));
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
    const struct {
        int button;
        std::vector<std::string> panel;
        const char* spacecraft;
        const char* cheat;
    } languages[] = {
        {0,
         {"Űrhajó állapota:", "Űrhajó állapota: 100%", "Lőszer:", "Lőszer: 150",
          "Ufók száma:", "Ufók száma: 4", "Szint:", "Szint: 3",
          "Lelőtt ufók száma:", "Lelőtt ufók száma: 7", "Eltelt idő:", "Eltelt idő: 01:07"},
         "1. űrhajó",
         "csalás mód BE"},
        {1,
         {"Spacecraft status:", "Spacecraft status: 100%", "Ammo:", "Ammo: 150",
          "Ufo's:", "Ufo's: 4", "Level:", "Level: 3", "Eliminated ufo's:", "Eliminated ufo's: 7",
          "Elapsed time:", "Elapsed time: 01:07"},
         "Spacecraft 1",
         "cheat mode ON"},
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
        EXPECT_EQ(namesOf(board.findChild<QWidget*>("Frame1")), l.panel);
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

}  // namespace
}  // namespace gombocok
