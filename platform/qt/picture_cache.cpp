#include "platform/qt/picture_cache.h"

#include <QFile>

#include "core/pictures.h"

static void initMogumoResources() {
    Q_INIT_RESOURCE(pictures);
    Q_INIT_RESOURCE(help);
}

namespace mogumo {

void initResources() {
    static const bool done = [] {
        initMogumoResources();
        return true;
    }();
    (void)done;
}

PictureCache::PictureCache(QString directory) : directory_(std::move(directory)) {}

std::string PictureCache::load() {
    initResources();
    images_.clear();
    pixmaps_.clear();
    for (const PictureInfo& info : kPictures) {
        const QString name = QString::fromUtf8(info.name.data(), static_cast<qsizetype>(info.name.size()));
        const QString path = directory_ + QLatin1Char('/') + name + QStringLiteral(".xpm");
        if (!QFile::exists(path)) {
            images_.clear();
            return "picture " + name.toStdString() + " is missing (" + path.toStdString() + ")";
        }
        QImage img(path, "XPM");
        if (img.isNull()) {
            images_.clear();
            return "picture " + name.toStdString() + " cannot be read (" + path.toStdString() + ")";
        }
        if (img.width() != info.widthPx || img.height() != info.heightPx) {
            images_.clear();
            return "picture " + name.toStdString() + " is " + std::to_string(img.width()) + "x" +
                   std::to_string(img.height()) + " pixels, expected " + std::to_string(info.widthPx) + "x" +
                   std::to_string(info.heightPx);
        }
        images_.emplace(std::string(info.name), img);
    }
    // The painter draws pixmaps; the images stay for pixel checks.
    for (const auto& [name, img] : images_) pixmaps_.emplace(name, QPixmap::fromImage(img));
    return {};
}

const QPixmap* PictureCache::pixmap(std::string_view name) const {
    if (name.empty())
        return nullptr;
    auto it = pixmaps_.find(std::string(name));
    return it == pixmaps_.end() ? nullptr : &it->second;
}

const QImage* PictureCache::image(std::string_view name) const {
    if (name.empty())
        return nullptr;
    auto it = images_.find(std::string(name));
    return it == images_.end() ? nullptr : &it->second;
}

PictureCache& PictureCache::shared() {
    static PictureCache cache;
    if (!cache.loaded())
        cache.load();
    return cache;
}

}  // namespace mogumo
