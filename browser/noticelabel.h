#pragma once

#include <QColor>
#include <QWidget>

namespace tarnelo {

// The browser window's one-line notice: red text with no background of its own,
// so the window's background shows around and between the letters.
class NoticeLabel : public QWidget
{
    Q_OBJECT

public:
    NoticeLabel(const QString &text, QWidget *parent);

    QString text() const { return m_text; }
    // Takes a copy; the area under the old text is repainted from the window's
    // background first, so nothing of a longer earlier text remains.
    void setText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QColor m_colour{255, 0, 0};
};

} // namespace tarnelo
