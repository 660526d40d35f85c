#pragma once

// What each of the launcher's twenty buttons does when clicked. A guide button
// opens the browser window at its service's page and writes the instruction into
// the notice line; a reveal button opens the mobile log-in page and makes the
// browser window tall enough to show the three action buttons.

#include <QByteArray>
#include <QString>

#include <span>

namespace tarnelo {

enum class ButtonKind { Guide, Reveal };

struct GuideRow {
    QString controlName;  // 按钮1 .. 按钮20
    ButtonKind kind;
    QByteArray address;   // ASCII, handed on exactly as stored
    QString notice;       // guide rows only
};

// In the order 按钮1 .. 按钮20.
std::span<const GuideRow> guideTable();
const GuideRow *findGuideRow(const QString &controlName);

inline constexpr int revealedBrowserHeight = 700;

} // namespace tarnelo
