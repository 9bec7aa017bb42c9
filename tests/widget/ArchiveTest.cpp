// Books inside archives in the real window: one entry or several, the list panel, stepping
// between the files of an archive, a file that cannot be opened, and resuming an entry.

#include <QDirIterator>
#include <QListWidget>

#include "../common/Controls.h"
#include "../common/ZipWriter.h"
#include "ArchiveFixture.h"
#include "encodings/StoredText.h"
#include "forms/PictureBox.h"
#include "session/StateFiles.h"

namespace {

TEST_F(Archives, OneEntryOpensAtOnceAndKeepsTheListButton) {
    start();
    open(zip("한 권.zip", {{"날개.txt", numberedBook(300)}}));
    EXPECT_EQ(window->book().archiveKind, 0);
    EXPECT_EQ(window->book().path, tmpZip("날개.txt"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("루모북 [날개.txt]"));
    EXPECT_GT(window->pages().count, 1);
    EXPECT_FALSE(control<forms::PictureBox>(*window, "PicList")->isVisible());
    EXPECT_TRUE(control<forms::Image>(*window, "CmdList")->isEnabled());
    EXPECT_TRUE(control<forms::Image>(*window, "CmdNext")->isEnabled());
}

// An entry's text is decoded as it is extracted where it can be: it is the text its file holds,
// in every encoding.
TEST_F(Archives, AnEntryShowsTheTextItsFileHolds) {
    std::vector<std::pair<const char*, QByteArray>> books = {
        {"UTF-8", numberedBook(300)},
        {"ASCII", QByteArray("line\r\n").repeated(3000)},
        {"UTF-16", QByteArray("\xFF\xFE", 2) + QByteArray("a\0\r\0\n\0", 6).repeated(3000)},
    };
    QFile cp949(QStringLiteral(TL_TESTDATA_DIR "/text/nalgae.cp949.txt"));
    if (cp949.open(QIODevice::ReadOnly)) books.push_back({"CP949", cp949.readAll()});
    start();
    for (const auto& [what, bytes] : books) {
        open(zip(QStringLiteral("%1.zip").arg(what), {{"책.txt", bytes}}));
        ASSERT_EQ(window->book().path, tmpZip("책.txt")) << what;
        EXPECT_EQ(window->pages().text.toString(),
                  encodings::StoredText::read(window->book().path).text.toString())
            << what;
        EXPECT_GT(window->pages().count, 0) << what;
    }
}

TEST_F(Archives, SeveralEntriesShowTheListAndStepBetweenFiles) {
    start();
    open(zip("단편.zip", {{"1장.txt", numberedBook(200)},
                          {"그림.jpg", "x"},
                          {"모음/3장.txt", numberedBook(10)},
                          {"2장.TXT", numberedBook(5)},
                          {"모음/", {}},
                          {"1장.txt", numberedBook(3)}}));
    EXPECT_EQ(listed(), (QStringList{"1장.txt", "2장.TXT"}));
    EXPECT_TRUE(control<forms::PictureBox>(*window, "PicList")->isVisible());
    EXPECT_EQ(control<QListWidget>(*window, "List1")->currentRow(), 0);
    EXPECT_EQ(window->book().path, tmpZip("1장.txt"));

    // The first file has no previous one: no question.
    release(control<forms::Image>(*window, "CmdPrev"));
    EXPECT_TRUE(dialogs.shownOf("msgbox").isEmpty());
    // At the last spread, next asks; No keeps everything.
    release(control<forms::Image>(*window, "CmdLast"));
    dialogs.answerMsgBox(dlg::vbNo);
    release(control<forms::Image>(*window, "CmdNext"));
    EXPECT_EQ(lastBox(), QStringLiteral("다음 파일을 보시겠습니까?"));
    EXPECT_EQ(control<QListWidget>(*window, "List1")->currentRow(), 0);
    EXPECT_EQ(window->book().path, tmpZip("1장.txt"));
    dialogs.answerMsgBox(dlg::vbYes);
    release(control<forms::Image>(*window, "CmdNext"));
    EXPECT_EQ(control<QListWidget>(*window, "List1")->currentRow(), 1);
    EXPECT_EQ(window->book().path, tmpZip("2장.TXT"));
    EXPECT_EQ(window->pages().current, 1);
    EXPECT_FALSE(QFile::exists(tmpZip("1장.txt")));  // TmpZip holds one name at a time
    // Back with a click on the left page at the first spread.
    dialogs.answerMsgBox(dlg::vbYes);
    QTest::mouseClick(control<forms::PictureBox>(*window, "PicRead", 0), Qt::LeftButton, {},
                      QPoint(100, 100));
    EXPECT_EQ(lastBox(), QStringLiteral("이전 파일을 보시겠습니까?"));
    EXPECT_EQ(control<QListWidget>(*window, "List1")->currentRow(), 0);
    // The panel: every extraction closed it; the list button toggles it, OK opens the choice.
    EXPECT_FALSE(control<forms::PictureBox>(*window, "PicList")->isVisible());
    QTest::mousePress(control<forms::Image>(*window, "CmdList"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(control<forms::PictureBox>(*window, "PicList")->isVisible());
    QTest::mousePress(control<forms::Image>(*window, "CmdList"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(control<forms::PictureBox>(*window, "PicList")->isVisible());
    QTest::mousePress(control<forms::Image>(*window, "CmdList"), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(control<forms::PictureBox>(*window, "PicList")->isVisible());
    control<QListWidget>(*window, "List1")->setCurrentRow(1);
    QTest::mousePress(control<forms::Image>(*window, "CmdOk"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(control<forms::PictureBox>(*window, "PicList")->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("루모북 [2장.TXT]"));
}

TEST_F(Archives, AFileThatCannotBeOpenedKeepsTheBookOnScreen) {
    const QString book = writeBook("읽던 책.txt", numberedBook(100));
    start();
    open(book);
    const QString title = window->windowTitle();
    QFile junk(folder.file("망가진.zip"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(3000, '\x5a'));
    junk.close();
    QFile::copy(junk.fileName(), folder.file("망가진.rar"));
    const QString cases[] = {
        junk.fileName(),
        folder.file("망가진.rar"),
        zip("폴더뿐.zip", {{"모음/1장.txt", "x"}}),
        zip("빈.zip", {}),
        writeBook("문서.pdf", "%PDF"),
    };
    for (const QString& path : cases) {
        dialogs.clear();
        open(path);
        EXPECT_FALSE(lastBox().isEmpty()) << path.toStdString();  // it says why
        EXPECT_EQ(window->book().path, book) << path.toStdString();
        EXPECT_EQ(window->book().archiveKind, -1) << path.toStdString();
        EXPECT_TRUE(window->book().archivePath.isEmpty()) << path.toStdString();
        EXPECT_EQ(window->windowTitle(), title);
        EXPECT_TRUE(control<forms::Image>(*window, "CmdNext")->isEnabled());
    }
    // A RAR library error has its own box; the reader goes on instead of ending.
    dialogs.clear();
    open(folder.file("망가진.rar"));
    ASSERT_EQ(dialogs.shownOf("msgbox").size(), 1);
    EXPECT_EQ(dialogs.shownOf("msgbox")[0].title, "Error");
    EXPECT_EQ(dialogs.shownOf("msgbox")[0].text, folder.file("망가진.rar") + " is not RAR archive");
    EXPECT_TRUE(window->isVisible());
    window->close();
    window.reset();
    EXPECT_EQ(statefiles::readFile(folder.file("txtlumofile.txt")).value_or(""),
              (book + "\r\n-1 \r\n\r\n-1 \r\n").toUtf8());
}

TEST_F(Archives, AnEntryIsResumedWithItsBookmark) {
    start();
    const QString path =
        zip("이어.zip", {{"가.txt", numberedBook(50)}, {"나.txt", numberedBook(600)}});
    open(path);
    control<QListWidget>(*window, "List1")->setCurrentRow(1);
    QTest::mousePress(control<forms::Image>(*window, "CmdOk"), Qt::LeftButton, {}, QPoint(5, 5));
    release(control<forms::Image>(*window, "CmdNext"));
    QTest::mouseClick(control<forms::PictureBox>(*window, "PicRead", 1), Qt::RightButton, {},
                      QPoint(100, 55));
    ASSERT_EQ(window->settings().BookmarkEntry, 2);
    window->close();
    window.reset();
    EXPECT_FALSE(QFile::exists(tmpZip("나.txt")));  // emptied at exit
    const auto saved =
        statefiles::decodeDocument(*statefiles::readFile(folder.file("txtlumofile.txt")));
    EXPECT_EQ(saved->archiveKind, 0);
    EXPECT_EQ(saved->archivePath, path);
    EXPECT_EQ(saved->entryIndex, 1);

    dialogs.answerMsgBox(dlg::vbYes);
    start();
    EXPECT_EQ(control<QListWidget>(*window, "List1")->currentRow(), 1);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("루모북 [나.txt]"));
    EXPECT_EQ(window->pages().current, 3);
    EXPECT_TRUE(control<forms::Image>(*window, "ImgRead", 1)->isVisible());
    window->close();
    window.reset();

    // The archive changed: a saved entry beyond its list opens the first entry.
    statefiles::DocumentState changed = *saved;
    changed.entryIndex = 7;
    writeFile("txtlumofile.txt", statefiles::encodeDocument(changed));
    dialogs.answerMsgBox(dlg::vbYes);
    start();
    EXPECT_EQ(control<QListWidget>(*window, "List1")->currentRow(), 0);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("루모북 [가.txt]"));
}

TEST_F(Archives, RealArchivesWithKoreanNames) {
    const QString data = QStringLiteral(TL_TESTDATA_DIR);
    if (!QDir(data + "/zip").exists() || !QDir(data + "/rar").exists())
        GTEST_SKIP() << "test data absent: " << data.toStdString();
    start();
    // One top-level book each: a RAR leaves its list button grey.
    for (const char* name : {"/zip/synthetic/korean_names_cp949.zip",
                             "/zip/synthetic/korean_names_utf8_nfd_noflag.zip",
                             "/rar/synthetic/korean_names_rar4_cp949_only.rar",
                             "/rar/synthetic/korean_names_rar5.rar"}) {
        dialogs.clear();
        open(data + name);
        EXPECT_EQ(window->windowTitle(), QStringLiteral("루모북 [읽어보기.txt]")) << name;
        EXPECT_GT(window->pages().count, 0) << name;
        EXPECT_EQ(control<forms::Image>(*window, "CmdList")->isEnabled(),
                  QString(name).endsWith(".zip"))
            << name;
    }
    // An encrypted entry says so and leaves the book that was open.
    dialogs.clear();
    open(data + "/zip/synthetic/encrypted_zipcrypto.zip");
    EXPECT_TRUE(lastBox().contains(QStringLiteral("암호"))) << lastBox().toStdString();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("루모북 [읽어보기.txt]"));
    EXPECT_EQ(window->book().archivePath, data + "/rar/synthetic/korean_names_rar5.rar");
}

TEST_F(Archives, EveryTestArchiveOpensOrSaysWhy) {
    const QString data = QStringLiteral(TL_TESTDATA_DIR);
    if (!QDir(data + "/zip").exists() || !QDir(data + "/rar").exists())
        GTEST_SKIP() << "test data absent: " << data.toStdString();
    start();
    const QStringList before =
        QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QStringList archives;
    for (const char* kind : {"zip", "rar"}) {
        QDirIterator it(data + "/" + kind, {"*.zip", "*.rar"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) archives << it.next();
    }
    archives.sort();
    ASSERT_GT(archives.size(), 60);
    for (const QString& path : archives) {
        dialogs.clear();
        const bool opened = window->OpenDocument(path, -1);
        const QString shown = window->book().path.mid(window->book().path.lastIndexOf('/') + 1);
        // Opened: the entry is on screen, extracted into TmpZip; refused: a box said why.
        if (opened) {
            EXPECT_EQ(window->book().archivePath, path);
            EXPECT_TRUE(QFile::exists(folder.file("TmpZip/" + shown))) << path.toStdString();
            EXPECT_EQ(window->windowTitle(), QStringLiteral("루모북 [%1]").arg(shown))
                << path.toStdString();
        } else {
            EXPECT_FALSE(dialogs.shownOf("msgbox").isEmpty()) << path.toStdString();
        }
        std::printf(
            "%-60s %s\n", qPrintable(path.mid(data.size() + 1)),
            qPrintable(opened ? QStringLiteral("opens %1 (%2 in the list)")
                                    .arg(shown)
                                    .arg(control<QListWidget>(*window, "List1")->count())
                              : QStringLiteral("refused: %1").arg(lastBox().replace('\n', ' '))));
        // Nothing was written beside TmpZip, and TmpZip holds only plain files.
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        for (const QFileInfo& f : QDir(folder.file("TmpZip"))
                                      .entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                     QDir::System | QDir::Hidden))
            EXPECT_TRUE(f.isFile() && !f.isSymLink()) << f.filePath().toStdString();
    }
}

}  // namespace

namespace {

// Browsing the list chooses nothing, and a choice that fails changes nothing: the entry on
// screen stays the one saved, bookmarked and resumed, and stays on disk.
TEST_F(Archives, TheEntryOnScreenIsWhatIsSavedWhateverTheListShows) {
    start();
    const QString path = zip(
        "세 편.zip",
        {{"a.txt", numberedBook(300)}, {"b.txt", numberedBook(50)}, {"c.txt", numberedBook(4000)}});
    // c.txt's deflated data damaged: it lists, but cannot be extracted.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    const qsizetype c = bytes.indexOf("c.txt");
    ASSERT_GT(c, 0);
    for (qsizetype i = c + 60; i < c + 400 && i < bytes.size(); i += 7) bytes[i] = char(~bytes[i]);
    f.seek(0);
    f.write(bytes);
    f.close();
    open(path);
    ASSERT_EQ(window->windowTitle(), QStringLiteral("루모북 [a.txt]"));
    ASSERT_TRUE(control<forms::PictureBox>(*window, "PicList")->isVisible());
    control<QListWidget>(*window, "List1")->setCurrentRow(2);
    QTest::mousePress(control<forms::Image>(*window, "cmdCancel"), Qt::LeftButton, {},
                      QPoint(5, 5));
    EXPECT_EQ(control<QListWidget>(*window, "List1")->currentRow(), 0);

    QTest::mousePress(control<forms::Image>(*window, "CmdList"), Qt::LeftButton, {}, QPoint(5, 5));
    control<QListWidget>(*window, "List1")->setCurrentRow(2);
    QTest::mousePress(control<forms::Image>(*window, "CmdOk"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(lastBox().contains(QStringLiteral("압축을 풀 수 없습니다")))
        << lastBox().toStdString();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("루모북 [a.txt]"));
    EXPECT_EQ(control<QListWidget>(*window, "List1")->currentRow(), 0);
    EXPECT_TRUE(QFile::exists(tmpZip("a.txt")));
    EXPECT_FALSE(control<forms::PictureBox>(*window, "PicSplash")
                     ->isVisible());  // no panel left behind the box

    window->close();
    const auto saved =
        statefiles::decodeDocument(*statefiles::readFile(folder.file("txtlumofile.txt")));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->entryIndex, 0);
    EXPECT_EQ(saved->documentPath, tmpZip("a.txt"));
}

}  // namespace
