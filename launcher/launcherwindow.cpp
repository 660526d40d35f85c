#include "launcher/launcherwindow.h"

#include "app/windowing.h"
#include "launcher/gradientlabel.h"
#include "resources/windowdefinitions.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

namespace tarnelo {
namespace {

const QColor background(236, 236, 236);

const GradientLabelLook footerLook{{{{236, 236, 236}, {0, 0, 0}, {0, 75, 151}}}, {255, 255, 255},
                                   Qt::AlignHCenter, true};
const GradientLabelLook stripLook{{{{0, 0, 0}, {0, 0, 0}, {128, 128, 128}}}, {0, 0, 0}, Qt::AlignLeft, false};

const GradientLabelLook &labelLook(const char *name)
{
    return QByteArrayView(name) == QByteArrayView("标签1") ? footerLook : stripLook;
}

} // namespace

LauncherWindow::LauncherWindow(QByteArray bannerJpeg) : m_banner(std::move(bannerJpeg))
{
    const WindowDefinition &design = launcherWindowDefinition();
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    windowing::prepareTopLevel(this, text(design.caption), design.minimiseButton);
    setFont(windowing::defaultGuiFont());
    windowing::placeCentred(this, QSize(design.outerWidth, design.outerHeight));
    createControls();
}

void LauncherWindow::createControls()
{
    // Created in the designed order; Qt stacks later siblings above earlier ones,
    // which is the designed stacking (the last button on top). The tab order is
    // the window's own (see handleWindowKey), not the stacking.
    for (const ControlDefinition &control : launcherWindowDefinition().controls) {
        QWidget *widget = nullptr;
        if (control.kind == ControlKind::PushButton) {
            auto *button = new QPushButton(text(control.caption), this);
            button->setAutoDefault(false);
            button->installEventFilter(this);
            m_tabOrder.append(button);
            widget = button;
        } else {
            widget = new GradientLabel(text(control.caption), labelLook(control.name), this);
        }
        widget->setObjectName(text(control.name));
        widget->setGeometry(toQRect(control.rect));
        widget->show();
    }
    for (qsizetype i = 1; i < m_tabOrder.size(); ++i)
        setTabOrder(m_tabOrder[i - 1], m_tabOrder[i]);
}

void LauncherWindow::present()
{
    Q_EMIT created();
    show();
    activateWindow();
}

QPushButton *LauncherWindow::button(const QString &controlName) const
{
    for (QPushButton *b : m_tabOrder) {
        if (b->objectName() == controlName)
            return b;
    }
    return nullptr;
}

bool LauncherWindow::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (handleWindowKey(static_cast<QKeyEvent *>(event)->key()))
            return true;
        break;
    case QEvent::WindowDeactivate:
        m_rememberedFocus = focusWidget();
        break;
    case QEvent::WindowActivate: {
        QWidget *target = m_rememberedFocus ? m_rememberedFocus.data() : m_tabOrder.value(0);
        m_rememberedFocus.clear();
        if (target)
            target->setFocus(Qt::ActiveWindowFocusReason);
        break;
    }
    default:
        break;
    }
    return QWidget::event(event);
}

// The window sees Esc, Tab and Shift+Tab before the focused button does.
bool LauncherWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType())
        return handleWindowKey(static_cast<QKeyEvent *>(event)->key());
    return QWidget::eventFilter(watched, event);
}

bool LauncherWindow::handleWindowKey(int key)
{
    switch (key) {
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_Tab:
        moveFocus(+1);
        return true;
    case Qt::Key_Backtab:
        moveFocus(-1);
        return true;
    default:
        return false;
    }
}

void LauncherWindow::moveFocus(int step)
{
    const qsizetype count = m_tabOrder.size();
    if (count == 0)
        return;
    const qsizetype current = m_tabOrder.indexOf(qobject_cast<QPushButton *>(focusWidget()));
    const qsizetype next = current < 0 ? (step > 0 ? 0 : count - 1) : (current + step + count) % count;
    m_tabOrder[next]->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void LauncherWindow::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), background);
    const QImage &banner = m_banner.image();
    if (!banner.isNull())
        painter.drawImage(QPoint(0, 0), banner);
}

void LauncherWindow::closeEvent(QCloseEvent *event)
{
    // No close is ever refused; the owner is told while the controls still exist.
    event->accept();
    Q_EMIT destroying();
}

} // namespace tarnelo
