#include "encodings/EntryName.h"

#include <QStringDecoder>
#include <algorithm>

#include "encodings/Cp949.h"

namespace encodings {

namespace {

// The UTF-8 reading of raw, or a null string when raw is not valid UTF-8.
QString utf8OrNull(const QByteArray& raw) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(raw);
    return utf8.hasError() ? QString() : text;
}

// A two-byte CP949 Hangul syllable whose bytes are valid UTF-8 reads as one character below
// U+0250 (lead bytes 0xC2-0xC8): Latin-1 or Latin Extended.
bool onlyAccentedLatin(const QString& text) {
    bool any = false;
    for (const QChar c : text) {
        if (c.unicode() < 0x80) continue;
        if (c.unicode() >= 0x250) return false;
        any = true;
    }
    return any;
}

bool hasHangul(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3; });
}

}  // namespace

void UnflaggedNames::add(const QByteArray& raw) {
    const QString asUtf8 = utf8OrNull(raw);
    // Undecodable pairs come out as U+FFFD, which no CP949 pair stands for.
    const QString asCp949 = encodings::decodeCp949(raw.constData(), raw.size());
    const bool cp949 = !asCp949.contains(QChar(0xFFFD));
    if (asUtf8.isNull())
        m_notUtf8 = true;
    else if (cp949 && onlyAccentedLatin(asUtf8) && hasHangul(asCp949))
        m_latinOrHangul = true;
    m_allCp949 = m_allCp949 && cp949;
}

QString decodeEntryName(const QByteArray& raw, bool flaggedUtf8, bool unflaggedCp949) {
    const QString text = !flaggedUtf8 && unflaggedCp949
                             ? encodings::decodeCp949(raw.constData(), raw.size())
                             : QString::fromUtf8(raw);
    return text.normalized(QString::NormalizationForm_C);
}

QString flatEntryName(const QString& name) {
    const qsizetype cut =
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    const QString base = name.mid(cut + 1);
    if (base.isEmpty() || base == QLatin1String(".") || base == QLatin1String("..")) return {};
    for (const QChar c : base)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) return {};
    return base;
}

}  // namespace encodings
