#include "ui/qt/app_icon.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <gtest/gtest.h>

namespace {

struct Entry {
    int width, height, bits;
};

// The directory of an .ico file, read by hand.
std::vector<Entry> entriesOf(const QByteArray& ico) {
    auto u16 = [&](int at) { return static_cast<unsigned char>(ico[at]) | (static_cast<unsigned char>(ico[at + 1]) << 8); };
    std::vector<Entry> out;
    if (ico.size() < 6 || u16(0) != 0 || u16(2) != 1) return out;
    for (int i = 0; i < u16(4); ++i) {
        const int at = 6 + 16 * i;
        out.push_back(Entry{static_cast<unsigned char>(ico[at]), static_cast<unsigned char>(ico[at + 1]), u16(at + 6)});
    }
    return out;
}

void expectSixImages(const QByteArray& ico) {
    const std::vector<Entry> entries = entriesOf(ico);
    const Entry expected[] = {{48, 48, 8}, {32, 32, 8}, {16, 16, 8}, {48, 48, 32}, {32, 32, 32}, {16, 16, 32}};
    ASSERT_EQ(entries.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(entries[i].width, expected[i].width) << i;
        EXPECT_EQ(entries[i].height, expected[i].height) << i;
        EXPECT_EQ(entries[i].bits, expected[i].bits) << i;
    }
    // And the toolkit's own reader takes every image.
    QByteArray copy = ico;
    QBuffer buffer(&copy);
    QImageReader reader(&buffer, "ico");
    EXPECT_EQ(reader.imageCount(), 6);
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        QImage image = reader.read();
        EXPECT_EQ(image.size(), QSize(expected[i].width, expected[i].height)) << i;
    }
}

TEST(AppIcon, HasSixImagesIn256AndIn32BitColour) {
    const std::vector<QImage> images = iconImages();
    ASSERT_EQ(images.size(), 6u);
    const int sizes[] = {48, 32, 16, 48, 32, 16};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(images[i].size(), QSize(sizes[i], sizes[i]));
        EXPECT_EQ(images[i].format(), i < 3 ? QImage::Format_Indexed8 : QImage::Format_ARGB32) << i;
        if (i < 3) {
            EXPECT_LE(images[i].colorCount(), 256);
        }
    }
    // Corners are transparent, the middle is not.
    EXPECT_LT(qAlpha(images[3].pixel(0, 0)), 128);
    EXPECT_EQ(qAlpha(images[3].pixel(24, 24)), 255);
    expectSixImages(icoFile(images));
}

TEST(AppIcon, TheIconFileForTheWindowsBuildHoldsTheSixImages) {
    QFile file(QStringLiteral(PIMINGBAO_SOURCE_DIR "/ui/qt/resources/pimingbao.ico"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "regenerate it with: pimingbao --write-icon ui/qt/resources/pimingbao.ico";
    expectSixImages(file.readAll());
}

}  // namespace
