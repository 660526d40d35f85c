#include "browser/browserbox.h"

#include "browser/browserpage.h"
#include "core/pageaddress.h"
#include "core/textsize.h"

#include <QUrl>
#include <QWebEngineView>

namespace tarnelo {

BrowserBox::BrowserBox(QWebEngineProfile *profile, QWidget *parent)
    : QWidget(parent), m_view(new QWebEngineView(this)), m_page(new BrowserPage(profile, m_view))
{
    // The page is the view's child, so it goes before the profile does.
    m_view->setPage(m_page);
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(m_view);
    setTextSize(m_textSize);
    setSilent(m_silent);
}

void BrowserBox::setTextSize(int level)
{
    m_textSize = clampTextSize(level);
    m_page->setZoomFactor(zoomForTextSize(m_textSize));
}

void BrowserBox::setSilent(bool silent)
{
    m_silent = silent;
    m_page->setSilent(silent);
}

void BrowserBox::navigate(const QByteArray &address)
{
    m_address = address;
    const QUrl url = QUrl::fromEncoded(escapeLonePercents(address), QUrl::StrictMode);
    if (url.isValid())
        m_view->load(url);
}

void BrowserBox::resizeEvent(QResizeEvent *)
{
    m_view->setGeometry(rect());
}

} // namespace tarnelo
