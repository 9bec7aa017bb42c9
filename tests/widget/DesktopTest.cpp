// Books that come from the desktop: named at start, and dropped on the window.

#include <QDir>
#include <QMimeData>
#include <QUrl>

#include "../common/Controls.h"
#include "ReaderFixture.h"
#include "forms/PictureBox.h"

namespace {

class FromDesktop : public Resume {
protected:
    void startWith(const QString& file) {
        window = std::make_unique<Frm_TxtViewer>(folder.path(), dialogs);
        window->setStartFile(file);
        window->formLoad();
        window->setWindowState(Qt::WindowNoState);
        window->resize(QSize(1000, 700));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return control<forms::Timer>(*window, "TmrPlay")->tag() == "play"; }, 3000));
        QTest::qWait(50);  // the file is opened right after start-up
    }
    int boxes() const { return int(dialogs.shownOf("msgbox").size()); }
};

TEST_F(FromDesktop, AFileNamedAtStartIsOpenedWithoutTheQuestionAndResumedWhenItWasSaved) {
    const QString saved = writeBook("saved.txt", numberedBook(2000));
    const QString other = writeBook("other.txt", numberedBook(500));
    struct Case {
        QString file;
        QString title;
        int page;          // 0: no book on screen
        const char* says;  // the box shown, "" for none
    };
    const Case cases[] = {
        {saved, QStringLiteral("루모북 [saved.txt]"), 5, ""},
        {other, QStringLiteral("루모북 [other.txt]"), 1, ""},
        {folder.file("gone.txt"), QStringLiteral("루모북"), 0, "파일을 열 수 없습니다"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        const int pages = saveSessionAt(saved, 5);
        ASSERT_GT(pages, 5);
        startWith(c.file);
        EXPECT_EQ(window->windowTitle(), c.title);
        if (c.page) {
            EXPECT_EQ(window->pages().current, c.page);
        }
        EXPECT_EQ(window->settings().FontSize, 14) << "the saved appearance is kept";
        const auto shown = dialogs.shownOf("msgbox");
        ASSERT_EQ(shown.size(), *c.says ? 1 : 0);  // never the resume question
        if (*c.says) {
            EXPECT_TRUE(shown.first().text.contains(QString::fromUtf8(c.says)));
        }
        window->close();
        window.reset();
        dialogs.clear();
    }
}

TEST_F(FromDesktop, ADroppedBookOpensAndAnythingElseIsRefusedQuietly) {
    start();
    const QString book = writeBook("dropped.txt", numberedBook(100));
    writeBook("paper.pdf", "%PDF-1.4");
    QDir().mkpath(folder.file("shelf.txt"));
    const auto files = [&](QStringList names) {
        auto* mime = new QMimeData;
        QList<QUrl> urls;
        for (const QString& n : names) urls << QUrl::fromLocalFile(folder.file(n));
        mime->setUrls(urls);
        return mime;
    };
    auto* text = new QMimeData;
    text->setText(book);
    struct Case {
        const char* what;
        QMimeData* mime;
        bool taken;
    };
    const Case cases[] = {
        {"text", text, false},
        {"not a book", files({"paper.pdf"}), false},
        {"a folder", files({"shelf.txt"}), false},
        {"two books", files({"dropped.txt", "dropped.txt"}), false},
        {"a book", files({"dropped.txt"}), true},
    };
    const QPoint onPage = window->mapFromGlobal(
        control<forms::PictureBox>(*window, "Pic_TxtOut")->mapToGlobal(QPoint(50, 50)));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDragEnterEvent enter(onPage, Qt::CopyAction, c.mime, Qt::NoButton, {});
        QApplication::sendEvent(window.get(), &enter);
        EXPECT_EQ(enter.isAccepted(), c.taken);
        if (c.taken) {
            QDropEvent drop(QPointF(onPage), Qt::CopyAction, c.mime, Qt::NoButton, {});
            QApplication::sendEvent(window.get(), &drop);
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return window->windowTitle() == QStringLiteral("루모북 [dropped.txt]"); },
                3000));
        }
        delete c.mime;
    }
    EXPECT_EQ(boxes(), 0);
}

}  // namespace
