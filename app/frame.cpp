#include "app/frame.h"

#include "actions/httpclient.h"
#include "actions/iconaction.h"
#include "app/cookiecopy.h"
#include "app/skinstyle.h"
#include "app/windowing.h"
#include "browser/browserwindow.h"
#include "browser/browserwindowcontroller.h"
#include "core/actiontable.h"
#include "launcher/bannerimage.h"
#include "launcher/guidebuttons.h"
#include "launcher/launcherwindow.h"

#include <QApplication>
#include <QWebEngineProfile>

namespace tarnelo {

void initialiseWebEngine()
{
    // The web engine shares its OpenGL contexts with the widgets; Qt requires
    // the attribute before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

Frame::Frame(EndProcess endProcess)
    : m_endProcess(std::move(endProcess)), m_httpClient(std::make_unique<HttpClient>())
{
    m_engineInitialised = QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts);
    m_browser = new BrowserWindowController([this] { return webProfile(); }, this);
    connect(m_browser, &BrowserWindowController::windowCreated, this, &Frame::handleBrowserWindowCreated);
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
        m_httpClient.reset();  // lets go of the process-long client handle
        if (m_engineInitialised) {
            releaseWebEngine();
            m_engineInitialised = false;
        }
    }
    m_endProcess(exitCode);
}

QWebEngineProfile *Frame::webProfile()
{
    if (!m_profile && !m_ending) {
        // No storage name: off the record, nothing is written to disk.
        m_profile = new QWebEngineProfile(this);
        m_cookies = std::make_unique<CookieCopy>(m_profile->cookieStore());
    }
    return m_profile;
}

void Frame::releaseWebEngine()
{
    // Pages went with their windows above; the profile must outlive them.
    m_cookies.reset();
    delete m_profile;
    m_profile = nullptr;
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

void Frame::handleBrowserWindowCreated(BrowserWindow *window)
{
    addLoadedWindow(window);
    // Queued, so the clicked button's own handler has returned before the action
    // starts its waits: the window may be closed and destroyed during them.
    connect(window, &BrowserWindow::actionClicked, this, &Frame::handleActionClicked, Qt::QueuedConnection);
}

void Frame::handleActionClicked(const QString &controlName)
{
    if (!m_httpClient)
        return;  // the program is ending
    if (const ActionRow *row = findActionRow(controlName))
        runIconAction(row->address, *m_httpClient, m_cookies.get(), m_lastResponse);
}

} // namespace tarnelo
