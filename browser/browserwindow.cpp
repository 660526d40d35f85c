#include "browser/browserwindow.h"

#include "app/windowing.h"
#include "browser/browserbox.h"
#include "browser/noticelabel.h"
#include "resources/windowdefinitions.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPushButton>

namespace tarnelo {
namespace {

bool isWindowKey(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Escape || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
}

} // namespace

BrowserWindow::BrowserWindow(QWebEngineProfile *profile)
{
    const WindowDefinition &design = browserWindowDefinition();
    setAttribute(Qt::WA_DeleteOnClose);
    windowing::prepareTopLevel(this, text(design.caption), design.minimiseButton);
    setFont(windowing::defaultGuiFont());
    windowing::placeCentred(this, QSize(design.outerWidth, design.outerHeight));
    createControls(profile);
    // Keys reach the application before the focused widget, which inside the web
    // view is an internal widget that the engine may replace at any time.
    qApp->installEventFilter(this);
}

BrowserWindow::~BrowserWindow()
{
    qApp->removeEventFilter(this);
}

void BrowserWindow::createControls(QWebEngineProfile *profile)
{
    for (const ControlDefinition &control : browserWindowDefinition().controls) {
        QWidget *widget = nullptr;
        switch (control.kind) {
        case ControlKind::WebBrowserBox:
            widget = m_box = new BrowserBox(profile, this);
            break;
        case ControlKind::NoticeLabel:
            widget = m_notice = new NoticeLabel(text(control.caption), this);
            break;
        case ControlKind::PushButton:
        case ControlKind::GradientLabel: {
            auto *button = new QPushButton(text(control.caption), this);
            button->setAutoDefault(false);
            const QString name = text(control.name);
            connect(button, &QPushButton::clicked, this, [this, name] { Q_EMIT actionClicked(name); });
            m_buttons.append(button);
            widget = button;
            break;
        }
        }
        widget->setObjectName(text(control.name));
        widget->setGeometry(toQRect(control.rect));
        widget->show();
        if (widget != m_notice)
            m_tabStops.append(widget);
    }
}

QPushButton *BrowserWindow::actionButton(const QString &controlName) const
{
    for (QPushButton *button : m_buttons) {
        if (button->objectName() == controlName)
            return button;
    }
    return nullptr;
}

void BrowserWindow::paintEvent(QPaintEvent *event)
{
    QPainter(this).fillRect(event->rect(), QColor(236, 236, 236));
}

int BrowserWindow::tabStopHolding(const QWidget *focus) const
{
    for (qsizetype i = 0; i < m_tabStops.size(); ++i) {
        if (focus && (m_tabStops[i] == focus || m_tabStops[i]->isAncestorOf(focus)))
            return int(i);
    }
    return -1;
}

bool BrowserWindow::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (!isWindowKey(key))
        return false;
    // Decided by where the focus is, not by which object the event visits.
    QWidget *focus = QApplication::focusWidget();
    if (!focus || focus->window() != this)
        return false;
    if (type == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    // The first visit of a key press acts and swallows it, so the page never sees it.
    if (type == QEvent::KeyPress) {
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        const int current = tabStopHolding(focus);
        if (current >= 0) {
            const int step = key->key() == Qt::Key_Tab ? 1 : -1;
            const int count = int(m_tabStops.size());
            m_tabStops[(current + step + count) % count]->setFocus(step > 0 ? Qt::TabFocusReason
                                                                                : Qt::BacktabFocusReason);
        }
    }
    return true;
}

} // namespace tarnelo
