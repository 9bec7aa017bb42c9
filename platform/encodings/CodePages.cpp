#include "encodings/CodePages.h"

#include <iconv.h>
#include <uchardet/uchardet.h>
#include <QByteArrayView>
#include <QtEndian>
#include <cerrno>
#include <cstdint>
#include <memory>

namespace encodings {

namespace {

// The iconv name each code page is read with. Shift_JIS and Big5 files come from Windows, so
// they are read as its supersets: iconv's plain SHIFT_JIS turns 0x5C into a yen sign and lacks
// the NEC and IBM rows, as BIG5 lacks the rows CP950 adds.
const char* iconvName(Encoding encoding) {
    switch (encoding) {
        case Encoding::ShiftJis:
            return "CP932";
        case Encoding::EucJp:
            return "EUC-JP";
        case Encoding::Gb18030:
            return "GB18030";
        case Encoding::Big5:
            return "CP950";
        default:
            return nullptr;
    }
}

constexpr const char* kUtf16 =
    QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";

iconv_t openDecoder(Encoding encoding) {
    const char* name = iconvName(encoding);
    return name ? iconv_open(kUtf16, name) : iconv_t(-1);
}

// uchardet's answer as one of ours; Cp949 for all it may say of Korean, and of anything else.
Encoding fromDetectorName(QByteArrayView name) {
    const auto is = [&](const char* n) { return name.compare(n, Qt::CaseInsensitive) == 0; };
    if (is("SHIFT_JIS")) return Encoding::ShiftJis;
    if (is("EUC-JP")) return Encoding::EucJp;
    if (is("GB18030") || is("GB2312") || is("GBK")) return Encoding::Gb18030;
    if (is("BIG5")) return Encoding::Big5;
    return Encoding::Cp949;
}

struct DetectorDeleter {
    void operator()(uchardet* d) const { uchardet_delete(d); }
};

// Whether iconv decodes the whole sample; a sequence cut off by the sample's end is no fault.
bool decodesCleanly(Encoding encoding, const char* sample, qsizetype size) {
    const iconv_t cd = openDecoder(encoding);
    if (cd == iconv_t(-1)) return false;
    char16_t out[2048];
    char* in = const_cast<char*>(sample);
    size_t inLeft = size_t(size);
    bool clean = true;
    while (inLeft > 0) {
        char* dst = reinterpret_cast<char*>(out);
        size_t dstLeft = sizeof out;
        if (iconv(cd, &in, &inLeft, &dst, &dstLeft) != size_t(-1)) break;
        if (errno == E2BIG) continue;
        clean = errno == EINVAL;
        break;
    }
    iconv_close(cd);
    return clean;
}

// Whether every non-ASCII byte of the sample is in a pair CP949 reads as a KS X 1001 Hangul
// syllable (lead B0-C8, trail A1-FE) or a mark of its first symbol row (lead A1: … “ ” · and
// the like), with at least one syllable; a lead cut off by the sample's end is no fault. To
// uchardet a short line of Hangul looks like GB2312 (the two share those bytes), but Chinese
// prose has its full-width comma (A3AC), Big5 its trail bytes below A1, and Japanese its kana
// (rows A4 and A5, or Shift_JIS leads below A0), none of which such a sample holds.
bool hangulOnly(const char* sample, qsizetype size) {
    const auto* s = reinterpret_cast<const uint8_t*>(sample);
    bool syllable = false;
    for (qsizetype i = 0; i < size;) {
        const uint8_t lead = s[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (i + 1 == size) break;
        const uint8_t trail = s[i + 1];
        const bool hangul = lead >= 0xB0 && lead <= 0xC8;
        if ((!hangul && lead != 0xA1) || trail < 0xA1 || trail > 0xFE) return false;
        syllable = syllable || hangul;
        i += 2;
    }
    return syllable;
}

}  // namespace

Encoding guessCodePage(const char* sample, qsizetype size) {
    const std::unique_ptr<uchardet, DetectorDeleter> detector(uchardet_new());
    if (!detector || size <= 0) return Encoding::Cp949;
    // uchardet answers "" when no prober reached its confidence threshold.
    if (uchardet_handle_data(detector.get(), sample, size_t(size)) != 0) return Encoding::Cp949;
    uchardet_data_end(detector.get());
    const Encoding guess = fromDetectorName(uchardet_get_charset(detector.get()));
    if (guess == Encoding::Cp949 || !decodesCleanly(guess, sample, size)) return Encoding::Cp949;
    // Hangul and its marks alone are Korean, whatever uchardet made of them.
    if (hangulOnly(sample, size)) return Encoding::Cp949;
    return guess;
}

CodePageDecoder::CodePageDecoder(Encoding encoding) : m_cd(openDecoder(encoding)) {}

CodePageDecoder::~CodePageDecoder() {
    if (m_cd != iconv_t(-1)) iconv_close(m_cd);
}

qsizetype CodePageDecoder::decode(const char* data, qsizetype size, bool atEnd, QString& out,
                                  qsizetype* units) {
    const auto* s = reinterpret_cast<const uint8_t*>(data);
    qsizetype i = 0;
    while (i < size) {
        // No character of these code pages has more UTF-16 units than bytes; room for one more
        // than the bytes left keeps a U+FFFD from ever needing a second pass.
        if (out.size() - *units < size - i + 1) out.resize(*units + size - i + 1);
        char* in = const_cast<char*>(data + i);
        size_t inLeft = size_t(size - i);
        char* dst = reinterpret_cast<char*>(out.data() + *units);
        size_t dstLeft = size_t(out.size() - *units) * sizeof(char16_t);
        const bool done =
            m_cd != iconv_t(-1) && iconv(m_cd, &in, &inLeft, &dst, &dstLeft) != size_t(-1);
        const int error = errno;
        *units = reinterpret_cast<QChar*>(dst) - out.data();
        i = size - qsizetype(inLeft);
        if (done) break;
        if (m_cd != iconv_t(-1) && error == E2BIG) {
            out.resize(out.size() + (size - i) + 16);
            continue;
        }
        if (m_cd != iconv_t(-1) && error == EINVAL && !atEnd) return i;
        // Without a decoder ASCII still reads; every other byte is unknown.
        if (m_cd == iconv_t(-1) && s[i] < 0x80) {
            out[(*units)++] = QChar(s[i++]);
            continue;
        }
        // A bad lead at the piece's end goes with the next piece, which holds its trail byte.
        if (!atEnd && i > 0 && i + 1 == size) return i;
        out[(*units)++] = QChar::ReplacementCharacter;
        const uint8_t c = s[i];
        const uint8_t trail = i + 1 < size ? s[i + 1] : 0;
        i += c >= 0x81 && c <= 0xFE && trail >= 0x80 && trail <= 0xFE ? 2 : 1;
    }
    return size;
}

}  // namespace encodings
