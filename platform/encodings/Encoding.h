#pragma once
// The encodings a book can be read in: the automatic guess, or one the reader chose for it.

#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>

namespace encodings {

enum class Encoding : uint8_t {
    Automatic,
    Utf8,
    Cp949,
    Utf16Le,
    Utf16Be,
    ShiftJis,
    EucJp,
    Gb18030,
    Big5
};

// Every encoding, in the order a menu lists them.
inline constexpr std::array kEncodings = {
    Encoding::Automatic, Encoding::Utf8,  Encoding::Cp949,   Encoding::Utf16Le, Encoding::Utf16Be,
    Encoding::ShiftJis,  Encoding::EucJp, Encoding::Gb18030, Encoding::Big5};

// The name it is stored under: "" for Automatic, else the IANA name ("UTF-8", "CP949",
// "Shift_JIS", ...). Stored names never change.
QString encodingId(Encoding encoding);
// The encoding stored as id (case aside); Automatic for "" and for any name it does not know.
Encoding encodingFromId(QStringView id);
// What the menu calls it: 자동, 한국어 (CP949), ...
QString encodingCaption(Encoding encoding);

}  // namespace encodings
