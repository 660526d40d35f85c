#pragma once

// The control skin: push buttons, check boxes, radio buttons, group boxes, framed
// line edits, combo and spin boxes in the look of Windows XP's Luna theme, drawn
// over Qt's classic "Windows" style. Everything else (labels, the web view,
// scroll and progress bars...) keeps the classic drawing, and no control changes
// size: the windows are laid out in fixed pixel rectangles.
//
// The skin is an application style, so QApplication::setStyle hands it every
// existing widget and every widget made later (message boxes included); the
// previous style unpolishes everything before the new one polishes it.

#include <QHash>
#include <QProxyStyle>
#include <QRgb>

class QStyleOptionButton;
class QStyleOptionComboBox;
class QStyleOptionGroupBox;
class QStyleOptionSpinBox;

namespace tarnelo {

// The colours of one skin style; the styles differ in nothing else.
struct SkinColours {
    QRgb border;                       // outline of buttons and indicators
    QRgb faceTop, faceBottom;          // raised face, top to bottom
    QRgb hoverTop, hoverBottom;        // ring while the mouse is over
    QRgb focusTop, focusBottom;        // ring of the focused or default button
    QRgb pressedShadow, pressedFace;   // sunken face: shaded top, flat rest
    QRgb disabledBorder, disabledFace, disabledText;
    QRgb text;                         // captions, arrows
    QRgb mark;                         // check mark, radio dot
    QRgb editFrame;                    // line edits, combo and spin boxes
    QRgb arrowTop, arrowBottom, arrowBorder; // combo and spin box buttons
    QRgb groupFrame, groupTitle;
};

class SkinStyle : public QProxyStyle
{
    Q_OBJECT

public:
    // `colourStyle` 1, 2 or 3; anything else means 1.
    explicit SkinStyle(int colourStyle);

    static bool isColourStyle(int style) { return style >= 1 && style <= 3; }
    static const SkinColours &coloursOf(int colourStyle);

    int colourStyle() const { return m_colourStyle; }
    const SkinColours &colours() const { return coloursOf(m_colourStyle); }

    // The controls this skin has polished and not yet given back.
    int takenOverCount() const { return int(m_takenOver.size()); }
    bool isTakenOver(const QWidget *widget) const;

    using QProxyStyle::polish;
    using QProxyStyle::unpolish;
    void polish(QWidget *widget) override;
    void unpolish(QWidget *widget) override;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                       QPainter *painter, const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option,
                     QPainter *painter, const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget = nullptr) const override;

private:
    void forget(QObject *widget);

    void drawButton(const QStyleOptionButton &button, QPainter *painter, const QWidget *widget) const;
    void drawButtonBevel(const QStyleOptionButton &button, QPainter *painter, const QWidget *widget) const;
    void drawButtonLabel(const QStyleOptionButton &button, QPainter *painter, const QWidget *widget) const;
    void drawFocusRect(const QStyleOption &option, QPainter *painter) const;
    void drawCheckIndicator(const QStyleOption &option, QPainter *painter) const;
    void drawRadioIndicator(const QStyleOption &option, QPainter *painter) const;
    void drawEditFrame(const QStyleOption &option, QPainter *painter, bool fill) const;
    void drawGroupFrame(const QStyleOption &option, QPainter *painter) const;
    void drawGroupBox(const QStyleOptionGroupBox &group, QPainter *painter, const QWidget *widget) const;
    void drawComboBox(const QStyleOptionComboBox &combo, QPainter *painter, const QWidget *widget) const;
    void drawSpinBox(const QStyleOptionSpinBox &spin, QPainter *painter, const QWidget *widget) const;
    void drawArrowButton(const QRect &rect, QStyle::State state, QPainter *painter) const;
    void drawArrow(PrimitiveElement arrow, const QStyleOption &from, const QRect &rect,
                   bool enabled, QPainter *painter, const QWidget *widget) const;

    int m_colourStyle = 1;
    // Taken-over control -> whether it followed the mouse (WA_Hover) before.
    QHash<const QObject *, bool> m_takenOver;
};

// The skin in force, or nullptr when the application runs another style.
const SkinStyle *activeSkin();

// 1, 2 or 3: the skin in that colour style (replacing a skin already in force);
// any other number: the classic "Windows" style. Returns the colour style now in
// force, 0 when the skin is off.
int applySkinStyle(int style);

} // namespace tarnelo
