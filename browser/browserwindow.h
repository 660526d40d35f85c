#pragma once

// The second window: the embedded browser 网页, the red notice line 公告 under
// it and three action buttons that lie below the client area until the window
// is made taller. Built from its window definition every time it is created;
// closing it destroys it with all its live state.
//
// The window takes Esc, Tab and Shift+Tab before any control or page sees them.

#include <QList>
#include <QWidget>

class QPushButton;
class QWebEngineProfile;

namespace tarnelo {

class BrowserBox;
class NoticeLabel;

class BrowserWindow : public QWidget
{
    Q_OBJECT

public:
    explicit BrowserWindow(QWebEngineProfile *profile);
    ~BrowserWindow() override;

    BrowserBox *browserBox() const { return m_box; }
    NoticeLabel *notice() const { return m_notice; }
    QPushButton *actionButton(const QString &controlName) const;

Q_SIGNALS:
    // One of the action buttons was clicked; carries its designed name.
    void actionClicked(const QString &controlName);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls(QWebEngineProfile *profile);
    int tabStopHolding(const QWidget *focus) const;

    BrowserBox *m_box = nullptr;
    NoticeLabel *m_notice = nullptr;
    QList<QPushButton *> m_buttons;
    QList<QWidget *> m_tabStops;
};

} // namespace tarnelo
