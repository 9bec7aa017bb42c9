#include "window/StateFiles.h"

#include "window/Binary.h"

#include <QFile>
#include <QList>
#include <QSaveFile>

namespace statefiles {

namespace {

using binary::put;
using binary::take;

// Reads a number the way the classic Val does on a line: leading blanks, an optional sign,
// digits, trailing blanks. Anything else is malformed.
std::optional<int64_t> parseNumber(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok);
    if (!ok) return std::nullopt;
    return v;
}

}  // namespace

QString ReadingSettings::cleanFontName() const {
    QByteArray raw = FontName;
    raw.replace('\0', QByteArray());
    return QString::fromUtf8(raw).trimmed();
}

void ReadingSettings::setFontName(const QString& name) {
    QByteArray bytes = name.toUtf8();
    if (bytes.size() > kFontNameBytes) {
        int cut = kFontNameBytes;
        // Step back over continuation bytes so no character is split.
        while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;
        bytes.truncate(cut);
    }
    FontName = bytes.leftJustified(kFontNameBytes, ' ', true);
}

QByteArray encode(const ReadingSettings& s) {
    QByteArray out = s.FontName.leftJustified(kFontNameBytes, '\0', true);
    put(out, s.FontSize);
    put(out, s.TextColor);
    put(out, s.PageColor);
    put(out, s.FontBold);
    put(out, s.SpacingValue0);
    put(out, s.LineSpacing);
    put(out, s.BookmarkSet);
    put(out, s.BookmarkPosition);
    put(out, s.Reserved);
    put(out, s.BookmarkEntry);
    put(out, s.SpacingIndex0);
    put(out, s.LineSpacingIndex);
    put(out, s.FontSizeIndex);
    return out;
}

std::optional<ReadingSettings> decode(const QByteArray& bytes) {
    if (bytes.size() < kSettingsSize) return std::nullopt;
    ReadingSettings s;
    s.FontName = bytes.left(kFontNameBytes);
    int o = kFontNameBytes;
    s.FontSize = take<int16_t>(bytes, o);
    s.TextColor = take<int32_t>(bytes, o);
    s.PageColor = take<int32_t>(bytes, o);
    s.FontBold = take<int16_t>(bytes, o);
    s.SpacingValue0 = take<int16_t>(bytes, o);
    s.LineSpacing = take<int16_t>(bytes, o);
    s.BookmarkSet = take<int16_t>(bytes, o);
    s.BookmarkPosition = take<int32_t>(bytes, o);
    s.Reserved = take<int32_t>(bytes, o);
    s.BookmarkEntry = take<int32_t>(bytes, o);
    s.SpacingIndex0 = take<int16_t>(bytes, o);
    s.LineSpacingIndex = take<int16_t>(bytes, o);
    s.FontSizeIndex = take<int16_t>(bytes, o);
    // The two flags are -1 or 0; any other value from a damaged file is true, as any non-zero
    // flag is, and is written back as -1.
    s.FontBold = s.FontBold ? -1 : 0;
    s.BookmarkSet = s.BookmarkSet ? -1 : 0;
    return s;
}

QByteArray formatNumber(int64_t v) {
    const QByteArray digits = QByteArray::number(v < 0 ? -v : v);
    return (v < 0 ? "-" : " ") + digits + " ";
}

QByteArray encodeDocument(const DocumentState& d) {
    QByteArray out;
    out += d.documentPath.toUtf8() + "\r\n";
    out += formatNumber(d.archiveKind) + "\r\n";
    out += d.archivePath.toUtf8() + "\r\n";
    out += formatNumber(d.entryIndex) + "\r\n";
    return out;
}

std::optional<DocumentState> decodeDocument(const QByteArray& bytes) {
    if (bytes.isEmpty()) return std::nullopt;
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray& l : lines)
        if (l.endsWith('\r')) l.chop(1);
    DocumentState d;
    d.documentPath = QString::fromUtf8(lines.value(0));
    if (const auto kind = parseNumber(lines.value(1)); kind && *kind >= -32768 && *kind <= 32767)
        d.archiveKind = static_cast<int16_t>(*kind);
    d.archivePath = QString::fromUtf8(lines.value(2));
    if (const auto index = parseNumber(lines.value(3));
        index && *index >= INT32_MIN && *index <= INT32_MAX)
        d.entryIndex = static_cast<int32_t>(*index);
    return d;
}

std::optional<QByteArray> readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return f.readAll();
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile f(path);
    // Unbuffered, so a short write (a full disk) shows here: a buffered one could be flushed in
    // part at commit and still be renamed over the old file.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    if (f.write(bytes) != bytes.size() || f.size() != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

}  // namespace statefiles
