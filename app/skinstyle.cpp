#include "app/skinstyle.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QStyleOption>

#include <algorithm>
#include <array>

namespace tarnelo {
namespace {

// 1: Luna blue, 2: Luna olive green, 3: Luna silver.
constexpr std::array<SkinColours, 3> kColours = {{
    {
        .border = qRgb(0, 60, 116),
        .faceTop = qRgb(255, 255, 255), .faceBottom = qRgb(214, 208, 197),
        .hoverTop = qRgb(248, 179, 48), .hoverBottom = qRgb(229, 151, 0),
        .focusTop = qRgb(206, 231, 255), .focusBottom = qRgb(105, 130, 238),
        .pressedShadow = qRgb(209, 204, 193), .pressedFace = qRgb(226, 223, 214),
        .disabledBorder = qRgb(201, 199, 186), .disabledFace = qRgb(245, 244, 234),
        .disabledText = qRgb(161, 161, 146),
        .text = qRgb(0, 0, 0),
        .mark = qRgb(33, 161, 33),
        .editFrame = qRgb(127, 157, 185),
        .arrowTop = qRgb(225, 234, 254), .arrowBottom = qRgb(174, 200, 247),
        .arrowBorder = qRgb(152, 180, 235),
        .groupFrame = qRgb(208, 208, 191), .groupTitle = qRgb(0, 70, 213),
    },
    {
        .border = qRgb(55, 98, 6),
        .faceTop = qRgb(255, 255, 255), .faceBottom = qRgb(216, 214, 184),
        .hoverTop = qRgb(248, 179, 48), .hoverBottom = qRgb(229, 151, 0),
        .focusTop = qRgb(214, 226, 170), .focusBottom = qRgb(143, 167, 79),
        .pressedShadow = qRgb(204, 202, 174), .pressedFace = qRgb(227, 225, 203),
        .disabledBorder = qRgb(201, 199, 186), .disabledFace = qRgb(245, 244, 234),
        .disabledText = qRgb(161, 161, 146),
        .text = qRgb(0, 0, 0),
        .mark = qRgb(104, 133, 33),
        .editFrame = qRgb(164, 185, 127),
        .arrowTop = qRgb(236, 241, 214), .arrowBottom = qRgb(187, 205, 135),
        .arrowBorder = qRgb(164, 185, 127),
        .groupFrame = qRgb(208, 208, 191), .groupTitle = qRgb(55, 98, 6),
    },
    {
        .border = qRgb(46, 46, 72),
        .faceTop = qRgb(255, 255, 255), .faceBottom = qRgb(204, 203, 219),
        .hoverTop = qRgb(250, 206, 100), .hoverBottom = qRgb(236, 165, 30),
        .focusTop = qRgb(226, 227, 244), .focusBottom = qRgb(150, 152, 196),
        .pressedShadow = qRgb(198, 197, 214), .pressedFace = qRgb(222, 222, 233),
        .disabledBorder = qRgb(200, 200, 210), .disabledFace = qRgb(244, 244, 246),
        .disabledText = qRgb(161, 161, 166),
        .text = qRgb(0, 0, 0),
        .mark = qRgb(68, 68, 104),
        .editFrame = qRgb(165, 172, 178),
        .arrowTop = qRgb(252, 252, 254), .arrowBottom = qRgb(210, 210, 226),
        .arrowBorder = qRgb(165, 165, 190),
        .groupFrame = qRgb(200, 200, 210), .groupTitle = qRgb(60, 60, 110),
    },
}};

constexpr qreal kButtonRadius = 3;

QColor colour(QRgb rgb) { return QColor::fromRgb(rgb); }

// Standard controls only; flat and icon-only buttons keep the classic look.
bool qualifies(const QWidget *widget)
{
    if (const auto *button = qobject_cast<const QPushButton *>(widget))
        return !button->isFlat() && !(button->text().isEmpty() && !button->icon().isNull());
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->hasFrame();
    return qobject_cast<const QCheckBox *>(widget) || qobject_cast<const QRadioButton *>(widget)
        || qobject_cast<const QGroupBox *>(widget) || qobject_cast<const QComboBox *>(widget)
        || qobject_cast<const QAbstractSpinBox *>(widget);
}

// A taken-over button may become flat or lose its caption later: judge what is painted.
bool hasSkinnedLook(const QStyleOptionButton &button)
{
    return !(button.features & QStyleOptionButton::Flat)
        && !(button.text.isEmpty() && !button.icon.isNull());
}

QLinearGradient vertical(const QRect &rect, QRgb top, QRgb bottom)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, colour(top));
    gradient.setColorAt(1, colour(bottom));
    return gradient;
}

