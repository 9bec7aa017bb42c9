#pragma once
// The reader's window started as Main starts it, in a throwaway application folder, with
// scripted dialogs; and books of numbered lines whose pages are easy to tell apart.

#include <gtest/gtest.h>

#include <QFile>
#include <QTest>
#include <memory>

#include "../common/Controls.h"
#include "AppFolder.h"
#include "dialogs/ScriptedDialogs.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/Timer.h"
#include "session/StateFiles.h"
#include "window/Frm_TxtViewer.h"
#include "window/WindowFile.h"

// A book of `lines` short numbered lines, one layout line each, in UTF-8.
inline QByteArray numberedBook(int lines) {
    QByteArray b;
    for (int i = 1; i <= lines; ++i) b += "줄 " + QByteArray::number(i) + "\r\n";
    return b;
}

class Reading : public ::testing::Test {
protected:
    void TearDown() override {
        if (window) window->close();
    }
    QString writeBook(const QString& name, const QByteArray& bytes) {
        const QString path = folder.file(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    void writeFile(const QString& name, const QByteArray& bytes) { writeBook(name, bytes); }
    // Starts the reader as Main does and waits for the deferred start-up to finish.
    void start(QSize size = QSize(1000, 700)) {
        window = std::make_unique<Frm_TxtViewer>(folder.path(), dialogs);
        window->formLoad();
        window->setWindowState(Qt::WindowNoState);
        window->resize(size);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return control<forms::Timer>(*window, "TmrPlay")->tag() == "play"; }, 3000));
    }
    void open(const QString& path) {
        dialogs.answerOpen(path);
        QTest::mousePress(control<forms::Image>(*window, "CmdOpen"), Qt::LeftButton, {},
                          QPoint(5, 5));
        // Let go, or the test tool holds the left button down for every later click.
        QTest::mouseRelease(control<forms::Image>(*window, "CmdOpen"), Qt::LeftButton, {},
                            QPoint(5, 5));
    }
    void release(forms::Image* button, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mousePress(button, b, {}, QPoint(5, 5));
        QTest::mouseRelease(button, b, {}, QPoint(5, 5));
    }
    QString counter() const { return control<forms::Label>(*window, "lbl_Totpage")->caption(); }

    AppFolder folder;
    dlg::ScriptedDialogs dialogs;
    std::unique_ptr<Frm_TxtViewer> window;
};

// A saved session: the document file, the settings (NanumGothic 14 pt, spacing 3) and the
// window file with the given place.
class Resume : public Reading {
protected:
    void saveSession(const QString& book, int current, int pages) {
        statefiles::DocumentState d;
        d.documentPath = book;
        writeFile("txtlumofile.txt", statefiles::encodeDocument(d));
        statefiles::ReadingSettings s;
        s.setFontName(QStringLiteral("NanumGothic"));
        s.FontSize = 14;
        s.FontSizeIndex = 5;
        s.PageColor = 0x00D0E0F0;
        s.LineSpacing = 3;
        s.LineSpacingIndex = 2;
        s.SpacingValue0 = 1;
        writeFile("txtlumoinfo.txt", statefiles::encode(s));
        windowfile::Record r;
        r.placement = {0, 0, 15000, 10500};
        r.currentPage = current;
        r.pageCount = pages;
        r.pageTurn = 1;
        writeFile(windowfile::fileName(), windowfile::encode(r));
    }
    // The session at `current` with the count this window's layout gives the book, as a
    // reader who closed it there would have saved it.
    int saveSessionAt(const QString& book, int current) {
        saveSession(book, 1, 1);
        dialogs.answerMsgBox(dlg::vbYes);
        start();
        const int pages = window->pages().count;
        window->close();
        window.reset();
        dialogs.clear();
        saveSession(book, current, pages);
        return pages;
    }
};
