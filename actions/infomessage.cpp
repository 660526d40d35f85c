#include "actions/infomessage.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>

namespace tarnelo {
namespace {

// The share of the screen's free area that the text may cover.
QSize textRoom(const QRect &screen)
{
    return {screen.width() * 2 / 3, screen.height() / 2};
}

// The width of the widest line, or of the first line found wider than `room`;
// nothing is measured when the lines alone are too many.
int measuredWidth(const QStringList &lines, const QFontMetrics &metrics, const QSize &room)
{
    if (qsizetype(lines.size()) * metrics.lineSpacing() > room.height())
        return room.width() + 1;
    int widest = 0;
    for (const QString &line : lines) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
        if (widest > room.width())
            break;
    }
    return widest;
}

// A text too large for the screen goes into a read-only text view in the
// label's place: it scrolls, wraps long lines and lays out only what is in
// view (a label would lay out a megabyte at every size query). The label stays,
// hidden, so the box still holds the text.
void scrollLongText(QMessageBox &box, const QString &text)
{
    auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    const int index = grid && label ? grid->indexOf(label) : -1;
    if (index < 0)
        return;
    const QSize room = textRoom(box.screen()->availableGeometry());
    const QStringList lines = text.split(u'\n');
    const QFontMetrics metrics(label->font());
    const int widest = measuredWidth(lines, metrics, room);
    const int tallest = int(lines.size()) * metrics.lineSpacing();
    if (widest <= room.width() && tallest <= room.height())
        return;

    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    auto *view = new QPlainTextEdit(&box);
    view->setObjectName(QStringLiteral("tarnelo_msgbox_text"));
    view->setReadOnly(true);
    view->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    view->setFont(label->font());
    view->setPlainText(text);
    const int chrome = 2 * (view->frameWidth() + int(view->document()->documentMargin()))
        + view->verticalScrollBar()->sizeHint().width();
    const bool wraps = widest > room.width();
    view->setFixedSize(wraps ? room.width() : widest + chrome,
                       wraps ? room.height() : std::min(room.height(), tallest + chrome));
    label->hide();
    grid->addWidget(view, row, column, rowSpan, columnSpan);
}

} // namespace

void showInfoMessage(const QString &text)
{
    QMessageBox box;
    box.setWindowTitle(QString::fromUtf8("信息："));
    box.setIcon(QMessageBox::NoIcon);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    scrollLongText(box, text);
    box.exec();
}

} // namespace tarnelo
