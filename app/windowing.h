#pragma once

// The thin layer over Qt that both windows stand on: fixed top-level frames
// placed by their outer (frame-inclusive) rectangle, the application's one font
// and icon, and ending the process.
//
// On X11 the window manager owns the frame, and it reports the frame's size only
// for a window that exists. A window is therefore prepared in two steps: its
// native window is made while it is still hidden, the frame extents are asked for
// and the client rectangle is shrunk so that the outer rectangle comes out exact;
// should the frame change once the window is mapped, the rectangle is corrected
// again (see OuterGeometryKeeper).

#include <QIcon>
#include <QRect>
#include <QSize>

class QWidget;
class QFont;

namespace tarnelo::windowing {

// The whole primary screen, task bar included.
QSize primaryScreenSize();

// Caption, icon and a fixed frame without maximise; minimise only when asked.
void prepareTopLevel(QWidget *window, const QString &caption, bool minimiseButton);

// Places the hidden window, `outerSize` frame included, centred on the whole
// primary screen.
void placeCentred(QWidget *window, const QSize &outerSize);

// The outer height changes; width and top-left corner stay, the window is
// neither activated nor raised.
void setOuterHeight(QWidget *window, int height);

// The rectangle the window manager reports, frame included (the client rectangle
// when there is no window manager).
QRect outerRect(const QWidget *window);

// Opens a window that exists: restores it when minimised, else brings it to the
// front and activates it.
void restoreOrActivate(QWidget *window);

QIcon applicationIcon();

// The one font of every window and control: a sans font with Chinese glyphs at
// about 12 pixels (9 points at 96 dpi).
QFont defaultGuiFont();

// Ends the process with `exitCode`; nothing of the program runs afterwards.
[[noreturn]] void endProcess(int exitCode);

} // namespace tarnelo::windowing
