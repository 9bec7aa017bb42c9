// Documents nobody meant to be read: empty, a lone byte-order mark, broken encodings, NUL
// bytes, only line breaks, one endless line, a folder or a pipe named like a book. Each opens as
// what it holds, or as an empty book, without a crash, a hang or more than a page drawn.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <atomic>
#include <chrono>
#include <new>
#include <thread>

#include "../common/Controls.h"
#include "../common/ZipWriter.h"
#include "ReaderFixture.h"
#include "encodings/DocumentText.h"
#include "forms/PictureBox.h"
#include "session/StateFiles.h"
#include "textbox/LineBreaker.h"
#include "window/WindowFile.h"

namespace {

using namespace std::chrono_literals;

class BadInput : public Reading {};

TEST_F(BadInput, StrangeDocumentsOpenAsWhatTheyHold) {
    start();
    struct Case {
        const char* name;
        QByteArray bytes;
        bool pages;  // the book has pages to turn
    };
    const QByteArray longLine(10 * 1024 * 1024, 'x');
    const Case cases[] = {
        {"empty", "", false},
        {"lone BOM", "\xFF\xFE", false},
        {"odd UTF-16",
         QByteArray("\xFF\xFE"
                    "A\0B\0C",
                    7),
         true},
        {"lone surrogate",
         QByteArray("\xFF\xFE\x00\xD8"
                    "A\0",
                    6),
         true},
        {"invalid UTF-8", "\xC3\x28 \xE2\x82 \xF0\x28\x8C\xBC", true},
        {"one byte", "a", true},
        {"NUL bytes", QByteArray("\xEC\xA4\x84 1\0\0\0\xEC\xA4\x84 2\r\n", 15), true},
        {"only line breaks", "\r\n\r\n\n\r\r\r\n\n", true},
        {"mixed breaks", "one\rtwo\nthree\r\nfour\n\rfive", true},
        {"one 10 MB line", longLine, true},
    };
    for (const Case& c : cases) {
        const QString path = writeBook(QStringLiteral("%1.txt").arg(c.name), c.bytes);
        ASSERT_TRUE(window->OpenDocument(path, -1)) << c.name;
        EXPECT_EQ(window->book().path, path) << c.name;
        EXPECT_EQ(window->pages().count > 0, c.pages) << c.name;
        if (c.pages) {
            EXPECT_EQ(window->pages().current, 1) << c.name;
            EXPECT_EQ(control<forms::Label>(*window, "lbl_Totpage")->caption(),
                      QStringLiteral("1/%1").arg(window->pages().count))
                << c.name;
            release(control<forms::Image>(*window, "CmdLast"));
            EXPECT_EQ(window->pages().current % 2, 1) << c.name;
            EXPECT_GE(window->pages().current, window->pages().count - 1) << c.name;
        }
    }
    // A page of the endless line holds a page of it, no more.
    window->OpenDocument(folder.file("one 10 MB line.txt"), -1);
    EXPECT_LT(window->PageText(1).text.size(), 20000);
}

TEST_F(BadInput, AFolderNamedLikeABookOrATooLargeBookOpensNothing) {
    const QString book = writeBook("진짜.txt", numberedBook(50));
    start();
    open(book);
    QDir().mkpath(folder.file("폴더.txt"));
    const QString huge = folder.file("너무 큰 책.txt");
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(kMaxDocumentBytes + 1));
    }
    dialogs.clear();
    EXPECT_FALSE(window->OpenDocument(folder.file("폴더.txt"), -1));
    EXPECT_FALSE(window->OpenDocument(folder.file("없는 책.txt"), -1));
    EXPECT_FALSE(window->OpenDocument(huge, -1));
    // The book that was open stays on screen, and it is what is saved.
    ASSERT_EQ(dialogs.shownOf("msgbox").size(), 3);
    EXPECT_TRUE(dialogs.shownOf("msgbox")[2].text.contains(QStringLiteral("너무 커서")));
    EXPECT_EQ(window->book().path, book);
    EXPECT_GT(window->pages().length, 0);
    EXPECT_TRUE(control<forms::Image>(*window, "CmdNext")->isEnabled());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("루모북 [진짜.txt]"));
}

