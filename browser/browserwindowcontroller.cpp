#include "browser/browserwindowcontroller.h"

#include "app/windowing.h"
#include "browser/browserengine.h"
#include "core/geometry.h"

namespace tarnelo {

BrowserWindowController::BrowserWindowController(std::function<BrowserEngine *()> engine,
                                                 std::function<void(const QString &)> onAction, QObject *parent)
    : QObject(parent), m_engine(std::move(engine)), m_onAction(std::move(onAction))
{
}

bool BrowserWindowController::openBrowserWindow()
{
    if (m_window) {
        windowing::restoreOrActivate(m_window);
        return true;
    }
    BrowserEngine *engine = m_engine();
    if (!engine)
        return false;
    m_window = engine->createBrowserWindow(m_onAction);
    Q_EMIT windowCreated(m_window);
    m_window->show();
    m_window->activateWindow();
    return true;
}

void BrowserWindowController::setBrowserAddress(const QByteArray &address)
{
    if (m_window)
        m_engine()->navigate(m_window, address);
}

void BrowserWindowController::showNotice(const QString &text)
{
    openBrowserWindow();
    if (m_window)
        m_engine()->showNotice(m_window, text);
}

void BrowserWindowController::setBrowserWindowHeight(int height)
{
    if (m_window)
        windowing::setOuterHeight(m_window, clampBrowserHeight(height));
}

} // namespace tarnelo
