#include "platform/qt/shot.h"

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/screen.h"
#include "platform/qt/picture_cache.h"
#include "platform/qt/screen_window.h"

namespace mogumo {

namespace {

// A picture drawn offscreen needs no runtime directory: Qt's warning that
// there is none would only be noise on a command-line tool's standard error.
QtMessageHandler previousHandler = nullptr;

void quietAboutTheRuntimeDirectory() {
    previousHandler =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& msg) {
            if (msg.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
                return;
            if (previousHandler)
                previousHandler(type, context, msg);
            else
                std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, msg)));
        });
}

}  // namespace

QImage renderScreen(const Screen& screen, const PictureCache& pictures) {
    ScreenWindow window(screen, pictures, {});
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    window.sync();
    const PixelRect client = screen.layout().clientPixels();
    const QSize size(client.width, client.height);
    QImage image(size, QImage::Format_RGB32);
    image.setDevicePixelRatio(1.0);
    image.fill(Qt::black);
    window.render(&image, QPoint(), QRegion(QRect(QPoint(), size)));
    return image;
}

script::ShotRenderer qtShotRenderer(int argc, char** argv) {
    // What the first shot makes lives as long as the renderer, which its
    // owner drops before the program's exit handlers run, so Qt is torn down
    // while its own globals are still there. The pictures go before the
    // application they were made under.
    struct Context {
        int argc;  // Qt keeps a reference to it for the application's lifetime
        char** argv;
        std::unique_ptr<QApplication> app;
        std::unique_ptr<PictureCache> pictures;
    };
    auto context = std::make_shared<Context>(Context{argc, argv, nullptr, nullptr});
    return [context](const Screen& screen, const std::string& path) -> std::string {
        Context& c = *context;
        if (!QApplication::instance()) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            quietAboutTheRuntimeDirectory();
            c.app = std::make_unique<QApplication>(c.argc, c.argv);
        }
        if (!c.pictures)
            c.pictures = std::make_unique<PictureCache>();
        if (!c.pictures->loaded()) {
            const std::string problem = c.pictures->load();
            if (!problem.empty())
                return problem;
        }
        const QImage image = renderScreen(screen, *c.pictures);
        // The picture is encoded in memory first: the file's own error then
        // says why a write failed (a full device, say), and the encoder never
        // meets a failing file half way through.
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        if (!writer.write(image))
            return "cannot write " + path + ": " + writer.errorString().toStdString();
        // The name goes to the file system byte for byte, whatever its encoding.
        errno = 0;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file)
            return "cannot write " + path + ": " + std::strerror(errno);
        const bool written = std::fwrite(png.constData(), 1, static_cast<size_t>(png.size()), file) ==
                                 static_cast<size_t>(png.size()) &&
                             std::fflush(file) == 0;
        const int writeErrno = errno;
        if (std::fclose(file) != 0 || !written)
            return "cannot write " + path + ": " + std::strerror(written ? errno : writeErrno);
        return {};
    };
}

}  // namespace mogumo
