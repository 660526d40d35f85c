#pragma once

// The web engine behind the browser window, and the HTTP client of its action
// buttons, as the rest of the program sees them. Both live in a module of their
// own that the frame loads when the browser window is first needed, so the
// launcher starts without either; only this header, which names no web engine
// or HTTP type, is shared with the module.

#include <QByteArray>
#include <QString>

#include <functional>

class QWidget;

namespace tarnelo {

class LastResponseSlot;

class BrowserEngine
{
public:
    virtual ~BrowserEngine() = default;

    // A browser window built from its definition, placed and not yet shown; a
    // click on one of its action buttons calls `onAction` with the button's
    // designed name once the click itself has been handled.
    virtual QWidget *createBrowserWindow(std::function<void(const QString &controlName)> onAction) = 0;
    virtual void navigate(QWidget *browserWindow, const QByteArray &address) = 0;
    virtual void showNotice(QWidget *browserWindow, const QString &text) = 0;

    // An action button's press: its request with the engine's cookies, seven
    // times, then the report. Touches no window.
    virtual void runIconAction(const QByteArray &address, LastResponseSlot &lastResponse) = 0;
};

// The module's one entry point.
using CreateBrowserEngine = BrowserEngine *(*)();
inline constexpr char createBrowserEngineSymbol[] = "tarnelo_create_browser_engine";

} // namespace tarnelo
