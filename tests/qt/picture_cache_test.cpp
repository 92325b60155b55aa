#include "platform/qt/picture_cache.h"

#include <gtest/gtest.h>

#include <set>

#include "core/pictures.h"

namespace mogumo {
namespace {

TEST(PictureCache, EveryPictureLoadsAsTheCatalogueDescribesIt) {
    PictureCache cache;
    ASSERT_EQ(cache.load(), "");
    for (const PictureInfo& info : kPictures) {
        SCOPED_TRACE(std::string(info.name));
        const QImage* img = cache.image(info.name);
        ASSERT_NE(img, nullptr);
        EXPECT_EQ(img->width(), info.widthPx);
        EXPECT_EQ(img->height(), info.heightPx);
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
    EXPECT_EQ(cache.image(""), nullptr);
    EXPECT_EQ(cache.image("no_such_picture"), nullptr);
}

TEST(PictureCache, AMissingPictureStopsTheLoadByName) {
    PictureCache cache(QStringLiteral(":/no_pictures_here"));
    const std::string problem = cache.load();
    EXPECT_NE(problem.find("title_art"), std::string::npos) << problem;
    EXPECT_FALSE(cache.loaded());
    EXPECT_EQ(cache.pixmap("rock"), nullptr);
}

}  // namespace
}  // namespace mogumo
