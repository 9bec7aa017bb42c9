// The real control library, loaded by path as the reader loads it: creation, properties,
// events and message boxes through a HostedControl, and the errors of a bad path.

#include <gtest/gtest.h>

#include <QLibraryInfo>

#include "Mouse.h"
#include "controls/HostedControl.h"
#include "dialogs/ScriptedDialogs.h"

using namespace sbtest;
using controls::HostedControl;
using controls::Library;

namespace {

QString libraryPath() {
    return QStringLiteral(TL_APP_DIR "/ocx/libQm_ImgScrollBar.so");
}

}  // namespace

TEST(Library, LoadsTheBuiltControlAndHostsIt) {
    QString error;
    auto lib = Library::Load(libraryPath(), &error);
    ASSERT_TRUE(lib) << error.toStdString();
    QWidget window;
    window.resize(300, 100);
    dlg::ScriptedDialogs dialogs;
    auto bar = HostedControl::Create(*lib, Qm_ImgScrollBar::kProgId, &window, dialogs, &error);
    ASSERT_TRUE(bar) << error.toStdString();
    EXPECT_EQ(bar->widget()->parentWidget(), &window);
    bar->initNew();
    EXPECT_EQ(bar->getLong(P::Max), 2147483647);
    EXPECT_TRUE(bar->getBool(P::ArrowVisible));
    EXPECT_FALSE(bar->designDirty());

    QStringList events;
    int value = -1;
    bar->onEvent(E::Change, [&] {
        events.append("Change");
        value = bar->getLong(P::Value);
    });
    bar->onEvent(E::ClickDown, [&] { events.append("ClickDown"); });
    bar->onEvent(E::Click, [&] { events.append("Click"); });
    bar->widget()->setGeometry(10, 10, 200, 17);
    EXPECT_EQ(bar->putLong(P::Orientation, 1), Status::Ok);
    EXPECT_EQ(bar->putLong(P::Max, 10), Status::Ok);
    EXPECT_EQ(bar->putLong(P::Value, 3), Status::Ok);
    EXPECT_EQ(events, QStringList{"Change"});
    EXPECT_EQ(value, 3);
    EXPECT_TRUE(bar->designDirty());

    // The box the control asks for goes to the host's dialogs.
    EXPECT_EQ(bar->putLong(P::Min, 11), Status::Ok);
    ASSERT_EQ(dialogs.shownOf("msgbox").size(), 1);
    EXPECT_EQ(dialogs.shownOf("msgbox")[0].text, QStringLiteral("속성값이 잘못되었습니다."));
    EXPECT_EQ(dialogs.shownOf("msgbox")[0].style, dlg::vbCritical);
    EXPECT_EQ(dialogs.shownOf("msgbox")[0].title, QString());
    EXPECT_EQ(bar->getLong(P::Min), 0);
    EXPECT_EQ(bar->put(P::Value, controls::Variant(QStringLiteral("x"))), Status::TypeMismatch);
    EXPECT_EQ(bar->put(0x1234, controls::LongVariant(1)), Status::UnknownMember);

    // A click on the increase arrow at the right end of the shown bar.
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    events.clear();
    QWidget* arrow = bar->widget()->childAt(QPoint(192, 8));
    ASSERT_NE(arrow, nullptr);
    bar->onEvent(E::ClickDown, [&] { releaseSoon(arrow, QPoint(8, 8)); });
    press(arrow, QPoint(8, 8));
    EXPECT_EQ(events, (QStringList{"ClickDown", "Change", "Click"}));
    EXPECT_EQ(value, 4);

    // Saved state travels between instances of the library's control.
    controls::MemoryBag bag;
    EXPECT_EQ(bar->save(bag), Status::Ok);
    EXPECT_FALSE(bar->designDirty());
    auto copy = HostedControl::Create(*lib, Qm_ImgScrollBar::kProgId, &window, dialogs);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->load(bag), Status::Ok);
    EXPECT_EQ(copy->getLong(P::Value), 4);
    EXPECT_EQ(copy->getLong(P::Orientation), 1);
}

TEST(Library, PicturesOutliveTheControlsAndTheLibrary) {
    controls::PictureRef tick;
    {
        auto lib = Library::Load(libraryPath(), nullptr);
        ASSERT_TRUE(lib);
        dlg::ScriptedDialogs dialogs;
        auto bar = HostedControl::Create(*lib, Qm_ImgScrollBar::kProgId, nullptr, dialogs);
        ASSERT_TRUE(bar);
        bar->initNew();
        tick = bar->getPicture(P::TickPicture);
    }
    ASSERT_TRUE(tick);
    EXPECT_EQ(tick->width(), 21);
    tick.reset();
}

TEST(Library, ClearErrors) {
    struct Case {
        QString path;
        QString message;
    };
    const Case cases[] = {
        {QStringLiteral("/nonexistent/ocx/libQm_ImgScrollBar.so"),
         QStringLiteral("control library not found: /nonexistent/ocx/libQm_ImgScrollBar.so")},
        {QStringLiteral(TL_SOURCE_DIR "/CMakeLists.txt"),
         QStringLiteral("control library could not be loaded: ")},
        {QLibraryInfo::path(QLibraryInfo::LibrariesPath) + "/libQt6Core.so.6",
         QStringLiteral("control library has no entry QmCreateControl: ")},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_EQ(Library::Load(c.path, &error), nullptr) << c.path.toStdString();
        EXPECT_TRUE(error.startsWith(c.message)) << error.toStdString();
    }
    // A class the library does not make.
    auto lib = Library::Load(libraryPath(), nullptr);
    ASSERT_TRUE(lib);
    dlg::ScriptedDialogs dialogs;
    QString error;
    EXPECT_EQ(HostedControl::Create(*lib, "Qm_ImgScrollBar.Other", nullptr, dialogs, &error),
              nullptr);
    EXPECT_TRUE(error.contains("Qm_ImgScrollBar.Other")) << error.toStdString();
    EXPECT_EQ(lib->Create(nullptr, nullptr, nullptr, nullptr), nullptr);
}
