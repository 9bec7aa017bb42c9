#include "encodings/Encoding.h"

namespace encodings {

namespace {

struct Names {
    Encoding encoding;
    const char* id;
    const char* caption;  // UTF-8
};

constexpr Names kNames[] = {
    {Encoding::Automatic, "", "자동"},
    {Encoding::Utf8, "UTF-8", "UTF-8"},
    {Encoding::Cp949, "CP949", "한국어 (CP949)"},
    {Encoding::Utf16Le, "UTF-16LE", "UTF-16 LE"},
    {Encoding::Utf16Be, "UTF-16BE", "UTF-16 BE"},
    {Encoding::ShiftJis, "Shift_JIS", "일본어 (Shift_JIS)"},
    {Encoding::EucJp, "EUC-JP", "일본어 (EUC-JP)"},
    {Encoding::Gb18030, "GB18030", "중국어 간체 (GB18030)"},
    {Encoding::Big5, "Big5", "중국어 번체 (Big5)"},
};
static_assert(std::size(kNames) == kEncodings.size());

const Names& namesOf(Encoding encoding) {
    for (const Names& n : kNames)
        if (n.encoding == encoding) return n;
    return kNames[0];
}

}  // namespace

QString encodingId(Encoding encoding) {
    return QString::fromLatin1(namesOf(encoding).id);
}

Encoding encodingFromId(QStringView id) {
    for (const Names& n : kNames)
        if (id.compare(QLatin1StringView(n.id), Qt::CaseInsensitive) == 0) return n.encoding;
    return Encoding::Automatic;
}

QString encodingCaption(Encoding encoding) {
    return QString::fromUtf8(namesOf(encoding).caption);
}

}  // namespace encodings
