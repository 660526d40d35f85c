#pragma once

// The launcher's banner picture, decoded with libjpeg itself rather than a Qt
// image plugin. A picture that does not decode completely (damaged, cut short)
// gives a null image, so the launcher never draws half a banner.

#include <QByteArray>
#include <QImage>

#include <optional>

namespace tarnelo {

// Any JPEG libjpeg decodes (grey or colour) as Format_RGB32; a null image on
// any failure or sign of damaged data. Prints nothing.
QImage decodeJpeg(const QByteArray &jpegBytes);

// The banner compiled into the program (":/banner.jpg"); empty when missing.
QByteArray bannerJpegBytes();

class BannerImage
{
public:
    explicit BannerImage(QByteArray jpegBytes);

    // Decoded on the first call and kept; null when the bytes do not decode.
    const QImage &image() const;

private:
    QByteArray m_jpegBytes;
    mutable std::optional<QImage> m_image;
};

} // namespace tarnelo
