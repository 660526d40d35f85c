#include "browser/webenginebrowser.h"

#include "actions/httpclient.h"
#include "actions/iconaction.h"
#include "browser/browserbox.h"
#include "browser/browserwindow.h"
#include "browser/cookiecopy.h"
#include "browser/noticelabel.h"

#include <QWebEngineProfile>

namespace tarnelo {

WebEngineBrowser::WebEngineBrowser()
    : m_profile(new QWebEngineProfile(this)), m_cookies(std::make_unique<CookieCopy>(m_profile->cookieStore())),
      m_httpClient(std::make_unique<HttpClient>())
{
}

WebEngineBrowser::~WebEngineBrowser()
{
    m_httpClient.reset();  // lets go of the process-long client handle
    m_cookies.reset();
    delete m_profile;
}

QWidget *WebEngineBrowser::createBrowserWindow(std::function<void(const QString &)> onAction)
{
    auto *window = new BrowserWindow(m_profile);
    // Queued: the clicked button's own handler returns before the action starts
    // its waits, during which the window may be closed and destroyed.
    connect(window, &BrowserWindow::actionClicked, this, std::move(onAction), Qt::QueuedConnection);
    return window;
}

void WebEngineBrowser::navigate(QWidget *browserWindow, const QByteArray &address)
{
    if (auto *window = qobject_cast<BrowserWindow *>(browserWindow))
        window->browserBox()->navigate(address);
}

void WebEngineBrowser::showNotice(QWidget *browserWindow, const QString &text)
{
    if (auto *window = qobject_cast<BrowserWindow *>(browserWindow))
        window->notice()->setText(text);
}

void WebEngineBrowser::runIconAction(const QByteArray &address, LastResponseSlot &lastResponse)
{
    tarnelo::runIconAction(address, *m_httpClient, m_cookies.get(), lastResponse);
}

} // namespace tarnelo
