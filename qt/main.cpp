#include <QApplication>
#include <QFont>
#include <QIcon>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/language.h"
#include "program/command_line.h"
#include "program/program.h"
#include "qt/board_window.h"
#include "qt/end_signals.h"
#include "qt/opciok_dialog.h"
#include "qt/qt_host.h"
#include "qt/qt_platform.h"
#include "qt/splash_window.h"

int main(int argc, char** argv) {
    // Answered before QApplication exists: no display is needed to print the help.
    const gombocok::CommandLine commandLine = gombocok::readCommandLine(
        std::vector<std::string>(argv + 1, argv + argc),
        gombocok::hungarianLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                  std::getenv("LANG")),
        GOMBOCOK_VERSION);
    if (!commandLine.play) {
        std::fputs(commandLine.out.c_str(), stdout);
        std::fputs(commandLine.err.c_str(), stderr);
        return std::fflush(stdout) == 0 ? commandLine.exitCode : 1;
    }
    QApplication app(argc, argv);
    // Docks match the windows (WM_CLASS "gombocok", the Wayland app id) to the desktop entry.
    QApplication::setApplicationName(QStringLiteral("gombocok"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.gombocok.gombocok"));
    // Windows are hidden and shown by the rules; only the program end quits.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));

    gombocok::QtPlatform platform;
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/design/icon.png")));
    gombocok::Program program(platform);
    gombocok::QtHost host(program, platform);
    // SIGTERM, SIGINT, SIGHUP and the session ending end the program its own way, settings saved.
    gombocok::EndSignals endSignals([&host] { host.requestEnd(); });
    gombocok::endWithTheSession(app, host);

    gombocok::BoardWindow board(host);
    host.addView(&board);
    gombocok::OpciokDialog opciok(host, &board);
    host.addView(&opciok);
    gombocok::SplashWindow splash(host);
    host.addView(&splash);

    host.start();
    if (auto code = host.exitCode()) return *code;
    // Connecting to the sound server and reading the sounds go on beside the title screen; the
    // mixer lists the game under its name in the interface language it started in.
    const bool english =
        gombocok::namedLanguage(program.vars.programnyelv) == gombocok::NamedLanguage::english;
    platform.openSound(english ? "Dumplers" : "Gombócok");
    return app.exec();
}
