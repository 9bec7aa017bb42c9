// A large book is wrapped on two threads: whatever either side throws comes back to
// the caller, the other side stopped and joined, never an end of the program.

#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>

#include "TextTestUtil.h"
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
    const struct {
        const char* name;
        std::function<void(Thrower&)> run;
    } cases[] = {
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
