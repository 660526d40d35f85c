#include "browser/noticelabel.h"

#include <QPainter>

namespace tarnelo {

NoticeLabel::NoticeLabel(const QString &text, QWidget *parent) : QWidget(parent), m_text(text)
{
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
}

void NoticeLabel::setText(const QString &text)
{
    m_text = text;
    // A widget without a background of its own is composed over its parent, so an
    // update repaints the parent's area under it before the new text.
    update();
}

void NoticeLabel::paintEvent(QPaintEvent *)
{
    if (m_text.isEmpty())
        return;
    QPainter painter(this);
    painter.setPen(m_colour);
    painter.drawText(rect(), int(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip), m_text);
}

} // namespace tarnelo
