#include <QApplication>
#include <QFont>
#include <QIcon>

#include "ui/program.h"
#include "ui/qt/board_window.h"
#include "ui/qt/qt_host.h"
#include "ui/qt/qt_platform.h"
#if __has_include("ui/qt/opciok_dialog.h")
#include "ui/qt/opciok_dialog.h"
#endif
#if __has_include("ui/qt/splash_window.h")
#include "ui/qt/splash_window.h"
#endif

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Windows are hidden and shown by the rules; only the program end quits.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));

    gombocok::QtPlatform platform;
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/design/icon.png")));
    gombocok::Program program(platform);
    gombocok::QtHost host(program, platform);

    gombocok::BoardWindow board(host);
    host.addView(&board);
#if __has_include("ui/qt/opciok_dialog.h")
    gombocok::OpciokDialog opciok(host);
    host.addView(&opciok);
#endif
#if __has_include("ui/qt/splash_window.h")
    gombocok::SplashWindow splash(host);
    host.addView(&splash);
#endif

    // Opening the audio output takes a moment: done before the first window, not at a shot.
    platform.sound().hasOutput();
    host.start();
    if (auto code = host.exitCode()) return *code;
    return app.exec();
}
