// The banner decoder against the real banner, damaged copies of it, other
// files, and small pictures encoded here with libjpeg in several layouts.

#include "launcher/bannerimage.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include <jpeglib.h>

using tarnelo::BannerImage;
using tarnelo::decodeJpeg;

namespace {

enum class Encoding { Full444, Subsampled420, Progressive, Grey };

// libjpeg's compressor writing into memory; frees both on scope exit.
struct JpegEncoder
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    unsigned char *buffer = nullptr;
    unsigned long size = 0;

    JpegEncoder()
    {
        info.err = jpeg_std_error(&errors);
        jpeg_create_compress(&info);
        jpeg_mem_dest(&info, &buffer, &size);
    }
    JpegEncoder(const JpegEncoder &) = delete;
    JpegEncoder &operator=(const JpegEncoder &) = delete;
    ~JpegEncoder()
    {
        jpeg_destroy_compress(&info);
        std::free(buffer);
    }
};

QByteArray encodeJpeg(const QImage &picture, Encoding encoding)
{
    const bool grey = encoding == Encoding::Grey;
    const QImage pixels =
        picture.convertToFormat(grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    JpegEncoder jpeg;
    jpeg.info.image_width = JDIMENSION(pixels.width());
    jpeg.info.image_height = JDIMENSION(pixels.height());
    jpeg.info.input_components = grey ? 1 : 3;
    jpeg.info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&jpeg.info);
    jpeg_set_quality(&jpeg.info, 95, TRUE);
    if (encoding == Encoding::Full444) {
        jpeg.info.comp_info[0].h_samp_factor = 1;
        jpeg.info.comp_info[0].v_samp_factor = 1;
    }
    if (encoding == Encoding::Progressive)
        jpeg_simple_progression(&jpeg.info);
    jpeg_start_compress(&jpeg.info, TRUE);
    for (int y = 0; y < pixels.height(); ++y) {
        JSAMPROW row = const_cast<uchar *>(pixels.constScanLine(y));
        jpeg_write_scanlines(&jpeg.info, &row, 1);
    }
    jpeg_finish_compress(&jpeg.info);
    return QByteArray(reinterpret_cast<const char *>(jpeg.buffer), qsizetype(jpeg.size));
}

constexpr int blockSize = 16;

QImage colourBlocks(const QList<QRgb> &colours)
{
    QImage picture(blockSize * int(colours.size()), blockSize, QImage::Format_RGB32);
    for (int x = 0; x < picture.width(); ++x)
        for (int y = 0; y < picture.height(); ++y)
            picture.setPixel(x, y, colours.at(x / blockSize));
    return picture;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray randomBytes(quint32 seed, int count)
{
    QByteArray bytes(count, Qt::Uninitialized);
    QRandomGenerator generator(seed);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

struct Segment
{
    int marker = 0;
    qsizetype offset = 0; // of the segment's payload
    QByteArray payload;
};

// The marker segments from SOI up to and including the first SOS.
QList<Segment> headerSegments(const QByteArray &jpeg)
{
    QList<Segment> segments;
    qsizetype at = 2;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xff) {
        const int marker = uchar(jpeg[at + 1]);
        const int length = uchar(jpeg[at + 2]) << 8 | uchar(jpeg[at + 3]);
        segments.append({marker, at + 4, jpeg.mid(at + 4, length - 2)});
        if (marker == 0xda)
            break;
        at += 2 + length;
    }
    return segments;
}

qsizetype endOfHeader(const QByteArray &jpeg)
{
    const Segment sos = headerSegments(jpeg).constLast();
    return sos.offset + sos.payload.size();
}

// Claims a frame of 65000 x 65000 pixels in an otherwise intact header.
QByteArray withHugeFrame(QByteArray jpeg)
{
    for (const Segment &segment : headerSegments(jpeg)) {
        if (segment.marker == 0xc0) {
            jpeg.replace(segment.offset + 1, 4, QByteArray::fromHex("fde8fde8"));
            break;
        }
    }
    return jpeg;
}

// Everything written to file descriptor 2 while it lives.
class StderrCapture
{
public:
    StderrCapture()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        dup2(m_file.handle(), STDERR_FILENO);
    }
    StderrCapture(const StderrCapture &) = delete;
    StderrCapture &operator=(const StderrCapture &) = delete;
    ~StderrCapture() { restore(); }

    QByteArray text()
    {
        restore();
        m_file.seek(0);
        return m_file.readAll();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved = -1;
};

} // namespace

Q_DECLARE_METATYPE(Encoding)

class TestBannerImage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void decodesWholeOrNothing_data();
    void decodesWholeOrNothing();
    void decodesColours_data();
    void decodesColours();
    void committedBannerIsBaseline444();
};

void TestBannerImage::init()
{
    // QImage and friends complain through qWarning; the decoder must not.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
}

