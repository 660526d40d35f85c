#include "app/windowing.h"

#include "core/geometry.h"

#include <QFont>
#include <QGuiApplication>
#include <QMargins>
#include <QVariant>
#include <QScreen>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

namespace tarnelo::windowing {
namespace {

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template<typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

xcb_connection_t *x11Connection()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    XcbReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

bool hasProperty(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                 uint32_t *values, int count)
{
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, type, 0, uint32_t(count)), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4 * count)
        return false;
    if (values)
        std::memcpy(values, xcb_get_property_value(reply.get()), size_t(4 * count));
    return true;
}

// Asks the window manager which frame it will give this (still unmapped) window.
// Zero margins when there is no window manager or it does not answer in time.
QMargins requestFrameExtents(QWidget *window)
{
    xcb_connection_t *c = x11Connection();
    if (!c)
        return {};
    const xcb_window_t id = xcb_window_t(window->winId());
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    if (!hasProperty(c, root, atom(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, nullptr, 1))
        return {};

    const xcb_atom_t extents = atom(c, "_NET_FRAME_EXTENTS");
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = id;
    request.type = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&request));
    xcb_flush(c);

    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(250);
    uint32_t ltrb[4] = {};
    while (!hasProperty(c, id, extents, XCB_ATOM_CARDINAL, ltrb, 4)) {
        if (steady_clock::now() > deadline)
            return {};
        std::this_thread::sleep_for(milliseconds(2));
    }
    return QMargins(int(ltrb[0]), int(ltrb[2]), int(ltrb[1]), int(ltrb[3]));
}

// What the window manager said of the frame before the window was mapped; Qt
// itself learns it only once the window is on screen.
constexpr char assumedFrameProperty[] = "tarneloAssumedFrame";

QMargins currentFrameMargins(const QWidget *window)
{
    const QRect outer = window->frameGeometry();
    const QRect client = window->geometry();
    const QMargins known(client.left() - outer.left(), client.top() - outer.top(), outer.right() - client.right(),
                         outer.bottom() - client.bottom());
    if (!known.isNull())
        return known;
    return window->property(assumedFrameProperty).value<QMargins>();
}

// Before the window is mapped Qt knows no frame, so move() places the client area.
void setClientRect(QWidget *window, const QRect &outer, const QMargins &frame)
{
    const QRect client = outer - frame;
    window->setFixedSize(client.size().expandedTo(QSize(0, 0)));
    window->move(client.topLeft());
}

// Once the window is mapped the window manager may still change its mind about
// the frame; the outer rectangle is corrected whenever the frame is first known.
class OuterGeometryKeeper : public QObject
{
public:
    OuterGeometryKeeper(QWidget *window, const QMargins &assumed)
        : QObject(window), m_window(window), m_assumed(assumed)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && (event->type() == QEvent::Move || event->type() == QEvent::Resize
                                    || event->type() == QEvent::Show))
            correct();
        return false;
    }

private:
    void correct()
    {
        const QRect client = m_window->geometry();
        const QRect outer = m_window->frameGeometry();
        const QMargins frame(client.left() - outer.left(), client.top() - outer.top(),
                             outer.right() - client.right(), outer.bottom() - client.bottom());
        if (frame.isNull() || frame == m_assumed) {
            if (!frame.isNull())
                deleteLater();  // the frame is as expected: nothing more to watch
            return;
        }
        // The outer rectangle meant so far: the client plus the frame assumed.
        const QRect meant = client + m_assumed;
        m_window->setProperty(assumedFrameProperty, QVariant::fromValue(frame));
        // Qt knows the frame now, so move() places the frame's corner.
        m_window->setFixedSize((meant - frame).size().expandedTo(QSize(0, 0)));
        m_window->move(meant.topLeft());
        deleteLater();
    }

    QWidget *m_window;
    QMargins m_assumed;
};

// Gives the hidden window the outer rectangle `outer` (frame included).
void placeByOuterRect(QWidget *window, const QRect &outer)
{
    // A fixed size before the native window exists is what makes the window
    // manager drop maximise and the resize handles.
    window->setFixedSize(outer.size());
    window->move(outer.topLeft());
    const QMargins frame = requestFrameExtents(window);
    window->setProperty(assumedFrameProperty, QVariant::fromValue(frame));
    setClientRect(window, outer, frame);
    new OuterGeometryKeeper(window, frame);
}

} // namespace

QSize primaryScreenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}

void prepareTopLevel(QWidget *window, const QString &caption, bool minimiseButton)
{
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                            | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (minimiseButton)
        flags |= Qt::WindowMinimizeButtonHint;
    window->setWindowFlags(flags);
    window->setWindowTitle(caption);
    window->setWindowIcon(applicationIcon());
}


void placeCentred(QWidget *window, const QSize &outerSize)
{
    const QSize screen = primaryScreenSize();
    const OuterRect outer = centredOuterRect(screen.width(), screen.height(), outerSize.width(), outerSize.height());
    placeByOuterRect(window, QRect(outer.left, outer.top, outer.width, outer.height));
}

void setOuterHeight(QWidget *window, int height)
{
    const QMargins frame = currentFrameMargins(window);
    const int clientHeight = std::max(0, height - frame.top() - frame.bottom());
    window->setFixedHeight(clientHeight);
}

QRect outerRect(const QWidget *window)
{
    return window->frameGeometry();
}

void restoreOrActivate(QWidget *window)
{
    if (window->isMinimized()) {
        window->showNormal();
        return;
    }
    window->raise();
    window->activateWindow();
}

QIcon applicationIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/icon-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icon-32.png"), QSize(32, 32));
    return icon;
}

QFont defaultGuiFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Sans Serif")});
    font.setPixelSize(12);
    return font;
}

void endProcess(int exitCode)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(exitCode);
}

} // namespace tarnelo::windowing
