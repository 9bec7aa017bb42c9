#pragma once
// The window's design fonts. "굴림" is the design face; where it is missing, the Korean faces
// that the reader installs stand in, so Hangul never falls back to boxes.

#include <QFont>
#include <QStringList>

inline QFont uiFont(double points, bool bold = false) {
    QFont f;
    f.setFamilies({QStringLiteral("굴림"), QStringLiteral("NanumGothic"),
                   QStringLiteral("NanumBarunGothic"), QStringLiteral("Sans Serif")});
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}
