#pragma once
// The East Asian code pages beside CP949 (Shift_JIS, EUC-JP, GB18030, Big5): decoding through
// iconv, and telling them from CP949 by the statistics of a sample.

#include <QString>

#include "encodings/Encoding.h"

namespace encodings {

// How much of a book's start the guess reads: enough for a confident answer on prose, and a
// bound on its cost (about a millisecond on text, more on binary junk).
constexpr qsizetype kGuessSampleBytes = qsizetype(64) << 10;

// The code page of the first bytes of a book that is not UTF-8: ShiftJis, EucJp, Gb18030 or Big5
// when uchardet names it and the sample holds no sequence that code page cannot decode; Cp949
// in every other case (uchardet's EUC-KR and UHC, an unsure answer, anything else), and for a
// sample that CP949 reads as Hangul syllables and first-row marks (… “ ”) alone.
Encoding guessCodePage(const char* sample, qsizetype size);

// A book decoded from one of the four iconv code pages a piece at a time. A sequence it cannot
// decode becomes one U+FFFD and decoding goes on (a non-ASCII byte after a bad lead goes with
// it, an ASCII byte survives), so the text is never cut short.
class CodePageDecoder {
public:
    explicit CodePageDecoder(Encoding encoding);
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    // Appends the text of data[0, size) to out from unit *units on (growing out as needed) and
    // returns the bytes used: all of them, but for a sequence cut off by the piece's end (or a
    // bad lead there, whose trail byte may follow) when more bytes follow (atEnd false), which
    // the next piece must start with. A piece of 16 bytes or more always uses some.
    qsizetype decode(const char* data, qsizetype size, bool atEnd, QString& out, qsizetype* units);

private:
    void* m_cd;  // the iconv_t, kept out of this header
};

}  // namespace encodings
