#include "launcher/bannerimage.h"

#include <QFile>

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <utility>

#include <jerror.h>
#include <jpeglib.h>

namespace tarnelo {

namespace {

// Far above any banner. A damaged header can claim 65500x65500 pixels; we
// refuse it before libjpeg (whole-image buffers for progressive files) or
// QImage reserve gigabytes for data that is not there.
constexpr qint64 maxPixels = 64 * 1024 * 1024;

// Writes straight into QImage::Format_RGB32 rows (0xffRRGGBB per pixel).
constexpr J_COLOR_SPACE rgb32ColorSpace =
    Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;

// libjpeg's error manager plus the place its fatal errors jump back to.
struct JpegErrors
{
    jpeg_error_mgr manager{}; // first member: libjpeg hands back &manager
    std::jmp_buf jump{};
};

// Owns one decompressor. jpeg_destroy_decompress frees all of libjpeg's
// memory, also after a jump out of the middle of a decode, and is harmless on
// a struct that was never created.
struct JpegDecompressor
{
    jpeg_decompress_struct info{};
    JpegErrors errors{};

    JpegDecompressor() = default;
    JpegDecompressor(const JpegDecompressor &) = delete;
    JpegDecompressor &operator=(const JpegDecompressor &) = delete;
    ~JpegDecompressor() { jpeg_destroy_decompress(&info); }
};

[[noreturn]] void jumpBack(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors *>(info->err)->jump, 1);
}

// Warnings (level -1) mostly mean the data is damaged or cut short: libjpeg
// would carry on and fill the rest with grey. Only the two about header
// details it does not know leave the picture intact. Trace messages are ignored.
void failOnDamage(j_common_ptr info, int level)
{
    if (level >= 0)
        return;
    const int code = info->err->msg_code;
    if (code != JWRN_ADOBE_XFORM && code != JWRN_JFIF_MAJOR)
        jumpBack(info);
}

void printNothing(j_common_ptr) {}

void installErrors(JpegDecompressor &jpeg)
{
    jpeg.info.err = jpeg_std_error(&jpeg.errors.manager);
    jpeg.errors.manager.error_exit = jumpBack;
    jpeg.errors.manager.emit_message = failOnDamage;
    jpeg.errors.manager.output_message = printNothing;
}

// Called between jpeg_start_decompress and the first scanline; no libjpeg
// call here, so nothing jumps over the temporary QImage.
bool allocate(QImage &image, const jpeg_decompress_struct &info)
{
    if (info.output_components != 4)
        return false;
    image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    return !image.isNull();
}

// The only frame with a setjmp. It holds no object with a destructor, so a
// jump back from libjpeg skips nothing; `image` and `jpeg` live in the caller.
bool decodeInto(JpegDecompressor &jpeg, const QByteArray &bytes, QImage &image)
{
    jpeg_decompress_struct *info = &jpeg.info;
    installErrors(jpeg);
    if (setjmp(jpeg.errors.jump) != 0)
        return false;

    jpeg_create_decompress(info);
    jpeg_mem_src(info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(info, TRUE);
    info->out_color_space = rgb32ColorSpace;
    if (qint64(info->image_width) * info->image_height > maxPixels)
        return false;
    jpeg_start_decompress(info);
    if (!allocate(image, *info))
        return false;
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = image.scanLine(int(info->output_scanline));
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}

} // namespace

QImage decodeJpeg(const QByteArray &jpegBytes)
{
    JpegDecompressor jpeg;
    QImage image;
    if (!decodeInto(jpeg, jpegBytes, image))
        return {};
    return image;
}

QByteArray bannerJpegBytes()
{
    QFile file(QStringLiteral(":/banner.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

BannerImage::BannerImage(QByteArray jpegBytes) : m_jpegBytes(std::move(jpegBytes)) {}

const QImage &BannerImage::image() const
{
    if (!m_image)
        m_image = decodeJpeg(m_jpegBytes);
    return *m_image;
}

} // namespace tarnelo
