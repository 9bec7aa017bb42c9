// A large book is decoded and wrapped on two threads: whatever either side throws comes back to
// the caller, the other side stopped and joined, never an end of the program.

#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>

#include "TextTestUtil.h"
#include "encodings/DocumentText.h"
#include "textbox/LineBreaker.h"

namespace {

enum class Side { Helper, Caller };

// One side throws; the other waits (a while) for it first, so the side that throws has work.
struct Thrower {
    Side side;
    std::thread::id caller = std::this_thread::get_id();
    std::atomic<bool> thrown{false};

    void atPiece(bool inSection) {
        const bool onCaller = std::this_thread::get_id() == caller;
        if (onCaller ? side == Side::Caller && inSection : side == Side::Helper) {
            thrown = true;
            throw std::runtime_error(side == Side::Caller ? "caller" : "helper");
        }
        if (onCaller && !inSection) return;
        for (int i = 0; i < 5000 && !thrown; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
};

// 8 MB decoded from a file in two threads.
void decodeFile(Thrower& t, const QByteArray& bytes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("book.txt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    f.close();
    // The caller reads the bytes before the half that starts the section: at 0 and from the
    // middle on.
    const qint64 half = bytes.size() / 2;
    SetDocumentReadHook([&](qint64 from, qint64) { t.atPiece(from > 0 && from < half); });
    try {
        LoadDocumentText(path);
    } catch (...) {
        SetDocumentReadHook({});
        throw;
    }
    SetDocumentReadHook({});
}

// A text wrapped in two threads, in a font nothing has measured: the helper asks for advances.
void wrap(Thrower& t) {
    QString text;
    for (int line = 0; line < 2000; ++line) {
        for (int k = 0; k < 100; ++k) text += QChar(0xAC00 + (line * 100 + k) % 11172);
        text += QStringLiteral("\r\n");
    }
    static int points = 61;
    textbox::LineBreaker lb;
    lb.setTwoThreadsFrom(0);
    lb.setFont(texttest::pageFont(points++));
    lb.setWidth(300);
    lb.setText(text);
    textbox::LineBreaker::setPartHook([&](size_t) { t.atPiece(true); });
    try {
        lb.lineCount();
    } catch (...) {
        textbox::LineBreaker::setPartHook({});
        throw;
    }
    textbox::LineBreaker::setPartHook({});
}

TEST(TwoThreads, AnExceptionOnEitherSideComesBackToTheCaller) {
    const QByteArray cp949 = QByteArray("\xB0\xA1\xB3\xAA \xB4\xD9\r\n").repeated(1 << 20);
    const QByteArray utf16 = "\xFF\xFE" + QByteArray("\x00\xAC\x20\x00", 4).repeated(2 << 20);
    const struct {
        const char* name;
        std::function<void(Thrower&)> run;
    } cases[] = {
        {"decoding CP949", [&](Thrower& t) { decodeFile(t, cp949); }},
        {"decoding UTF-16", [&](Thrower& t) { decodeFile(t, utf16); }},
        {"wrapping", wrap},
    };
    for (const auto& c : cases)
        for (Side side : {Side::Helper, Side::Caller}) {
            const char* expected = side == Side::Caller ? "caller" : "helper";
            SCOPED_TRACE(std::string(c.name) + ", thrown on the " + expected + "'s side");
            Thrower t{side};
            try {
                c.run(t);
                ADD_FAILURE() << "nothing thrown";
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), expected);
            }
        }
}

}  // namespace