void TestBannerImage::decodesWholeOrNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size"); // invalid: a null image is expected

    const QByteArray banner = tarnelo::bannerJpegBytes();
    const QByteArray header = banner.left(endOfHeader(banner));
    QVERIFY(header.size() > 100 && header.size() < banner.size() - 1000);
    const QByteArray png = readFile(QStringLiteral(":/icon-32.png"));
    QVERIFY(png.startsWith("\x89PNG"));

    QTest::newRow("banner") << banner << QSize(357, 139);
    QTest::newRow("empty") << QByteArray() << QSize();
    QTest::newRow("random bytes") << randomBytes(1, 4096) << QSize();
    QTest::newRow("start of image, then random bytes")
        << QByteArray::fromHex("ffd8") + randomBytes(2, 4096) << QSize();
    QTest::newRow("banner cut inside its header") << banner.left(300) << QSize();
    QTest::newRow("banner cut in half") << banner.left(banner.size() / 2) << QSize();
    QTest::newRow("banner missing its last 16 bytes") << banner.chopped(16) << QSize();
    QTest::newRow("banner header, random scan data")
        << header + randomBytes(3, 8000) << QSize();
    QTest::newRow("banner header, no scan data")
        << header + QByteArray::fromHex("ffd9") << QSize();
    QTest::newRow("header claiming 65000x65000") << withHugeFrame(banner) << QSize();
    QTest::newRow("png") << png << QSize();
}

void TestBannerImage::decodesWholeOrNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);

    StderrCapture stderrCapture;
    const QImage decoded = decodeJpeg(bytes);
    const BannerImage banner(bytes);
    const QImage &kept = banner.image();
    QCOMPARE(stderrCapture.text(), QByteArray());

    QCOMPARE(decoded.isNull(), !size.isValid());
    if (size.isValid()) {
        QCOMPARE(decoded.size(), size);
        QCOMPARE(decoded.format(), QImage::Format_RGB32);
    }
    QCOMPARE(kept, decoded);
    QCOMPARE(&banner.image(), &kept);
}

void TestBannerImage::decodesColours_data()
{
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<QList<QRgb>>("colours");

    const QList<QRgb> colours = {0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffff00,
                                 0xff00ffff, 0xffff00ff, 0xffffffff, 0xff000000,
                                 0xffff8a00, 0xff1f8ef0};
    const QList<QRgb> greys = {0xff000000, 0xff242424, 0xff494949, 0xff6d6d6d,
                               0xff929292, 0xffb6b6b6, 0xffdbdbdb, 0xffffffff};

    QTest::newRow("baseline 4:4:4") << Encoding::Full444 << colours;
    QTest::newRow("baseline 4:2:0") << Encoding::Subsampled420 << colours;
    QTest::newRow("progressive") << Encoding::Progressive << colours;
    QTest::newRow("greyscale") << Encoding::Grey << greys;
}

void TestBannerImage::decodesColours()
{
    QFETCH(Encoding, encoding);
    QFETCH(QList<QRgb>, colours);

    const QImage decoded = decodeJpeg(encodeJpeg(colourBlocks(colours), encoding));
    QCOMPARE(decoded.size(), QSize(blockSize * int(colours.size()), blockSize));
    QCOMPARE(decoded.format(), QImage::Format_RGB32);

    constexpr int tolerance = 8;
    for (int block = 0; block < colours.size(); ++block) {
        const QRgb want = colours.at(block);
        const QRgb got = decoded.pixel(block * blockSize + blockSize / 2, blockSize / 2);
        const bool close = qAbs(qRed(got) - qRed(want)) <= tolerance
                           && qAbs(qGreen(got) - qGreen(want)) <= tolerance
                           && qAbs(qBlue(got) - qBlue(want)) <= tolerance
                           && qAlpha(got) == 255;
        QVERIFY2(close, qPrintable(QStringLiteral("block %1: want #%2, got #%3")
                                       .arg(block)
                                       .arg(want, 8, 16, QLatin1Char('0'))
                                       .arg(got, 8, 16, QLatin1Char('0'))));
    }
}

void TestBannerImage::committedBannerIsBaseline444()
{
    const QByteArray jpeg = readFile(QStringLiteral(TARNELO_BANNER_FILE));
    QVERIFY(jpeg.startsWith(QByteArray::fromHex("ffd8")));
    QCOMPARE(tarnelo::bannerJpegBytes(), jpeg);

    QList<Segment> frames;
    for (const Segment &segment : headerSegments(jpeg)) {
        const int m = segment.marker;
        if (m >= 0xc0 && m <= 0xcf && m != 0xc4 && m != 0xc8 && m != 0xcc)
            frames.append(segment);
    }
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames[0].marker, 0xc0); // SOF0: baseline, Huffman, sequential

    // precision, height, width, components, then id / sampling / table each
    const QByteArray expected = QByteArray::fromHex("08008b016503" "011100" "021101" "031101");
    QCOMPARE(frames[0].payload.toHex(), expected.toHex());
}

QTEST_GUILESS_MAIN(TestBannerImage)
#include "tst_bannerimage.moc"
