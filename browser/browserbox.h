#pragma once

// 网页: the host of the embedded web view. The view always fills the box. The
// box keeps the four settings the window gives it: text size, offline and silent
// flags and the current address. Every navigation proceeds; a page's request for
// a new window is handed to the desktop's own browser.

#include <QByteArray>
#include <QWidget>

class QWebEngineProfile;
class QWebEngineView;

namespace tarnelo {

class BrowserPage;

class BrowserBox : public QWidget
{
    Q_OBJECT

public:
    BrowserBox(QWebEngineProfile *profile, QWidget *parent);

    void setTextSize(int level);  // 0 to 4, brought into range
    int textSize() const { return m_textSize; }
    void setOffline(bool offline) { m_offline = offline; }
    bool isOffline() const { return m_offline; }
    void setSilent(bool silent);
    bool isSilent() const { return m_silent; }

    // Stores the address and starts navigating to it; returns at once.
    void navigate(const QByteArray &address);
    QByteArray address() const { return m_address; }

    QWebEngineView *view() const { return m_view; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QWebEngineView *m_view;
    BrowserPage *m_page;
    QByteArray m_address;
    int m_textSize = 2;
    bool m_offline = false;
    bool m_silent = false;
};

} // namespace tarnelo
