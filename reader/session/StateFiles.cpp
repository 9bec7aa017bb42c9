#include "session/StateFiles.h"

#include "files/NewFile.h"
#include "session/Binary.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <type_traits>
#include <variant>

#include <QFile>
#include <QList>
#include <QRandomGenerator>

namespace statefiles {

namespace {

using binary::put;
using binary::take;

// The largest state file read: the records are 26 and 86 bytes, the document file two paths.
constexpr qsizetype kLargestFile = 64 * 1024;

// Reads a number the way the classic Val does on a line: leading blanks, an optional sign,
// digits, trailing blanks. Anything else is malformed.
std::optional<int64_t> parseNumber(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok);
    if (!ok) return std::nullopt;
    return v;
}

// The whole of a regular file of at most kLargestFile bytes.
std::optional<QByteArray> readSmallFile(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return std::nullopt;
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return std::nullopt;
    }
    if (st.st_size > kLargestFile) {
        errno = EFBIG;
        return std::nullopt;
    }
    // One byte more than the bound, so a file that grew since fstat is caught too.
    QByteArray b(kLargestFile + 1, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < b.size()) {
        const ssize_t n = ::read(fd, b.data() + got, size_t(b.size() - got));
        if (n == 0) break;
        if (n > 0)
            got += n;
        else if (errno != EINTR)
            return std::nullopt;
    }
    if (got > kLargestFile) {
        errno = EFBIG;
        return std::nullopt;
    }
    b.truncate(got);
    return b;
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

namespace {

// The settings record, field by field in file order: where each lies and which member holds it.
// The numbers are little-endian, as wide as their members; the font name is its 50 bytes.
struct SettingsField {
    int offset;
    std::variant<QByteArray ReadingSettings::*, int16_t ReadingSettings::*,
                 int32_t ReadingSettings::*>
        member;
    // A flag is -1 or 0; any other value from a damaged file is true, as any non-zero flag is,
    // and reads (and is written back) as -1.
    bool flag = false;
};

constexpr SettingsField kSettingsFields[] = {
    {0, &ReadingSettings::FontName},          {50, &ReadingSettings::FontSize},
    {52, &ReadingSettings::TextColor},        {56, &ReadingSettings::PageColor},
    {60, &ReadingSettings::FontBold, true},   {62, &ReadingSettings::SpacingValue0},
    {64, &ReadingSettings::LineSpacing},      {66, &ReadingSettings::BookmarkSet, true},
    {68, &ReadingSettings::BookmarkPosition}, {72, &ReadingSettings::Reserved},
    {76, &ReadingSettings::BookmarkEntry},    {80, &ReadingSettings::SpacingIndex0},
    {82, &ReadingSettings::LineSpacingIndex}, {84, &ReadingSettings::FontSizeIndex},
};

constexpr int widthOf(QByteArray ReadingSettings::*) {
    return kFontNameBytes;
}
template <typename T>
constexpr int widthOf(T ReadingSettings::*) {
    return int(sizeof(T));
}

// Each field starts where the one before it ends, and the last ends with the record: the
// writer, which appends them in this order, puts every one at its offset.
constexpr bool fieldsTileRecord() {
    int end = 0;
    for (const SettingsField& f : kSettingsFields) {
        if (f.offset != end) return false;
        end += std::visit([](auto m) { return widthOf(m); }, f.member);
    }
    return end == kSettingsSize;
}
static_assert(fieldsTileRecord());

void putField(QByteArray& out, const QByteArray& name) {
    out += name.leftJustified(kFontNameBytes, '\0', true);
}
template <typename T>
void putField(QByteArray& out, T v) {
    put(out, v);
}

}  // namespace

QByteArray encode(const ReadingSettings& s) {
    QByteArray out;
    for (const SettingsField& f : kSettingsFields)
        std::visit([&](auto m) { putField(out, s.*m); }, f.member);
    return out;
}

std::optional<ReadingSettings> decode(const QByteArray& bytes) {
    if (bytes.size() < kSettingsSize) return std::nullopt;
    ReadingSettings s;
    for (const SettingsField& f : kSettingsFields) {
        std::visit(
            [&](auto m) {
                using T = std::remove_reference_t<decltype(s.*m)>;
                if constexpr (std::is_same_v<T, QByteArray>) {
                    s.*m = bytes.mid(f.offset, kFontNameBytes);
                } else {
                    int o = f.offset;
                    s.*m = take<T>(bytes, o);
                    if (f.flag) s.*m = T(s.*m ? -1 : 0);
                }
            },
            f.member);
    }
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
    // Never through a link, and never waiting on a FIFO someone put at the name: either reads
    // as no file at all.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    auto bytes = readSmallFile(fd);
    const int why = errno;
    ::close(fd);
    errno = why;
    return bytes;
}

namespace {

// A fresh file in dir under a name of its own beside `name`, never through a link; its
// descriptor, or -1. 0666 less the umask, as any new file here.
int createTemporary(int dir, const QByteArray& name, QByteArray& temp) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int tries = 0; tries < 100; ++tries) {
        temp = name + '.';
        for (int i = 0; i < 6; ++i)
            temp += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
        const int fd =
            ::openat(dir, temp.constData(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
    const QByteArray full = QFile::encodeName(path);
    const qsizetype slash = full.lastIndexOf('/');
    const QByteArray folder = slash < 0    ? QByteArray(".")
                              : slash == 0 ? QByteArray("/")
                                           : full.left(slash);
    const QByteArray name = full.mid(slash + 1);
    if (name.isEmpty() || name == "." || name == "..") {
        errno = EINVAL;
        return false;
    }
    // Everything happens relative to the folder as opened here, whatever is renamed meanwhile.
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return false;
    const auto fail = [dir](const QByteArray& temp) {
        const int why = errno;
        if (!temp.isEmpty()) ::unlinkat(dir, temp.constData(), 0);
        ::close(dir);
        errno = why;
        return false;
    };

    QByteArray temp;
    const int fd = createTemporary(dir, name, temp);
    if (fd < 0) return fail({});

    // The permissions of a file it replaces are kept.
    struct stat old {};
    bool ok = true;
    if (::fstatat(dir, name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode))
        ok = ::fchmod(fd, old.st_mode & 0777) == 0;
    // Every byte on the disk before the name moves: a full disk or an I/O error may show only
    // at fsync or close, and a rename that outran the data could leave an empty file after a
    // power cut.
    errno = 0;
    ok = ok && files::writeAll(fd, bytes.constData(), size_t(bytes.size()));
    if (!ok && errno == 0) errno = EIO;
    ok = ok && ::fsync(fd) == 0;
    if (!ok) {
        const int why = errno;
        ::close(fd);
        errno = why;
        return fail(temp);
    }
    if (::close(fd) != 0) return fail(temp);
    // The rename replaces whatever stood at the name, a link included; its target is left be.
    if (::renameat(dir, temp.constData(), dir, name.constData()) != 0) return fail(temp);
    // The new name itself reaches the disk. A file system that cannot sync a folder
    // (EINVAL) has nothing more to give.
    if (::fsync(dir) != 0 && errno != EINVAL) return fail({});
    ::close(dir);
    return true;
}

}  // namespace statefiles
