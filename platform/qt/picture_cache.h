#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>
#include <future>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace mogumo {

// The 21 pictures of the catalogue, from the resources (":/pictures/<name>.xpm"
// by default). Each is checked at start but decoded only when it is first
// shown, and kept once, as the pixmap the painter draws.
class PictureCache {
public:
    explicit PictureCache(QString directory = QStringLiteral(":/pictures"));

    // Checks that every picture is there at its catalogue size (reading only
    // its header); returns an empty string when all are, otherwise a message
    // naming the first bad one.
    std::string load();

    // Starts decoding a picture about to be shown on a thread of its own;
    // pixmap() then takes that work over instead of decoding it again. Does
    // nothing for an unknown name or a picture already decoded or started.
    void prefetch(std::string_view name);

    // nullptr for an empty or unknown name, or a picture that cannot be
    // decoded after all (said once on standard error).
    const QPixmap* pixmap(std::string_view name) const;
    // The picture as an image, for pixel checks; nullopt as for pixmap().
    std::optional<QImage> image(std::string_view name) const;
    bool loaded() const { return !pictures_.empty(); }

    // The shared cache of the running game, loaded on first use.
    static PictureCache& shared();

private:
    struct Picture {
        QString path;
        bool decoded = false;
        QPixmap pixmap;               // null until decoded, or when decoding failed
        std::future<QImage> pending;  // a decoding under way on another thread
    };

    QString directory_;
    mutable std::unordered_map<std::string, Picture> pictures_;
};

// Registers the pictures and the help document with Qt's resource system; a
// static library's resources need it. Safe to call more than once.
void initResources();

}  // namespace mogumo
