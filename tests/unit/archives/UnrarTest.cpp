#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <tuple>
#include <vector>

#include "encodings/EntryName.h"
#include "unrar/RarFormat.h"
#include "unrar/Unrar.h"

using namespace unrar;

namespace {

const QString kSamples = QStringLiteral(TL_TESTDATA_DIR "/rar");

#define REQUIRE_SAMPLES()                                                 \
    if (!QFileInfo(kSamples).isDir())                                     \
    GTEST_SKIP() << "RAR samples not found at " << kSamples.toStdString() \
                 << "; they are kept outside the repository"

struct Entry {
    std::string name;
    uint32_t flags = 0;
    uint32_t unpSize = 0;
    int result = 0;       // of RAR_EXTRACT
    QStringList written;  // what the extraction left in its folder
    QByteArray data;      // the contents when it left one file
};

struct Listing {
    uint32_t openResult = 0;
    std::vector<Entry> entries;
    int end = 0;  // the result that ended the listing
};

// Opens path, reads every header and extracts each entry into a folder of its own under dest,
// checking that nothing but regular files appears there.
Listing extractAll(const QString& path, const QString& dest, const char* password = nullptr) {
    Listing listing;
    RAROpenArchiveData open;
    open.ArcName = path.toStdString();
    open.OpenMode = RAR_OM_EXTRACT;
    HANDLE h = RAROpenArchive(&open);
    listing.openResult = open.OpenResult;
    if (!h) return listing;
    if (password) RARSetPassword(h, password);
    RARHeaderData header;
    while ((listing.end = RARReadHeader(h, &header)) == ERAR_SUCCESS &&
           listing.entries.size() < 1000) {
        Entry e;
        e.name = header.FileName;
        e.flags = header.Flags;
        e.unpSize = header.UnpSize;
        const QString folder = dest + "/" + QString::number(listing.entries.size());
        QDir().mkpath(folder);
        e.result = RARProcessFile(h, RAR_EXTRACT, folder.toUtf8().constData(), nullptr);
        const auto found = QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                      QDir::Hidden | QDir::System);
        for (const QFileInfo& fi : found) {
            e.written << fi.fileName();
            EXPECT_TRUE(fi.isFile() && !fi.isSymLink()) << fi.filePath().toStdString();
        }
        if (found.size() == 1) {
            QFile f(found[0].filePath());
            if (f.open(QIODevice::ReadOnly)) e.data = f.readAll();
        }
        listing.entries.push_back(e);
    }
    RARCloseArchive(h);
    return listing;
}

QStringList allSamples() {
    QStringList files;
    QDirIterator it(kSamples, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        if (!f.endsWith(".md")) files << f;
    }
    files.sort();
    return files;
}

QByteArray vint(uint64_t v) {
    QByteArray out;
    do {
        out += char((v & 0x7F) | (v > 0x7F ? 0x80 : 0));
        v >>= 7;
    } while (v);
    return out;
}

// A RAR 5 block: its checksum, its size, then the header from the type on.
QByteArray rar5Block(const QByteArray& header) {
    const QByteArray sized = vint(uint64_t(header.size())) + header;
    uint32_t crc = 0xFFFFFFFF;
    for (const char ch : sized) {
        crc ^= uint8_t(ch);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    crc = ~crc;
    QByteArray block;
    for (int i = 0; i < 4; ++i) block += char(crc >> (8 * i));
    return block + sized;
}

// A stored RAR 5 archive of one file that claims unpSize bytes and holds data.
QByteArray rar5OneFile(uint64_t unpSize, const QByteArray& data) {
    const QByteArray name = "big.txt";
    const QByteArray file = vint(2) + vint(0x02) + vint(uint64_t(data.size())) + vint(0) +
                            vint(unpSize) + vint(0x20) + vint(0) + vint(0) +
                            vint(uint64_t(name.size())) + name;
    return QByteArray("Rar!\x1a\x07\x01\x00", 8) + rar5Block(vint(1) + vint(0) + vint(0)) +
           rar5Block(file) + data + rar5Block(vint(5) + vint(0) + vint(0));
}

}  // namespace

