// The baseline for the browser window: a bare QWebEngineView in a window of the
// same outer size and place (716 x 636 at 154,66), loading the given address at
// start, with the given text painted in red where the browser window shows its
// notice, so the same screen watcher sees both.
//
// usage: bench_bareview URL NOTICE

#include <QApplication>
#include <QPainter>
#include <QUrl>
#include <QWebEngineView>
#include <QWidget>

#include <cstdio>

namespace {

class BareView : public QWidget
{
public:
    BareView(const QUrl &url, const QString &notice) : m_view(new QWebEngineView(this)), m_notice(notice)
    {
        setWindowTitle(QStringLiteral("Bare view"));
        setFixedSize(714, 615);  // 716 x 636 with openbox's fixed frame
        move(154, 66);
        m_view->setGeometry(0, 0, 704, 560);
        m_view->load(url);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(236, 236, 236));
        painter.setPen(QColor(255, 0, 0));
        painter.drawText(QRect(8, 568, 696, 24), int(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine),
                         m_notice);
    }

private:
    QWebEngineView *m_view;
    QString m_notice;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s URL NOTICE\n", argv[0]);
        return 2;
    }
    BareView window(QUrl::fromEncoded(argv[1]), QString::fromUtf8(argv[2]));
    window.show();
    return QApplication::exec();
}
