#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>
#include <string>
#include <string_view>
#include <unordered_map>

namespace mogumo {

// The 21 pictures of the catalogue, read once at start from the resources
// (":/pictures/<name>.xpm" by default).
class PictureCache {
public:
    explicit PictureCache(QString directory = QStringLiteral(":/pictures"));

    // Reads every picture; returns an empty string when all of them are there
    // at their catalogue size, otherwise a message naming the first bad one.
    std::string load();

    // nullptr for an empty or unknown name.
    const QPixmap* pixmap(std::string_view name) const;
    const QImage* image(std::string_view name) const;
    bool loaded() const { return !images_.empty(); }

    // The shared cache of the running game, loaded on first use.
    static PictureCache& shared();

private:
    QString directory_;
    std::unordered_map<std::string, QImage> images_;
    std::unordered_map<std::string, QPixmap> pixmaps_;
};

// Registers the pictures and the help document with Qt's resource system; a
// static library's resources need it. Safe to call more than once.
void initResources();

}  // namespace mogumo
