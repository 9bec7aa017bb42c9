#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>
#include <libdeflate.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <clocale>
#include <csignal>
#include <functional>
#include <map>
#include <new>
#include <thread>

#include "unzip/Unzip.h"
#include "unzip/ZipDirectory.h"

using namespace unzip;

namespace {

const QString kSamples = QStringLiteral(TL_TESTDATA_DIR "/zip");

#define REQUIRE_SAMPLES() \
    if (!QDir(kSamples).exists()) GTEST_SKIP() << "no sample archives at " << kSamples.toStdString()

struct Outcome {
    int32_t result = 0;
    std::vector<ListedEntry> listed;
    int services = 0;
    std::vector<std::string> replaced;

    std::vector<std::string> names() const {
        std::vector<std::string> names;
        for (const ListedEntry& e : listed) names.push_back(e.name);
        return names;
    }
};

Outcome call(const QString& zip, const QString& dir, std::vector<std::string> include = {},
             const std::string& password = {}) {
    Outcome run;
    Options o;
    o.List = dir.isEmpty() ? 1 : 0;
    o.ZipFile = zip.toStdString();
    o.ExtractDir = dir.toStdString();
    Callbacks c;
    c.listing = [&](const ListedEntry& e) { run.listed.push_back(e); };
    c.password = [&](std::string& p, const std::string&) { return (p = password).empty(); };
    c.service = [&](const std::string&, uint64_t) {
        ++run.services;
        return 0;
    };
    c.replace = [&](const std::string& name) {
        run.replaced.push_back(name);
        return 100;
    };
    run.result = Wiz_SingleEntryUnzip(int(include.size()), include, 0, {}, o, c);
    return run;
}

// The names in dir, which must all be regular files.
std::vector<QString> filesIn(const QString& dir) {
    std::vector<QString> names;
    for (const QString& name : QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                   QDir::NoDotAndDotDot)) {
        struct stat st {};
        EXPECT_EQ(lstat(QFile::encodeName(dir + "/" + name).constData(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode)) << name.toStdString();
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

uint32_t crc32(const QByteArray& data) {
    uint32_t crc = 0xFFFFFFFF;
    for (const char byte : data) {
        crc ^= uint8_t(byte);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

struct Stored {
    QByteArray name;  // the exact bytes in the archive
    QByteArray data;
    bool utf8 = true;
    uint32_t mode = 0100644;
    uint32_t crcDelta = 0;  // non-zero: a damaged entry
    uint16_t method = 0;    // 8: deflated
    // The local header leaves CRC and sizes to a descriptor after the data.
    bool descriptor = false;
};

QByteArray deflated(const QByteArray& data) {
    libdeflate_compressor* c = libdeflate_alloc_compressor(6);
    QByteArray out(qsizetype(libdeflate_deflate_compress_bound(c, size_t(data.size()))), '\0');
    out.resize(qsizetype(libdeflate_deflate_compress(c, data.constData(), size_t(data.size()),
                                                     out.data(), size_t(out.size()))));
    libdeflate_free_compressor(c);
    return out;
}

void put(QByteArray& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.append(char(value >> (8 * i)));
}

uint32_t le32(const QByteArray& zip, qsizetype at) {
    return uint8_t(zip[at]) | uint8_t(zip[at + 1]) << 8 | uint8_t(zip[at + 2]) << 16 |
           uint32_t(uint8_t(zip[at + 3])) << 24;
}

// A Unix-made archive, every byte chosen here (2024-03-01 12:00).
QByteArray buildZip(const std::vector<Stored>& entries) {
    QByteArray zip, central;
    for (const Stored& e : entries) {
        const QByteArray body = e.method == 8 ? deflated(e.data) : e.data;
        const uint32_t crc = crc32(e.data) + e.crcDelta;
        const auto common = [&](bool local) {  // version needed .. name length
            const bool later = local && e.descriptor;
            QByteArray c;
            put(c, 20, 2), put(c, (e.utf8 ? 0x800 : 0) | (e.descriptor ? 8 : 0), 2);
            put(c, e.method, 2), put(c, 12 << 11, 2), put(c, (44 << 9) | (3 << 5) | 1, 2);
            put(c, later ? 0 : crc, 4);
            put(c, later ? 0 : body.size(), 4), put(c, later ? 0 : e.data.size(), 4);
            put(c, e.name.size(), 2), put(c, 0, 2);
            return c;
        };
        put(central, 0x02014b50, 4), put(central, 0x0314, 2), central += common(false);
        put(central, 0, 6), put(central, e.mode << 16, 4), put(central, zip.size(), 4);
        central += e.name;
        put(zip, 0x04034b50, 4), zip += common(true) + e.name + body;
        if (e.descriptor) put(zip, 0x08074b50, 4), put(zip, crc, 4), put(zip, body.size(), 4);
        if (e.descriptor) put(zip, e.data.size(), 4);
    }
    const uint32_t at = zip.size();
    zip += central;
    put(zip, 0x06054b50, 4), put(zip, 0, 4), put(zip, entries.size(), 2);
    put(zip, entries.size(), 2), put(zip, central.size(), 4), put(zip, at, 4), put(zip, 0, 2);
    return zip;
}

QString writeZip(const QTemporaryDir& tmp, const QByteArray& zip) {
    QFile f(tmp.filePath("built.zip"));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(zip);
    return f.fileName();
}

QString writeZip(const QTemporaryDir& tmp, const std::vector<Stored>& entries) {
    return writeZip(tmp, buildZip(entries));
}

// What the direct reader makes of each regular entry, met where libarchive's walk meets it; the
// file it wrote holds the whole entry when it read it, and nothing otherwise, and what it handed
// over as it wrote is the file.
std::vector<Direct> directReads(const QString& zip) {
    std::vector<Direct> results;
    bool hostile = false;
    const auto directory = ZipDirectory::open(zip.toStdString(), hostile);
    archive* a = archive_read_new();
    archive_read_support_format_zip(a);
    archive_entry* e = nullptr;
    if (directory && archive_read_open_filename(a, qPrintable(zip), 65536) == ARCHIVE_OK) {
        while (archive_read_next_header(a, &e) >= ARCHIVE_WARN) {
            if (archive_entry_filetype(e) != AE_IFREG) continue;
            const int64_t size = archive_entry_size(e);
            const int fd = memfd_create("entry", MFD_CLOEXEC);
            QByteArray handed;
            results.push_back(directory->extract(
                archive_filter_bytes(a, 0), size, fd,
                [&](const char* data, size_t n) { handed.append(data, qsizetype(n)); }));
            QFile written;
            EXPECT_TRUE(written.open(fd, QIODevice::ReadOnly));
            const QByteArray bytes = written.readAll();
            EXPECT_EQ(bytes.size(), results.back() == Direct::Read ? size : 0);
            if (results.back() == Direct::Read) {
                EXPECT_EQ(handed, bytes);
            }
            written.close();
            close(fd);
        }
    }
    archive_read_free(a);
    return results;
}

// About 300 KiB of text, as a book.
QByteArray bookText() {
    QByteArray book;
    for (int i = 0; book.size() < 300 * 1024; ++i)
        book += QStringLiteral("%1. 동백꽃이 노랗게 피었다.\r\n").arg(i).toUtf8();
    return book;
}

const std::vector<Stored> kBook = {
    {"a/b/c.txt", "c"},
    {"x.txt", "x"},
    {"folder/", "", true, 040755},
    {"[1] 책.txt", "book"},
    {"\x8c\x63\xb9\xe6.txt", "cp949", false},  // "똠방.txt" as Korean Windows stores it
    {"link.txt", "/etc/passwd", true, 0120777},
};

}  // namespace

TEST(UnzipBuilt, AnEntryIsChosenByItsExactNameAlone) {
    const std::vector<Stored> entries = {
        {"*.txt", "star"}, {"b.txt", "b"}, {"sub/hidden.txt", "hidden"}, {"[b].txt", "class"},
        {"?.txt", "mark", true, 0100644, 0, 8},
    };
    const std::tuple<std::string, int32_t, std::vector<QString>, QByteArray> cases[] = {
        {"*.txt", PK_OK, {"*.txt"}, "star"},
        {"?.txt", PK_OK, {"?.txt"}, "mark"},
        {"[b].txt", PK_OK, {"[b].txt"}, "class"},
        {"sub/hidden.txt", PK_OK, {"hidden.txt"}, "hidden"},
        {"hidden.txt", PK_FIND, {}, ""},
        {"sub/*", PK_FIND, {}, ""},
    };
    for (const auto& [name, result, files, streamed] : cases) {
        QTemporaryDir tmp;
        const QString out = tmp.filePath("out");
        QDir().mkpath(out);
        Options o;
        o.ZipFile = writeZip(tmp, entries).toStdString();
        o.ExtractDir = out.toStdString();
        Callbacks c;
        QByteArray handed;
        c.content = [&](const char* data, size_t n) { handed.append(data, qsizetype(n)); };
        EXPECT_EQ(Wiz_SingleEntryUnzip(1, {name}, 0, {}, o, c), result) << name;
        EXPECT_EQ(filesIn(out), files) << name;
        EXPECT_EQ(handed, streamed) << name;
    }
}

TEST(UnzipBuilt, ListsEveryEntryInOrder) {
    QTemporaryDir tmp;
    const Outcome run = call(writeZip(tmp, kBook), {});
    EXPECT_EQ(run.result, PK_OK);
    const std::vector<std::string> names = {"a/b/c.txt",  "x.txt",    "folder/",
                                            "[1] 책.txt", "똠방.txt", "link.txt"};
    EXPECT_EQ(run.names(), names);
    const ListedEntry& x = run.listed.at(1);
    EXPECT_EQ(QString::asprintf("%u %s %d-%d-%d %d:%d %d", x.size, x.method.c_str(), x.year,
                                x.month, x.day, x.hour, x.minute, x.flags),
              "1 Stored 2024-3-1 12:0 0");
}

TEST(UnzipBuilt, ExtractsSelectedEntriesFlat) {
    const std::pair<std::vector<std::string>, std::vector<QString>> cases[] = {
        {{"[1] 책.txt"}, {"[1] 책.txt"}},
        {{}, {"[1] 책.txt", "c.txt", "x.txt", "똠방.txt"}},
        {{"a/b/c.txt", "folder/", "link.txt"}, {"c.txt"}},
    };
    for (const auto& [include, files] : cases) {
        QTemporaryDir tmp;
        QDir(tmp.path()).mkdir("out");
        EXPECT_EQ(call(writeZip(tmp, kBook), tmp.filePath("out"), include).result, PK_OK);
        EXPECT_EQ(filesIn(tmp.filePath("out")), files) << include.size();
    }
}

TEST(UnzipBuilt, NeverWritesOverOrThroughWhatIsThere) {
    QTemporaryDir tmp;
    const QString out = tmp.filePath("out");
    QDir(tmp.path()).mkdir("out");
    QFile mine(out + "/x.txt");
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.write("mine");
    mine.close();
    ASSERT_EQ(symlink(qPrintable(tmp.filePath("outside.txt")), qPrintable(out + "/c.txt")), 0);
    const Outcome run = call(writeZip(tmp, kBook), out);
    EXPECT_EQ(run.result, PK_OK);
    EXPECT_EQ(run.replaced.size(), 2u);
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_EQ(mine.readAll(), "mine");
    EXPECT_FALSE(QFile::exists(tmp.filePath("outside.txt")));
}

TEST(UnzipBuilt, RefusesBadCallsAndUnreadableArchives) {
    QTemporaryDir tmp;
    const QString zip = writeZip(tmp, kBook);
    QFile text(tmp.filePath("plain.zip"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not an archive at all\n");
    text.close();
    const std::tuple<QString, QString, std::vector<std::string>, int32_t> cases[] = {
        {zip, tmp.path(), std::vector<std::string>(1024, "*"), PK_PARAM},
        {zip, tmp.path(), {"nothing.txt"}, PK_FIND},
        {tmp.filePath("missing.zip"), tmp.path(), {}, PK_NOZIP},
        {tmp.path(), tmp.path(), {}, PK_NOZIP},
        {text.fileName(), tmp.path(), {}, PK_BADERR},
        {text.fileName(), {}, {}, PK_BADERR},
        {zip, tmp.filePath("no/such/folder"), {}, PK_DISK},
    };
    for (const auto& [archive, dir, include, result] : cases)
        EXPECT_EQ(call(archive, dir, include).result, result) << archive.toStdString();
}

// Every way an entry can fail half-way must leave no file behind.
TEST(UnzipBuilt, FailedEntriesLeaveNoPartialFile) {
    QTemporaryDir tmp;
    const QString out = tmp.filePath("out");
    QDir(tmp.path()).mkdir("out");
    const QByteArray big(256 * 1024, 'z');
    const QString zip = writeZip(tmp, {{"bad.txt", "data", true, 0100644, 1}, {"big.txt", big}});
    EXPECT_EQ(call(zip, out, {"bad.txt"}).result, PK_WARN);

    // The file size limit makes write() fail after the first chunk, as a full disk would.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{100 * 1024, old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    const int32_t full = call(zip, out, {"big.txt"}).result;
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(full, PK_DISK);
    EXPECT_EQ(filesIn(out), std::vector<QString>{});
}

TEST(UnzipBuilt, ReadOnlyFolderGetsNoFile) {
    if (geteuid() == 0) GTEST_SKIP() << "running as root: a read-only folder stays writable";
    QTemporaryDir tmp;
    const QString zip = writeZip(tmp, kBook), out = tmp.filePath("out");
    QDir(tmp.path()).mkdir("out");
    chmod(qPrintable(out), 0555);
    EXPECT_EQ(call(zip, out, {"x.txt"}).result, PK_DISK);
    chmod(qPrintable(out), 0755);
    EXPECT_EQ(filesIn(out), std::vector<QString>{});
}

TEST(UnzipDirect, PlainEntriesComeOutByteForByte) {
    const QByteArray book = bookText();
    const std::vector<Stored> entries = {
        {.name = "deflated.txt", .data = book, .method = 8},
        {.name = "stored.txt", .data = book},
        {.name = "described.txt", .data = book, .method = 8, .descriptor = true},
        {.name = "empty.txt", .data = "", .method = 8},
    };
    QTemporaryDir tmp;
    const QString zip = writeZip(tmp, entries), out = tmp.filePath("out");
    QDir().mkpath(out);
    EXPECT_EQ(directReads(zip), std::vector<Direct>(entries.size(), Direct::Read));
    EXPECT_EQ(call(zip, out).result, PK_OK);
    for (const Stored& e : entries) {
        QFile f(out + "/" + e.name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << e.name.constData();
        EXPECT_EQ(f.readAll(), e.data) << e.name.constData();
    }
}

TEST(UnzipDirect, BadCrcLeavesNothingWritten) {
    QTemporaryDir tmp;
    const QString out = tmp.filePath("out");
    QDir().mkpath(out);
    const QString zip =
        writeZip(tmp, {{.name = "stored.txt", .data = "book", .crcDelta = 1},
                       {.name = "deflated.txt", .data = bookText(), .crcDelta = 1, .method = 8}});
    EXPECT_EQ(directReads(zip), std::vector<Direct>(2, Direct::BadCrc));
    const Outcome run = call(zip, out);
    EXPECT_EQ(run.result, PK_WARN);
    EXPECT_EQ(run.services, 2);
    EXPECT_EQ(filesIn(out), std::vector<QString>{});
}

// Whatever the direct reader does not take, libarchive reads as it always did.
TEST(UnzipDirect, UnusualEntriesAreLeftToLibarchive) {
    const QByteArray zip =
        buildZip({{.name = "a.txt", .data = bookText(), .method = 8, .descriptor = true},
                  {.name = "b.txt", .data = "short"}});
    const qsizetype end = zip.lastIndexOf("PK\5\6"), descriptor = zip.indexOf("PK\7\10");
    const qsizetype central = le32(zip, end + 16);
    using Damage = std::function<void(QByteArray&)>;
    const auto add = [](qsizetype at, uint32_t delta, int bytes = 4) -> Damage {
        return [=](QByteArray& z) {
            const uint32_t value = le32(z, at) + delta;
            for (int i = 0; i < bytes; ++i) z[at + i] = char(value >> (8 * i));
        };
    };
    const std::vector<Direct> left = {Direct::Unusual, Direct::Read};
    const std::tuple<const char*, Damage, std::vector<Direct>, int32_t, std::vector<QString>>
        cases[] = {
            {"compressed size +1 in the directory", add(central + 20, 1), left, PK_WARN, {"b.txt"}},
            {"descriptor's CRC wrong", add(descriptor + 4, 1), left, PK_OK, {"a.txt", "b.txt"}},
            {"local header says stored", add(8, -8, 2), left, PK_WARN, {"b.txt"}},
            {"size no deflate reaches", add(central + 24, 64 << 20), left, PK_WARN, {"b.txt"}},
            {"header past the end", add(central + 42, 1 << 30), {Direct::Read}, PK_ERR, {"b.txt"}},
            {"cut in half", [](QByteArray& z) { z.truncate(z.size() / 2); }, {}, PK_ERR, {}},
            // Masked sizes that no Zip64 field replaces are sizes to libarchive, not gaps.
            {"masked local sizes", [&](QByteArray& z) { add(18, ~0u)(z), add(22, ~0u)(z); }, left,
             PK_WARN, {"b.txt"}},
        };
    for (const auto& [what, damage, reads, result, files] : cases) {
        QTemporaryDir tmp;
        QByteArray damaged = zip;
        damage(damaged);
        const QString path = writeZip(tmp, damaged), out = tmp.filePath("out");
        QDir().mkpath(out);
        EXPECT_EQ(directReads(path), reads) << what;
        EXPECT_EQ(call(path, out).result, result) << what;
        EXPECT_EQ(filesIn(out), files) << what;
    }
}

// What the content callback throws on the thread that writes comes back to the caller, and the
// entry's file goes.
TEST(UnzipDirect, AnExceptionOnTheThreadBehindReachesTheCaller) {
    QTemporaryDir tmp;
    const QString out = tmp.filePath("out");
    QDir().mkpath(out);
    Options o;
    o.ZipFile = writeZip(tmp, {{.name = "book.txt", .data = bookText(), .method = 8}}).toStdString();
    o.ExtractDir = out.toStdString();
    Callbacks c;
    const std::thread::id caller = std::this_thread::get_id();
    c.content = [caller](const char*, size_t n) {
        if (n > 0 && std::this_thread::get_id() != caller) throw std::bad_alloc();
    };
    EXPECT_THROW(Wiz_SingleEntryUnzip(0, {}, 0, {}, o, c), std::bad_alloc);
    EXPECT_EQ(filesIn(out), std::vector<QString>{});
}

namespace {

// A central record of an empty stored entry whose local header is at offset; extra follows.
QByteArray centralRecord(uint32_t offset, const QByteArray& extra = {}) {
    QByteArray c;
    put(c, 0x02014b50, 4), put(c, 0x0314, 2), put(c, 20, 2), put(c, 0, 4), put(c, 0, 4);
    c.append(12, char(0)), put(c, 0, 2), put(c, extra.size(), 2), c.append(6, char(0));
    put(c, uint32_t(0100644) << 16, 4), put(c, offset, 4);
    return c + extra;
}

// A local header of an empty stored entry with a name of nameSize bytes (the name not included).
QByteArray localHeader(uint16_t nameSize) {
    QByteArray h;
    put(h, 0x04034b50, 4), put(h, 20, 2), put(h, 0, 4), put(h, 0, 4), h.append(12, char(0));
    put(h, nameSize, 2), put(h, 0, 2);
    return h;
}

// body, then the directory, then the end records: Zip64 ones (with the count in them) when
// the count does not fit 16 bits.
QByteArray withDirectory(const QByteArray& body, const QByteArray& directory, uint64_t count) {
    QByteArray zip = body + directory;
    const bool zip64 = count > 0xFFFE;
    if (zip64) {
        const qsizetype at = zip.size();
        put(zip, 0x06064b50, 4), put(zip, 44, 8), put(zip, 45, 2), put(zip, 45, 2), put(zip, 0, 8);
        put(zip, count, 8), put(zip, count, 8), put(zip, directory.size(), 8);
        put(zip, body.size(), 8);
        put(zip, 0x07064b50, 4), put(zip, 0, 4), put(zip, at, 8), put(zip, 1, 4);
    }
    put(zip, 0x06054b50, 4), put(zip, 0, 4), put(zip, zip64 ? 0xFFFF : count, 2);
    put(zip, zip64 ? 0xFFFF : count, 2), put(zip, zip64 ? 0xFFFFFFFF : directory.size(), 4);
    put(zip, zip64 ? 0xFFFFFFFF : body.size(), 4), put(zip, 0, 2);
    return zip;
}

// records central records, all naming one local header with a name of 64 KiB.
QByteArray oneHeaderNamedOften(int records) {
    const QByteArray body = localHeader(0xFFFF) + QByteArray(0xFFFF, 'n');
    return withDirectory(body, centralRecord(0).repeated(records), uint64_t(records));
}

// headers local headers 30 bytes apart, each naming 64 KiB: the headers after it and more.
QByteArray overlappingHeaders(int headers) {
    QByteArray body, directory;
    for (int i = 0; i < headers; ++i) {
        body += localHeader(0xFFFF);
        directory += centralRecord(uint32_t(30 * i));
    }
    return withDirectory(body + QByteArray(0xFFFF, 'n'), directory, uint64_t(headers));
}

// The highest resident memory since the last call, in KiB; -1 where the kernel cannot say.
long peakSinceLastCall() {
    long peak = -1;
    QFile status("/proc/self/status");
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:")) peak = line.mid(6).trimmed().split(' ').at(0).toLong();
    }
    QFile reset("/proc/self/clear_refs");
    if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1) return -1;
    return peak;
}

}  // namespace

// An archive made to have its reader hold or read far more than its size is listed or refused
// holding a few MiB, and no listing reports more entries than the list can show.
TEST(UnzipBuilt, ArchivesBuiltToExhaustMemoryAreListedInBoundsOrRefused) {
    std::vector<Stored> many;
    for (int i = 0; i < kMaxEntries + 100; ++i)
        many.push_back({QStringLiteral("%1.txt").arg(i, 5, 10, QLatin1Char('0')).toUtf8(), ""});
    // One record whose Zip64 offset wraps when the bytes in front of the archive are added.
    QByteArray wrapping;
    put(wrapping, 1, 2), put(wrapping, 8, 2), put(wrapping, uint64_t(INT64_MAX) - 2, 8);
    QByteArray far = withDirectory(localHeader(1) + "a", centralRecord(0xFFFFFFFF, wrapping), 1);
    const std::tuple<const char*, QByteArray, int32_t, size_t> cases[] = {
        {"65,535 records naming one header", oneHeaderNamedOften(0xFFFF), PK_OK, 1},
        {"Zip64: 110,000 records naming one header", oneHeaderNamedOften(110000), PK_ERR, 0},
        {"20,000 overlapping headers", overlappingHeaders(20000), PK_ERR, 0},
        {"32,867 plain entries", buildZip(many), PK_OK, size_t(kMaxEntries)},
        {"a wrapping Zip64 offset", QByteArray(64, 'x') + far, PK_ERR, 0},
    };
    for (const auto& [what, zip, result, listed] : cases) {
        QTemporaryDir tmp;
        const QString path = writeZip(tmp, zip);
        peakSinceLastCall();
        const long before = peakSinceLastCall();
        const Outcome run = call(path, {});
        const long peak = peakSinceLastCall();
        EXPECT_EQ(run.result, result) << what;
        EXPECT_EQ(run.listed.size(), listed) << what;
        if (before >= 0 && peak >= 0) {
            EXPECT_LT(peak - before, 64 * 1024) << what << ": KiB held";
        }
        bool hostile = false;
        const auto directory = ZipDirectory::open(path.toStdString(), hostile);
        EXPECT_LE(directory ? directory->records().size() : 0, size_t(kMaxEntries)) << what;
    }
}

namespace {

// Results of the samples that are not plain, readable archives; every other one lists and
// extracts with PK_OK. Files are the ones an extraction without a password leaves.
struct Sample {
    int32_t list, extract;
    std::vector<QString> files;
};
const std::map<QString, Sample> kSamplesMet = {
    {"libarchive/test_read_format_zip.zip", {PK_OK, PK_WARN, {"file1"}}},
    {"libarchive/test_read_format_zip_encryption_data.zip", {PK_OK, IZ_BADPWD, {}}},
    {"libarchive/test_read_format_zip_encryption_header.zip", {PK_ERR, PK_ERR, {}}},
    {"libarchive/test_read_format_zip_encryption_partially.zip", {PK_OK, IZ_BADPWD, {"bar.txt"}}},
    {"libarchive/test_read_format_zip_malformed1.zip", {PK_ERR, PK_ERR, {}}},
    {"libarchive/test_read_format_zip_symlink.zip", {PK_OK, PK_OK, {"file"}}},
    {"libarchive/test_read_format_zip_traditional_encryption_data.zip", {PK_OK, IZ_BADPWD, {}}},
    {"libarchive/test_read_format_zip_winzip_aes256.zip", {PK_OK, IZ_BADPWD, {}}},
    {"sharpcompress/Zip.Evil.zip", {PK_OK, PK_OK, {"evil.txt", "good.txt"}}},
    {"sharpcompress/Zip.badlocalextra.zip", {PK_ERR, PK_ERR, {}}},
    {"sharpcompress/Zip.none.encrypted.zip", {PK_OK, IZ_BADPWD, {}}},
    {"sharpcompress/zipcrypto.zip", {PK_OK, IZ_BADPWD, {}}},
    {"synthetic/bad_crc.zip",
     {PK_OK,
      PK_WARN,
      {"김유정 - 동백꽃 (CP949).txt", "김유정 - 동백꽃 (UTF-16LE).txt",
       "김유정 - 동백꽃 (UTF-8).txt", "똠방각하 (CP949 본문).txt"}}},
    {"synthetic/corrupt_deflate_stream.zip", {PK_OK, PK_ERR, {}}},
    {"synthetic/encrypted_aes256.zip", {PK_OK, IZ_BADPWD, {}}},
    {"synthetic/encrypted_zipcrypto.zip", {PK_OK, IZ_BADPWD, {}}},
    {"synthetic/symlinks_and_path_traversal.zip",
     {PK_OK,
      PK_OK,
      {"zip-slip-absolute.txt", "zip-slip-backslash.txt", "zip-slip-drive.txt", "zip-slip-중간.txt",
       "zip-slip-탈출.txt", "본문.txt"}}},
    {"synthetic/truncated_half.zip",
     {PK_ERR, PK_ERR, {"김유정 - 동백꽃 (UTF-8).txt", "읽어보기.txt"}}},
};

}  // namespace

TEST(UnzipSamples, EverySampleStaysInsideItsFolder) {
    REQUIRE_SAMPLES();
    QDirIterator it(kSamples, {"*.zip"}, QDir::Files, QDirIterator::Subdirectories);
    int seen = 0;
    while (it.hasNext()) {
        const QString zip = it.next(), key = QDir(kSamples).relativeFilePath(zip);
        const auto known = kSamplesMet.find(key);
        const Sample expected = known != kSamplesMet.end() ? known->second : Sample{};
        QTemporaryDir tmp;
        const QString out = tmp.filePath("a/b/out");
        QDir().mkpath(out);
        EXPECT_EQ(call(zip, {}).result, expected.list) << key.toStdString();
        EXPECT_EQ(call(zip, out).result, expected.extract) << key.toStdString();
        const std::vector<QString> files = filesIn(out);
        if (known != kSamplesMet.end()) {
            EXPECT_EQ(files, expected.files) << key.toStdString();
        }
        QDirIterator all(tmp.path(),
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
        int entries = 0;
        while (all.hasNext()) ++entries, all.next();
        EXPECT_EQ(entries, 3 + int(files.size())) << key.toStdString();  // a, a/b, a/b/out
        ++seen;
    }
    EXPECT_EQ(seen, 43);
    EXPECT_FALSE(QFile::exists("/zip-slip-absolute.txt"));
    EXPECT_FALSE(QFile::exists("/Temp/evil.txt"));
}

TEST(UnzipSamples, DirectReaderCatchesTheBadCrcSample) {
    REQUIRE_SAMPLES();
    const QString zip = kSamples + "/synthetic/bad_crc.zip";
    EXPECT_EQ(directReads(zip), (std::vector<Direct>{Direct::BadCrc, Direct::Read, Direct::Read,
                                                     Direct::Read, Direct::Read}));
    QTemporaryDir tmp;
    EXPECT_EQ(call(zip, tmp.path()).result, PK_WARN);
    EXPECT_FALSE(QFile::exists(tmp.filePath("읽어보기.txt")));
}

TEST(UnzipSamples, KoreanNamesListComposedWhateverTheirCharset) {
    REQUIRE_SAMPLES();
    const std::vector<std::string> korean = {
        "읽어보기.txt",
        "한국 단편소설/",
        "한국 단편소설/김유정 - 동백꽃 (UTF-8).txt",
        "한국 단편소설/김유정 - 동백꽃 (CP949).txt",
        "한국 단편소설/김유정 - 동백꽃 (UTF-16LE).txt",
        "한국 단편소설/똠방각하 (CP949 본문).txt",
        "한국 단편소설/빈 폴더/",
    };
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"synthetic/korean_names_cp949.zip", korean},
        {"synthetic/korean_names_utf8_flag.zip", korean},
        {"synthetic/korean_names_utf8_noflag.zip", korean},
        {"synthetic/korean_names_utf8_nfd_noflag.zip", korean},
        {"synthetic/korean_names_cp949_unicode_extra.zip", korean},
        {"synthetic/korean_names_zip64.zip", korean},
        {"sharpcompress/Zip.UnicodePathExtra.zip", {"궖귛궖귙귪궖귗귪궖귙_wav.frq"}},
        {"libarchive/test_read_format_zip_7075_utf8_paths.zip",
         {"File 1.txt", "File 2 - ö.txt", "File 3 - ä.txt", "File 4 - xx.txt"}},
    };
    // A session without a UTF-8 locale must read the same names.
    const std::string locale = setlocale(LC_ALL, nullptr);
    for (const char* session : {"C.UTF-8", "C"}) {
        setlocale(LC_ALL, session);
        for (const auto& [file, names] : cases)
            EXPECT_EQ(call(kSamples + "/" + file, {}).names(), names) << file << " in " << session;
    }
    setlocale(LC_ALL, locale.c_str());
}

TEST(UnzipSamples, EncryptedEntriesNeedTheirPassword) {
    REQUIRE_SAMPLES();
    const std::vector<QString> books = {"김유정 - 동백꽃 (CP949).txt",
                                        "김유정 - 동백꽃 (UTF-8).txt", "읽어보기.txt"};
    const std::tuple<const char*, std::string, int32_t, std::vector<QString>> cases[] = {
        {"synthetic/encrypted_zipcrypto.zip", "password", PK_OK, books},
        {"synthetic/encrypted_aes256.zip", "password", PK_OK, books},
        {"synthetic/encrypted_aes256.zip", "wrong", IZ_BADPWD, {}},
        {"sharpcompress/Zip.none.encrypted.zip", "test", PK_OK, {"first.txt", "second.txt"}},
        {"libarchive/test_read_format_zip_encryption_data.zip", "12345678", IZ_UNSUP, {}},
    };
    for (const auto& [file, password, result, files] : cases) {
        QTemporaryDir tmp;
        const Outcome outcome = call(kSamples + "/" + file, tmp.path(), {}, password);
        EXPECT_EQ(outcome.result, result) << file;
        EXPECT_EQ(filesIn(tmp.path()), files) << file;
        EXPECT_EQ(outcome.services > 0, result == IZ_UNSUP) << file;
    }
    const Outcome listed = call(kSamples + "/synthetic/encrypted_aes256.zip", {});
    for (const ListedEntry& e : listed.listed)
        EXPECT_EQ(e.flags, e.name.ends_with('/') ? 0 : 64) << e.name;
    QTemporaryDir tmp;
    call(kSamples + "/synthetic/encrypted_aes256.zip", tmp.path(),
         {"한국 단편소설/김유정 - 동백꽃 (UTF-8).txt"}, "password");
    QFile book(tmp.filePath("김유정 - 동백꽃 (UTF-8).txt")),
        original(TL_TESTDATA_DIR "/text/dongbaekkkot.utf8.txt");
    if (original.open(QIODevice::ReadOnly)) {
        ASSERT_TRUE(book.open(QIODevice::ReadOnly));
        EXPECT_EQ(book.readAll(), original.readAll());
    }
}
