// Every text of the interface, in Hungarian and English, once: the captions of the three
// windows, the game window's and the dialog's messages, the message boxes' titles, the command
// line's usage and answers, and the keys and options the usage lists. The designs carry the
// Hungarian column; the language switch, the rules, the command line, the Qt edge and the tests
// read the entry they need from here.
//
// A new text is one more line below (both languages), read where it is shown. `%1`, `%2` in a
// text stand for what the program puts there (a path, a reason, an argument): see `filled`.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace gombocok {

// One text in both languages.
struct Text {
    std::string_view hu, en;
    std::string_view in(bool hungarian) const { return hungarian ? hu : en; }
};

namespace text {

// The game's name: the message boxes' title, the title screen, the sound mixer.
inline constexpr Text gameName{"Gombócok", "Dumplers"};
// At the right end of the game window's caption; the blanks before it push it there.
inline constexpr std::string_view makerMark = "v1.0";
inline constexpr int makerMarkBlanksHu = 128, makerMarkBlanksEn = 125;
// The credit under the title screen's title; %1 is the game's name.
inline constexpr Text credit{"a %1 műhelyéből", "from the %1 crew"};

// The game window `board`: the status panel's captions, the buttons, the cheat notice.
inline constexpr Text conditionCaption{"Űrhajó állapota:", "Spacecraft status:"};
inline constexpr Text ammoCaption{"Lőszer:", "Ammo:"};
inline constexpr Text ufosCaption{"Ufók száma:", "Ufo's:"};
inline constexpr Text levelCaption{"Szint:", "Level:"};
inline constexpr Text shotDownCaption{"Lelőtt ufók száma:", "Eliminated ufo's:"};
inline constexpr Text timeCaption{"Eltelt idő:", "Elapsed time:"};
inline constexpr Text startButton{"Indít", "Start"};
inline constexpr Text pauseButton{"Szünet", "Pause"};
inline constexpr Text continueButton{"Tovább", "Continue"};
inline constexpr Text optionsButton{"Beállítások", "Options"};
inline constexpr Text quitButton{"Kilépés", "Quit"};
inline constexpr Text cheatMode{"csalás mód BE", "cheat mode ON"};

// The game window's messages: the level messages (by level; an empty one shows nothing), the
// loss question and the parting message after a No.
inline constexpr std::array<Text, 5> levelMessages{{
    {"", ""},
    {"Rudi!", "Rudi!"},                                                        // level 2
    {"Rudi! Itt az apád beszél...!", "Rudi! Your father speaking to me...!"},  // level 4
    {"Nagyot hallasz, kölyök?\?!", "Hard of hearing, kid?\?!"},                // level 6
    {"Hmm... Ez töksüket..!", "Hmm... This dumb bells..!"},                    // level 8
}};
inline constexpr Text lossQuestion{"Vesztettél!\rÚj játék?", "You lost!\rNew game?"};
inline constexpr Text partingMessage{"Kevés vagy, ifjú padavan...",
                                     "You're lame, young padavan..."};

// The options dialog `opciok`. Its own caption is the Hungarian name of the button that opens it,
// in either language, and its OK button says "OK" in both.
inline constexpr std::string_view dialogCaption = optionsButton.hu;
inline constexpr std::string_view okButton = "OK";
inline constexpr Text appearanceTab{"megjelenés", "skin"};
inline constexpr Text soundsTab{"hangok", "sounds"};
inline constexpr Text gameplayTab{"játékmenet", "gameplay"};
inline constexpr Text spacecraftCaption{"Űrhajó-típus választás:", "Spacecraft class select:"};
// What assistive technology calls each spacecraft picture.
inline constexpr std::array<Text, 3> spacecraftNames{{
    {"1. űrhajó", "Spacecraft 1"},
    {"2. űrhajó", "Spacecraft 2"},
    {"3. űrhajó", "Spacecraft 3"},
}};
inline constexpr Text languageCaption{"Program nyelve:", "Program language:"};
// The language buttons' captions are also the words `programnyelv` stores.
inline constexpr Text hungarianButton{"magyar", "hungarian"};
inline constexpr Text englishButton{"angol", "english"};
inline constexpr Text visualEffects{"vizuális effektek", "visual effects"};
inline constexpr Text soundCaption{"Hang beállítások:", "Sound options:"};
inline constexpr Text musicBox{"háttérzenék", "background musics"};
inline constexpr Text effectsBox{"effektusok", "effects"};
inline constexpr Text damageCaption{"Űrhajó sérülési szintje:", "Spacecraft damage level:"};
inline constexpr Text initialAmmoCaption{"Induló lőszermennyiség:", "Initial ammo:"};

// The dialog's messages.
inline constexpr Text digitsOnly{"Csak számjegyeket írhatsz be!", "You may enter only digits!"};
inline constexpr Text maximumAmmo{"A maximális érték 200!", "The maximum value: 200!"};

// The settings file's messages. The missing file is told in both languages (see `bothLanguages`).
inline constexpr Text settingsMissing{
    "A beállításokat tartalmazó file hiányzik!\rLétrehozom most, indítsd újra a játékot!",
    "The settings file is missing!\rI create now, please restart game!"};
// %1 the path, %2 why it cannot be read (one of the reasons below, or the system's error text).
inline constexpr Text settingsUnreadable{
    "A beállításokat tartalmazó file nem olvasható:\r%1\r(%2)\r\rA játék most az "
    "alapbeállításokkal indul, és a beállításokat ezúttal nem menthetem: a file érintetlen marad.",
    "The settings file cannot be read:\r%1\r(%2)\r\rThe game starts with the default settings, "
    "and this time the settings cannot be kept: the file is left untouched."};
inline constexpr Text isDirectory{"ez egy könyvtár, nem file", "it is a directory, not a file"};
inline constexpr Text isFifo{"ez egy csővezeték (FIFO), nem közönséges file",
                             "it is a pipe (FIFO), not a regular file"};
inline constexpr Text isDevice{"ez egy eszközfile, nem közönséges file",
                               "it is a device, not a regular file"};
inline constexpr Text isSocket{"ez egy socket, nem közönséges file",
                               "it is a socket, not a regular file"};
inline constexpr Text isNotRegular{"nem közönséges file", "it is not a regular file"};
// %1 names the path and the reason.
inline constexpr Text settingsNotSaved{
    "A beállításokat nem sikerült menteni, a változtatások elvesznek.\r\r%1",
    "The settings could not be saved, the changes are lost.\r\r%1"};
// The save stopped at a symbolic link that belongs to another user; %1 is the path, %2 the
// link's owner.
inline constexpr Text settingsRefusedAtLink{
    "A beállításokat nem mentettem, a változtatások elvesznek.\r\r%1\regy másik felhasználó "
    "(%2) szimbolikus linkje. Más felhasználó linkjén át a játék nem ír, így a file, amelyre "
    "mutat, érintetlen marad.",
    "The settings were not saved, the changes are lost.\r\r%1\ris a symbolic link of another "
    "user (%2). The game does not write through another user's link, so the file it points to is "
    "left as it was."};

// A picture or the cursor that cannot be loaded ends the program with this box, before any
// language is known; %1 is the path.
inline constexpr std::string_view pictureNotLoaded =
    "A képfájl nem tölthető be / Cannot load picture file:\n%1";

// The command line. The usage is made of these and of the key and option tables below.
inline constexpr Text usageLine{"Használat: gombocok %1 [Qt-kapcsolók]",
                                "Usage: gombocok %1 [Qt options]"};
inline constexpr Text usageAbout{
    "%1 (%2), kis ügyességi lövöldözős játék: az űrhajód a mező bal szélén áll, és jobbra lő a "
    "jobbról érkező, visszalövő ufókra.",
    "%1 (%2), a small arcade shooter: your spacecraft holds the left edge of the field and fires "
    "to the right at the UFOs that drift in from the right and fire back."};
inline constexpr Text usageKeys{"Billentyűk:", "Keys:"};
inline constexpr Text usageOptions{"Kapcsolók:", "Options:"};
inline constexpr Text usageQtOptions{
    "A Qt saját kapcsolóit (-platform, -display, -style, ...) a Qt kapja meg.",
    "Qt's own options (-platform, -display, -style, ...) are passed on to Qt."};
inline constexpr Text usageSettings{
    "Beállítások: settings.txt a program könyvtárában; ha az a könyvtár nem írható, "
    "$XDG_CONFIG_HOME/gombocok/settings.txt (alapesetben ~/.config/gombocok/settings.txt).",
    "Settings: settings.txt in the program's directory; when that directory cannot be written, "
    "$XDG_CONFIG_HOME/gombocok/settings.txt (by default ~/.config/gombocok/settings.txt)."};
// %1 the game's name, %2 the version.
inline constexpr std::string_view versionLine = "%1 (gombocok) %2\n";
// %1 the argument.
inline constexpr Text unknownOption{
    "gombocok: ismeretlen kapcsoló: %1\nBővebben: gombocok --help\n",
    "gombocok: unknown option: %1\nTry 'gombocok --help' for more "
    "information.\n"};
inline constexpr Text unexpectedArgument{
    "gombocok: fölösleges argumentum: %1\nBővebben: gombocok --help\n",
    "gombocok: unexpected argument: %1\nTry 'gombocok --help' for more information.\n"};
// The window system cannot be opened: %1 the platform, the display.
inline constexpr Text platformNotStarted{
    "gombocok: nem indítható a(z) „%1” grafikus platform\n",
    "gombocok: cannot start the window system platform '%1'\n"};
inline constexpr Text displayNotSet{
    "gombocok: nem nyitható meg a kijelző (a DISPLAY nincs beállítva)\n",
    "gombocok: cannot open the display (DISPLAY is not set)\n"};
inline constexpr Text displayNotOpened{"gombocok: nem nyitható meg a kijelző: %1\n",
                                       "gombocok: cannot open the display %1\n"};

}  // namespace text

