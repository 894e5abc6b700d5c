#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QXmlStreamReader>

namespace {

const QDir kIcons(QStringLiteral(BELVANE_ASSET_FOLDER "/icons"));
const int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
const char* const kMenuGlyphs[] = {"menu-sendtotray.png", "menu-alarms.png", "menu-options.png",
                                   "menu-skins.png",      "menu-about.png",  "menu-help.png",
                                   "menu-exit.png"};

int opaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) == 255;
    return count;
}

} // namespace

TEST(IconFiles, TheIconFolderHoldsTheIconAtEverySizeAndTheMenuGlyphs) {
    QStringList expected{"belvane.svg"};
    for (int size : kIconSizes)
        expected << QStringLiteral("belvane-%1.png").arg(size);
    for (const char* glyph : kMenuGlyphs)
        expected << glyph;
    expected.sort();
    EXPECT_EQ(kIcons.entryList(QDir::Files, QDir::Name), expected);
}

TEST(IconFiles, PngIconsAreSquareTransparentAroundAndSolidInTheMiddle) {
    for (int size : kIconSizes) {
        const QImage icon(kIcons.filePath(QStringLiteral("belvane-%1.png").arg(size)));
        ASSERT_FALSE(icon.isNull()) << size;
        EXPECT_EQ(icon.size(), QSize(size, size));
        EXPECT_TRUE(icon.hasAlphaChannel()) << size;
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << size;
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255) << size;
    }
    for (const char* name : kMenuGlyphs) {
        const QImage glyph(kIcons.filePath(name));
        ASSERT_FALSE(glyph.isNull()) << name;
        EXPECT_EQ(glyph.size(), QSize(16, 16)) << name;
        EXPECT_TRUE(glyph.hasAlphaChannel()) << name;
        EXPECT_GT(opaquePixels(glyph), 30) << name;
        EXPECT_LT(opaquePixels(glyph), 16 * 16) << name;
    }
}

TEST(IconFiles, SvgIconIsWellFormedWithASquareViewBox) {
    QFile file(kIcons.filePath("belvane.svg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), QLatin1String("svg"));
    EXPECT_EQ(xml.attributes().value("viewBox"), QLatin1String("0 0 256 256"));
    int shapes = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() != QLatin1String("title"))
            ++shapes;
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(shapes, 5);
}
