// skin-gen SKINDIR DESIGNDIR [ICONDIR APPID]: draws the reader's skin and its built-in pictures
// as 24-bit BMPs, each also at double size as name@2x.bmp, and, given an icon theme folder, the application's icon into it as APPID.
#include "Pictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>

#include <cstdio>

namespace {

bool writeAll(const std::vector<skin::Picture>& pictures, const QString& folder) {
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "skin-gen: cannot create %s\n", qPrintable(folder));
        return false;
    }
    // Each picture twice: for ordinary screens, and at double size ("name@2x.bmp") for the
    // scaled screens of 150 % and more.
    for (const int k : {1, 2}) {
        skin::setScale(k);
        for (const skin::Picture& pic : pictures) {
            const QImage img = pic.draw().convertToFormat(QImage::Format_RGB888);
            const QString name = pic.name + (k == 2 ? QStringLiteral("@2x") : QString());
            const QString path = QDir(folder).filePath(name + QStringLiteral(".bmp"));
            // The reader blits these without scaling: a wrong size is a layout bug, not art.
            if (img.size() != pic.size * k) {
                std::fprintf(stderr, "skin-gen: %s drawn at %dx%d, expected %dx%d\n",
                             qPrintable(name), img.width(), img.height(), pic.size.width() * k,
                             pic.size.height() * k);
                skin::setScale(1);
                return false;
            }
            if (!img.save(path, "BMP")) {
                std::fprintf(stderr, "skin-gen: cannot write %s\n", qPrintable(path));
                skin::setScale(1);
                return false;
            }
        }
    }
    skin::setScale(1);
    return true;
}

// The id names files, so it must be one plain file name: the desktop's rDNS characters only.
bool validAppId(const QString& id) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_-]+(\\.[A-Za-z0-9_-]+)*$"));
    return id.size() <= 255 && plain.match(id).hasMatch();
}

// ICONDIR/<N>x<N>/apps/APPID.png for every theme size, and ICONDIR/scalable/apps/APPID.svg.
bool writeIcons(const QString& themeDir, const QString& appId) {
    const QDir theme(themeDir);
    for (int n : skin::kIconSizes) {
        const QString folder = theme.filePath(QStringLiteral("%1x%1/apps").arg(n));
        const QImage img = skin::appIcon(n).convertToFormat(QImage::Format_ARGB32);
        const QString path = QDir(folder).filePath(appId + QStringLiteral(".png"));
        if (img.size() != QSize(n, n)) {
            std::fprintf(stderr, "skin-gen: icon drawn at %dx%d, expected %dx%d\n", img.width(),
                         img.height(), n, n);
            return false;
        }
        if (!QDir().mkpath(folder) || !img.save(path, "PNG")) {
            std::fprintf(stderr, "skin-gen: cannot write %s\n", qPrintable(path));
            return false;
        }
    }
    const QString folder = theme.filePath(QStringLiteral("scalable/apps"));
    QFile svg(QDir(folder).filePath(appId + QStringLiteral(".svg")));
    const QByteArray text = skin::appIconSvg();
    if (!QDir().mkpath(folder) || !svg.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        svg.write(text) != text.size() || !svg.flush()) {
        std::fprintf(stderr, "skin-gen: cannot write %s\n", qPrintable(svg.fileName()));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // Text needs a platform, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: skin-gen SKINDIR DESIGNDIR [ICONDIR APPID]\n");
        return 2;
    }
    const QString skinDir = QString::fromLocal8Bit(argv[1]);
    const QString designDir = QString::fromLocal8Bit(argv[2]);
    const QString iconDir = argc == 5 ? QString::fromLocal8Bit(argv[3]) : QString();
    const QString appId = argc == 5 ? QString::fromLocal8Bit(argv[4]) : QString();
    if (argc == 5 && !validAppId(appId)) {
        std::fprintf(stderr, "skin-gen: %s is not a usable application id\n", argv[4]);
        return 2;
    }
    const bool ok =
        writeAll(skin::skinPictures(), skinDir) && writeAll(skin::designPictures(), designDir) &&
        (iconDir.isEmpty() || writeIcons(iconDir, appId));
    return ok ? 0 : 1;
}