TEST_F(BadInput, APipeNamedLikeABookIsRefusedWithoutWaiting) {
    const QString book = writeBook("진짜.txt", numberedBook(50));
    start();
    open(book);
    const QString pipe = folder.file("파이프.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // A reader that waited on the pipe would wait for good: a writer comes and goes after a
    // while, so such a reader fails here instead of hanging.
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 3000 && !done; ++i) std::this_thread::sleep_for(1ms);
        if (done) return;
        const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
    });
    dialogs.clear();
    open(pipe);
    done = true;
    writer.join();
    const auto boxes = dialogs.shownOf("msgbox");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text, QStringLiteral("파일을 열 수 없습니다.\n") + pipe);
    EXPECT_EQ(window->book().path, book);
    EXPECT_GT(window->pages().length, 0);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("루모북 [진짜.txt]"));
}

}  // namespace

namespace {

// A book that fails while it is laid out (out of memory, most likely) leaves the book read
// before on screen at its page, a plain text or an archive's entry alike, and the window
// takes input again.
TEST_F(BadInput, ABookThatFailsToLayOutLeavesTheOneBefore) {
    const QString first = writeBook("읽던 책.txt", numberedBook(400));
    start();
    open(first);
    release(control<forms::Image>(*window, "CmdNext"));
    ASSERT_EQ(window->pages().current, 3);
    // Past the size wrapped on two threads, where the parts are handed out.
    const QByteArray big = numberedBook(150000);
    const QString cases[] = {writeBook("큰 책.txt", big), folder.file("큰 책.zip")};
    ASSERT_TRUE(writeZip(cases[1], {{QStringLiteral("큰 책.txt"), big}}));
    for (const QString& path : cases) {
        SCOPED_TRACE(path.toStdString());
        textbox::LineBreaker::setPartHook([](size_t) { throw std::bad_alloc(); });
        EXPECT_THROW(window->OpenDocument(path, -1), std::bad_alloc);
        textbox::LineBreaker::setPartHook(nullptr);
        EXPECT_EQ(window->book().path, first);
        EXPECT_EQ(window->book().archiveKind, -1);
        EXPECT_EQ(window->pages().current, 3);
        EXPECT_GT(window->pages().length, 0);
        EXPECT_TRUE(window->isEnabled());
        EXPECT_FALSE(control<forms::PictureBox>(*window, "PicSplash")->isVisible());
        EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("읽던 책")));
    }
}

class DamagedState : public Resume {};

TEST_F(DamagedState, EveryCutOfEveryStateFileStartsAndWritesBackValidFiles) {
    const QString book = writeBook(QStringLiteral("책.txt"), numberedBook(600));
    statefiles::DocumentState d;
    d.documentPath = book;
    const QByteArray document = statefiles::encodeDocument(d);
    saveSession(book, 5, 40);
    const QByteArray settings = *statefiles::readFile(folder.file("txtlumoinfo.txt"));
    const QByteArray window26 = *statefiles::readFile(folder.file(windowfile::fileName()));
    struct Cut {
        const char* file;
        QByteArray full;
        std::vector<int> lengths;
    };
    const Cut cuts[] = {
        {"txtlumofile.txt", document, {0, 1, int(document.size() / 2), int(document.size() - 1)}},
        {"txtlumoinfo.txt", settings, {0, 1, 49, 50, 51, 85}},
        {"data1_0_0", window26, {0, 1, 15, 16, 17, 24, 25}},
    };
    for (const Cut& cut : cuts)
        for (int length : cut.lengths) {
            SCOPED_TRACE(std::string(cut.file) + " cut to " + std::to_string(length));
            writeFile("txtlumofile.txt", document);
            writeFile("txtlumoinfo.txt", settings);
            writeFile(windowfile::fileName(), window26);
            writeFile(cut.file, cut.full.left(length));
            dialogs.answerMsgBox(dlg::vbYes);
            start();
            if (window->pages().length > 0) {
                EXPECT_EQ(window->pages().current % 2, 1);
                EXPECT_LE(window->pages().current, window->pages().count);
            }
            window->close();
            window.reset();
            const auto info = statefiles::readFile(folder.file("txtlumoinfo.txt"));
            if (info && *info != settings.left(length)) {
                EXPECT_EQ(info->size(), 86);
            }
            const auto win = windowfile::decode(
                statefiles::readFile(folder.file(windowfile::fileName())).value_or(""));
            if (win) {
                EXPECT_TRUE(windowfile::positionUsable(win->currentPage, win->pageCount, 1e9));
            }
        }
}

