#include <unistd.h>

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/catalogue.h"
#include "base/language.h"
#include "program/command_line.h"
#include "program/program.h"
#include "qt/board_window.h"
#include "qt/end_signals.h"
#include "qt/opciok_dialog.h"
#include "qt/qt_host.h"
#include "qt/qt_platform.h"
#include "qt/splash_window.h"

namespace {

// A window system Qt cannot open (no DISPLAY, a -display that is not there, a -platform it does
// not know) is reported by Qt with warnings and then a fatal message that aborts: exit status
// 134 and a core file. While QApplication is being made, its messages are held back; a fatal one
// is replaced by our own line and exit status 1, and the others are passed on once it stands.
struct HeldMessage {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
};
std::string windowSystemFailure;
std::vector<HeldMessage> heldMessages;

void holdStartMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fputs(windowSystemFailure.c_str(), stderr);
        std::fflush(stderr);
        // Not exit(): QApplication is half made, and its destructors must not run.
        ::_exit(1);
    }
    heldMessages.push_back(
        {type, context.file, context.function, context.category, context.line, text});
}

void passOnStartMessages(QtMessageHandler handler) {
    for (const HeldMessage& m : heldMessages) {
        const QMessageLogContext context(m.file.constData(), m.line, m.function.constData(),
                                         m.category.constData());
        handler(m.type, context, m.text);
    }
    heldMessages.clear();
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const bool hungarian = gombocok::hungarianLocale(
        std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
    // Answered before QApplication exists: no display is needed to print the help.
    const gombocok::CommandLine commandLine =
        gombocok::readCommandLine(args, hungarian, GOMBOCOK_VERSION);
    if (!commandLine.play) {
        std::fputs(commandLine.out.c_str(), stdout);
        std::fputs(commandLine.err.c_str(), stderr);
        return std::fflush(stdout) == 0 ? commandLine.exitCode : 1;
    }
    windowSystemFailure = gombocok::windowSystemFailure(args, std::getenv("QT_QPA_PLATFORM"),
                                                        std::getenv("DISPLAY"), hungarian);
    const QtMessageHandler qtHandler = qInstallMessageHandler(holdStartMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtHandler);
    passOnStartMessages(qtHandler);
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
    platform.openSound(std::string(gombocok::text::gameName.in(!english)));
    return app.exec();
}
