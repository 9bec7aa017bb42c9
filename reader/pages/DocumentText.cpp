#include "pages/DocumentText.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QtEndian>
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "textbox/Cp949.h"

namespace {

bool startsWith(const QByteArray& bytes, const char* prefix, qsizetype size) {
    return bytes.size() >= size && std::memcmp(bytes.constData(), prefix, size_t(size)) == 0;
}

// Strict UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF); *multiByte tells whether
// any character took more than one byte. A sequence cut off by the end of the file still counts:
// a truncated UTF-8 file loses its last character, not its whole text to a CP949 misreading.
bool isUtf8(const uint8_t* s, qsizetype n, bool* multiByte) {
    *multiByte = false;
    qsizetype i = 0;
    while (i < n) {
        while (i + 8 <= n) {
            uint64_t block;
            std::memcpy(&block, s + i, 8);
            if (block & 0x8080808080808080ull) break;
            i += 8;
        }
        if (i >= n) break;
        const uint8_t c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        uint8_t lo = 0x80, hi = 0xBF;  // bounds of the first continuation byte
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        const qsizetype present = std::min<qsizetype>(extra, n - 1 - i);
        if (present >= 1 && (s[i + 1] < lo || s[i + 1] > hi)) return false;
        for (int k = 2; k <= present; ++k)
            if ((s[i + k] & 0xC0) != 0x80) return false;
        *multiByte = true;
        i += extra + 1;
    }
    return true;
}

}  // namespace

Encoding detectEncoding(const QByteArray& bytes) {
    if (startsWith(bytes, "\xFF\xFE", 2)) return Encoding::Utf16Le;
    if (startsWith(bytes, "\xEF\xBB\xBF", 3)) return Encoding::Utf8;
    bool multiByte = false;
    const bool valid =
        isUtf8(reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size(), &multiByte);
    return valid && multiByte ? Encoding::Utf8 : Encoding::Cp949;
}

QString decodeDocument(const QByteArray& bytes) {
    switch (detectEncoding(bytes)) {
        case Encoding::Utf16Le: {
            const qsizetype units = (bytes.size() - 2) / 2;
            QString text(units, Qt::Uninitialized);
            qFromLittleEndian<char16_t>(bytes.constData() + 2, units, text.data());
            // An odd last byte is half a unit: shown as U+FFFD, not dropped.
            if (bytes.size() % 2) text.append(QChar::ReplacementCharacter);
            return text;
        }
        case Encoding::Utf8: {
            const qsizetype skip = startsWith(bytes, "\xEF\xBB\xBF", 3) ? 3 : 0;
            // The mark is skipped here; the decoder must keep a second one as a character. One
            // call decodes all, so a sequence cut off at the end shows as U+FFFD.
            QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                            QStringConverter::Flag::Stateless);
            return utf8.decode(QByteArrayView(bytes).sliced(skip));
        }
        case Encoding::Cp949:
            break;
    }
    return textbox::decodeCp949(bytes.constData(), bytes.size());
}

bool DocumentTooLarge(const QString& path) {
    return QFileInfo(path).size() > kMaxDocumentBytes;
}

QString TooLargeText(const QString& name) {
    return QStringLiteral("파일이 너무 커서(512MB 초과) 열 수 없습니다.\n%1").arg(name);
}

QString LoadDocumentText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxDocumentBytes) return QString();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return QString();
    return decodeDocument(bytes);
}
