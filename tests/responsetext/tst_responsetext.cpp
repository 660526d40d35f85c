// Answer bodies as the user is shown them: cut at the first zero byte and
// decoded from GBK.

#include "core/responsetext.h"

#include <QTest>

namespace {

const QChar replacement(QChar::ReplacementCharacter);

} // namespace

class TestResponseText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bytesBeforeZero_data();
    void bytesBeforeZero();
    void bytesToText_data();
    void bytesToText();
};

void TestResponseText::bytesBeforeZero_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("before");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("zero first") << QByteArray("\0abc", 4) << QByteArray();
    QTest::newRow("zero in the middle") << QByteArray("ab\0cd\0e", 7) << QByteArray("ab");
    QTest::newRow("zero last") << QByteArray("abc\0", 4) << QByteArray("abc");
    QTest::newRow("no zero, high bytes kept") << QByteArray("\xC4\xE3\xFF\x01") << QByteArray("\xC4\xE3\xFF\x01");
}

void TestResponseText::bytesBeforeZero()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, before);
    QCOMPARE(tarnelo::bytesBeforeZero(bytes), before);
}

void TestResponseText::bytesToText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("zero first") << QByteArray("\0OK", 3) << QString();
    QTest::newRow("zero in the middle") << QByteArray("OK\0junk", 7) << QStringLiteral("OK");
    QTest::newRow("zero after Chinese") << QByteArray("\xC4\xE3\0\xBA\xC3", 5) << QString::fromUtf8("你");
    QTest::newRow("plain ASCII") << QByteArray("{\"ret\":0,\"msg\":\"ok\"}") << QStringLiteral("{\"ret\":0,\"msg\":\"ok\"}");
    QTest::newRow("GBK Chinese") << QByteArray("\xC4\xE3\xBA\xC3") << QString::fromUtf8("你好");
    QTest::newRow("GBK among ASCII") << QByteArray("ret=0 \xB3\xC9\xB9\xA6") << QString::fromUtf8("ret=0 成功");
    QTest::newRow("invalid trail byte keeps the rest")
        << QByteArray("a\xC4!b") << (QStringLiteral("a") + replacement + QStringLiteral("!b"));
    QTest::newRow("lone lead byte at the end") << QByteArray("ab\xC4") << (QStringLiteral("ab") + replacement);
    QTest::newRow("lone lead byte alone") << QByteArray("\xC4") << QString(replacement);
    QTest::newRow("lone lead byte before a final newline")
        << QByteArray("ab\xC4\n") << (QStringLiteral("ab") + replacement + QStringLiteral("\n"));
    QTest::newRow("final newline kept") << QByteArray("ok\n") << QStringLiteral("ok\n");
    QTest::newRow("final blank line kept") << QByteArray("ok\r\n\r\n") << QStringLiteral("ok\r\n\r\n");
    QTest::newRow("HTML stays source text")
        << QByteArray("<html><body><p>&amp; \xC4\xE3</p></body></html>")
        << QString::fromUtf8("<html><body><p>&amp; 你</p></body></html>");
}

void TestResponseText::bytesToText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(tarnelo::bytesToText(bytes), text);
}

QTEST_GUILESS_MAIN(TestResponseText)
#include "tst_responsetext.moc"
