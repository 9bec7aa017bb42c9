#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace skintest {

inline QString skinDir() {
    return QStringLiteral(TL_APP_DIR "/skin");
}
inline QString designDir() {
    return QStringLiteral(TL_BINARY_DIR "/design");
}

inline QImage load(const QString& dir, const char* name) {
    const QString path = dir + '/' + QLatin1String(name) + QStringLiteral(".bmp");
    QImage img(path);
    EXPECT_FALSE(img.isNull()) << path.toStdString();
    return img;
}
inline QImage skin(const char* name) {
    return load(skinDir(), name);
}

inline int maxChannelDiff(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

}  // namespace skintest
