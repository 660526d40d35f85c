#pragma once

// The four operations the launcher performs on the browser window. The window
// exists only between its opening and its closing; each opening builds it from
// its definition again, so nothing of an earlier opening is carried over.

#include <QByteArray>
#include <QObject>
#include "browser/browserwindow.h"

#include <QPointer>

#include <functional>

class QWebEngineProfile;

namespace tarnelo {


class BrowserWindowController : public QObject
{
    Q_OBJECT

public:
    // `profile` hands out the program's one web profile, made when first asked for.
    explicit BrowserWindowController(std::function<QWebEngineProfile *()> profile, QObject *parent = nullptr);

    bool openBrowserWindow();
    void setBrowserAddress(const QByteArray &address);
    void showNotice(const QString &text);
    void setBrowserWindowHeight(int height);

    BrowserWindow *window() const { return m_window; }

Q_SIGNALS:
    // A window was built and is about to be shown for the first time.
    void windowCreated(tarnelo::BrowserWindow *window);

private:
    std::function<QWebEngineProfile *()> m_profile;
    QPointer<BrowserWindow> m_window;
};

} // namespace tarnelo
