#pragma once

// Turning an answer's body into the text the user is shown.

#include <QByteArray>
#include <QString>

namespace tarnelo {

// The bytes up to, not including, the first zero byte.
QByteArray bytesBeforeZero(const QByteArray &bytes);

// bytesBeforeZero, decoded from GBK (code page 936); invalid sequences become U+FFFD.
QString bytesToText(const QByteArray &bytes);

} // namespace tarnelo
