// Archives made to hurt: zip bombs that say and that hide how large they are, ten thousand
// entries (and a RAR of more than can be listed), entries that climb out of the folder or are
// links, and names in every encoding.
// Each opens what it safely can or says why; nothing is written beside TmpZip.

#include <archive.h>
#include <archive_entry.h>

#include <QDirIterator>
#include <QElapsedTimer>
#include <QListWidget>

#include "../common/Controls.h"
#include "../common/RawArchives.h"
#include "../common/ZipWriter.h"
#include "ArchiveFixture.h"
#include "encodings/DocumentText.h"
#include "forms/PictureBox.h"

namespace {

// A ZIP of one deflated entry of `size` zero bytes, streamed (it never sits in memory).
bool writeZeroBomb(const QString& path, const QString& name, qint64 size) {
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_set_options(a, "zip:hdrcharset=UTF-8");
    bool ok = archive_write_open_filename(a, path.toUtf8().constData()) == ARCHIVE_OK;
    archive_entry* e = archive_entry_new();
    archive_entry_set_pathname_utf8(e, name.toUtf8().constData());
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_perm(e, 0644);
    archive_entry_set_size(e, size);
    ok = ok && archive_write_header(a, e) == ARCHIVE_OK;
    const QByteArray chunk(1 << 20, '\0');
    for (qint64 left = size; ok && left > 0; left -= chunk.size()) {
        const size_t n = size_t(std::min<qint64>(left, chunk.size()));
        ok = archive_write_data(a, chunk.constData(), n) == la_ssize_t(n);
    }
    archive_entry_free(e);
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    archive_write_free(a);
    return ok;
}

// Replaces every 32-bit little-endian `from` in the file (the sizes its headers give).
int rewriteSizes(const QString& path, uint32_t from, uint32_t to) {
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite)) return 0;
    QByteArray bytes = f.readAll();
    const QByteArray a(reinterpret_cast<const char*>(&from), 4),
        b(reinterpret_cast<const char*>(&to), 4);
    int count = 0;
    for (qsizetype at = bytes.indexOf(a); at >= 0; at = bytes.indexOf(a, at + 4), ++count)
        bytes.replace(at, 4, b);
    f.seek(0);
    f.write(bytes);
    return count;
}

class ArchiveLimits : public Archives {
protected:
    // Everything in the application folder's tree that is not a plain file of TmpZip, not the
    // reader's own library, and not what the test put there.
    QStringList strayFiles(const QStringList& expected) const {
        QStringList stray;
        QDirIterator it(folder.path(),
                        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            const QString name = QDir(folder.path()).relativeFilePath(info.filePath());
            if (expected.contains(name) || name == "TmpZip" || name.startsWith("skin") ||
                name.startsWith("ocx") || name.startsWith("banner") ||
                name.startsWith("library.sqlite3"))
                continue;
            if (name.startsWith("TmpZip/") && info.isFile() && !info.isSymLink()) continue;
            stray << name;
        }
        return stray;
    }
};

TEST_F(ArchiveLimits, ZipBombsAreRefusedWhetherTheirHeadersTellOrLie) {
    const QString book = writeBook("읽던 책.txt", numberedBook(100));
    const qint64 huge = kMaxDocumentBytes + 1;
    const QString honest = folder.file("bomb.zip"), lying = folder.file("liar.zip");
    ASSERT_TRUE(writeZeroBomb(honest, QStringLiteral("폭탄.txt"), huge));
    ASSERT_LT(QFileInfo(honest).size(), 2 * 1024 * 1024);  // small on disk
    ASSERT_TRUE(QFile::copy(honest, lying));
    ASSERT_GE(rewriteSizes(lying, uint32_t(huge), 1000), 2);  // local and central headers
    start();
    open(book);
    for (const QString& path : {honest, lying}) {
        SCOPED_TRACE(path.toStdString());
        dialogs.clear();
        QElapsedTimer clock;
        clock.start();
        open(path);
        EXPECT_LT(clock.elapsed(), 30000);
        EXPECT_TRUE(lastBox().contains(QStringLiteral("너무 커서")) ||
                    lastBox().contains(QStringLiteral("압축을 풀 수 없습니다")))
            << lastBox().toStdString();
        // The book on screen stays, and no part of the bomb is left.
        EXPECT_EQ(window->book().path, book);
        EXPECT_EQ(window->book().archiveKind, -1);
        EXPECT_TRUE(QDir(folder.file("TmpZip")).isEmpty());
    }
}

