// Hosts three scroll bars through ocx/libQm_ImgScrollBar.so: a vertical and a horizontal bar
// with the built-in pictures, and a skinned page bar set up the way the reader sets up its own.
// Each bar's events and value show in a line beside it. Usage: sbhost [application folder]

#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstdio>
#include <tuple>

#include "Qm_ImgScrollBar/ImageScrollBar.h"
#include "controls/HostedControl.h"
#include "controls/MemoryBag.h"
#include "dialogs/Dialogs.h"

namespace {

namespace P = Qm_ImgScrollBar::_ImageScrollBar;
namespace E = Qm_ImgScrollBar::__ImageScrollBar;
using controls::HostedControl;

// Shows the last events of bar and its value in label.
void report(HostedControl& bar, QLabel* label, const QString& name) {
    auto log = std::make_shared<QStringList>();
    const std::pair<controls::DISPID, const char*> events[] = {{E::ClickDown, "ClickDown"},
                                                               {E::Change, "Change"},
                                                               {E::Scroll, "Scroll"},
                                                               {E::Click, "Click"}};
    for (const auto& [id, text] : events)
        bar.onEvent(id, [&bar, label, name, log, text = QString::fromLatin1(text)] {
            log->append(text);
            while (log->size() > 6) log->removeFirst();
            label->setText(QStringLiteral("%1: Value %2  [%3]")
                               .arg(name)
                               .arg(bar.getLong(P::Value))
                               .arg(log->join(QLatin1Char(' '))));
        });
    label->setText(QStringLiteral("%1: Value %2").arg(name).arg(bar.getLong(P::Value)));
}

std::unique_ptr<HostedControl> makeBar(const controls::Library& lib, QWidget* window,
                                       dlg::Dialogs& dialogs) {
    QString error;
    auto bar = HostedControl::Create(lib, Qm_ImgScrollBar::kProgId, window, dialogs, &error);
    if (!bar) std::fprintf(stderr, "sbhost: %s\n", qPrintable(error));
    return bar;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString appDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(SB_APP_DIR);
    QString error;
    const auto lib = controls::Library::Load(appDir + "/ocx/libQm_ImgScrollBar.so", &error);
    if (!lib) {
        std::fprintf(stderr, "sbhost: %s\n", qPrintable(error));
        return 1;
    }
    QWidget window;
    window.setWindowTitle(QStringLiteral("sbhost"));
    window.resize(640, 300);
    window.setStyleSheet(QStringLiteral("QWidget { background: #e8e8e8; }"));
    dlg::QtDialogs dialogs(&window);

    auto vertical = makeBar(*lib, &window, dialogs);
    auto horizontal = makeBar(*lib, &window, dialogs);
    auto skinned = makeBar(*lib, &window, dialogs);
    if (!vertical || !horizontal || !skinned) return 1;

    vertical->initNew();
    vertical->widget()->setGeometry(20, 20, 17, 240);
    vertical->putLong(P::Max, 10);
    vertical->putLong(P::Value, 3);

    horizontal->initNew();
    horizontal->widget()->setGeometry(60, 20, 400, 17);
    horizontal->putLong(P::Orientation, Qm_ImgScrollBar::oHorizontal);
    horizontal->putLong(P::Max, 10);
    horizontal->putLong(P::LargeChange, 2);
    // The default tick colours are the button face of the track itself, which leaves only the
    // grip to see; these show the drawn box and its border.
    horizontal->putLong(P::TickBackColor, 0x00C8C8C8);
    horizontal->putLong(P::TickBorderColor, 0x00606060);
    horizontal->putLong(P::Value, 4);

    // The reader's page bar: its design holds Min, Value and the two changes, start-up the rest.
    controls::MemoryBag design({{"Min", controls::LongVariant(1)},
                                {"Value", controls::LongVariant(1)},
                                {"LargeChange", controls::LongVariant(2)},
                                {"SmallChange", controls::LongVariant(2)}});
    skinned->load(design);
    skinned->widget()->move(60, 120);
    const QString skin = appDir + "/skin/";
    skinned->putLong(P::Min, 1);
    skinned->putLong(P::Orientation, Qm_ImgScrollBar::oHorizontal);
    skinned->putBool(P::BgPicture, true);
    skinned->putBool(P::ArrowVisible, false);
    skinned->putPicture(P::TickPicture, controls::LoadPicture(skin + "b_tick.bmp"));
    skinned->putPicture(P::ScrollBgPicture, controls::LoadPicture(skin + "bgscroll.bmp"));
    skinned->putPicture(P::ScrollEnablePicture, controls::LoadPicture(skin + "bgscroll.bmp"));
    skinned->putBool(P::AutoSize, true);
    skinned->putLong(P::Max, 100);
    skinned->putLong(P::Value, 30);

    // Each bar's line sits just below the horizontal bars, beside the vertical one.
    const std::tuple<HostedControl*, QString, int> bars[] = {{vertical.get(), "vertical", 240},
                                                             {horizontal.get(), "horizontal", 42},
                                                             {skinned.get(), "skinned", 140}};
    for (const auto& [bar, name, y] : bars) {
        auto* label = new QLabel(&window);
        label->setGeometry(60, y, 560, 20);
        report(*bar, label, name);
    }
    window.show();
    return app.exec();
}