TEST(Unrar, EveryArchiveListsAndExtractsOnlyFlatRegularFiles) {
    REQUIRE_SAMPLES();
    const QStringList samples = allSamples();
    ASSERT_GE(samples.size(), 80);
    for (const QString& sample : samples) {
        SCOPED_TRACE(sample.toStdString());
        QTemporaryDir parent;
        const Listing l = extractAll(sample, parent.path() + "/out");
        const QStringList outside = l.entries.empty() ? QStringList{} : QStringList{"out"};
        EXPECT_EQ(
            QDir(parent.path())
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
            outside);
        if (l.openResult != ERAR_SUCCESS) {
            EXPECT_TRUE(l.openResult == ERAR_BAD_ARCHIVE || l.openResult == ERAR_MISSING_PASSWORD);
            continue;
        }
        EXPECT_TRUE(l.end == ERAR_END_ARCHIVE || l.end == ERAR_BAD_DATA) << l.end;
        for (const Entry& e : l.entries) {
            SCOPED_TRACE(e.name);
            EXPECT_LE(e.written.size(), 1);
            if (e.result != ERAR_SUCCESS || (e.flags & RHDF_DIRECTORY) == RHDF_DIRECTORY) {
                EXPECT_TRUE(e.written.isEmpty()) << e.result;
            }
            if (e.written.size() == 1) {
                EXPECT_EQ(e.written[0], encodings::flatEntryName(QString::fromStdString(e.name)));
                EXPECT_EQ(uint32_t(e.data.size()), e.unpSize);
            }
        }
    }
}

TEST(Unrar, NamesAreDecodedWithTheirSeparators) {
    REQUIRE_SAMPLES();
    // Folders are listed with a trailing "/" here; libunarr does not report RAR 4 folders.
    const std::vector<std::string> korean4 = {
        "읽어보기.txt",
        "한국 단편소설\\김유정 - 동백꽃 (UTF-8).txt",
        "한국 단편소설\\김유정 - 동백꽃 (CP949).txt",
        "한국 단편소설\\김유정 - 동백꽃 (UTF-16LE).txt",
        "한국 단편소설\\똠방각하 (CP949 본문).txt",
    };
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"synthetic/korean_names_rar4_cp949_only.rar", korean4},
        {"synthetic/korean_names_rar4_cp949_plus_unicode.rar", korean4},
        {"synthetic/korean_names_rar4_utf8_flag.rar", korean4},
        {"synthetic/korean_names_rar5.rar",
         {"읽어보기.txt", "한국 단편소설/", "한국 단편소설/김유정 - 동백꽃 (UTF-8).txt",
          "한국 단편소설/김유정 - 동백꽃 (CP949).txt",
          "한국 단편소설/김유정 - 동백꽃 (UTF-16LE).txt", "한국 단편소설/똠방각하 (CP949 본문).txt",
          "한국 단편소설/빈 폴더/"}},
        {"rarfile/rar3-subdirs.rar",
         {"sub\\dir2\\file2.txt", "sub\\with space\\long fn.txt", "sub\\üȵĩöḋè\\file.txt",
          "sub\\dir1\\file1.txt"}},
        {"rarfile/rar5-subdirs.rar",
         {"sub/dir2/file2.txt", "sub/with space/long fn.txt", "sub/üȵĩöḋè/file.txt",
          "sub/dir1/file1.txt", "sub/dir2/", "sub/with space/", "sub/empty/", "sub/üȵĩöḋè/",
          "sub/dir1/", "sub/"}},
        // Packed Unicode names with astral characters and shifted runs.
        {"rarfile/unicode2.rar", {"𝐀𝐁𝐁𝐂.txt", "уииоотивл.txt"}},
        // Unflagged UTF-8 bytes.
        {"libarchive/test_read_format_rar_unicode.rar",
         {"表だよ\\新しいフォルダ\\新規テキスト ドキュメント.txt",
          "表だよ\\漢字長いファイル名long-filename-in-漢字.txt", "表だよ\\ファイル",
          "abcdefghijklmnopqrsテスト.txt"}},
    };
    for (const auto& [file, expected] : cases) {
        QTemporaryDir dir;
        const Listing l = extractAll(kSamples + "/" + file, dir.path());
        std::vector<std::string> names;
        for (const Entry& e : l.entries)
            names.push_back(e.name + ((e.flags & RHDF_DIRECTORY) == RHDF_DIRECTORY ? "/" : ""));
        EXPECT_EQ(names, expected) << file;
        EXPECT_EQ(l.end, ERAR_END_ARCHIVE) << file;
    }
}

