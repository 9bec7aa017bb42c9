#pragma once
// What the text-model tests share: the Korean page font and the real books.

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <cmath>

namespace texttest {

inline QString dataDir() {
    return QStringLiteral(TL_TESTDATA_DIR "/text");
}
inline bool haveData() {
    return QDir(dataDir()).exists();
}

// Skips the calling test when the shared Korean texts are not on this machine.
#define SKIP_WITHOUT_TEXTS()                                                                  \
    do {                                                                                      \
        if (!::texttest::haveData())                                                          \
            GTEST_SKIP() << "test data folder absent: " << qPrintable(::texttest::dataDir()); \
    } while (0)

inline QByteArray readBytes(const QString& name) {
    QFile f(dataDir() + QLatin1Char('/') + name);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return f.readAll();
}

// The five works, as their UTF-8 files read by Qt's own decoder.
inline const char* const kBooks[] = {"unsu_joeun_nal.utf8.txt", "talchulgi.utf8.txt",
                                     "hongyeom.utf8.txt", "dongbaekkkot.utf8.txt",
                                     "nalgae.utf8.txt"};

inline QFont pageFont(int points = 12) {
    QFont f(QStringLiteral("NanumGothic"));
    f.setPointSize(points);
    return f;
}

// The narrowest box, in pixels, that holds `s` when advances are summed per character in 1/64 px
// as the font reports them; a tab is four spaces.
inline int widthFor(const QString& s, const QFont& font = pageFont()) {
    const QFontMetricsF fm(font);
    auto advance = [&](const QString& ch) { return std::lround(fm.horizontalAdvance(ch) * 64); };
    long long sum = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const qsizetype len = s.at(i).isHighSurrogate() ? 2 : 1;
        sum += s.at(i) == '\t' ? 4 * advance(QStringLiteral(" ")) : advance(s.mid(i, len));
        i += len - 1;
    }
    return int((sum + 63) / 64);
}

}  // namespace texttest
