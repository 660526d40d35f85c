#include "launcher/gradientlabel.h"

#include <QPainter>
#include <QPaintEvent>

namespace tarnelo {
namespace {

QColor toColor(const Rgb &rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

} // namespace

GradientLabel::GradientLabel(const QString &text, const GradientLabelLook &look, QWidget *parent)
    : QWidget(parent), m_text(text), m_look(look)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GradientLabel::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect dirty = event->rect();
    for (int y = dirty.top(); y <= dirty.bottom(); ++y)
        painter.fillRect(dirty.left(), y, dirty.width(), 1, toColor(gradientRow(m_look.stops, height(), y)));

    if (m_text.isEmpty())
        return;
    const int flags = int(m_look.alignment | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip);
    if (m_look.raised) {
        painter.setPen(Qt::white);
        painter.drawText(rect().translated(1, 1), flags, m_text);
    }
    painter.setPen(toColor(m_look.textColour));
    painter.drawText(rect(), flags, m_text);
}

} // namespace tarnelo