TEST(Unrar, EveryMemberOfSolidAndOrdinaryArchivesIsExtractedWhole) {
    REQUIRE_SAMPLES();
    struct Case {
        const char* file;
        int files;
        qint64 bytes;
    };
    const Case cases[] = {
        {"rarfile/rar3-solid.rar", 2, 4096},
        {"rarfile/unicode.rar", 2, 4},
        {"sharpcompress/Rar.solid.rar", 3, 100926},
        {"sharpcompress/Rar.comment.rar", 3, 100926},
        {"ssokolow/testfile.rar3.solid.rar", 1, 12},
        {"rarfile/rar5-solid.rar", 2, 4096},
        {"libarchive/test_read_format_rar5_solid.rar", 7, 1200 + 6 * 4096},
        {"sharpcompress/Rar4.rar", 3, 100926},
        {"sharpcompress/Rar2.rar", 3, 100926},
        {"sharpcompress/Rar5.rar", 3, 100926},
        {"libarchive/test_read_format_rar_compress_normal.rar", 3, 2 * 20111 + 20},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const Listing l = extractAll(kSamples + "/" + c.file, dir.path());
        int files = 0;
        qint64 bytes = 0;
        for (const Entry& e : l.entries) {
            EXPECT_EQ(e.result, ERAR_SUCCESS) << c.file << " " << e.name;
            files += int(e.written.size());
            bytes += e.data.size();
        }
        EXPECT_EQ(files, c.files) << c.file;
        EXPECT_EQ(bytes, c.bytes) << c.file;
    }
}

TEST(Unrar, KoreanSamplesHoldTheTextsByteForByte) {
    REQUIRE_SAMPLES();
    const std::pair<QString, QString> texts[] = {
        {"김유정 - 동백꽃 (UTF-8).txt", "dongbaekkkot.utf8.txt"},
        {"김유정 - 동백꽃 (CP949).txt", "dongbaekkkot.cp949.txt"},
        {"김유정 - 동백꽃 (UTF-16LE).txt", "dongbaekkkot.utf16le-bom.txt"},
    };
    for (const char* file : {"korean_names_rar4_cp949_only.rar", "korean_names_rar5.rar",
                             "korean_names_rar4_cp949_plus_unicode.rar"}) {
        QTemporaryDir dir;
        const Listing l = extractAll(kSamples + "/synthetic/" + file, dir.path());
        int matched = 0;
        for (const Entry& e : l.entries)
            for (const auto& [flat, text] : texts)
                if (e.written == QStringList{flat}) {
                    QFile f(QStringLiteral(TL_TESTDATA_DIR "/text/") + text);
                    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
                    EXPECT_EQ(e.data, f.readAll()) << file << " " << e.name;
                    ++matched;
                }
        EXPECT_EQ(matched, 3) << file;
    }
}

