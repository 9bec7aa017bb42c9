#include "pages/DocumentText.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QtEndian>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <sys/mman.h>
#include <unistd.h>

#include "textbox/Cp949.h"

namespace {

// Strict UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF); *multiByte tells whether
// any character took more than one byte. A sequence cut off by the end (atEnd) still counts:
// a truncated UTF-8 file loses its last character, not its whole text to a CP949 misreading.
bool isUtf8(const uint8_t* s, qsizetype n, bool* multiByte, bool atEnd) {
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
        if (present < extra && !atEnd) return false;
        if (present >= 1 && (s[i + 1] < lo || s[i + 1] > hi)) return false;
        for (int k = 2; k <= present; ++k)
            if ((s[i + k] & 0xC0) != 0x80) return false;
        *multiByte = true;
        i += extra + 1;
    }
    return true;
}

// The document's bytes, read a piece at a time; done(n) says the first n bytes are no longer
// needed (a mapped file then gives their pages back).
struct Source {
    const uint8_t* s;
    qsizetype n;
    qsizetype chunk;
    std::function<void(qsizetype)> done;
};

constexpr qsizetype kChunk = qsizetype(4) << 20;

// Where the piece from `from` ends: at least chunk bytes on, before a byte below 0x41, which is
// no part of a multi-byte character of UTF-8 or CP949 (nor the second byte of a CP949 pair), so
// every piece decodes as it would within the whole.
qsizetype pieceEnd(const Source& src, qsizetype from) {
    qsizetype p = from + std::max<qsizetype>(src.chunk, 1);
    if (p >= src.n) return src.n;
    while (p < src.n && src.s[p] >= 0x41) ++p;
    return p;
}

bool startsWith(const Source& src, const char* prefix, qsizetype size) {
    return src.n >= size && std::memcmp(src.s, prefix, size_t(size)) == 0;
}

Encoding detect(const Source& src) {
    if (startsWith(src, "\xFF\xFE", 2)) return Encoding::Utf16Le;
    if (startsWith(src, "\xEF\xBB\xBF", 3)) return Encoding::Utf8;
    bool multiByte = false;
    for (qsizetype from = 0; from < src.n;) {
        const qsizetype to = pieceEnd(src, from);
        bool some = false;
        const bool valid = isUtf8(src.s + from, to - from, &some, to == src.n);
        if (src.done) src.done(to);
        if (!valid) return Encoding::Cp949;
        multiByte = multiByte || some;
        from = to;
    }
    return multiByte ? Encoding::Utf8 : Encoding::Cp949;
}

QString decode(const Source& src) {
    switch (detect(src)) {
        case Encoding::Utf16Le: {
            const qsizetype units = (src.n - 2) / 2;
            // An odd last byte is half a unit: shown as U+FFFD, not dropped.
            QString text(units + src.n % 2, Qt::Uninitialized);
            char16_t* out = reinterpret_cast<char16_t*>(text.data());
            const qsizetype step = std::max<qsizetype>(src.chunk / 2, 1);
            for (qsizetype u = 0; u < units; u += step) {
                const qsizetype count = std::min(step, units - u);
                qFromLittleEndian<char16_t>(src.s + 2 + 2 * u, count, out + u);
                if (src.done) src.done(2 + 2 * (u + count));
            }
            if (src.n % 2) out[units] = QChar::ReplacementCharacter;
            return text;
        }
        case Encoding::Utf8: {
            const qsizetype skip = startsWith(src, "\xEF\xBB\xBF", 3) ? 3 : 0;
            // The mark is skipped here; the decoder must keep a second one as a character. A
            // sequence cut off at the end shows as U+FFFD.
            QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                            QStringConverter::Flag::Stateless);
            QString text;
            text.reserve(src.n - skip);  // never more units than bytes; untouched room costs nothing
            for (qsizetype from = skip; from < src.n;) {
                const qsizetype to = pieceEnd(src, from);
                text.append(QString(utf8.decode(QByteArrayView(src.s + from, to - from))));
                if (src.done) src.done(to);
                from = to;
            }
            return text;
        }
        case Encoding::Cp949:
            break;
    }
    QString text(src.n, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    qsizetype units = 0;
    for (qsizetype from = 0; from < src.n;) {
        const qsizetype to = pieceEnd(src, from);
        units += textbox::decodeCp949To(reinterpret_cast<const char*>(src.s) + from, to - from,
                                        out + units);
        if (src.done) src.done(to);
        from = to;
    }
    text.resize(units);
    return text;
}

Source sourceOf(const char* data, qsizetype size, qsizetype chunk = kChunk) {
    return Source{reinterpret_cast<const uint8_t*>(data), size, chunk, nullptr};
}

}  // namespace

Encoding detectEncoding(const QByteArray& bytes) {
    return detect(sourceOf(bytes.constData(), bytes.size()));
}

QString decodeDocument(const QByteArray& bytes) {
    return decode(sourceOf(bytes.constData(), bytes.size()));
}

QString decodeDocument(const char* data, qsizetype size, qsizetype chunk) {
    return decode(sourceOf(data, size, chunk));
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
    // Mapped and read a piece at a time, each piece's pages given back once decoded: the file
    // and its text are never held whole at once.
    const qsizetype size = qsizetype(file.size());
    if (uchar* map = size > 0 ? file.map(0, size) : nullptr) {
        ::madvise(map, size_t(size), MADV_SEQUENTIAL);
        const qsizetype page = ::getpagesize();
        qsizetype released = 0;
        Source src{map, size, kChunk, [&](qsizetype upTo) {
                       const qsizetype end = upTo / page * page;
                       if (end > released) {
                           ::madvise(map + released, size_t(end - released), MADV_DONTNEED);
                           released = end;
                       }
                   }};
        QString text = decode(src);
        file.unmap(map);
        return text;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return QString();
    return decodeDocument(bytes);
}
