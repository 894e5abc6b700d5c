#include <gtest/gtest.h>

#include <set>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QtEndian>

#include "clockface/face_layout.h"

namespace {

const QString kAssets = QStringLiteral(BELVANE_ASSET_FOLDER);

struct SkinCase {
    const char* name;
    SkinLayout layout;
};

std::vector<SkinCase> skins() {
    return {{"Digital", digitalSkinLayout()}, {"Santa Claus", santaClausSkinLayout()}};
}

QDir folderOf(const SkinCase& skin) {
    return QDir(kAssets + '/' + QLatin1String(skin.name));
}

QStringList digitFiles(const char* prefix) {
    QStringList files;
    for (int d = 0; d < 10; ++d)
        files << QStringLiteral("%1%2.bmp").arg(QLatin1String(prefix)).arg(d);
    return files;
}

QStringList expectedFiles(const SkinLayout& layout) {
    QStringList files = digitFiles("hour_");
    if (layout.secondsOwnDigits)
        files << digitFiles("Second_");
    files << "Background.bmp"
          << "AM.bmp"
          << "PM.bmp"
          << "Colon_ON.bmp"
          << "Colon_OFF.bmp";
    files.sort();
    return files;
}

QImage load(const QDir& dir, const QString& name) {
    return QImage(dir.filePath(name)).convertToFormat(QImage::Format_RGB32);
}

QRgb keyOf(const SkinLayout& layout, const QImage& background) {
    return layout.useFixedKeyColour
               ? qRgb(layout.keyColour.red, layout.keyColour.green, layout.keyColour.blue)
               : background.pixel(0, 0);
}

SkinPictureSizes sizesOf(const QDir& dir, const SkinLayout& layout) {
    SkinPictureSizes sizes;
    for (int d = 0; d < 10; ++d) {
        sizes.hourDigits[d] = load(dir, QStringLiteral("hour_%1.bmp").arg(d)).size();
        sizes.secondDigits[d] =
            layout.secondsOwnDigits ? load(dir, QStringLiteral("Second_%1.bmp").arg(d)).size() : QSize();
    }
    sizes.am = load(dir, "AM.bmp").size();
    sizes.pm = load(dir, "PM.bmp").size();
    sizes.colonOn = load(dir, "Colon_ON.bmp").size();
    sizes.colonOff = load(dir, "Colon_OFF.bmp").size();
    return sizes;
}

// Every place a visible picture takes, over every second of the day, both colon phases and both forms.
std::set<std::pair<int, int>> coveredPixels(const SkinLayout& layout, const SkinPictureSizes& sizes,
                                            std::vector<QRect>& outside, const QRect& background) {
    std::set<std::tuple<int, int, int, int>> rects;
    for (int s = 0; s < 24 * 3600; ++s)
        for (int ms : {0, 750})
            for (bool military : {false, true}) {
                const FacePlacement face =
                    placeFace(layout, sizes, QTime(s / 3600, s / 60 % 60, s % 60, ms), military);
                for (const PicturePlacement& placed : face.all())
                    if (placed.visible)
                        rects.insert(
                            {placed.rect.x(), placed.rect.y(), placed.rect.width(), placed.rect.height()});
            }
    std::set<std::pair<int, int>> pixels;
    for (auto [x, y, w, h] : rects) {
        const QRect r(x, y, w, h);
        if (!background.contains(r))
            outside.push_back(r);
        for (int py = r.top(); py <= r.bottom(); ++py)
            for (int px = r.left(); px <= r.right(); ++px)
                pixels.insert({px, py});
    }
    return pixels;
}

// An edge pixel (not key, beside a key pixel) that lies on the way from its inner neighbour towards the
// key colour is a blend of the two: it leaves a coloured fringe once the outline is cut by exact colour.
int fringePixels(const QImage& image, QRgb key) {
    const auto isKey = [&](int x, int y) { return (image.pixel(x, y) & 0xffffff) == (key & 0xffffff); };
    int fringe = 0;
    for (int y = 1; y + 1 < image.height(); ++y)
        for (int x = 1; x + 1 < image.width(); ++x) {
            if (isKey(x, y))
                continue;
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                if (!isKey(x + dx, y + dy) || isKey(x - dx, y - dy))
                    continue;
                const QRgb e = image.pixel(x, y), n = image.pixel(x - dx, y - dy);
                const double d[3] = {double(qRed(key)) - qRed(n), double(qGreen(key)) - qGreen(n),
                                     double(qBlue(key)) - qBlue(n)};
                const double v[3] = {double(qRed(e)) - qRed(n), double(qGreen(e)) - qGreen(n),
                                     double(qBlue(e)) - qBlue(n)};
                const double dd = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
                if (dd < 1.0)
                    continue;
                const double a = (v[0] * d[0] + v[1] * d[1] + v[2] * d[2]) / dd;
                double residual = 0;
                for (int c = 0; c < 3; ++c)
                    residual += (v[c] - a * d[c]) * (v[c] - a * d[c]);
                if (a > 0.15 && a < 0.95 && residual < 12.0 * 12.0) {
                    ++fringe;
                    break;
                }
            }
        }
    return fringe;
}

} // namespace

TEST(SkinFiles, EachSkinFolderHoldsExactlyItsPictures) {
    for (const SkinCase& skin : skins()) {
        const QStringList present = folderOf(skin).entryList(QDir::Files, QDir::Name);
        EXPECT_EQ(present, expectedFiles(skin.layout)) << skin.name;
    }
}