// Encrypted, damaged and split entries: what each call answers, and that nothing is left.
TEST(Unrar, FailuresGiveTheirCodeAndLeaveNoFile) {
    REQUIRE_SAMPLES();
    constexpr int ok = ERAR_SUCCESS, psw = ERAR_MISSING_PASSWORD, bad = ERAR_BAD_DATA,
                  vol = ERAR_EOPEN, end = ERAR_END_ARCHIVE;
    struct Case {
        const char* file;
        const char* password;
        uint32_t open;
        std::vector<int> results;
        int end;
    };
    const Case cases[] = {
        {"libarchive/test_read_format_rar4_encrypted.rar", nullptr, ok, {ok, psw, ok, psw}, end},
        {"libarchive/test_read_format_rar5_encrypted.rar", nullptr, ok, {ok, psw, ok, psw}, end},
        {"libarchive/test_read_format_rar5_encrypted.rar",
         "password",
         ok,
         {ok, ERAR_BAD_PASSWORD, ok, ERAR_BAD_PASSWORD},
         end},
        {"libarchive/test_read_format_rar_encryption_partially.rar", nullptr, ok, {psw, ok}, end},
        {"libarchive/test_read_format_rar4_solid_encrypted.rar",
         nullptr,
         ok,
         {psw, psw, psw, psw},
         end},
        {"rarfile/rar5-psw.rar", nullptr, ok, {psw, psw}, end},
        {"rarfile/rar3-comment-psw.rar", nullptr, ok, {psw, psw}, end},
        {"libarchive/test_read_format_rar_encryption_header.rar", nullptr, psw, {}, 0},
        {"libarchive/test_read_format_rar5_encrypted_filenames.rar", nullptr, psw, {}, 0},
        {"rarfile/rar3-comment-hpsw.rar", nullptr, psw, {}, 0},
        {"sharpcompress/Rar5.encrypted_filesAndHeader.rar", nullptr, psw, {}, 0},
        {"libarchive/test_read_format_rar_invalid1.rar", nullptr, ok, {bad}, end},
        {"libarchive/test_read_format_rar5_truncated_huff.rar", nullptr, ok, {}, bad},
        {"libarchive/test_read_format_rar5_dirdata.rar", nullptr, ok, {ok}, bad},
        {"libarchive/test_read_splitted_rar_aa", nullptr, ok, {ok}, bad},
        {"libarchive/test_read_splitted_rar_ab", nullptr, ERAR_BAD_ARCHIVE, {}, 0},
        {"sharpcompress/Rar15.rar", nullptr, ok, {bad, bad, bad}, end},
        {"libarchive/test_rar_multivolume_single_file.part1.rar", nullptr, ok, {vol}, end},
        {"rarfile/rar3-old.rar", nullptr, ok, {vol}, end},
        {"rarfile/rar3-vols.part3.rar", nullptr, ok, {vol, ok}, end},
        {"rarfile/rar5-vols.part1.rar", nullptr, ok, {vol}, bad},
        {"rarfile/rar5-vols.part3.rar", nullptr, ok, {ok}, end},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        QTemporaryDir dir;
        const Listing l = extractAll(kSamples + "/" + c.file, dir.path(), c.password);
        EXPECT_EQ(l.openResult, c.open);
        std::vector<int> results;
        for (const Entry& e : l.entries) {
            results.push_back(e.result);
            const bool encrypted = e.result == psw || e.result == ERAR_BAD_PASSWORD;
            EXPECT_EQ((e.flags & RHDF_ENCRYPTED) != 0, encrypted) << e.name;
        }
        EXPECT_EQ(results, c.results);
        if (c.open == ok) {
            EXPECT_EQ(l.end, c.end);
        }
    }
}

TEST(Unrar, LinksWriteNothingAndTraversalStaysFlat) {
    REQUIRE_SAMPLES();
    const std::pair<const char*, QStringList> cases[] = {
        {"junrar/parent-dir.rar", {"existing-file"}},
        {"junrar/sibling-prefix-traversal.rar", {"pwned.txt"}},
        {"rarfile/rar5-evil-symlink-traversal.rar", {"pwned.txt"}},
        {"libarchive/test_read_format_rar5_symlink.rar", {"file.txt"}},
        {"libarchive/test_read_format_rar5_hardlink.rar", {"file.txt"}},
        {"libarchive/test_read_format_rar5_unicode.rar", {"👋🌎.txt"}},
        {"rarfile/rar3-symlink-unix.rar", {"data.txt"}},
        {"libarchive/test_read_format_rar.rar", {"test.txt", "test.txt"}},
    };
    for (const auto& [file, expected] : cases) {
        QTemporaryDir dir;
        const Listing l = extractAll(kSamples + "/" + file, dir.path());
        QStringList written;
        for (const Entry& e : l.entries) {
            written << e.written;
            EXPECT_EQ(e.result, ERAR_SUCCESS) << file << e.name;
        }
        EXPECT_EQ(written, expected) << file;
    }
}

TEST(Unrar, SkippedSolidMembersStillLetLaterOnesExtract) {
    REQUIRE_SAMPLES();
    struct Case {
        const char* file;
        const char* third;
        qint64 size;
    };
    const Case cases[] = {
        {"sharpcompress/Rar.solid.rar", "test.jpg", 40372},
        {"libarchive/test_read_format_rar5_solid.rar", "test2.bin", 4096},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        QTemporaryDir dir;
        const QByteArray dest = dir.path().toUtf8();
        RAROpenArchiveData open;
        open.ArcName = (kSamples + "/" + c.file).toStdString();
        HANDLE h = RAROpenArchive(&open);
        ASSERT_NE(h, nullptr);
        RARHeaderData header;
        for (int op : {RAR_SKIP, RAR_TEST, RAR_EXTRACT}) {
            ASSERT_EQ(RARReadHeader(h, &header), ERAR_SUCCESS);
            EXPECT_EQ(RARProcessFile(h, op, dest.constData(), nullptr), ERAR_SUCCESS);
        }
        EXPECT_TRUE(header.Flags & RHDF_SOLID);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{c.third});
        EXPECT_EQ(QFileInfo(dir.path() + "/" + c.third).size(), c.size);
        RARCloseArchive(h);
    }
}

