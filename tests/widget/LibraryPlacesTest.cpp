// Every book keeps its place and bookmark in the library: plain files and archive entries, chosen
// from the list, opened again, or stepped to from the end of another.

#include <QListWidget>

#include "ArchiveFixture.h"
#include "forms/PictureBox.h"

namespace {

class LibraryPlaces : public Archives {
protected:
    void goTo(int page) {
        window->pageBar().setValue(page);
        window->saveToLibrary();
    }
    void choose(int row) {
        auto* list = control<QListWidget>(*window, "List1");
        list->setCurrentRow(row);
        emit list->itemDoubleClicked(list->currentItem());
    }
};

TEST_F(LibraryPlaces, EveryBookOpensAtItsOwnPlace) {
    const QString shelf = zip("shelf.zip", {{QStringLiteral("가.txt"), numberedBook(3000)},
                                            {QStringLiteral("나.txt"), numberedBook(3000)}});
    const QString plain = writeBook("plain.txt", numberedBook(3000));
    start();
    open(shelf);
    ASSERT_EQ(window->book().path, tmpZip("가.txt"));
    goTo(9);
    choose(1);  // 나, never read
    EXPECT_EQ(window->pages().current, 1);
    goTo(5);
    open(plain);
    EXPECT_EQ(window->pages().current, 1);
    goTo(7);
    QTest::mouseClick(control<forms::PictureBox>(*window, "PicRead", 1), Qt::RightButton, {},
                      QPoint(60, 60));
    ASSERT_NE(window->settings().BookmarkSet, 0);
    const int32_t marked = window->settings().BookmarkPosition;
    window->saveToLibrary();

    const struct {
        const char* what;
        std::function<void()> step;
        QString path;
        int page;
        bool bookmark;
    } cases[] = {
        {"the archive again: its first entry at its place", [&] { open(shelf); }, tmpZip("가.txt"),
         9, false},
        {"the other entry from the list", [&] { choose(1); }, tmpZip("나.txt"), 5, false},
        {"the plain file, with its bookmark", [&] { open(plain); }, plain, 7, true},
        {"the archive's entry chosen again", [&] { open(shelf), choose(1); }, tmpZip("나.txt"), 5,
         false},
    };
    for (const auto& c : cases) {
        c.step();
        EXPECT_EQ(window->book().path, c.path) << c.what;
        EXPECT_EQ(window->pages().current, c.page) << c.what;
        EXPECT_EQ(window->settings().BookmarkSet != 0, c.bookmark) << c.what;
        if (c.bookmark) {
            EXPECT_EQ(window->settings().BookmarkPosition, marked) << c.what;
        }
    }

    // Stepped to from the end of 가, 나 opens at its first page as stepping always has.
    choose(0);
    release(control<forms::Image>(*window, "CmdLast"));
    dialogs.answerMsgBox(dlg::vbYes);
    release(control<forms::Image>(*window, "CmdNext"));
    EXPECT_EQ(window->book().path, tmpZip("나.txt"));
    EXPECT_EQ(window->pages().current, 1);
}

}  // namespace