TEST(SkinFiles, EveryPictureIsAn24BitUncompressedBitmapThatLoads) {
    for (const SkinCase& skin : skins())
        for (const QString& name : expectedFiles(skin.layout)) {
            const QString path = folderOf(skin).filePath(name);
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
            const QByteArray head = file.read(54);
            ASSERT_EQ(head.size(), 54) << path.toStdString();
            const char* h = head.constData();
            EXPECT_EQ(head.left(2), "BM") << path.toStdString();
            EXPECT_EQ(qFromLittleEndian<quint32>(h + 14), 40u) << path.toStdString(); // BITMAPINFOHEADER
            EXPECT_EQ(qFromLittleEndian<quint16>(h + 28), 24) << path.toStdString();  // bits per pixel
            EXPECT_EQ(qFromLittleEndian<quint32>(h + 30), 0u) << path.toStdString();  // BI_RGB
            EXPECT_EQ(qFromLittleEndian<quint32>(h + 2), quint32(file.size())) << path.toStdString();
            EXPECT_FALSE(QImage(path).isNull()) << path.toStdString();
        }
}

TEST(SkinFiles, PicturesOfOneSetShareOneSize) {
    for (const SkinCase& skin : skins()) {
        const QDir dir = folderOf(skin);
        std::vector<QStringList> sets = {
            digitFiles("hour_"), {"Colon_ON.bmp", "Colon_OFF.bmp"}, {"AM.bmp", "PM.bmp"}};
        if (skin.layout.secondsOwnDigits)
            sets.push_back(digitFiles("Second_"));
        for (const QStringList& set : sets) {
            const QSize first = load(dir, set.front()).size();
            EXPECT_FALSE(first.isEmpty()) << skin.name;
            for (const QString& name : set)
                EXPECT_EQ(load(dir, name).size(), first) << skin.name << " " << name.toStdString();
        }
    }
}

TEST(SkinFiles, EveryPlacementOfTheDayLiesOnTheFaceInBothForms) {
    for (const SkinCase& skin : skins()) {
        const QDir dir = folderOf(skin);
        const QImage background = load(dir, "Background.bmp");
        const QRgb key = keyOf(skin.layout, background);
        std::vector<QRect> outside;
        const auto covered =
            coveredPixels(skin.layout, sizesOf(dir, skin.layout), outside, background.rect());
        EXPECT_TRUE(outside.empty()) << skin.name << ": a picture reaches outside the background";
        int holes = 0;
        for (auto [x, y] : covered)
            if (background.rect().contains(x, y) && (background.pixel(x, y) & 0xffffff) == (key & 0xffffff))
                ++holes;
        EXPECT_EQ(holes, 0) << skin.name << ": key-coloured background pixels under the digits";
    }
}

TEST(SkinFiles, NamedTimesFitTheBackground) {
    for (const SkinCase& skin : skins()) {
        const QDir dir = folderOf(skin);
        const QRect background = load(dir, "Background.bmp").rect();
        const SkinPictureSizes sizes = sizesOf(dir, skin.layout);
        for (QTime time : {QTime(0, 7, 9), QTime(12, 0, 0), QTime(23, 59, 59)})
            for (bool military : {false, true})
                for (const PicturePlacement& placed : placeFace(skin.layout, sizes, time, military).all())
                    if (placed.visible) {
                        EXPECT_FALSE(placed.rect.isEmpty()) << skin.name;
                        EXPECT_TRUE(background.contains(placed.rect))
                            << skin.name << " " << time.toString().toStdString()
                            << (military ? " 24h" : " 12h");
                    }
    }
}

TEST(SkinFiles, DigitColonAndAmPmPicturesHoldNoKeyColour) {
    for (const SkinCase& skin : skins()) {
        const QDir dir = folderOf(skin);
        const QRgb key = keyOf(skin.layout, load(dir, "Background.bmp")) & 0xffffff;
        for (const QString& name : expectedFiles(skin.layout)) {
            if (name == "Background.bmp")
                continue;
            const QImage picture = load(dir, name);
            int found = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    found += (picture.pixel(x, y) & 0xffffff) == key;
            EXPECT_EQ(found, 0) << skin.name << " " << name.toStdString();
        }
    }
}

TEST(SkinFiles, OutlineIsShapedAndItsEdgesAreCrisp) {
    for (const SkinCase& skin : skins()) {
        const QImage background = load(folderOf(skin), "Background.bmp");
        const QRgb key = keyOf(skin.layout, background);
        int keyPixels = 0;
        for (int y = 0; y < background.height(); ++y)
            for (int x = 0; x < background.width(); ++x)
                keyPixels += (background.pixel(x, y) & 0xffffff) == (key & 0xffffff);
        EXPECT_GT(keyPixels, background.width() + background.height())
            << skin.name << ": the face is not shaped";
        EXPECT_LT(keyPixels, background.width() * background.height() / 2) << skin.name;
        EXPECT_EQ(fringePixels(background, key), 0) << skin.name;
    }
}

TEST(SkinFiles, FringeCheckFindsAnAntiAliasedOutline) {
    // The crisp-edge check above must be able to fail: a disc drawn with anti-aliasing on the key
    // colour has a fringe, the same disc drawn without has none.
    for (bool smooth : {true, false}) {
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(qRgb(255, 0, 0));
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, smooth);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 44, 50));
        p.drawEllipse(QPointF(20, 20), 14.3, 14.3);
        p.end();
        EXPECT_EQ(fringePixels(image, qRgb(255, 0, 0)) > 0, smooth);
    }
}
