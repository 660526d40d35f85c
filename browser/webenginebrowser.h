#pragma once

#include "browser/browserengine.h"

#include <QObject>

#include <memory>

class QWebEngineProfile;

namespace tarnelo {

class CookieCopy;

// The engine: the process's one off-the-record web profile (nothing is written
// to disk) with its cookie copy. Browser windows hold pages of this profile, so
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
    CookieStoreAccess &cookies() override;

    QWebEngineProfile *profile() const { return m_profile; }

private:
    QWebEngineProfile *m_profile;
    std::unique_ptr<CookieCopy> m_cookies;
};

} // namespace tarnelo
