#pragma once
// The real reader in a copied application folder on a private X display, driven as a person
// drives it; helpers to start and resume it, close it and read what it wrote.

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>

#include "E2eFiles.h"
#include "XSession.h"

// A book of short numbered Korean lines, in UTF-8.
inline QByteArray numberedBook(int lines) {
    QByteArray b;
    for (int i = 1; i <= lines; ++i) b += "줄 " + QByteArray::number(i) + "\r\n";
    return b;
}

inline QByteArray randomBytes(QRandomGenerator& random, int size) {
    QByteArray b(size, '\0');
    for (char& c : b) c = char(random.bounded(256));
    return b;
}

class ReaderUse : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "import"})
            if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << tool << " missing";
        ASSERT_TRUE(x.ok()) << "no X session: " << x.failures().toStdString();
        app = tmp.path() + "/app";
        ASSERT_TRUE(installApp(app)) << "the application folder could not be copied";
        book = tmp.path() + QStringLiteral("/책.txt");
    }
    void TearDown() override { stopProcess(reader); }

    // Starts the reader, answers Yes when it offers to resume, and returns the main window once
    // start-up is over; "" when it did not come up.
    QString startAndResume(const QStringList& arguments = {}) {
        reader.setProcessEnvironment(environment.isEmpty() ? x.env() : environment);
        reader.start(program.isEmpty() ? app + "/Qm_TextLumo" : program, arguments);
        if (!reader.waitForStarted(5000)) return {};
        QString main;
        XSession::waitFor(
            [&] {
                main = x.run("xdotool", {"search", "--onlyvisible", "--name", "^루모북"}).trimmed();
                return !main.isEmpty();
            },
            15000);
        // The question comes 200 ms after the window, when there is a book to resume.
        QString question;
        XSession::waitFor(
            [&] {
                question = x.run("xdotool", {"search", "--onlyvisible", "--name", "기존파일읽기"})
                               .trimmed();
                return !question.isEmpty();
            },
            2000);
        if (!question.isEmpty()) {
            x.run("xdotool", {"windowactivate", "--sync", question.section('\n', 0, 0)});
            x.run("xdotool", {"key", "--clearmodifiers", "Return"});
        }
        QThread::msleep(800);
        main = x.run("xdotool", {"search", "--onlyvisible", "--name", "^루모북"}).trimmed();
        return main.section('\n', 0, 0);
    }
    // The main window once its title names `book`, or "".
    QString windowShowing(const QString& book) {
        QString id;
        XSession::waitFor(
            [&] {
                id = x.run("xdotool",
                           {"search", "--onlyvisible", "--name", "루모북 \\[" + book + "\\]"})
                         .trimmed();
                return !id.isEmpty();
            },
            10000);
        return id.section('\n', 0, 0);
    }
    // Opens path through the open dialog, as a person types it there.
    bool openThroughDialog(const QString& main, const QString& path) {
        x.run("xdotool", {"windowactivate", "--sync", main});
        x.run("xdotool", {"mousemove", "--window", main, "22", "21"});
        x.run("xdotool", {"click", "1"});
        QString dialog;
        if (!XSession::waitFor(
                [&] {
                    dialog =
                        x.run("xdotool", {"search", "--onlyvisible", "--name", "^열기$"}).trimmed();
                    return !dialog.isEmpty();
                },
                10000))
            return false;
        x.run("xdotool", {"windowactivate", "--sync", dialog.section('\n', 0, 0)});
        QThread::msleep(300);
        x.run("xdotool", {"key", "ctrl+a"});
        x.run("xdotool", {"type", "--delay", "5", path});
        x.run("xdotool", {"key", "Return"});
        return true;
    }
    // Answers the message box titled `title` with Enter; false when none shows within timeoutMs.
    bool answerBox(const QString& title, const QString& shot, int timeoutMs = 5000) {
        QString box;
        XSession::waitFor(
            [&] {
                box = x.run("xdotool", {"search", "--onlyvisible", "--name", "^" + title + "$"})
                          .trimmed();
                return !box.isEmpty();
            },
            timeoutMs);
        if (box.isEmpty()) {
            x.screenshot(shotDir() + "/no-box-" + shot);  // kept to show what was there
            return false;
        }
        QThread::msleep(300);
        x.screenshot(shotDir() + "/" + shot);
        x.run("xdotool", {"windowactivate", "--sync", box.section('\n', 0, 0)});
        x.run("xdotool", {"key", "--clearmodifiers", "Return"});
        return true;
    }
    // Closes the reader as a user does; false when it does not end within 10 s.
    bool closeReader(const QString& id) {
        // A key that reaches the window before the window manager has given it the focus is
        // lost (seen on a loaded machine): it is sent once more.
        for (int attempt = 0; attempt < 2; ++attempt) {
            x.run("xdotool", {"windowactivate", "--sync", id});
            x.run("xdotool", {"key", "--clearmodifiers", "alt+F4"});
            if (reader.waitForFinished(5000)) return reader.exitCode() == 0;
        }
        return false;
    }
    // The client area of a window on the screen (xwininfo's; xdotool counts the frame twice).
    QRect clientArea(const QString& id) {
        const QString info = x.run("xwininfo", {"-id", id});
        auto field = [&](const char* name) {
            const auto m =
                QRegularExpression(QString::fromLatin1(name) + R"(:\s*(-?\d+))").match(info);
            return m.hasMatch() ? m.captured(1).toInt() : 0;
        };
        return QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
                     field("Height"));
    }
    void writeSession(const QByteArray& windowFile) {
        ASSERT_TRUE(write(book, numberedBook(2000)));
        ASSERT_TRUE(write(app + "/txtlumofile.txt", documentRecord(book)));
        ASSERT_TRUE(write(app + "/txtlumoinfo.txt", settingsRecord()));
        if (!windowFile.isNull()) {
            ASSERT_TRUE(write(app + "/data1_0_0", windowFile));
        }
    }
    qint32 savedField(int offset) {
        const QByteArray win = read(app + "/data1_0_0");
        return win.size() == 26 ? qFromLittleEndian<qint32>(win.constData() + offset) : -1;
    }
    // What the reader wrote in place of `before` is a valid state file of its kind.
    void expectValidWritten(const QByteArray& before, const QString& name) {
        const QByteArray now = read(app + "/" + name);
        if (now == before) return;  // not written: the old file stays, as the reader left it
        SCOPED_TRACE(name.toStdString());
        if (name == "txtlumoinfo.txt") {
            EXPECT_EQ(now.size(), 86);
        } else if (name == "txtlumofile.txt") {
            EXPECT_EQ(now.count("\r\n"), 4);
        } else {
            ASSERT_EQ(now.size(), 26);
            const qint32 w = savedField(8), h = savedField(12);
            const qint32 current = savedField(16), pages = savedField(20);
            EXPECT_GE(w, 6870 - 30);
            EXPECT_GE(h, 6030 - 30);
            EXPECT_LE(w, 1280 * 15 + 600);
            EXPECT_LE(h, 800 * 15 + 600);
            EXPECT_GE(pages, 1);
            EXPECT_GE(current, 1);
            EXPECT_LE(current, pages);
            EXPECT_EQ(current % 2, 1);
        }
    }

    XSession x;
    QTemporaryDir tmp;
    QString app, book;
    QProcess reader;
    QProcessEnvironment environment;  // the reader's, when not the display's own
    QString program;                  // the reader started, when not the application folder's
};
