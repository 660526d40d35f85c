#pragma once

// The three icon actions of the browser window: each sends one fixed GET request.

#include <QByteArray>
#include <QString>

#include <span>

namespace tarnelo {

struct ActionRow {
    QString controlName;  // the browser window's 按钮1 .. 按钮3
    QByteArray address;   // plain HTTP, port 80, path and query byte for byte
};

std::span<const ActionRow> actionTable();
const ActionRow *findActionRow(const QString &controlName);

inline constexpr int actionPasses = 7;
inline constexpr int actionPassWaitMs = 500;

} // namespace tarnelo
