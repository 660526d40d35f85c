#include "browser/browserwindowcontroller.h"

#include "app/windowing.h"
#include "browser/browserbox.h"
#include "browser/browserwindow.h"
#include "browser/noticelabel.h"
#include "core/geometry.h"

namespace tarnelo {

BrowserWindowController::BrowserWindowController(std::function<QWebEngineProfile *()> profile, QObject *parent)
    : QObject(parent), m_profile(std::move(profile))
{
}

bool BrowserWindowController::openBrowserWindow()
{
    if (m_window) {
        windowing::restoreOrActivate(m_window);
        return true;
    }
    QWebEngineProfile *profile = m_profile();
    if (!profile)
        return false;
    m_window = new BrowserWindow(profile);
    Q_EMIT windowCreated(m_window);
    m_window->show();
    m_window->activateWindow();
    return true;
}

void BrowserWindowController::setBrowserAddress(const QByteArray &address)
{
    if (m_window)
        m_window->browserBox()->navigate(address);
}

void BrowserWindowController::showNotice(const QString &text)
{
    openBrowserWindow();
    if (m_window)
        m_window->notice()->setText(text);
}

void BrowserWindowController::setBrowserWindowHeight(int height)
{
    if (m_window)
        windowing::setOuterHeight(m_window, clampBrowserHeight(height));
}

} // namespace tarnelo
