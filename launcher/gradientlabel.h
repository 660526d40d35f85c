#pragma once

#include "core/gradient.h"

#include <QColor>
#include <QWidget>

#include <array>

namespace tarnelo {

// How a launcher label looks: three gradient stops from top to bottom, its text
// colour and alignment, and whether the text is raised (a copy drawn one pixel
// right and down first).
struct GradientLabelLook {
    std::array<Rgb, 3> stops;
    Rgb textColour;
    Qt::Alignment alignment;
    bool raised;
};

// A label that paints its whole area itself, row by row, and its text straight
// over the gradient. It takes no focus and raises no events.
class GradientLabel : public QWidget
{
    Q_OBJECT

public:
    GradientLabel(const QString &text, const GradientLabelLook &look, QWidget *parent);

    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    GradientLabelLook m_look;
};

} // namespace tarnelo
