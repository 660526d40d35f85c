#include "core/responsetext.h"

#include <QStringDecoder>

namespace tarnelo {

QByteArray bytesBeforeZero(const QByteArray &bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return zero < 0 ? bytes : bytes.left(zero);
}

QString bytesToText(const QByteArray &bytes)
{
    const QByteArray text = bytesBeforeZero(bytes);
    if (text.isEmpty())
        return QString();
    QStringDecoder gbk("GBK");
    if (!gbk.isValid())
        return QString::fromLatin1(text);
    // The decoder keeps an unfinished lead byte at the end to itself and has no way
    // to flush it: a final newline makes it show as U+FFFD, then goes again.
    QString decoded = gbk.decode(text + '\n');
    if (decoded.endsWith(u'\n'))
        decoded.chop(1);
    return decoded;
}

} // namespace tarnelo
