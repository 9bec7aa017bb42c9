#include "library/BookKey.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include "files/Files.h"

namespace library {

namespace {
constexpr QByteArrayView kFilePrefix = "file:";
constexpr QByteArrayView kEntryPrefix = "entry:";
constexpr int kDigestHex = 40;  // SHA-1
constexpr int kCrcHex = 8;

bool isLowerHex(QByteArrayView s) {
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

// A size as written by QByteArray::number: digits only, no sign, no leading zero but for "0".
std::optional<int64_t> parseSize(QByteArrayView s) {
    if (s.isEmpty() || s.size() > 19 || (s.size() > 1 && s.front() == '0')) return std::nullopt;
    for (char c : s)
        if (c < '0' || c > '9') return std::nullopt;
    bool ok = false;
    const qlonglong v = QByteArray(s.data(), s.size()).toLongLong(&ok);
    return ok ? std::optional<int64_t>(v) : std::nullopt;
}
}  // namespace

std::vector<int64_t> sampleOffsets(int64_t size) {
    std::vector<int64_t> offsets;
    if (size <= 0) return offsets;
    offsets.push_back(0);
    for (int64_t at = BookKey::kSampleBytes; at < size; at *= 4) {
        offsets.push_back(at);
        if (at > INT64_MAX / 4) break;
    }
    const int64_t last = size - BookKey::kSampleBytes;
    if (last > offsets.back()) offsets.push_back(last);
    return offsets;
}

std::optional<BookKey> BookKey::ofFile(const QString& path) {
    const files::RegularFile file(path);
    return ofFile(file);
}

std::optional<BookKey> BookKey::ofFile(const files::RegularFile& file) {
    if (!file.isOpen()) return std::nullopt;
    const int64_t size = file.size();
    QCryptographicHash hash(QCryptographicHash::Sha1);
    char sample[kSampleBytes];
    for (const int64_t at : sampleOffsets(size)) {
        // A file cut short since it was opened reads short: its key is then that of what is
        // there, and the next look sees the new size anyway.
        const int64_t got = file.readAt(sample, kSampleBytes, at);
        if (got < 0) return std::nullopt;
        hash.addData(QByteArrayView(sample, got));
    }
    return BookKey(kFilePrefix.toByteArray() + QByteArray::number(qlonglong(size)) + ':' +
                   hash.result().toHex());
}

BookKey BookKey::ofEntry(const QString& archivePath, const QString& entryName, int64_t size,
                         uint32_t crc) {
    QByteArray text = kEntryPrefix.toByteArray() +
                      QByteArray::number(qlonglong(std::max<int64_t>(size, 0))) + ':' +
                      QByteArray::number(crc, 16).rightJustified(kCrcHex, '0') + ':' +
                      QFileInfo(archivePath).fileName().toUtf8() + '/' + entryName.toUtf8();
    // Names past any sensible length keep their start, so the key stays within what fromText
    // accepts; two such entries differ by their size and CRC anyway.
    if (text.size() > kMaxTextBytes) text.truncate(kMaxTextBytes);
    return BookKey(std::move(text));
}

int64_t BookKey::size() const {
    // Between the first two colons; a key is never made without it.
    const qsizetype from = m_text.indexOf(':') + 1;
    const qsizetype to = from > 0 ? m_text.indexOf(':', from) : -1;
    return to > from ? parseSize(QByteArrayView(m_text).sliced(from, to - from)).value_or(0) : 0;
}

std::optional<BookKey> BookKey::fromText(const QByteArray& text) {
    if (text.size() > kMaxTextBytes) return std::nullopt;
    QByteArrayView rest(text);
    const bool entry = rest.startsWith(kEntryPrefix);
    if (!entry && !rest.startsWith(kFilePrefix)) return std::nullopt;
    rest = rest.sliced(entry ? kEntryPrefix.size() : kFilePrefix.size());
    const qsizetype sizeEnd = rest.indexOf(':');
    if (sizeEnd < 0 || !parseSize(rest.first(sizeEnd))) return std::nullopt;
    rest = rest.sliced(sizeEnd + 1);
    if (!entry)
        return rest.size() == kDigestHex && isLowerHex(rest) ? std::optional(BookKey(text))
                                                             : std::nullopt;
    if (rest.size() < kCrcHex + 2 || rest[kCrcHex] != ':' || !isLowerHex(rest.first(kCrcHex)))
        return std::nullopt;
    rest = rest.sliced(kCrcHex + 1);
    // An archive's name: not empty, and ended by the first "/".
    return rest.indexOf('/') > 0 ? std::optional(BookKey(text)) : std::nullopt;
}

}  // namespace library
