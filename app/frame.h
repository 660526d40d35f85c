#pragma once

// The application frame: brings the program up in a fixed order, keeps the set
// of loaded windows, owns the web engine with the actions' HTTP client (loaded
// when the browser window is first needed) and the one global text, and ends
// the program in order: windows, clean-up, web engine, process.
//
// Closing the launcher ends the program: its `destroying` event calls
// endProgram(0), which does not return.

#include "app/responseslot.h"
#include "launcher/launcherwindow.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QWidget;

namespace tarnelo {

class BrowserEngine;
class BrowserWindowController;

class Frame : public QObject
{
    Q_OBJECT

public:
    using EndProcess = std::function<void(int exitCode)>;

    // `endProcess` ends the process and never returns; a test may pass one that
    // does. `webEngineSetUp` tells whether initialiseWebEngine() ran.
    Frame(EndProcess endProcess, bool webEngineSetUp);
    ~Frame() override;

    int runProgram();

    void initGlobals();
    void registerCleanup(std::function<void()> routine);
    static void releaseGlobals();
    void loadStartupWindow();
    void runEventLoop();
    void onLauncherCreated();
    void onLauncherDestroying();
    void endProgram(int exitCode);

    const QList<QPointer<QWidget>> &loadedWindows() const { return m_loadedWindows; }
    LauncherWindow *launcher() const { return m_launcher; }
    BrowserWindowController *browser() const { return m_browser; }
    // Loads the web engine module on first use; nullptr when it cannot be loaded.
    BrowserEngine *browserEngine();
    bool browserEngineLoaded() const { return m_engine != nullptr; }

private:
    void addLoadedWindow(QWidget *window);
    void handleWindowDestroyed(QObject *window);
    void handleActionClicked(const QString &controlName);

    EndProcess m_endProcess;
    std::function<void()> m_cleanup;
    bool m_engineInitialised = false;
    bool m_loopRunning = false;
    bool m_ending = false;
    QList<QPointer<QWidget>> m_loadedWindows;
    QPointer<LauncherWindow> m_launcher;
    BrowserWindowController *m_browser = nullptr;
    std::unique_ptr<BrowserEngine> m_engine;
    GlobalResponseSlot m_lastResponse;
};

// Process-wide web engine set-up; must run before the QApplication exists.
bool initialiseWebEngine();

} // namespace tarnelo
