#include "platform/qt/shot.h"

#include <QApplication>
#include <QFile>
#include <QImageWriter>

#include "core/screen.h"
#include "platform/qt/picture_cache.h"
#include "platform/qt/screen_window.h"

namespace mogumo {

QImage renderScreen(const Screen& screen, const PictureCache& pictures) {
    ScreenWindow window(screen, pictures, {});
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    window.sync();
    const QSize size(screen.layout().clientWidth / 15, screen.layout().clientHeight / 15);
    QImage image(size, QImage::Format_RGB32);
    image.setDevicePixelRatio(1.0);
    image.fill(Qt::black);
    window.render(&image, QPoint(), QRegion(QRect(QPoint(), size)));
    return image;
}

ShotRenderer qtShotRenderer(int argc, char** argv) {
    return [argc, argv](const Screen& screen, const std::string& path) -> std::string {
        // Qt keeps a reference to argc for the application's lifetime.
        static int keptArgc = argc;
        if (!QApplication::instance()) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            // Lives to the end of the process: tearing Qt down among the exit
            // handlers would outlive Qt's own globals.
            new QApplication(keptArgc, argv);
        }
        static PictureCache& pictures = *new PictureCache;
        if (!pictures.loaded()) {
            const std::string problem = pictures.load();
            if (!problem.empty())
                return problem;
        }
        const QImage image = renderScreen(screen, pictures);
        // The file's own error says why a write failed (a full device, say);
        // the image writer's often does not.
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::WriteOnly))
            return "cannot write " + path + ": " + file.errorString().toStdString();
        QImageWriter writer(&file, "png");
        const bool written = writer.write(image) && file.flush();
        if (!written || file.error() != QFileDevice::NoError) {
            const QString why =
                file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
            return "cannot write " + path + ": " + why.toStdString();
        }
        return {};
    };
}

}  // namespace mogumo
