#include "actions/infomessage.h"

#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

namespace tarnelo {
namespace {

// Share of the screen's free area that the text may cover before it scrolls.
QSize textRoom(const QRect &screen)
{
    return {screen.width() * 2 / 3, screen.height() / 2};
}

// Moves the box's own text label into a scroll area no larger than textRoom.
void scrollLongText(QMessageBox &box)
{
    auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    const int index = grid && label ? grid->indexOf(label) : -1;
    if (index < 0)
        return;
    const QSize room = textRoom(box.screen()->availableGeometry());
    const QSize natural = label->sizeHint();
    if (natural.width() <= room.width() && natural.height() <= room.height())
        return;
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    auto *scroll = new QScrollArea(&box);
    scroll->setObjectName(QStringLiteral("tarnelo_msgbox_scroll"));
    // A text control paints only what is in view and lets the user select text.
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    scroll->setWidget(label);
    scroll->setWidgetResizable(true);
    const int frame = 2 * scroll->frameWidth();
    const QSize bars(scroll->verticalScrollBar()->sizeHint().width(), scroll->horizontalScrollBar()->sizeHint().height());
    scroll->setFixedSize((natural + bars + QSize(frame, frame)).boundedTo(room));
    grid->addWidget(scroll, row, column, rowSpan, columnSpan);
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
    scrollLongText(box);
    box.exec();
}

} // namespace tarnelo
