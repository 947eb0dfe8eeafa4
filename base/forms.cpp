#include "base/forms.h"

#include <string>

#include "base/catalogue.h"

namespace gombocok {
namespace {

template <class T>
T placed(float left, float top, float width, float height) {
    T c;
    c.Left = left;
    c.Top = top;
    c.Width = width;
    c.Height = height;
    return c;
}

Label label(float left, float top, float width, float height, std::string_view caption,
            double points = 8.25, bool bold = false) {
    Label l = placed<Label>(left, top, width, height);
    l.caption = caption;
    l.font = Font{points, bold};
    return l;
}

Button button(float left, float top, std::string_view caption) {
    Button b = placed<Button>(left, top, 1215, 375);
    b.caption = caption;
    return b;
}

Shape bar(float left, float top, float width, float height, Rgb fill) {
    Shape s = placed<Shape>(left, top, width, height);
    s.fill = fill;
    return s;
}

Line line(float x1, float x2, float y, Rgb color) {
    Line l;
    l.X1 = x1;
    l.X2 = x2;
    l.Y1 = l.Y2 = y;
    l.color = color;
    return l;
}

Sprite sprite(float left, float top, float width, float height, std::string picture,
              bool visible = true) {
    Sprite s = placed<Sprite>(left, top, width, height);
    s.picture = std::move(picture);
    s.visible = visible;
    return s;
}

}  // namespace

// The designs carry the Hungarian texts.
constexpr bool kDesignHungarian = true;

BoardForm::BoardForm() : ellen(sprite(6240, 45, 735, 750, "design:ufo", false)) {
    window.caption = gameWindowCaption(kDesignHungarian);
    window.Width = 10440;
    window.Height = 6495;

    statusPanel = placed<Frame>(8160, 50, 2100, 3855);
    szazalek = label(360, 520, 1455, 255, "100%", 8.25, true);
    mundb = label(360, 1120, 1455, 255, "200", 8.25, true);
    mundb.foreColor = {255, 255, 255};  // readable on the dark blue ammunition bar
    municio = bar(360, 1088, 1440, 255, {0, 0, 192});
    conditionCaption = label(240, 240, 1575, 255, text::conditionCaption.hu);
    ufosCaption = label(120, 1560, 975, 255, text::ufosCaption.hu);
    timeCaption = label(240, 3120, 1575, 255, text::timeCaption.hu);
    elldb = label(240, 1800, 735, 435, "26", 17.25, true);
    ido = label(360, 3360, 1335, 375, "03:12", 17.25);
    levelCaption = label(1200, 1560, 615, 255, text::levelCaption.hu);
    szintjelzo = label(1200, 1800, 615, 435, "1", 17.25, true);
    allapot = bar(360, 488, 1440, 255, {0, 192, 0});
    shotDownCaption = label(240, 2400, 1575, 255, text::shotDownCaption.hu);
    lelott = label(720, 2640, 735, 435, "0", 17.25, true);
    ammoCaption = label(240, 840, 1575, 255, text::ammoCaption.hu);
    ammoTrough = bar(360, 1080, 1440, 270, {128, 128, 128});
    conditionTrough = bar(360, 480, 1440, 270, {128, 128, 128});

    jmezo = sprite(100, 100, 7935, 6255, "");
    urhajo = sprite(585, 2535, 1125, 870, "design:urhajo");
    urhajo.enabled = false;
    uzabra = sprite(2880, 3960, 2085, 2160, "design:uzenet", false);
    cheatbox = label(6000, 5760, 1815, 375, text::cheatMode.hu, 12);
    cheatbox.visible = false;
    lov3 = line(5760, 6120, 840, {255, 255, 0});
    uzenet = label(1680, 240, 4095, 375, "", 12);
    lov2 = line(5805, 6165, 435, {192, 0, 0});
    lov = line(1800, 2160, 3000, {0, 128, 0});
    jhatter = sprite(15, 0, 15900, 6300, "design:hatter");

    indit = button(8580, 4080, text::startButton.hu);
    kilepes = button(8580, 5880, text::quitButton.hu);
    beallit = button(8580, 5280, text::optionsButton.hu);
    szunet = button(8580, 4680, text::pauseButton.hu);
    szunet.enabled = false;
    kilepes.enabled = false;
}

OpciokForm::OpciokForm() {
    window.caption = text::dialogCaption;
    window.Width = 6705;
    window.Height = 4515;

    fules = placed<TabStrip>(120, 120, 6375, 3615);
    fules.tabs = {std::string(text::appearanceTab.hu), std::string(text::soundsTab.hu),
                  std::string(text::gameplayTab.hu)};
    fules.selected = 1;
    egy = placed<Frame>(360, 480, 5895, 3015);
    ketto = placed<Frame>(360, 480, 5895, 3015);
    harom = placed<Frame>(360, 480, 5895, 3015);
    ketto.visible = false;
    harom.visible = false;

    nyelv[1] = placed<OptionButton>(1560, 2280, 1095, 255);
    nyelv[1].caption = text::englishButton.hu;
    nyelv[0] = placed<OptionButton>(360, 2280, 1095, 255);
    nyelv[0].caption = text::hungarianButton.hu;
    vizeff = placed<CheckBox>(3600, 2280, 1815, 255);
    vizeff.caption = text::visualEffects.hu;
    vizeff.initValue(1);
    uh[2] = sprite(4200, 720, 1125, 870, "design:uh3");
    uh[1] = sprite(2280, 840, 1125, 570, "design:uh2");
    uh[0] = sprite(360, 840, 1125, 645, "design:uh1");
    languageCaption = label(360, 1920, 1455, 255, text::languageCaption.hu);
    keret = placed<Shape>(4080, 480, 1335, 1335);
    keret.filled = false;
    keret.border = {192, 0, 0};
    keret.borderWidth = 2;
    spacecraftCaption = label(360, 240, 1695, 255, text::spacecraftCaption.hu);

    effektek = placed<CheckBox>(3480, 720, 1455, 255);
    effektek.caption = text::effectsBox.hu;
    effektek.initValue(1);
    hzene = placed<CheckBox>(720, 720, 1695, 255);
    hzene.caption = text::musicBox.hu;
    hzene.initValue(1);
    soundCaption = label(360, 240, 1575, 255, text::soundCaption.hu);

    mloszer = placed<TextBox>(3960, 840, 975, 285);
    mloszer.text = "200";
    mloszer.font = Font{8.25, true};
    chloszer = placed<Spinner>(2640, 840, 735, 255);
    nszcsuszka = placed<Slider>(2640, 360, 2415, 255);
    nszcsuszka.min = 1;
    nszcsuszka.max = 9;
    nszcsuszka.initValue(1);
    initialAmmoCaption = label(360, 840, 1815, 255, text::initialAmmoCaption.hu);
    damageCaption = label(360, 360, 2175, 255, text::damageCaption.hu);

    mehet = button(240, 3960, text::okButton);
}

void OpciokForm::selectNyelv(int k) {
    if (k < 0 || k >= static_cast<int>(nyelv.size())) return;
    if (nyelv[k].selected()) return;
    for (int j = 0; j < static_cast<int>(nyelv.size()); ++j)
        if (j != k) nyelv[j].initSelected(false);
    nyelv[k].setSelected(true);
}

SplashForm::SplashForm() {
    window.caption = text::gameName.hu;
    window.Width = 8550;
    window.Height = 6480;
    cimscroll.setInterval(20);
    zeneindit.setInterval(1000);

    hkep = sprite(120, 120, 8310, 6255, "design:cimkep");
    ukep = sprite(120, 120, 1125, 870, "design:ukep", false);
    kep = sprite(7320, 0, 735, 750, "design:kep", false);
    maszk = sprite(7320, 0, 735, 750, "design:maszk", false);
    umaszk = sprite(120, 120, 1125, 870, "design:umaszk", false);
    cim = label(2655, -1000, 3255, 615, text::gameName.hu, 24);
    cim.visible = false;
    szerzo = label(2228, 8000, 4095, 495, creditText(kDesignHungarian), 13.5);
    // Both stand on the night sky of the title picture.
    cim.foreColor = {255, 255, 255};
    szerzo.foreColor = {255, 255, 255};
}

}  // namespace gombocok