// The keys the spacecraft takes, as the usage lists them: each row names its keys and what they
// do. The README's key table and the manual page's KEYS list the same keys (a test compares).
struct KeyRow {
    Text keys;  // as the usage writes them: "Up, Down", "A G R V Y"
    Text does;
};
inline constexpr std::array<KeyRow, 3> kKeyRows{{
    {{"Fel, Le", "Up, Down"}, {"az űrhajó mozgatása", "move the spacecraft"}},
    {{"Szóköz", "Space"}, {"lövés", "fire"}},
    {{"A G R V Y", "A G R V Y"},
     {"csalások: lőszer, sérthetetlenség, javítás, fordított lövés, az aktuális hullám újra",
      "cheats: ammunition, invulnerability, repair, reverse fire, the current wave again"}},
}};

// The game's own options: the spellings the command line accepts and what each does. The
// manual page's OPTIONS list the same spellings (a test compares).
enum class Option { help, version };
struct OptionRow {
    Option option;
    std::string_view shortName, longName;  // "-h", "--help"
    Text does;
};
inline constexpr std::array<OptionRow, 2> kOptionRows{{
    {Option::help, "-h", "--help", {"ez a súgó, majd kilépés", "print this help and exit"}},
    {Option::version,
     "-v",
     "--version",
     {"a változat kiírása, majd kilépés", "print the version and exit"}},
}};

// `pattern` with %1 replaced by `first` and %2 by `second`.
std::string filled(std::string_view pattern, std::string_view first, std::string_view second = {});
// The game window's caption: the game's name, the blanks, the maker mark.
std::string gameWindowCaption(bool hungarian);
// The credit of the title screen.
std::string creditText(bool hungarian);
// A text for both languages at once, Hungarian first: "magyar\r\r(english)", under the title
// "Gombócok (Dumplers)".
std::string bothLanguages(const Text& t);
std::string bothLanguagesTitle();
// The whole `--help` answer.
std::string usageText(bool hungarian);

}  // namespace gombocok
