// skin-gen SKINDIR DESIGNDIR: draws the reader's skin and its built-in pictures as 24-bit BMPs.
#include "Pictures.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

namespace {

bool writeAll(const std::vector<skin::Picture>& pictures, const QString& folder) {
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "skin-gen: cannot create %s\n", qPrintable(folder));
        return false;
    }
    for (const skin::Picture& pic : pictures) {
        const QImage img = pic.draw().convertToFormat(QImage::Format_RGB888);
        const QString path = QDir(folder).filePath(pic.name + QStringLiteral(".bmp"));
        // The reader blits these without scaling: a wrong size is a layout bug, not art.
        if (img.size() != pic.size) {
            std::fprintf(stderr, "skin-gen: %s drawn at %dx%d, expected %dx%d\n",
                         qPrintable(pic.name), img.width(), img.height(), pic.size.width(),
                         pic.size.height());
            return false;
        }
        if (!img.save(path, "BMP")) {
            std::fprintf(stderr, "skin-gen: cannot write %s\n", qPrintable(path));
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // Text needs a platform, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: skin-gen SKINDIR DESIGNDIR\n");
        return 2;
    }
    const QString skinDir = QString::fromLocal8Bit(argv[1]);
    const QString designDir = QString::fromLocal8Bit(argv[2]);
    const bool ok =
        writeAll(skin::skinPictures(), skinDir) && writeAll(skin::designPictures(), designDir);
    return ok ? 0 : 1;
}
