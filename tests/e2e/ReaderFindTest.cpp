// The real reader finds a typed word and follows the chapter list: Ctrl+F, the word typed,
// Enter turns to the spread holding it with the matches marked; Escape closes the bar and not
// the window; Ctrl+T, a chapter chosen, its spread shown; the window file then holds it.

#include <gtest/gtest.h>

#include "ReaderUse.h"

namespace {

constexpr int kChapters = 8, kLinesPerChapter = 200;

// Eight chapters under "제 N 화", each a blank line, the heading, a blank line and 200
// numbered lines; three lines carry the word "lumo" in different cases.
QByteArray chapterBook() {
    QByteArray b;
    for (int c = 1, k = 1; c <= kChapters; ++c) {
        b += "\r\n제 " + QByteArray::number(c) + " 화\r\n\r\n";
        for (int i = 0; i < kLinesPerChapter; ++i, ++k) {
            b += "줄 " + QByteArray::number(k);
            if (k == 100) b += " lumo";
            if (k == 1234) b += " 여기 Lumo 있다";
            if (k == 1236) b += " 또 LUMO";
            b += "\r\n";
        }
    }
    return b;
}

// Layout lines (one per text line here) before numbered line k and before heading c.
int layoutLineOf(int k) {
    return ((k - 1) / kLinesPerChapter) * (kLinesPerChapter + 3) + 3 + (k - 1) % kLinesPerChapter;
}
int headingLine(int c) {
    return (c - 1) * (kLinesPerChapter + 3) + 1;
}

// The left pages of the spread holding layout line `line` for every page length that gives the
// book the page count saved.
QSet<int> spreadsHolding(int line, int pageCount) {
    const int lines = kChapters * (kLinesPerChapter + 3) + 1;
    QSet<int> spreads;
    for (int perPage = 1; perPage <= lines; ++perPage) {
        if ((lines + perPage - 1) / perPage != pageCount) continue;
        const int page = line / perPage + 1;
        spreads << (page % 2 ? page : page - 1);
    }
    return spreads;
}

int pixelsOf(const QImage& shot, QColor colour) {
    int n = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixelColor(x, y) == colour) ++n;
    return n;
}

TEST_F(ReaderUse, FindsATypedWordAndFollowsTheChapterList) {
    ASSERT_TRUE(write(book, chapterBook()));
    ASSERT_TRUE(write(app + "/txtlumofile.txt", documentRecord(book)));
    ASSERT_TRUE(write(app + "/txtlumoinfo.txt", settingsRecord()));
    const QString id = startAndResume();
    ASSERT_FALSE(id.isEmpty()) << "the reader did not come up";
    x.run("xdotool", {"windowactivate", "--sync", id});
    x.run("xdotool", {"mousemove", "--window", id, "300", "8"});  // over the tool bar
    QThread::msleep(300);

    // Ctrl+F, the word, a pause for the count, Enter twice: the second match, on line 1234.
    x.run("xdotool", {"key", "--clearmodifiers", "ctrl+f"});
    QThread::msleep(400);
    x.run("xdotool", {"type", "--delay", "60", "lumo"});
    QThread::msleep(800);
    x.screenshot(shotDir() + "/find-typed.png");
    for (int i = 0; i < 2; ++i) {
        x.run("xdotool", {"key", "--clearmodifiers", "Return"});
        QThread::msleep(600);
    }
    const QImage found = x.screenshot(shotDir() + "/find-bar.png");
    EXPECT_GT(pixelsOf(found, QColor(255, 164, 72)), 50) << "the match stepped to is not marked";
    EXPECT_GT(pixelsOf(found, QColor(255, 228, 128)), 50) << "the other match is not marked";
    // The spread is saved once the state settles.
    QThread::msleep(3000);
    const QSet<int> wordSpreads = spreadsHolding(layoutLineOf(1234), savedField(20));
    ASSERT_FALSE(wordSpreads.isEmpty()) << "no page length gives " << savedField(20) << " pages";
    EXPECT_TRUE(wordSpreads.contains(savedField(16)))
        << "saved page " << savedField(16) << ", the word is on " << *wordSpreads.begin();

    // Escape closes the bar, and the window stays.
    x.run("xdotool", {"key", "--clearmodifiers", "Escape"});
    QThread::msleep(500);
    EXPECT_EQ(windowShowing("책.txt"), id) << "Escape did more than close the find bar";
    const QImage closed = x.screenshot(shotDir() + "/find-closed.png");
    EXPECT_EQ(pixelsOf(closed, QColor(255, 164, 72)), 0) << "marks left after the bar closed";

    // Ctrl+T opens the list on chapter 7 (the word's); two up, Enter: chapter 5.
    x.run("xdotool", {"key", "--clearmodifiers", "ctrl+t"});
    QThread::msleep(600);
    x.screenshot(shotDir() + "/chapters.png");
    for (const char* key : {"Up", "Up", "Return"}) {
        x.run("xdotool", {"key", "--clearmodifiers", key});
        QThread::msleep(300);
    }
    QThread::msleep(500);
    x.screenshot(shotDir() + "/chapter-shown.png");
    ASSERT_TRUE(closeReader(id));
    const QSet<int> chapterSpreads = spreadsHolding(headingLine(5), savedField(20));
    EXPECT_TRUE(chapterSpreads.contains(savedField(16)))
        << "saved page " << savedField(16) << ", chapter 5 starts on "
        << (chapterSpreads.isEmpty() ? -1 : *chapterSpreads.begin());
}

}  // namespace
