#include "platform/qt/picture_cache.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <set>

#include "core/pictures.h"

namespace mogumo {
namespace {

// The game's pictures, copied into `dir` to be spoilt there.
void copyPictures(const QTemporaryDir& dir) {
    for (const PictureInfo& info : kPictures) {
        const QString name = QString::fromUtf8(info.name.data(), static_cast<qsizetype>(info.name.size()));
        ASSERT_TRUE(QFile::copy(":/pictures/" + name + ".xpm", dir.filePath(name + ".xpm")));
    }
}

TEST(PictureCache, EveryPictureLoadsWithItsPaletteAndTransparency) {
    PictureCache cache;
    ASSERT_EQ(cache.load(), "");
    for (const PictureInfo& info : kPictures) {
        SCOPED_TRACE(std::string(info.name));
        const std::optional<QImage> img = cache.image(info.name);
        ASSERT_TRUE(img);
        ASSERT_NE(cache.pixmap(info.name), nullptr);

        std::set<QRgb> opaque;
        bool seeThrough = false;
        const QImage argb = img->convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height(); ++y) {
            for (int x = 0; x < argb.width(); ++x) {
                const QRgb px = argb.pixel(x, y);
                if (qAlpha(px) == 0)
                    seeThrough = true;
                else
                    opaque.insert(px);
            }
        }
        // The palette counts the transparent entry too.
        EXPECT_LE(static_cast<int>(opaque.size()) + (seeThrough ? 1 : 0), info.colours);
        EXPECT_EQ(seeThrough, info.transparent);
    }
    EXPECT_FALSE(cache.image(""));
    EXPECT_FALSE(cache.image("no_such_picture"));
}

TEST(PictureCache, AMissingPictureStopsTheLoadByName) {
    PictureCache cache(QStringLiteral(":/no_pictures_here"));
    const std::string problem = cache.load();
    EXPECT_NE(problem.find("title_art"), std::string::npos) << problem;
    EXPECT_FALSE(cache.loaded());
    EXPECT_EQ(cache.pixmap("rock"), nullptr);
}

// A picture of the wrong size or one that is no picture at all stops the load
// with a message that names it and says what is wrong; only the header is
// read for that.
TEST(PictureCache, AWrongOrBrokenPictureIsNamed) {
    struct Case {
        int width, height;  // 0: `text` is the file
        const char* text;
        const char* says;
    };
    for (const Case& c :
         {Case{16, 32, nullptr, "picture rock is 16x32 pixels, expected 32x32"},
          Case{0, 0, "not a picture", "picture rock cannot be read"},
          Case{0, 0, "/* XPM */\nstatic char *rock[] = {\n\"32 32", "picture rock cannot be read"},
          Case{0, 0, "/* XPM */\nstatic char *rock[] = {\n\"32 32\"};\n", "picture rock cannot be read"},
          Case{0, 0, "/* XPM */\nstatic char *rock[] = {\n\"3x 32 2 1\",\n", "picture rock cannot be read"},
          Case{0, 0, "/* XPM */\nstatic char *rock[] = {\n\"0 0 2 1\",\n", "picture rock cannot be read"},
          Case{0, 0, "/* XPM */\nstatic char *rock[] = {\n\" 32  16 2 1 \",\n",
               "picture rock is 32x16 pixels, expected 32x32"}}) {
        SCOPED_TRACE(c.text ? c.text : c.says);
        QTemporaryDir dir;
        copyPictures(dir);
        const QString rock = dir.filePath(QStringLiteral("rock.xpm"));
        QFile::remove(rock);
        if (c.width == 0) {
            QFile f(rock);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.text);
        } else {
            QImage wrong(c.width, c.height, QImage::Format_RGB32);
            wrong.fill(Qt::red);
            ASSERT_TRUE(wrong.save(rock, "XPM"));
        }
        PictureCache cache(dir.path());
        const std::string problem = cache.load();
        EXPECT_EQ(problem.rfind(c.says, 0), 0u) << problem;
        EXPECT_FALSE(cache.loaded());
    }
}

// A picture is decoded only when first shown: one whose header is sound but
// whose pixels are cut off passes the start and is then simply not drawn.
TEST(PictureCache, APictureBrokenPastItsHeaderIsNotDrawn) {
    QTemporaryDir dir;
    copyPictures(dir);
    QFile rock(dir.filePath(QStringLiteral("rock.xpm")));
    ASSERT_TRUE(rock.open(QIODevice::ReadWrite));
    const QByteArray whole = rock.readAll();
    ASSERT_TRUE(rock.resize(whole.size() / 2));
    rock.close();
    for (bool prefetched : {false, true}) {
        PictureCache cache(dir.path());
        EXPECT_EQ(cache.load(), "");
        if (prefetched) {
            cache.prefetch("rock");
            cache.prefetch("title_art");
        }
        EXPECT_EQ(cache.pixmap("rock"), nullptr) << prefetched;
        EXPECT_NE(cache.pixmap("title_art"), nullptr) << prefetched;
    }
}

// A picture decoded ahead on another thread is the very picture decoded when
// shown; asking ahead for nothing, or for a picture twice, does no harm, and
// a cache may go while a decoding is under way.
TEST(PictureCache, APrefetchedPictureIsTheOneDecodedWhenShown) {
    PictureCache ahead, onDemand;
    ASSERT_EQ(ahead.load(), "");
    ASSERT_EQ(onDemand.load(), "");
    for (const PictureInfo& info : kPictures) {
        ahead.prefetch(info.name);
        ahead.prefetch(info.name);
    }
    ahead.prefetch("");
    ahead.prefetch("no_such_picture");
    for (const PictureInfo& info : kPictures) {
        SCOPED_TRACE(std::string(info.name));
        const std::optional<QImage> a = ahead.image(info.name), b = onDemand.image(info.name);
        ASSERT_TRUE(a && b);
        EXPECT_EQ(*a, *b);
        // Once shown, asking ahead again changes nothing.
        ahead.prefetch(info.name);
        EXPECT_EQ(ahead.pixmap(info.name), ahead.pixmap(info.name));
    }
    {
        PictureCache leaving;
        ASSERT_EQ(leaving.load(), "");
        leaving.prefetch("title_art");
    }
}

}  // namespace
}  // namespace mogumo