// Writes bytes as `name` in dir and opens them as an archive; null when that fails.
static HANDLE openWritten(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile f(dir.path() + "/" + name);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return nullptr;
    f.close();
    RAROpenArchiveData open;
    open.ArcName = f.fileName().toStdString();
    return RAROpenArchive(&open);
}

// A member of a solid RAR 4 archive is reached by decompressing the ones before it, no further
// than they may declare: one that declares more than an entry may hold stops the extraction.
TEST(Unrar, ReachingASolidMemberDecompressesNoMoreThanTheLimits) {
    REQUIRE_SAMPLES();
    QFile sample(kSamples + "/sharpcompress/Rar.solid.rar");
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    QByteArray rar = sample.readAll();
    ASSERT_EQ(rar.mid(20 + 2, 1), "\x74");  // the first member's header, its size at +11
    rar.replace(20 + 11, 4, QByteArray(4, '\xFF'));
    QTemporaryDir dir;
    HANDLE h = openWritten(dir, "solid.rar", rar);
    ASSERT_NE(h, nullptr);
    RARHeaderData header;
    for (int op : {RAR_SKIP, RAR_SKIP, RAR_EXTRACT}) {
        ASSERT_EQ(RARReadHeader(h, &header), ERAR_SUCCESS);
        EXPECT_EQ(RARProcessFile(h, op, dir.path().toUtf8().constData(), nullptr),
                  op == RAR_SKIP ? ERAR_SUCCESS : ERAR_TOO_LARGE);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"solid.rar"});
    RARCloseArchive(h);
}

TEST(Unrar, AnExistingFileOrLinkAtTheTargetIsLeftAlone) {
    REQUIRE_SAMPLES();
    for (const char* file : {"ssokolow/testfile.rar3.rar", "ssokolow/testfile.rar5.rar"}) {
        SCOPED_TRACE(file);
        QTemporaryDir dir;
        const QString keep = dir.path() + "/keep/testfile.txt";
        const QString linked = dir.path() + "/link/testfile.txt";
        const QString chosen = dir.path() + "/chosen.txt";
        QDir().mkpath(dir.path() + "/keep");
        QDir().mkpath(dir.path() + "/link");
        QFile f(keep);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep");
        f.close();
        ASSERT_TRUE(QFile::link(dir.path() + "/elsewhere.txt", linked));
        const std::pair<QString, QString> targets[] = {
            {dir.path() + "/keep", ""}, {dir.path() + "/link", ""}, {"", chosen}};
        const int expected[] = {ERAR_ECREATE, ERAR_ECREATE, ERAR_SUCCESS};
        for (int i = 0; i < 3; ++i) {
            RAROpenArchiveData open;
            open.ArcName = (kSamples + "/" + file).toStdString();
            HANDLE h = RAROpenArchive(&open);
            ASSERT_NE(h, nullptr);
            RARHeaderData header;
            ASSERT_EQ(RARReadHeader(h, &header), ERAR_SUCCESS);
            EXPECT_EQ(RARProcessFile(h, RAR_EXTRACT, targets[i].first.toUtf8().constData(),
                                     targets[i].second.toUtf8().constData()),
                      expected[i]);
            RARCloseArchive(h);
        }
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("keep"));
        EXPECT_FALSE(QFileInfo::exists(dir.path() + "/elsewhere.txt"));
        QFile out(chosen);
        ASSERT_TRUE(out.open(QIODevice::ReadOnly));
        EXPECT_EQ(out.readAll(), QByteArray("Testing 123\n"));
    }
}

