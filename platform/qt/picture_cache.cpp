#include "platform/qt/picture_cache.h"

#include <QFile>
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

namespace {

// The size an XPM picture's header gives ("/* XPM */", then the C array whose
// first string reads "<width> <height> <colours> <characters per pixel>"),
// read without decoding anything else; invalid when the file is no XPM.
QSize xpmSize(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(1024);
    if (!head.startsWith("/* XPM */"))
        return {};
    const qsizetype array = head.indexOf('{');
    const qsizetype open = array < 0 ? -1 : head.indexOf('"', array);
    const qsizetype close = open < 0 ? -1 : head.indexOf('"', open + 1);
    if (close < 0)
        return {};
    const QList<QByteArray> values = head.mid(open + 1, close - open - 1).simplified().split(' ');
    if (values.size() < 4)
        return {};
    bool wide = false, high = false;
    const QSize size(values[0].toInt(&wide), values[1].toInt(&high));
    return wide && high && !size.isEmpty() ? size : QSize();
}

QImage decode(const QString& path) {
    return QImage(path, "XPM");
}

}  // namespace

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
        const QSize size = xpmSize(path);
        if (!size.isValid())
            return "picture " + name.toStdString() + " cannot be read (" + path.toStdString() + ")";
        if (size.width() != info.widthPx || size.height() != info.heightPx)
            return "picture " + name.toStdString() + " is " + std::to_string(size.width()) + "x" +
                   std::to_string(size.height()) + " pixels, expected " + std::to_string(info.widthPx) + "x" +
                   std::to_string(info.heightPx);
        pictures.emplace(std::string(info.name), Picture{path, false, {}, {}});
    }
    pictures_ = std::move(pictures);
    return {};
}

void PictureCache::prefetch(std::string_view name) {
    auto it = pictures_.find(std::string(name));
    if (it == pictures_.end() || it->second.decoded || it->second.pending.valid())
        return;
    // Images, unlike pixmaps, may be made on any thread.
    it->second.pending = std::async(std::launch::async, decode, it->second.path);
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
        picture.pixmap =
            QPixmap::fromImage(picture.pending.valid() ? picture.pending.get() : decode(picture.path));
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
