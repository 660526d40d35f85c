#pragma once

// The four operations the launcher performs on the browser window. The window
// exists only between its opening and its closing; each opening builds it from
// its definition again, so nothing of an earlier opening is carried over.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace tarnelo {

class BrowserEngine;

class BrowserWindowController : public QObject
{
    Q_OBJECT

public:
    // `engine` hands out the program's web engine, started when first asked
    // for; nullptr when it cannot be had.
    explicit BrowserWindowController(std::function<BrowserEngine *()> engine,
                                     std::function<void(const QString &controlName)> onAction,
                                     QObject *parent = nullptr);

    bool openBrowserWindow();
    void setBrowserAddress(const QByteArray &address);
    void showNotice(const QString &text);
    void setBrowserWindowHeight(int height);

    QWidget *window() const { return m_window; }

Q_SIGNALS:
    // A window was built and is about to be shown for the first time.
    void windowCreated(QWidget *window);

private:
    std::function<BrowserEngine *()> m_engine;
    std::function<void(const QString &)> m_onAction;
    QPointer<QWidget> m_window;
};

} // namespace tarnelo
