// The baseline for the launcher's start-up: a bare Qt Widgets window of the same
// outer size, painted in the launcher's background colour.

#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {

class BareWindow : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), QColor(236, 236, 236)); }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BareWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.setFixedSize(361, 496);  // 363 x 517 with openbox's fixed frame
    window.move(330, 125);
    window.show();
    return QApplication::exec();
}
