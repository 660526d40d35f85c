#include "browser/browserpage.h"

#include <QDesktopServices>
#include <QWebEngineNewWindowRequest>

namespace tarnelo {

BrowserPage::BrowserPage(QWebEngineProfile *profile, QObject *parent) : QWebEnginePage(profile, parent)
{
    // createWindow() is not overridden, so every request lands here unanswered.
    connect(this, &QWebEnginePage::newWindowRequested, this, [](QWebEngineNewWindowRequest &request) {
        QDesktopServices::openUrl(request.requestedUrl());
    });
}

void BrowserPage::javaScriptAlert(const QUrl &origin, const QString &message)
{
    if (!m_silent)
        QWebEnginePage::javaScriptAlert(origin, message);
}

bool BrowserPage::javaScriptConfirm(const QUrl &origin, const QString &message)
{
    return m_silent ? false : QWebEnginePage::javaScriptConfirm(origin, message);
}

bool BrowserPage::javaScriptPrompt(const QUrl &origin, const QString &message, const QString &defaultValue,
                                   QString *result)
{
    return m_silent ? false : QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
}

} // namespace tarnelo
