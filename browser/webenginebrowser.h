#pragma once

#include "browser/browserengine.h"

#include <QObject>

#include <memory>

class QWebEngineProfile;

namespace tarnelo {

class CookieCopy;
class HttpClient;

// The engine: the process's one off-the-record web profile (nothing is written
// to disk) with its cookie copy, and the one HTTP client that shares them. Browser windows hold pages of this profile, so
// every one of them must be gone before the engine is destroyed.
class WebEngineBrowser final : public QObject, public BrowserEngine
{
    Q_OBJECT

public:
    WebEngineBrowser();
    ~WebEngineBrowser() override;

    QWidget *createBrowserWindow(std::function<void(const QString &controlName)> onAction) override;
    void navigate(QWidget *browserWindow, const QByteArray &address) override;
    void showNotice(QWidget *browserWindow, const QString &text) override;
    void runIconAction(const QByteArray &address, LastResponseSlot &lastResponse) override;

    QWebEngineProfile *profile() const { return m_profile; }

private:
    QWebEngineProfile *m_profile;
    std::unique_ptr<CookieCopy> m_cookies;
    std::unique_ptr<HttpClient> m_httpClient;
};

} // namespace tarnelo
