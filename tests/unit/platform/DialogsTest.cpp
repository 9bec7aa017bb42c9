#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "dialogs/ScriptedDialogs.h"

using namespace dlg;

TEST(Dialogs, QtFilterFromClassicFilter) {
    const std::pair<QString, QString> cases[] = {
        // The label keeps its own parentheses; Qt reads the patterns from the last group.
        {"Text (*.txt) 압축파일 (*.zip;*.rar)|*.zip;*.rar;*.txt|",
         "Text (*.txt) 압축파일 (*.zip;*.rar) (*.zip *.rar *.txt)"},
        {"Text|*.txt|All|*.*|", "Text (*.txt);;All (*.*)"},
        {"Text|*.txt", "Text (*.txt)"},
        {"Books| *.txt ; *.zip ;|", "Books (*.txt *.zip)"},
        {"No patterns||Text|*.txt|", "Text (*.txt)"},
        {"", ""},
    };
    for (const auto& [classic, qt] : cases)
        EXPECT_EQ(qtFilter(classic), qt) << classic.toStdString();
}

TEST(Dialogs, ScriptedAnswersComeFromQueuesThenCancel) {
    ScriptedDialogs d;
    d.answerMsgBox(vbYes);
    d.answerMsgBox(vbOK);
    d.answerOpen("/books/책.txt");
    d.answerColor(gdi::RGB(1, 2, 3));
    d.setBrowserWorks(false);
    const std::pair<int, int> boxes[] = {
        {vbYesNo, vbYes},  // queued answers first, whatever the box
        {vbYesNoCancel, vbOK},
        {vbOKOnly | vbInformation, vbOK},
        {vbOKCancel, vbCancel},
        {vbYesNoCancel | vbQuestion, vbCancel},
        {vbYesNo | vbExclamation, vbNo},
    };
    for (const auto& [style, answer] : boxes)
        EXPECT_EQ(d.MsgBox("계속할까요?", style, "제목"), answer) << style;
    EXPECT_EQ(d.ShowOpen("Text|*.txt|", "열기", "/books"), "/books/책.txt");
    EXPECT_EQ(d.ShowOpen("Text|*.txt|", "열기", "/books"), "");
    EXPECT_EQ(d.ShowColor(0x123456), std::optional<gdi::COLORREF>(gdi::RGB(1, 2, 3)));
    EXPECT_EQ(d.ShowColor(0), std::nullopt);
    EXPECT_FALSE(d.OpenBrowser("https://lumobook.example/"));
    EXPECT_TRUE(d.StartProcess("/nonexistent/program", {"-x"}));

    ASSERT_EQ(d.shown().size(), 12);
    const auto box = d.shownOf("msgbox").last();
    EXPECT_EQ(box.text, "계속할까요?");
    EXPECT_EQ(box.title, "제목");
    EXPECT_EQ(box.style, vbYesNo | vbExclamation);
    EXPECT_EQ(d.shownOf("open")[0].args, QStringList{"/books"});
    EXPECT_EQ(d.shownOf("color")[0].style, 0x123456);
    EXPECT_EQ(d.shownOf("process")[0].args, QStringList{"-x"});
}

TEST(Dialogs, QtMsgBoxButtonsIconsAndEscape) {
    struct Case {
        int style;
        Qt::Key key;  // pressed on the box
        QMessageBox::Icon icon;
        int answer;
    };
    const Case cases[] = {
        {vbOKOnly, Qt::Key_Escape, QMessageBox::NoIcon, vbOK},
        {vbOKCancel | vbCritical, Qt::Key_Escape, QMessageBox::Critical, vbCancel},
        {vbYesNo | vbQuestion, Qt::Key_Escape, QMessageBox::Question, vbNo},
        {vbYesNo | vbExclamation, Qt::Key_Return, QMessageBox::Warning, vbYes},
        {vbYesNoCancel | vbInformation | 0x100, Qt::Key_Return, QMessageBox::Information, vbNo},
        {vbYesNoCancel, Qt::Key_Escape, QMessageBox::NoIcon, vbCancel},
    };
    QtDialogs d;
    for (const Case& c : cases) {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            poll.stop();
            icon = box->icon();
            QTest::keyClick(box, c.key);
        });
        poll.start(10);
        EXPECT_EQ(d.MsgBox("본문", c.style, ""), c.answer) << c.style;
        EXPECT_EQ(icon, c.icon) << c.style;
    }
}