// The outline runs through pixel centres so that straight edges stay one crisp pixel.
QRectF outlineOf(const QRect &rect) { return QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5); }

} // namespace

SkinStyle::SkinStyle(int colourStyle)
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows")))
    , m_colourStyle(isColourStyle(colourStyle) ? colourStyle : 1)
{
}

const SkinColours &SkinStyle::coloursOf(int colourStyle)
{
    return kColours[size_t(isColourStyle(colourStyle) ? colourStyle - 1 : 0)];
}

bool SkinStyle::isTakenOver(const QWidget *widget) const
{
    return widget && m_takenOver.contains(widget);
}

void SkinStyle::polish(QWidget *widget)
{
    QProxyStyle::polish(widget);
    if (!qualifies(widget) || m_takenOver.contains(widget))
        return;
    m_takenOver.insert(widget, widget->testAttribute(Qt::WA_Hover));
    // Hover events make Qt repaint the control as the mouse enters and leaves it.
    widget->setAttribute(Qt::WA_Hover);
    connect(widget, &QObject::destroyed, this, &SkinStyle::forget);
}

void SkinStyle::unpolish(QWidget *widget)
{
    if (const auto it = m_takenOver.constFind(widget); it != m_takenOver.cend()) {
        if (!it.value())
            widget->setAttribute(Qt::WA_Hover, false);
        disconnect(widget, &QObject::destroyed, this, &SkinStyle::forget);
        m_takenOver.erase(it);
    }
    QProxyStyle::unpolish(widget);
}

void SkinStyle::forget(QObject *widget)
{
    m_takenOver.remove(widget);
}

void SkinStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                              QPainter *painter, const QWidget *widget) const
{
    if (isTakenOver(widget)) {
        switch (element) {
        case PE_IndicatorCheckBox:
            drawCheckIndicator(*option, painter);
            return;
        case PE_IndicatorRadioButton:
            drawRadioIndicator(*option, painter);
            return;
        case PE_FrameGroupBox:
            drawGroupFrame(*option, painter);
            return;
        case PE_PanelLineEdit:
        case PE_FrameLineEdit:
            if (const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
                frame && frame->lineWidth > 0) {
                drawEditFrame(*option, painter, element == PE_PanelLineEdit);
                return;
            }
            break;
        case PE_FrameFocusRect:
            if (qobject_cast<const QAbstractButton *>(widget)) {
                drawFocusRect(*option, painter);
                return;
            }
            break;
        default:
            break;
        }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void SkinStyle::drawControl(ControlElement element, const QStyleOption *option,
                            QPainter *painter, const QWidget *widget) const
{
    const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option);
    if (button && isTakenOver(widget) && hasSkinnedLook(*button)) {
        switch (element) {
        case CE_PushButton:
            drawButton(*button, painter, widget);
            return;
        case CE_PushButtonBevel:
            drawButtonBevel(*button, painter, widget);
            return;
        case CE_PushButtonLabel:
            drawButtonLabel(*button, painter, widget);
            return;
        default:
            break;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void SkinStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                   QPainter *painter, const QWidget *widget) const
{
    if (isTakenOver(widget)) {
        switch (control) {
        case CC_ComboBox:
            if (const auto *combo = qstyleoption_cast<const QStyleOptionComboBox *>(option)) {
                drawComboBox(*combo, painter, widget);
                return;
            }
            break;
        case CC_SpinBox:
            if (const auto *spin = qstyleoption_cast<const QStyleOptionSpinBox *>(option)) {
                drawSpinBox(*spin, painter, widget);
                return;
            }
            break;
        case CC_GroupBox:
            if (const auto *group = qstyleoption_cast<const QStyleOptionGroupBox *>(option)) {
                drawGroupBox(*group, painter, widget);
                return;
            }
            break;
        default:
            break;
        }
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

// Bevel, focus rectangle, then the caption on top. The launcher's captions fill
// columns 3 to 100 of a 104-pixel button, so the focus rectangle's sides run one
// pixel further out than the classic style's, over the inner column of the ring.
void SkinStyle::drawButton(const QStyleOptionButton &button, QPainter *painter,
                           const QWidget *widget) const
{
    drawButtonBevel(button, painter, widget);
    if (button.state & State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(button);
        focus.rect = button.rect.adjusted(2, 3, -2, -3);
        drawFocusRect(focus, painter);
    }
    // The caption may use everything inside the border: the launcher's captions
    // need 101 of a 104-pixel button's width.
    QStyleOptionButton label = button;
    label.rect = button.rect.adjusted(1, 1, -1, -1);
    drawButtonLabel(label, painter, widget);
}

void SkinStyle::drawButtonBevel(const QStyleOptionButton &button, QPainter *painter,
                                const QWidget *widget) const
{
    const SkinColours &c = colours();
    const bool enabled = button.state & State_Enabled;
    const bool pressed = button.state & (State_Sunken | State_On);
    const QRect &rect = button.rect;
    const QRectF outline = outlineOf(rect);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    if (!enabled) {
        painter->setBrush(colour(c.disabledFace));
    } else if (pressed) {
        QLinearGradient face(rect.topLeft(), rect.bottomLeft());
        face.setColorAt(0, colour(c.pressedShadow));
        face.setColorAt(0.25, colour(c.pressedFace));
        face.setColorAt(1, colour(c.pressedFace));
        painter->setBrush(face);
    } else {
        painter->setBrush(vertical(rect.adjusted(0, 1, 0, -1), c.faceTop, c.faceBottom));
    }
    painter->drawRoundedRect(outline, kButtonRadius, kButtonRadius);

    // Two-pixel ring inside the border: the mouse wins over focus, pressing hides both.
    const bool focused = button.state & State_HasFocus
        || button.features & QStyleOptionButton::DefaultButton;
    if (enabled && !pressed && (button.state & State_MouseOver || focused)) {
        const bool hovered = button.state & State_MouseOver;
        const QLinearGradient ring = vertical(rect.adjusted(0, 1, 0, -1),
                                              hovered ? c.hoverTop : c.focusTop,
                                              hovered ? c.hoverBottom : c.focusBottom);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(QBrush(ring), 2));
        painter->drawRoundedRect(QRectF(rect).adjusted(2, 2, -2, -2), 2, 2);
    }

    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(colour(enabled ? c.border : c.disabledBorder), 1));
    painter->drawRoundedRect(outline, kButtonRadius, kButtonRadius);
    painter->restore();

    if (button.features & QStyleOptionButton::HasMenu) {
        const int size = proxy()->pixelMetric(PM_MenuButtonIndicator, &button, widget);
        const QRect arrow(rect.right() - size + 2, rect.height() / 2 - size / 2 + 3, size - 6, size - 6);
        drawArrow(PE_IndicatorArrowDown, button, visualRect(button.direction, rect, arrow),
                  enabled, painter, widget);
    }
}

// Centred both ways and wrapped at word and CJK break opportunities, never elided.
void SkinStyle::drawButtonLabel(const QStyleOptionButton &button, QPainter *painter,
                                const QWidget *widget) const
{
    const SkinColours &c = colours();
    const bool enabled = button.state & State_Enabled;
    QRect rect = button.rect;
    if (button.state & (State_Sunken | State_On))
        rect.translate(1, 1);
    if (button.features & QStyleOptionButton::HasMenu) {
        const int size = proxy()->pixelMetric(PM_MenuButtonIndicator, &button, widget);
        rect = visualRect(button.direction, button.rect, rect.adjusted(0, 0, -size, 0));
    }
    int flags = Qt::AlignCenter | Qt::TextWordWrap;
    flags |= proxy()->styleHint(SH_UnderlineShortcut, &button, widget) ? Qt::TextShowMnemonic
                                                                         : Qt::TextHideMnemonic;
    if (!button.icon.isNull()) {
        QIcon::Mode mode = enabled ? QIcon::Normal : QIcon::Disabled;
        if (mode == QIcon::Normal && button.state & State_HasFocus)
            mode = QIcon::Active;
        const QPixmap pixmap = button.icon.pixmap(button.iconSize, painter->device()->devicePixelRatio(),
                                                  mode, button.state & State_On ? QIcon::On : QIcon::Off);
        const QSize iconSize = pixmap.deviceIndependentSize().toSize();
        const int gap = button.text.isEmpty() ? 0 : 4;
        const int room = std::max(0, rect.width() - iconSize.width() - gap);
        const int textWidth = button.text.isEmpty()
            ? 0 : std::min(painter->fontMetrics().boundingRect(QRect(0, 0, room, rect.height()),
                                                               flags, button.text).width(), room);
        const int left = rect.x() + (rect.width() - iconSize.width() - gap - textWidth) / 2;
        painter->drawPixmap(QPoint(left, rect.y() + (rect.height() - iconSize.height()) / 2), pixmap);
        rect = QRect(left + iconSize.width() + gap, rect.y(), textWidth, rect.height());
    }
    painter->save();
    painter->setPen(colour(enabled ? c.text : c.disabledText));
    painter->drawText(rect, flags, button.text);
    painter->restore();
}

// Every other pixel, like the classic focus rectangle, in the caption colour.
void SkinStyle::drawFocusRect(const QStyleOption &option, QPainter *painter) const
{
    const QRect &r = option.rect;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(Qt::NoPen);
    painter->setBrush(QBrush(colour(colours().text), Qt::Dense4Pattern));
    painter->setBrushOrigin(r.topLeft());
    painter->drawRect(r.left(), r.top(), r.width(), 1);
    painter->drawRect(r.left(), r.bottom(), r.width(), 1);
    painter->drawRect(r.left(), r.top() + 1, 1, r.height() - 2);
    painter->drawRect(r.right(), r.top() + 1, 1, r.height() - 2);
    painter->restore();
}

void SkinStyle::drawCheckIndicator(const QStyleOption &option, QPainter *painter) const
{
    const SkinColours &c = colours();
    const bool enabled = option.state & State_Enabled;
    const bool pressed = option.state & State_Sunken;
    const QRect &r = option.rect;
    const QRect inner = r.adjusted(1, 1, -1, -1);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(colour(enabled ? c.border : c.disabledBorder));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(r.adjusted(0, 0, -1, -1));
    if (!enabled) {
        painter->fillRect(inner, colour(c.disabledFace));
    } else if (pressed) {
        painter->fillRect(inner, vertical(inner, c.pressedShadow, c.pressedFace));
    } else {
        QLinearGradient face(inner.topLeft(), inner.bottomRight());
        face.setColorAt(0, colour(c.faceBottom));
        face.setColorAt(1, colour(c.faceTop));
        if (option.state & State_MouseOver) {
            painter->fillRect(inner, vertical(inner, c.hoverTop, c.hoverBottom));
            painter->fillRect(inner.adjusted(2, 2, -2, -2), face);
        } else {
            painter->fillRect(inner, face);
        }
    }

    const QColor mark = colour(enabled ? c.mark : c.disabledText);
    const QPoint origin = r.topLeft() + QPoint((r.width() - 13) / 2, (r.height() - 13) / 2);
    if (option.state & State_On) {
        // The classic seven-column tick, three pixels thick.
        constexpr std::array<int, 7> tops = {5, 6, 7, 6, 5, 4, 3};
        for (int i = 0; i < int(tops.size()); ++i)
            painter->fillRect(QRect(origin + QPoint(3 + i, tops[size_t(i)]), QSize(1, 3)), mark);
    } else if (option.state & State_NoChange) {
        painter->fillRect(QRect(origin + QPoint(3, 3), QSize(7, 7)), mark);
    }
    painter->restore();
}

void SkinStyle::drawRadioIndicator(const QStyleOption &option, QPainter *painter) const
{
    const SkinColours &c = colours();
    const bool enabled = option.state & State_Enabled;
    const QRect &r = option.rect;
    const QRectF outline = outlineOf(r);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(r.topLeft(), r.bottomRight());
    face.setColorAt(0, colour(c.faceBottom));
    face.setColorAt(1, colour(c.faceTop));
    if (!enabled)
        painter->setBrush(colour(c.disabledFace));
    else if (option.state & State_Sunken)
        painter->setBrush(vertical(r, c.pressedShadow, c.pressedFace));
    else
        painter->setBrush(face);
    painter->setPen(QPen(colour(enabled ? c.border : c.disabledBorder), 1));
    painter->drawEllipse(outline);
    if (enabled && option.state & State_MouseOver && !(option.state & State_Sunken)) {
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(QBrush(vertical(r, c.hoverTop, c.hoverBottom)), 2));
        painter->drawEllipse(QRectF(r).adjusted(2, 2, -2, -2));
    }
    if (option.state & State_On) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(colour(enabled ? c.mark : c.disabledText));
        painter->drawEllipse(QRectF(r).center(), 2.5, 2.5);
    }
    painter->restore();
}

void SkinStyle::drawEditFrame(const QStyleOption &option, QPainter *painter, bool fill) const
{
    const SkinColours &c = colours();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    if (fill)
        painter->fillRect(option.rect.adjusted(1, 1, -1, -1), option.palette.brush(QPalette::Base));
    painter->setPen(colour(option.state & State_Enabled ? c.editFrame : c.disabledBorder));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

void SkinStyle::drawGroupFrame(const QStyleOption &option, QPainter *painter) const
{
    const SkinColours &c = colours();
    const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(&option);
    painter->save();
    painter->setPen(QPen(colour(option.state & State_Enabled ? c.groupFrame : c.disabledBorder), 1));
    painter->setBrush(Qt::NoBrush);
    if (frame && frame->features & QStyleOptionFrame::Flat) {
        painter->drawLine(option.rect.topLeft(), option.rect.topRight());
    } else {
        painter->setRenderHint(QPainter::Antialiasing);
        painter->drawRoundedRect(outlineOf(option.rect), kButtonRadius, kButtonRadius);
    }
    painter->restore();
}

// The classic layout with the skin's frame and title colour.
void SkinStyle::drawGroupBox(const QStyleOptionGroupBox &group, QPainter *painter,
                             const QWidget *widget) const
{
    QStyleOptionGroupBox skinned = group;
    skinned.textColor = colour(group.state & State_Enabled ? colours().groupTitle : colours().disabledText);
    QProxyStyle::drawComplexControl(CC_GroupBox, &skinned, painter, widget);
}

void SkinStyle::drawComboBox(const QStyleOptionComboBox &combo, QPainter *painter,
                             const QWidget *widget) const
{
    const bool enabled = combo.state & State_Enabled;
    if (combo.subControls & SC_ComboBoxFrame) {
        if (combo.frame)
            drawEditFrame(combo, painter, true);
        else
            painter->fillRect(combo.rect, combo.palette.brush(QPalette::Base));
    }
    if (combo.subControls & SC_ComboBoxArrow) {
        const QRect arrow = proxy()->subControlRect(CC_ComboBox, &combo, SC_ComboBoxArrow, widget);
        State state = combo.state & (State_Enabled | State_MouseOver);
        if (combo.activeSubControls == SC_ComboBoxArrow && combo.state & State_Sunken)
            state |= State_Sunken;
        drawArrowButton(arrow, state, painter);
        drawArrow(PE_IndicatorArrowDown, combo, arrow.adjusted(3, 3, -3, -3), enabled, painter, widget);
    }
    if (combo.subControls & SC_ComboBoxEditField) {
        // As in the classic style, the pen chosen here is the one the current
        // text (CE_ComboBoxLabel) is drawn with.
        const bool focused = combo.state & State_HasFocus && !combo.editable;
        const QRect field = proxy()->subControlRect(CC_ComboBox, &combo, SC_ComboBoxEditField, widget);
        if (focused)
            painter->fillRect(field, combo.palette.brush(QPalette::Highlight));
        painter->setPen(focused ? combo.palette.highlightedText().color() : combo.palette.text().color());
        painter->setBackground(focused ? combo.palette.highlight() : combo.palette.base());
        if (focused) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(combo);
            focus.rect = proxy()->subElementRect(SE_ComboBoxFocusRect, &combo, widget);
            focus.state |= State_FocusAtBorder;
            focus.backgroundColor = combo.palette.highlight().color();
            QProxyStyle::drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
        }
    }
}

void SkinStyle::drawSpinBox(const QStyleOptionSpinBox &spin, QPainter *painter,
                            const QWidget *widget) const
{
    if (spin.frame && spin.subControls & SC_SpinBoxFrame) {
        QStyleOption frame = spin;
        frame.rect = proxy()->subControlRect(CC_SpinBox, &spin, SC_SpinBoxFrame, widget);
        drawEditFrame(frame, painter, true);
    }
    if (spin.buttonSymbols == QAbstractSpinBox::NoButtons)
        return;
    const bool plusMinus = spin.buttonSymbols == QAbstractSpinBox::PlusMinus;
    struct Part {
        SubControl control;
        QAbstractSpinBox::StepEnabledFlag step;
        PrimitiveElement symbol;
    };
    const std::array<Part, 2> parts = {{
        {SC_SpinBoxUp, QAbstractSpinBox::StepUpEnabled, plusMinus ? PE_IndicatorSpinPlus : PE_IndicatorSpinUp},
        {SC_SpinBoxDown, QAbstractSpinBox::StepDownEnabled, plusMinus ? PE_IndicatorSpinMinus : PE_IndicatorSpinDown},
    }};
    for (const Part &part : parts) {
        if (!(spin.subControls & part.control))
            continue;
        const QRect rect = proxy()->subControlRect(CC_SpinBox, &spin, part.control, widget);
        const bool enabled = spin.state & State_Enabled && spin.stepEnabled & part.step;
        State state = enabled ? State_Enabled : State_None;
        if (spin.activeSubControls == part.control)
            state |= spin.state & (State_Sunken | State_MouseOver);
        drawArrowButton(rect, state, painter);
        drawArrow(part.symbol, spin, rect.adjusted(4, 1, -5, -1), enabled, painter, widget);
    }
}

// The small raised buttons of combo and spin boxes.
void SkinStyle::drawArrowButton(const QRect &rect, QStyle::State state, QPainter *painter) const
{
    if (rect.isEmpty())
        return;
    const SkinColours &c = colours();
    const bool enabled = state & State_Enabled;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (!enabled) {
        painter->setBrush(colour(c.disabledFace));
    } else if (state & State_Sunken) {
        painter->setBrush(vertical(rect, c.arrowBottom, c.arrowTop));
    } else if (state & State_MouseOver) {
        QLinearGradient face = vertical(rect, c.arrowTop, c.arrowBottom);
        face.setColorAt(1, colour(c.arrowBottom).lighter(108));
        painter->setBrush(face);
    } else {
        painter->setBrush(vertical(rect, c.arrowTop, c.arrowBottom));
    }
    painter->setPen(QPen(colour(enabled ? c.arrowBorder : c.disabledBorder), 1));
    painter->drawRoundedRect(outlineOf(rect), 2, 2);
    painter->restore();
}

// The base style's arrow glyphs, in the skin's colours.
void SkinStyle::drawArrow(PrimitiveElement arrow, const QStyleOption &from, const QRect &rect,
                          bool enabled, QPainter *painter, const QWidget *widget) const
{
    QStyleOption option = from;
    option.rect = rect;
    option.state = State_Enabled;
    option.palette.setColor(QPalette::ButtonText, colour(enabled ? colours().border : colours().disabledText));
    QProxyStyle::drawPrimitive(arrow, &option, painter, widget);
}

const SkinStyle *activeSkin()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return nullptr;
    return qobject_cast<const SkinStyle *>(QApplication::style());
}

int applySkinStyle(int style)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return 0;
    if (SkinStyle::isColourStyle(style)) {
        // setStyle unpolishes every control with the style in force (an older
        // skin gives its controls back) before the new skin polishes them, and
        // deletes the old style. The application takes ownership of the new one.
        QApplication::setStyle(new SkinStyle(style));
        return style;
    }
    const QStyle *current = QApplication::style();
    const bool classic = !qobject_cast<const SkinStyle *>(current)
        && current->name().compare(QLatin1String("windows"), Qt::CaseInsensitive) == 0;
    if (!classic)
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    return 0;
}

} // namespace tarnelo
