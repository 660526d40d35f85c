#pragma once

#include <QString>

namespace tarnelo {

// The action's report: a message box captioned "信息：" with the text as plain
// text, whole and unchanged, one OK button and no icon, blocking every window of
// the program until it is closed. A text too large for the screen scrolls inside
// the box, so the box and its OK button stay on screen.
void showInfoMessage(const QString &text);

} // namespace tarnelo