TEST_F(ArchiveLimits, TenThousandEntriesAreListedAndTheFirstOpens) {
    std::vector<std::pair<QString, QByteArray>> entries;
    for (int i = 0; i < 10000; ++i)
        entries.emplace_back(QStringLiteral("%1장.txt").arg(i, 5, 10, QLatin1Char('0')),
                             "줄 " + QByteArray::number(i) + "\r\n");
    const QString path = folder.file("만 권.zip");
    ASSERT_TRUE(writeZip(path, entries));
    start();
    QElapsedTimer clock;
    clock.start();
    open(path);
    EXPECT_LT(clock.elapsed(), 20000);
    EXPECT_EQ(control<QListWidget>(*window, "List1")->count(), 10000);
    EXPECT_EQ(window->book().path, folder.file("TmpZip/00000장.txt"));
    EXPECT_TRUE(control<forms::PictureBox>(*window, "PicList")->isVisible());
    // The last one, from the list.
    control<QListWidget>(*window, "List1")->setCurrentRow(9999);
    release(control<forms::Image>(*window, "CmdOk"));
    EXPECT_EQ(window->book().path, folder.file("TmpZip/09999장.txt"));
    EXPECT_EQ(window->pages().count, 1);
}

TEST_F(ArchiveLimits, EntriesThatClimbOutOrLinkAreNeverWrittenOutside) {
    const QString path = folder.file("나쁜.zip");
    {
        archive* a = archive_write_new();
        archive_write_set_format_zip(a);
        archive_write_set_options(a, "zip:hdrcharset=UTF-8");
        ASSERT_EQ(archive_write_open_filename(a, path.toUtf8().constData()), ARCHIVE_OK);
        auto add = [&](const char* name, const QByteArray& data, int type = AE_IFREG,
                       const char* target = nullptr) {
            archive_entry* e = archive_entry_new();
            archive_entry_set_pathname_utf8(e, name);
            archive_entry_set_filetype(e, type);
            archive_entry_set_perm(e, 0644);
            if (target) archive_entry_set_symlink_utf8(e, target);
            archive_entry_set_size(e, type == AE_IFREG ? data.size() : 0);
            archive_write_header(a, e);
            if (type == AE_IFREG) archive_write_data(a, data.constData(), size_t(data.size()));
            archive_entry_free(e);
        };
        add("../탈출.txt", "out");
        add("../../../tmp/멀리.txt", "far");
        add("/절대.txt", "absolute");
        add("링크.txt", QByteArray(), AE_IFLNK, "/etc/passwd");
        add("바른.txt", numberedBook(50));
        archive_write_close(a);
        archive_write_free(a);
    }
    start();
    open(path);
    // Only the plain book at the top level is offered, and it is what opens.
    EXPECT_EQ(listed(), QStringList{QStringLiteral("바른.txt")}) << lastBox().toStdString();
    EXPECT_EQ(window->book().path, folder.file("TmpZip/바른.txt"));
    EXPECT_TRUE(strayFiles({"나쁜.zip"}).isEmpty())
        << strayFiles({"나쁜.zip"}).join(", ").toStdString();
    EXPECT_FALSE(QFile::exists(QDir(folder.path()).absoluteFilePath("../탈출.txt")));
}

TEST_F(ArchiveLimits, LinksInRarArchivesAreNotOfferedAsBooks) {
    const QString samples = QStringLiteral(TL_TESTDATA_DIR "/rar/libarchive/");
    if (!QFile::exists(samples)) GTEST_SKIP() << "test data absent: " << samples.toStdString();
    start();
    const std::pair<const char*, QStringList> cases[] = {
        {"test_read_format_rar5_symlink.rar", {"file.txt"}},
        {"test_read_format_rar5_hardlink.rar", {"file.txt"}},
        {"test_read_format_rar5_unicode.rar", {QStringLiteral("👋🌎.txt")}},
    };
    for (const auto& [file, books] : cases) {
        open(samples + file);
        // The list shows only for several books; the entries behind it are what matters.
        QStringList offered;
        for (const ArchiveEntry& e : window->book().entries)
            if (!e.TextName.isEmpty()) offered << e.TextName;
        EXPECT_EQ(offered, books) << file;
        EXPECT_EQ(window->book().path, folder.file("TmpZip/" + books.first())) << file;
    }
}

