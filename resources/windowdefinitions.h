#pragma once

// The two windows as designed: caption, outer size, frame buttons and every
// control in creation order with its rectangle (relative to the client area; it
// may reach past it and is then clipped), its caption and its look. The code that
// builds each window reads these tables and nothing else.

#include <QRect>
#include <QString>

#include <span>

namespace tarnelo {

enum class ControlKind { PushButton, GradientLabel, NoticeLabel, WebBrowserBox };

struct ControlRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const ControlRect &, const ControlRect &) = default;
};

struct ControlDefinition {
    const char *name;     // the designed name, also the widget's objectName
    ControlKind kind;
    ControlRect rect;
    const char *caption;  // UTF-8
};

struct WindowDefinition {
    const char *caption;  // UTF-8
    int outerWidth;
    int outerHeight;
    bool minimiseButton;
    std::span<const ControlDefinition> controls;
};

const WindowDefinition &launcherWindowDefinition();
const WindowDefinition &browserWindowDefinition();

// Looks up a control by its designed name; nullptr when the window has none.
const ControlDefinition *findControl(const WindowDefinition &window, const char *name);

inline QString text(const char *utf8) { return QString::fromUtf8(utf8); }

inline QRect toQRect(const ControlRect &r) { return QRect(r.left, r.top, r.width, r.height); }

} // namespace tarnelo
