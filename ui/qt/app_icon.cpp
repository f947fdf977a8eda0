#include "ui/qt/app_icon.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/qt/window_style.h"

namespace {

constexpr int kSizes[] = {48, 32, 16};

void putU16(QByteArray& out, int v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>((v >> 8) & 0xFF));
}

void putU32(QByteArray& out, quint32 v) {
    for (int i = 0; i < 4; ++i) out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

int rowBytes(int bits, int width) { return ((bits * width + 31) / 32) * 4; }

// The palette form: transparent pixels turn black; the AND mask hides them.
QImage toPaletteImage(const QImage& artwork) {
    QImage opaque = artwork.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < opaque.height(); ++y) {
        for (int x = 0; x < opaque.width(); ++x) {
            QRgb p = opaque.pixel(x, y);
            opaque.setPixel(x, y, qAlpha(p) < 128 ? qRgb(0, 0, 0) : qRgb(qRed(p), qGreen(p), qBlue(p)));
        }
    }
    return opaque.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
}

// One BMP image of an icon: header, palette (8 bits only), colour rows, AND mask rows,
// both bottom-up. `alphaSource` tells which pixels are transparent.
QByteArray bitmapOf(const QImage& image, const QImage& alphaSource) {
    const int w = image.width(), h = image.height();
    const int bits = image.format() == QImage::Format_Indexed8 ? 8 : 32;
    const int colourRow = rowBytes(bits, w), maskRow = rowBytes(1, w);
    QByteArray out;
    putU32(out, 40);
    putU32(out, static_cast<quint32>(w));
    putU32(out, static_cast<quint32>(2 * h));  // colour rows and mask rows
    putU16(out, 1);
    putU16(out, bits);
    putU32(out, 0);
    putU32(out, static_cast<quint32>((colourRow + maskRow) * h));
    putU32(out, 0);
    putU32(out, 0);
    putU32(out, bits == 8 ? 256 : 0);
    putU32(out, 0);
    if (bits == 8) {
        const QVector<QRgb> table = image.colorTable();
        for (int i = 0; i < 256; ++i) {
            QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
            out.append(static_cast<char>(qBlue(c)));
            out.append(static_cast<char>(qGreen(c)));
            out.append(static_cast<char>(qRed(c)));
            out.append('\0');
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(colourRow, '\0');
        for (int x = 0; x < w; ++x) {
            if (bits == 8) {
                row[x] = static_cast<char>(image.pixelIndex(x, y));
            } else {
                QRgb p = image.pixel(x, y);
                row[4 * x] = static_cast<char>(qBlue(p));
                row[4 * x + 1] = static_cast<char>(qGreen(p));
                row[4 * x + 2] = static_cast<char>(qRed(p));
                row[4 * x + 3] = static_cast<char>(qAlpha(p));
            }
        }
        out.append(row);
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskRow, '\0');
        for (int x = 0; x < w; ++x) {
            if (qAlpha(alphaSource.pixel(x, y)) < 128) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(row);
    }
    return out;
}

}  // namespace

QImage iconArtwork(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, size > 16);
    const qreal s = size;
    // The tile.
    QRectF tile(0.5, 0.5, s - 1, s - 1);
    p.setPen(QPen(style::kPink, size >= 32 ? 2 : 1));
    p.setBrush(style::kSkyBlue);
    p.drawRoundedRect(tile, s / 6, s / 6);
    // Three volumes standing side by side.
    const QColor volumes[] = {style::kRed, style::kYellow, QColor(255, 255, 255)};
    const qreal top = s * 0.22, bottom = s * 0.80, left = s * 0.20, width = s * 0.20;
    p.setPen(QPen(QColor(0, 0, 96), size >= 32 ? 1.5 : 1));
    for (int i = 0; i < 3; ++i) {
        p.setBrush(volumes[i]);
        p.drawRect(QRectF(left + i * width, top + (i == 1 ? -s * 0.06 : 0), width, bottom - top + (i == 1 ? s * 0.06 : 0)));
    }
    // The strap.
    p.setPen(Qt::NoPen);
    p.setBrush(style::kBlue);
    p.drawRect(QRectF(left - s * 0.04, s * 0.50, 3 * width + s * 0.08, s * 0.10));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

std::vector<QImage> iconImages() {
    std::vector<QImage> images;
    for (int size : kSizes) images.push_back(toPaletteImage(iconArtwork(size)));
    for (int size : kSizes) images.push_back(iconArtwork(size));
    return images;
}

QIcon appIcon() {
    QIcon icon;
    for (int size : kSizes) icon.addPixmap(QPixmap::fromImage(iconArtwork(size)));
    return icon;
}

QByteArray icoFile(const std::vector<QImage>& images) {
    QByteArray header;
    putU16(header, 0);
    putU16(header, 1);  // an icon
    putU16(header, static_cast<int>(images.size()));
    std::vector<QByteArray> bitmaps;
    for (const QImage& image : images) {
        // The mask comes from the 32-bit artwork of the same size.
        bitmaps.push_back(bitmapOf(image, iconArtwork(image.width())));
    }
    quint32 offset = static_cast<quint32>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const QImage& image = images[i];
        const int bits = image.format() == QImage::Format_Indexed8 ? 8 : 32;
        header.append(static_cast<char>(image.width() >= 256 ? 0 : image.width()));
        header.append(static_cast<char>(image.height() >= 256 ? 0 : image.height()));
        header.append('\0');  // colour count: 0 means 256 or more
        header.append('\0');
        putU16(header, 1);
        putU16(header, bits);
        putU32(header, static_cast<quint32>(bitmaps[i].size()));
        putU32(header, offset);
        offset += static_cast<quint32>(bitmaps[i].size());
    }
    for (const QByteArray& b : bitmaps) header.append(b);
    return header;
}
