#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "files/Files.h"

using namespace files;

namespace {

struct Folder {
    Folder() {
        for (const char* name : {"a.txt", "B.TXT", "한글 책.txt", "c.zip", ".hidden.txt", "noext"})
            touch(name);
        QDir(tmp.path()).mkdir("sub.txt");  // a folder named like a file
    }
    QString path(const char* name) const { return tmp.filePath(QString::fromUtf8(name)); }
    void touch(const char* name) const { QFile(path(name)).open(QIODevice::WriteOnly); }
    QTemporaryDir tmp;
};

}  // namespace

TEST(Files, ExistenceSearchAndAttributes) {
    Folder f;
    struct Case {
        const char* name;
        bool file, dir;
        uint32_t attributes;
    };
    const Case cases[] = {
        {"a.txt", true, false, FILE_ATTRIBUTE_ARCHIVE},
        {"한글 책.txt", true, false, FILE_ATTRIBUTE_ARCHIVE},
        {".hidden.txt", true, false, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
        {"sub.txt", false, true, FILE_ATTRIBUTE_DIRECTORY},
        {"sub.txt/", false, true, FILE_ATTRIBUTE_DIRECTORY},
        {"missing", false, false, INVALID_FILE_ATTRIBUTES},
        {"*.txt", false, false, INVALID_FILE_ATTRIBUTES},  // no wildcards
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileExists(f.path(c.name)), c.file) << c.name;
        EXPECT_EQ(DirExists(f.path(c.name)), c.dir) << c.name;
        EXPECT_EQ(GetFileAttributes(f.path(c.name)), c.attributes) << c.name;
    }

    const std::pair<QString, QStringList> searches[] = {
        {"*.txt", {"a.txt", "B.TXT", "한글 책.txt"}},  // any case, no folders, no hidden
        {"*.*", {"a.txt", "B.TXT", "c.zip", "noext", "한글 책.txt"}},
        {"한글*", {"한글 책.txt"}},
        {"*.rar", {}},
    };
    for (const auto& [pattern, names] : searches)
        EXPECT_EQ(FindFiles(f.tmp.path(), pattern), names) << pattern.toStdString();
    EXPECT_TRUE(FindFiles(f.path("missing"), "*").isEmpty());

    // Read-only must read back even for root, who may write anything.
    const QString book = f.path("한글 책.txt");
    ASSERT_TRUE(SetFileAttributes(book, FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(GetFileAttributes(book), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    ASSERT_TRUE(SetFileAttributes(book, FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributes(book), FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_FALSE(SetFileAttributes(f.path("missing"), FILE_ATTRIBUTE_NORMAL));
}

TEST(Files, KillMkDirRmDir) {
    Folder f;
    EXPECT_TRUE(Kill(f.path("한글 책.txt")));
    EXPECT_FALSE(FileExists(f.path("한글 책.txt")));
    EXPECT_FALSE(Kill(f.path("한글 책.txt")));
    EXPECT_FALSE(Kill(f.path("sub.txt")));  // folders are not files

    const QString made = f.path("새 폴더");
    EXPECT_TRUE(MkDir(made));
    EXPECT_TRUE(DirExists(made));
    EXPECT_FALSE(MkDir(made));
    EXPECT_FALSE(MkDir(f.path("no/such/parent")));
    f.touch("새 폴더/x");
    EXPECT_FALSE(RmDir(made));  // not empty
    EXPECT_TRUE(Kill(made + "/x"));
    EXPECT_TRUE(RmDir(made));
    EXPECT_FALSE(RmDir(made));
    EXPECT_FALSE(RmDir(f.path("a.txt")));
}