TEST(Unrar, CommentsAreReadWhereTheLibraryOrTheHeadersGiveThem) {
    REQUIRE_SAMPLES();
    struct Case {
        const char* file;
        uint32_t bufSize;
        uint32_t state;
        std::string text;
    };
    const Case cases[] = {
        {"rarfile/rar5-crc.rar", 16384, 1, "RAR5 archive - crc\n"},
        {"rarfile/rar5-crc.rar", 4, ERAR_SMALL_BUF, "RAR5"},
        {"rarfile/rar5-crc.rar", 0, 0, ""},
        {"sharpcompress/Rar5.comment.rar", 16384, 1, "This is another comment\n"},
        {"rarfile/rar5-solid.rar", 16384, 0, ""},
        // libunarr does not expose the packed RAR 4 comment.
        {"rarfile/rar3-comment-plain.rar", 16384, 0, ""},
    };
    for (const Case& c : cases) {
        RAROpenArchiveData open;
        open.ArcName = (kSamples + "/" + c.file).toStdString();
        open.CmtBufSize = c.bufSize;
        HANDLE h = RAROpenArchive(&open);
        ASSERT_NE(h, nullptr) << c.file;
        EXPECT_EQ(open.CmtState, c.state) << c.file;
        EXPECT_EQ(open.CmtBuf, c.text) << c.file;
        EXPECT_EQ(open.CmtSize, c.text.size()) << c.file;
        RARCloseArchive(h);
    }
}

TEST(Unrar, AHeaderThatFailsForeverEndsAtTheCap) {
    REQUIRE_SAMPLES();
    RAROpenArchiveData open;
    open.ArcName = (kSamples + "/libarchive/test_read_format_rar5_dirdata.rar").toStdString();
    HANDLE h = RAROpenArchive(&open);
    ASSERT_NE(h, nullptr);
    RARHeaderData header;
    int calls = 0;
    while (RARReadHeader(h, &header) != ERAR_END_ARCHIVE && calls < 200000) ++calls;
    EXPECT_EQ(calls, 100000);
    RARCloseArchive(h);
}

TEST(Unrar, WhatIsNotARarArchiveIsRefusedAtOpen) {
    QTemporaryDir dir;
    const std::pair<QByteArray, uint32_t> cases[] = {
        {"plain text, not an archive\n", ERAR_BAD_ARCHIVE},
        {"", ERAR_BAD_ARCHIVE},
        {"Rar!\x1a\x07", ERAR_BAD_ARCHIVE},
        {QByteArray("Rar!\x1a\x07\x02\x00", 8), ERAR_BAD_ARCHIVE},
        {QByteArray("PK\x03\x04\0\0\0\0", 8), ERAR_BAD_ARCHIVE},
    };
    for (const auto& [bytes, expected] : cases) {
        QFile f(dir.path() + "/sample.rar");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        RAROpenArchiveData open;
        open.ArcName = f.fileName().toStdString();
        EXPECT_EQ(RAROpenArchive(&open), nullptr) << bytes.toStdString();
        EXPECT_EQ(open.OpenResult, expected) << bytes.toStdString();
    }
    for (const QString& path : {dir.path() + "/missing.rar", dir.path()}) {
        RAROpenArchiveData open;
        open.ArcName = path.toStdString();
        EXPECT_EQ(RAROpenArchive(&open), nullptr);
        EXPECT_EQ(open.OpenResult, uint32_t(ERAR_EOPEN)) << path.toStdString();
    }
}

TEST(Unrar, NamesAreCutOnACharacterBoundary) {
    const std::tuple<std::string, size_t, std::string> cases[] = {
        {"가나다", 8, "가나"},  // 7 bytes would end inside 다
        {"가나다", 10, "가나다"}, {"ab가", 4, "ab"}, {"ab가", 5, "ab"},
        {"ab가", 6, "ab가"},      {"𝐀x", 4, ""},     {"abc", 1, ""},
    };
    for (const auto& [name, size, expected] : cases) {
        char out[16];
        std::memset(out, 'X', sizeof out);
        detail::copyCut(out, size, name);
        EXPECT_EQ(std::string(out), expected) << name << " " << size;
    }
}

TEST(Unrar, AnEntryDeclaredLargerThanTheLimitIsRefused) {
    QTemporaryDir dir;
    HANDLE h = openWritten(dir, "big.rar", rar5OneFile(uint64_t(5) << 30, "hello"));
    ASSERT_NE(h, nullptr);
    RARHeaderData header;
    ASSERT_EQ(RARReadHeader(h, &header), ERAR_SUCCESS);
    EXPECT_STREQ(header.FileName, "big.txt");
    EXPECT_EQ(header.UnpSize, 0xFFFFFFFFu);
    EXPECT_EQ(RARProcessFile(h, RAR_EXTRACT, dir.path().toUtf8().constData(), nullptr),
              ERAR_TOO_LARGE);
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/big.txt"));
    EXPECT_EQ(RARReadHeader(h, &header), ERAR_END_ARCHIVE);
    RARCloseArchive(h);
}
