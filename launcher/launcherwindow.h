#pragma once

// The start-up window: the banner, two gradient labels and twenty push buttons,
// built from the launcher's window definition. It keeps no data: it raises
// `created` once its controls exist (before it is first shown) and
// `destroying` once a close has been accepted; whoever owns the program decides
// what those mean. The buttons' click handlers are bound from outside.

#include "launcher/bannerimage.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QPushButton;

namespace tarnelo {

class LauncherWindow : public QWidget
{
    Q_OBJECT

public:
    explicit LauncherWindow(QByteArray bannerJpeg);

    // Raises `created`, then shows and activates the window.
    void present();

    // The push buttons in tab order; nullptr for a name the window lacks.
    const QList<QPushButton *> &buttonsInTabOrder() const { return m_tabOrder; }
    QPushButton *button(const QString &controlName) const;

Q_SIGNALS:
    void created();
    void destroying();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    bool handleWindowKey(int key);
    void moveFocus(int step);

    BannerImage m_banner;
    QList<QPushButton *> m_tabOrder;
    QPointer<QWidget> m_rememberedFocus;
};

} // namespace tarnelo
