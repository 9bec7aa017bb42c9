// The document side of archives: which entries are books, how listed names are split and
// passed back, and emptying the temporary folder.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "documents/ArchiveList.h"
#include "documents/ClearFolder.h"
#include "documents/Cls_Rar.h"
#include "documents/cUnzip.h"

namespace {

TEST(ArchiveList, OnlyTopLevelTextEntriesEachNameOnce) {
    ArchiveEntries entries = {
        {"Story.TXT", "", ""},     {"story.txt.bak", "", ""}, {"1장.txt", "", ""},
        {"inner.txt", "docs", ""}, {"noext", "", ""},         {"1장.txt", "", ""},
        {"a.b", "", ""},           {".txt", "", ""},          {"..", "", ""},
        {"tab\t.txt", "", ""},     {"2장.txt", "", ""},
    };
    const QStringList names = archivelist::FillArchiveList(entries);
    EXPECT_EQ(names, (QStringList{"Story.TXT", "1장.txt", ".txt", "2장.txt"}));
    // Both copies of a duplicated name are marked, so both are extracted.
    EXPECT_EQ(entries[2].TextName, "1장.txt");
    EXPECT_EQ(entries[5].TextName, "1장.txt");
    EXPECT_EQ(entries[3].TextName, "");  // in a folder
    EXPECT_EQ(entries[9].TextName, "");  // a control character
}

TEST(ArchiveList, ExtensionsOfPaths) {
    const std::pair<const char*, const char*> cases[] = {
        {"/books/book.TXT", ".txt"}, {"/books/a.ZIP", ".zip"}, {"/a.b/readme", ".b/readme"},
        {"noext", ".noext"},         {"/x/y.tar.rar", ".rar"}, {"/x/story.txt.bak", ".bak"},
    };
    for (const auto& [path, extension] : cases)
        EXPECT_EQ(archivelist::extensionOf(path), extension) << path;
    EXPECT_TRUE(archivelist::IsTextExtension(".txt"));
    EXPECT_FALSE(archivelist::IsTextExtension(".TXT"));  // callers lower-case first
}

TEST(ZipAccess, ListedNamesAndIncludePatterns) {
    using mUnzip::splitListedName;
    EXPECT_EQ(splitListedName("a/b/c.txt").directory, "a\\b");
    EXPECT_EQ(splitListedName("a/b/c.txt").name, "c.txt");
    EXPECT_EQ(splitListedName("x.txt").directory, "");
    EXPECT_EQ(splitListedName("folder/").name, "");  // a folder: not an entry
    EXPECT_EQ(splitListedName("/abs.txt").directory, "\\");  // absolute: not at the top level
    EXPECT_EQ(mUnzip::entryPath("a\\b", "[1] c.txt"), "a/b/[1] c.txt");
    EXPECT_EQ(mUnzip::packedSize(37, 1000), 370);
    EXPECT_EQ(mUnzip::packedSize(100, 2000000000), 0);  // the product leaves 32 bits

    cUnzip zip;
    unzip::ListedEntry e;
    e.name = "a/b/c.txt";
    e.size = 1000;
    e.factor = 37;
    e.flags = 64;
    zip.addListedEntry(e);
    e.name = "dir/";
    zip.addListedEntry(e);
    ASSERT_EQ(zip.FileCount(), 1);
    EXPECT_EQ(zip.FileName(1), "c.txt");
    EXPECT_EQ(zip.FilePackedSize(1), 370);
    EXPECT_TRUE(zip.FileEncrypted(1));
    EXPECT_FALSE(zip.FileSelected(1));
    EXPECT_THROW(zip.FileName(2), std::out_of_range);
    zip.setZipFile("other.zip");
    EXPECT_EQ(zip.FileCount(), 0);
    EXPECT_FALSE(cUnzip().Unzip());  // no archive: nothing to do
}

TEST(RarAccess, FolderPartsAndNames) {
    EXPECT_EQ(Cls_Rar::folderPart("Docs/Story.txt"), "docs");
    EXPECT_EQ(Cls_Rar::folderPart("A\\B\\c.txt"), "a\\b");
    EXPECT_EQ(Cls_Rar::folderPart("readme.txt"), "");
    EXPECT_EQ(Cls_Rar::ParseFilename("Docs/Story.txt"), "Story.txt");
    EXPECT_EQ(Cls_Rar::ParseFilename("A\\B\\c.txt"), "c.txt");
    EXPECT_EQ(Cls_Rar::ParseFilename("plain"), "plain");
}

TEST(ClearFolder, EmptiesTmpZipButNeverLeavesIt) {
    QTemporaryDir base;
    const QString root = base.filePath("TmpZip"), outside = base.filePath("outside");
    QDir().mkpath(root + "/nested/deeper");
    QDir().mkpath(outside);
    auto touch = [](const QString& path) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("x");
    };
    touch(root + "/book.txt");
    touch(root + "/nested/deeper/old.txt");
    touch(outside + "/keep.txt");
    QFile::setPermissions(root + "/book.txt", QFile::ReadOwner);
    QFile::setPermissions(root + "/nested/deeper", QFile::ReadOwner | QFile::ExeOwner);
    QFile::link(outside, root + "/link-to-folder");
    QFile::link(outside + "/keep.txt", root + "/link-to-file.txt");
    ClearFolder(root, QString(), root);
    EXPECT_TRUE(QDir(root).exists());
    EXPECT_TRUE(
        QDir(root)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
            .isEmpty());
    // Links went as links: what they pointed at is untouched.
    EXPECT_TRUE(QFile::exists(outside + "/keep.txt"));
}

TEST(ClearFolder, TheExtractFolderBecomesARealFolderOfItsOwn) {
    // What stands where TmpZip should be: a link to a folder of the user's, a dangling link, a
    // link to a file, a plain file.
    enum class Stand { FolderLink, DanglingLink, FileLink, File };
    for (const Stand stand :
         {Stand::FolderLink, Stand::DanglingLink, Stand::FileLink, Stand::File}) {
        SCOPED_TRACE(int(stand));
        QTemporaryDir base;
        const QString root = base.filePath("TmpZip"), outside = base.filePath("mine");
        QDir().mkpath(outside + "/sub");
        for (const char* name : {"/a.txt", "/sub/b.txt"}) {
            QFile f(outside + name);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("keep");
        }
        if (stand == Stand::FolderLink) QFile::link(outside, root);
        if (stand == Stand::DanglingLink) QFile::link(base.filePath("gone"), root);
        if (stand == Stand::FileLink) QFile::link(outside + "/a.txt", root);
        if (stand == Stand::File) QFile::copy(outside + "/a.txt", root);
        ClearFolder(root, QString(), root);  // never through the link
        EXPECT_TRUE(EmptyExtractFolder(root));
        EXPECT_TRUE(QFileInfo(root).isDir() && !QFileInfo(root).isSymLink());
        EXPECT_TRUE(QDir(root).isEmpty());
        EXPECT_TRUE(QFile::exists(outside + "/a.txt"));
        EXPECT_TRUE(QFile::exists(outside + "/sub/b.txt"));
    }
}

}  // namespace