TEST_F(DamagedState, HugeAndNegativeSettingsNeverReachTheLayout) {
    const QString book = writeBook(QStringLiteral("책.txt"), numberedBook(300));
    for (int16_t v : {int16_t(32767), int16_t(-32768), int16_t(-1), int16_t(0)}) {
        saveSession(book, 1, 1);
        statefiles::ReadingSettings s =
            *statefiles::decode(*statefiles::readFile(folder.file("txtlumoinfo.txt")));
        s.FontSize = s.SpacingValue0 = s.LineSpacing = s.FontBold = s.BookmarkSet = v;
        s.FontSizeIndex = s.SpacingIndex0 = s.LineSpacingIndex = v;
        s.TextColor = s.PageColor = s.BookmarkPosition = s.BookmarkEntry =
            int32_t(uint32_t(uint16_t(v)) * 65537u);  // v in both halves
        writeFile("txtlumoinfo.txt", statefiles::encode(s));
        dialogs.answerMsgBox(dlg::vbYes);
        start();
        EXPECT_GE(window->settings().FontSize, 8) << v;
        EXPECT_LE(window->settings().FontSize, 72) << v;
        EXPECT_GE(window->settings().LineSpacing, 1) << v;
        EXPECT_LE(window->settings().LineSpacing, 20) << v;
        EXPECT_GT(window->pages().count, 0) << v;
        window->close();
        window.reset();
    }
}

TEST_F(DamagedState, StateFilesThatCannotBeWrittenAreReportedAndTheOldOnesKept) {
    const QString book = writeBook(QStringLiteral("책.txt"), numberedBook(300));
    saveSessionAt(book, 5);
    const QByteArray settings = *statefiles::readFile(folder.file("txtlumoinfo.txt"));
    dialogs.answerMsgBox(dlg::vbYes);
    start();
    release(control<forms::Image>(*window, "CmdNext"));
    // Something in the way of the document file: it cannot be replaced.
    QFile::remove(folder.file("txtlumofile.txt"));
    QDir().mkpath(folder.file("txtlumofile.txt/x"));
    dialogs.clear();
    window->close();
    window.reset();
    const auto boxes = dialogs.shownOf("msgbox");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("읽던 곳과 설정을 저장하지 못했습니다.")));
    // The others were written whole.
    EXPECT_EQ(statefiles::readFile(folder.file("txtlumoinfo.txt"))->size(), 86);
    EXPECT_EQ(
        windowfile::decode(*statefiles::readFile(folder.file(windowfile::fileName())))->currentPage,
        7);
}

TEST_F(DamagedState, ABookThatGrewTooLargeSaysSoAtResume) {
    const QString book = folder.file("커진 책.txt");
    {
        QFile f(book);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(kMaxDocumentBytes + 1));  // holes: no disk taken
    }
    saveSession(book, 5, 40);
    dialogs.answerMsgBox(dlg::vbYes);
    start();
    const auto boxes = dialogs.shownOf("msgbox");
    ASSERT_FALSE(boxes.isEmpty());
    EXPECT_TRUE(boxes.last().text.contains(QStringLiteral("너무 커서")));
    EXPECT_EQ(window->pages().length, 0);
    EXPECT_EQ(window->pages().count, 0);
}

TEST_F(BadInput, AMissingOrBrokenSkinStillReads) {
    // The skin folder holds only broken pictures: every control shows none, and reading works.
    QFile::remove(folder.file("skin"));
    QDir().mkpath(folder.file("skin"));
    for (const char* name :
         {"bg_top.bmp", "b_open.bmp", "b_play.bmp", "bgscroll.bmp", "b_tick.bmp"}) {
        QFile f(folder.file(QStringLiteral("skin/") + name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BM\x10\x00garbage");
    }
    start();
    open(writeBook(QStringLiteral("책.txt"), numberedBook(300)));
    EXPECT_GT(window->pages().count, 2);
    release(control<forms::Image>(*window, "CmdNext"));
    EXPECT_EQ(window->pages().current, 3);
    window->resize(900, 650);
    QTest::qWait(100);
    EXPECT_EQ(control<forms::PictureBox>(*window, "Pic_TxtOut")->width(), 900);
}

}  // namespace
