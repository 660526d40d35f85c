#include "app/frame.h"
#include "app/windowing.h"

#include <QApplication>
#include <QFont>
#include <QLoggingCategory>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

namespace {

// The program places its own windows, which Wayland does not allow.
void chooseX11()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// Qt aborts when it cannot reach the display; say so plainly and leave instead.
bool displayReachable()
{
    if (qgetenv("QT_QPA_PLATFORM") != "xcb")
        return true;
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    const bool ok = c && !xcb_connection_has_error(c);
    if (c)
        xcb_disconnect(c);
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    chooseX11();
    if (!displayReachable()) {
        const QByteArray display = qgetenv("DISPLAY");
        std::fprintf(stderr, "tarnelo: cannot open the X display \"%s\"; set DISPLAY to a running X server.\n",
                     display.constData());
        return EXIT_FAILURE;
    }
    // The engine describes its OpenGL set-up at every start; not for users.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    const bool webEngineSetUp = tarnelo::initialiseWebEngine();
    QApplication app(argc, argv);
    QApplication::setFont(tarnelo::windowing::defaultGuiFont());
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(tarnelo::windowing::applicationIcon());
    tarnelo::Frame frame(&tarnelo::windowing::endProcess, webEngineSetUp);
    return frame.runProgram();
}