TEST_F(ArchiveLimits, NamesInEveryEncodingAreListedAsHangul) {
    // Written with UTF-8 names, then one rewritten in CP949 without the UTF-8 flag.
    const QString path = folder.file("이름들.zip");
    const QString nfd = QStringLiteral("가나.txt").normalized(QString::NormalizationForm_D);
    ASSERT_TRUE(writeZip(path, {{QStringLiteral("한글.txt"), "utf-8"},
                                {nfd, "nfd"},
                                {QStringLiteral("국문.txt"), "cp949"}}));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        // "국문" takes 6 bytes in UTF-8 and 4 in CP949: the CP949 name becomes "국문ab", the
        // same length, and its headers lose the UTF-8 flag.
        const QByteArray utf8 = QStringLiteral("국문").toUtf8();
        const QByteArray cp949 = QByteArray("\xB1\xB9\xB9\xAE", 4) + "ab";
        ASSERT_EQ(utf8.size(), cp949.size());
        for (qsizetype at = bytes.indexOf(utf8); at >= 0; at = bytes.indexOf(utf8, at + 1))
            bytes.replace(at, utf8.size(), cp949);
        // The general-purpose flags of headers naming it: bit 11 (UTF-8) cleared.
        for (const char* sig : {"PK\x03\x04", "PK\x01\x02"}) {
            for (qsizetype at = bytes.indexOf(sig); at >= 0; at = bytes.indexOf(sig, at + 4)) {
                const bool central = sig[2] == '\x01';
                const qsizetype nameLen =
                    central ? uint8_t(bytes[at + 28]) : uint8_t(bytes[at + 26]);
                const qsizetype nameAt = at + (central ? 46 : 30);
                if (bytes.mid(nameAt, nameLen) != cp949 + ".txt") continue;
                const qsizetype flags = at + (central ? 8 : 6);
                bytes[flags + 1] = char(uint8_t(bytes[flags + 1]) & ~0x08);
            }
        }
        f.seek(0);
        f.write(bytes);
    }
    start();
    open(path);
    const QStringList names = listed();
    EXPECT_TRUE(names.contains(QStringLiteral("한글.txt"))) << names.join(", ").toStdString();
    EXPECT_TRUE(names.contains(QStringLiteral("가나.txt"))) << names.join(", ").toStdString();
    EXPECT_TRUE(names.contains(QStringLiteral("국문ab.txt"))) << names.join(", ").toStdString();
    // The composed name is the file's name in TmpZip too.
    control<QListWidget>(*window, "List1")
        ->setCurrentRow(int(names.indexOf(QStringLiteral("가나.txt"))));
    release(control<forms::Image>(*window, "CmdOk"));
    EXPECT_EQ(window->book().path, folder.file(QStringLiteral("TmpZip/가나.txt")));
    EXPECT_EQ(window->pages().text.toString(), QStringLiteral("nfd"));
}

TEST_F(ArchiveLimits, NamesAreReadOneWayPerArchive) {
    const auto cp949 = [](const char* bytes) { return RawEntry{bytes, false, {}}; };
    const auto utf8 = [](const QString& name) { return RawEntry{name.toUtf8(), true, {}}; };
    // "천체" in CP949 is C3 B5 C3 BC, valid UTF-8 for "õü"; "가나" in CP949 is not UTF-8.
    const RawEntry cheonche = cp949("\xC3\xB5\xC3\xBC.txt"), gana = cp949("\xB0\xA1\xB3\xAA.txt");
    struct Case {
        const char* what;
        std::vector<RawEntry> entries;
        QStringList names;
    };
    const Case cases[] = {
        {"CP949 that is valid UTF-8", {cheonche}, {QStringLiteral("천체.txt")}},
        {"CP949 beside CP949 and a flagged name",
         {utf8(QStringLiteral("별.txt")), cheonche, gana},
         {QStringLiteral("별.txt"), QStringLiteral("천체.txt"), QStringLiteral("가나.txt")}},
        {"flagged UTF-8", {utf8(QStringLiteral("천체.txt"))}, {QStringLiteral("천체.txt")}},
        {"a colon", {utf8(QStringLiteral("1장: 시작.txt"))}, {QStringLiteral("1장: 시작.txt")}},
        {"unflagged UTF-8",
         {RawEntry{QStringLiteral("한글.txt").toUtf8(), false, {}}},
         {QStringLiteral("한글.txt")}},
    };
    start();
    for (const Case& c : cases) {
        for (const bool rar : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (rar ? " in RAR 4" : " in ZIP"));
            std::vector<RawEntry> entries = c.entries;
            for (size_t i = 0; i < entries.size(); ++i)
                entries[i].data = "책 " + QByteArray::number(i);
            const QString path = writeBook(rar ? "이름.rar" : "이름.zip",
                                           rar ? storedRar4(entries) : storedZip(entries));
            dialogs.clear();
            open(path);
            ASSERT_EQ(listed(), c.names) << lastBox().toStdString();
            // The last one opens from the list: extracted under its name and read.
            control<QListWidget>(*window, "List1")->setCurrentRow(int(c.names.size()) - 1);
            release(control<forms::Image>(*window, "CmdOk"));
            EXPECT_EQ(window->book().path, tmpZip(c.names.last()));
            EXPECT_EQ(window->pages().text.toString(), "책 " + QString::number(c.names.size() - 1));
        }
    }
}

TEST_F(ArchiveLimits, ARarOfMoreEntriesThanCanBeListedOpensItsFirst32767) {
    std::vector<RawEntry> entries;
    for (int i = 0; i < 32768 + 10; ++i)
        entries.push_back({QByteArray::number(i).rightJustified(5, '0') + ".txt", false,
                           "줄 " + QByteArray::number(i)});
    const QString path = writeBook("많은.rar", storedRar4(entries));
    start();
    open(path);
    ASSERT_EQ(control<QListWidget>(*window, "List1")->count(), 32767) << lastBox().toStdString();
    EXPECT_EQ(window->book().path, tmpZip("00000.txt"));
    control<QListWidget>(*window, "List1")->setCurrentRow(32766);
    release(control<forms::Image>(*window, "CmdOk"));
    EXPECT_EQ(window->book().path, tmpZip("32766.txt"));
    EXPECT_EQ(window->pages().text.toString(), QStringLiteral("줄 32766"));
}

}  // namespace
