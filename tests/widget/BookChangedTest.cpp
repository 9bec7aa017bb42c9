// A book whose file changes under the reader while it is open: the next spread asks before it
// draws anything, the spread on screen stays, and no page ever holds text of both versions.

#include <fcntl.h>
#include <sys/stat.h>

#include "ReaderFixture.h"
#include "forms/PictureBox.h"

namespace {

QByteArray linesOf(const QByteArray& word, int lines) {
    QByteArray b;
    for (int i = 1; i <= lines; ++i) b += word + ' ' + QByteArray::number(i) + "\r\n";
    return b;
}

// Changes the file as an editor saving in place would, with a time of change that surely differs.
void rewriteInPlace(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    const struct timespec times[2] = {{0, UTIME_OMIT}, {1, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

TEST_F(Reading, ABookChangedWhileOpenIsOfferedAgainAndNeverMixed) {
    const QString question = QStringLiteral("책 파일이 바뀌었습니다. 다시 읽을까요?");
    struct Case {
        const char* name;
        QByteArray after;
        int answer;
    } cases[] = {
        {"rewritten, read again", linesOf("새줄", 2000), dlg::vbYes},
        {"cut short, left as it is", linesOf("cut", 10), dlg::vbNo},
    };
    start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = writeBook(QStringLiteral("%1.txt").arg(c.answer),
                                       linesOf("old", 2000));
        open(path);
        const int count = window->pages().count;
        ASSERT_GT(count, 20);
        window->pageBar().setValue(9);
        ASSERT_EQ(window->pages().current, 9);
        const QImage shown = control<forms::PictureBox>(*window, "PicRead", 0)->grab().toImage();
        dialogs.clear();
        dialogs.answerMsgBox(c.answer);
        rewriteInPlace(path, c.after);

        // The next spread is not drawn: the question comes first, and the pages stay.
        window->pageBar().setValue(11);
        EXPECT_EQ(counter(), QStringLiteral("9/%1").arg(count));
        EXPECT_EQ(control<forms::PictureBox>(*window, "PicRead", 0)->grab().toImage(), shown);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.shownOf("msgbox").isEmpty(); }, 3000));
        EXPECT_EQ(dialogs.shownOf("msgbox").front().text, question);

        const QString text = window->pages().text.toString();
        if (c.answer == dlg::vbYes) {
            // Read again, at the share of the book of the spread asked for.
            EXPECT_EQ(text, QString::fromUtf8(c.after));
            EXPECT_EQ(window->pages().current, 11);
            EXPECT_EQ(counter(), QStringLiteral("11/%1").arg(window->pages().count));
        } else {
            // Nothing of the new version is read; turning on draws no text of it, and the
            // question is not asked again.
            EXPECT_FALSE(text.contains(QStringLiteral("cut")));
            window->pageBar().setValue(13);
            EXPECT_EQ(window->pages().current, 13);
            EXPECT_EQ(dialogs.shownOf("msgbox").size(), 1);
        }
    }
}

}  // namespace
