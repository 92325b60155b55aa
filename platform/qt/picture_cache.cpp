#include "platform/qt/picture_cache.h"

#include <QFile>
#include <QImageReader>
#include <iostream>

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
    pictures_.clear();
    std::unordered_map<std::string, Picture> pictures;
    for (const PictureInfo& info : kPictures) {
        const QString name = QString::fromUtf8(info.name.data(), static_cast<qsizetype>(info.name.size()));
        const QString path = directory_ + QLatin1Char('/') + name + QStringLiteral(".xpm");
        if (!QFile::exists(path))
            return "picture " + name.toStdString() + " is missing (" + path.toStdString() + ")";
        // The header says the size; the pixels wait until the picture is shown.
        QImageReader reader(path, "XPM");
        const QSize size = reader.size();
        if (!reader.canRead() || !size.isValid())
            return "picture " + name.toStdString() + " cannot be read (" + path.toStdString() + ")";
        if (size.width() != info.widthPx || size.height() != info.heightPx)
            return "picture " + name.toStdString() + " is " + std::to_string(size.width()) + "x" +
                   std::to_string(size.height()) + " pixels, expected " + std::to_string(info.widthPx) + "x" +
                   std::to_string(info.heightPx);
        pictures.emplace(std::string(info.name), Picture{path, false, {}});
    }
    pictures_ = std::move(pictures);
    return {};
}

const QPixmap* PictureCache::pixmap(std::string_view name) const {
    if (name.empty())
        return nullptr;
    auto it = pictures_.find(std::string(name));
    if (it == pictures_.end())
        return nullptr;
    Picture& picture = it->second;
    if (!picture.decoded) {
        picture.decoded = true;
        picture.pixmap = QPixmap::fromImage(QImage(picture.path, "XPM"));
        if (picture.pixmap.isNull())
            std::cerr << "mogumo: picture " << it->first << " cannot be decoded ("
                      << picture.path.toStdString() << ")\n";
    }
    return picture.pixmap.isNull() ? nullptr : &picture.pixmap;
}

std::optional<QImage> PictureCache::image(std::string_view name) const {
    const QPixmap* p = pixmap(name);
    if (!p)
        return std::nullopt;
    return p->toImage();
}

PictureCache& PictureCache::shared() {
    static PictureCache cache;
    if (!cache.loaded())
        cache.load();
    return cache;
}

}  // namespace mogumo
