#include "app/frame.h"

#include "app/enginemodule.h"
#include "app/skinstyle.h"
#include "app/windowing.h"
#include "browser/browserengine.h"
#include "browser/browserwindowcontroller.h"
#include "core/actiontable.h"
#include "launcher/bannerimage.h"
#include "launcher/guidebuttons.h"
#include "launcher/launcherwindow.h"

#include <QApplication>

namespace tarnelo {

namespace {

bool softwareRendering()
{
    return qgetenv("QT_QUICK_BACKEND") == "software";
}

} // namespace

bool initialiseWebEngine()
{
    // A web engine drawing with the GPU shares its OpenGL contexts with the
    // widgets, and Qt needs to know before the application object exists. The
    // shared context loads the OpenGL driver at once; when rendering is software
    // only, nothing is shared and the launcher starts without it.
    if (!softwareRendering())
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    return true;
}

Frame::Frame(EndProcess endProcess, bool webEngineSetUp)
    : m_endProcess(std::move(endProcess)), m_engineInitialised(webEngineSetUp)
{
    m_browser = new BrowserWindowController([this] { return browserEngine(); },
                                            [this](const QString &name) { handleActionClicked(name); }, this);
    connect(m_browser, &BrowserWindowController::windowCreated, this, &Frame::addLoadedWindow);
}

Frame::~Frame() = default;

int Frame::runProgram()
{
    initGlobals();
    registerCleanup(&Frame::releaseGlobals);
    loadStartupWindow();
    m_loopRunning = true;
    if (!m_loadedWindows.isEmpty())
        runEventLoop();
    endProgram(0);
    return 0;  // reached only when endProgram was given a returning endProcess
}

void Frame::initGlobals()
{
    m_lastResponse.assign(QString());
}

void Frame::registerCleanup(std::function<void()> routine)
{
    m_cleanup = std::move(routine);
}

void Frame::releaseGlobals()
{
    releaseLastResponseText();
}

void Frame::loadStartupWindow()
{
    auto *launcher = new LauncherWindow(bannerJpegBytes());
    m_launcher = launcher;
    connect(launcher, &LauncherWindow::created, this, &Frame::onLauncherCreated);
    connect(launcher, &LauncherWindow::destroying, this, &Frame::onLauncherDestroying);
    bindGuideButtons(*launcher, *m_browser);
    addLoadedWindow(launcher);
    launcher->present();
}

void Frame::runEventLoop()
{
    QApplication::exec();
}

void Frame::onLauncherCreated()
{
    applySkinStyle(1);
}

void Frame::onLauncherDestroying()
{
    endProgram(0);
}

void Frame::endProgram(int exitCode)
{
    if (!m_ending) {
        m_ending = true;
        // The launcher is already on its way out (this runs from its close); every
        // other window is destroyed here, the browser window with its web view.
        for (const QPointer<QWidget> &window : QList(m_loadedWindows)) {
            if (!window)
                continue;
            window->hide();
            if (window != m_launcher)
                delete window.data();
        }
        if (auto cleanup = std::exchange(m_cleanup, nullptr))
            cleanup();
        if (m_engineInitialised) {
            // The pages went with their windows above; the profile goes after them.
            m_engine.reset();
            m_engineInitialised = false;
        }
    }
    m_endProcess(exitCode);
}

BrowserEngine *Frame::browserEngine()
{
    if (!m_engine && !m_ending)
        m_engine = loadBrowserEngine();
    return m_engine.get();
}

void Frame::addLoadedWindow(QWidget *window)
{
    m_loadedWindows.append(window);
    connect(window, &QObject::destroyed, this, &Frame::handleWindowDestroyed);
}

void Frame::handleWindowDestroyed(QObject *window)
{
    m_loadedWindows.removeIf([window](const QPointer<QWidget> &w) { return !w || w == window; });
    if (m_loadedWindows.isEmpty() && m_loopRunning)
        QCoreApplication::postEvent(qApp, new QEvent(QEvent::Quit));
}

void Frame::handleActionClicked(const QString &controlName)
{
    const ActionRow *row = findActionRow(controlName);
    if (row && m_engine)
        m_engine->runIconAction(row->address, m_lastResponse);
}

} // namespace tarnelo
