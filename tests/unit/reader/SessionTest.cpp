// Saving as the state settles, and what becomes of an exception thrown by an event handler.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <stdexcept>

#include "session/ReaderApplication.h"
#include "session/SettledSave.h"
#include "window/StateFiles.h"

namespace {

TEST(SettledSave, WritesWhatChangedAndSkipsWhatDidNot) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a"), b = dir.filePath("b");
    ASSERT_TRUE(statefiles::writeFileAtomically(b, "same"));
    QByteArray first = "1";
    SettledSave save([&] { return std::vector<SettledSave::File>{{a, first}, {b, "same"}}; },
                     nullptr, 2000);
    struct Step {
        QByteArray a;
        int handed;  // files handed to the writer
    };
    for (const Step& s : {Step{"1", 1}, Step{"1", 0}, Step{"2", 1}, Step{"2", 0}}) {
        first = s.a;
        EXPECT_EQ(save.saveNow(), s.handed) << s.a.constData();
        save.flush();
        EXPECT_EQ(statefiles::readFile(a).value_or(QByteArray()), s.a);
    }
    EXPECT_EQ(save.writes(), 2);  // b already held its bytes: never written
    // Someone else wrote the files meanwhile: what was known is known no more.
    ASSERT_TRUE(statefiles::writeFileAtomically(a, "other"));
    save.forget();
    EXPECT_EQ(save.saveNow(), 1);
    save.flush();
    EXPECT_EQ(statefiles::readFile(a).value_or(QByteArray()), "2");
}

TEST(ReaderApplication, AnExceptionEndsTheHandlerNotTheProgram) {
    QString told;
    auto tell = [&](const QString& what) { told = what; };
    EXPECT_TRUE(ReaderApplication::guarded([] { return true; }, tell));
    EXPECT_TRUE(told.isEmpty());
    EXPECT_FALSE(ReaderApplication::guarded(
        []() -> bool { throw std::out_of_range("vector::_M_range_check"); }, tell));
    EXPECT_EQ(told, QStringLiteral("vector::_M_range_check"));
    EXPECT_FALSE(ReaderApplication::guarded([]() -> bool { throw 7; }, tell));
    EXPECT_FALSE(told.isEmpty());
}

}  // namespace
