#pragma once
// One scroll bar under test, driven directly (not through the library): a host widget, the
// control, and a recorder that is its event sink and site. The recorder keeps one timeline of
// events ("Change=4": the event and Value when it was raised), change notices ("~Min") and
// message boxes ("box"), so tests can check orders across all three.

#include <QWidget>
#include <functional>
#include <memory>
#include <ostream>

#include "ImageScrollBar.h"
#include "Qm_ImgScrollBar/ImageScrollBar.h"
#include "controls/MemoryBag.h"

// Readable failures: gtest prints these instead of their bytes.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << "{" << list.join(QStringLiteral(", ")).toStdString() << "}";
}

namespace sbtest {

namespace P = Qm_ImgScrollBar::_ImageScrollBar;
namespace E = Qm_ImgScrollBar::__ImageScrollBar;
using controls::DISPID;
using controls::PictureRef;
using controls::Status;
using controls::Variant;
using Qm_ImgScrollBar::ImageScrollBar;

inline controls::Variant L(int32_t v) {
    return controls::LongVariant(v);
}
inline controls::Variant B(bool v) {
    return controls::BoolVariant(v);
}
inline controls::Variant Pic(PictureRef p) {
    return controls::PictureVariant(std::move(p));
}

inline QString propertyName(DISPID id) {
    const auto* p = Qm_ImgScrollBar::FindProperty(id);
    return p ? QString::fromLatin1(p->name) : QStringLiteral("?");
}

struct Box {
    QString prompt;
    int style = 0;
    QString title;
};

class Recorder : public controls::EventSink, public controls::Site {
public:
    QStringList log;
    QList<Box> boxes;
    controls::Control* control = nullptr;
    // Runs after each event is logged.
    std::function<void(DISPID)> onEvent;

    void ControlEvent(DISPID id) override {
        static const char* const names[] = {"?", "Click", "Change", "Scroll", "ClickDown"};
        QString entry = QString::fromLatin1(id >= 1 && id <= 4 ? names[id] : names[0]);
        if ((id == E::Change || id == E::Scroll) && control) {
            Variant v;
            control->Get(P::Value, v);
            entry += QLatin1Char('=') + controls::Describe(v);
        }
        log.append(entry);
        if (onEvent) onEvent(id);
    }
    int MsgBox(const QString& prompt, int style, const QString& title) override {
        boxes.append({prompt, style, title});
        log.append(QStringLiteral("box"));
        return 1;
    }
    void PropertyChanged(DISPID id) override { log.append(QLatin1Char('~') + propertyName(id)); }
    // Only the events of the log.
    QStringList events() const {
        QStringList out;
        for (const QString& e : log)
            if (!e.startsWith(QLatin1Char('~')) && e != QLatin1String("box")) out.append(e);
        return out;
    }
};

// A bar of the given pixel size in a host window: new (InitNew), or loaded from bag, then
// sized, as a host does it.
class Bar {
public:
    explicit Bar(QSize px = QSize(200, 17), controls::PropertyBag* bag = nullptr) {
        host = std::make_unique<QWidget>();
        host->resize(px + QSize(40, 40));
        ctl = std::make_unique<ImageScrollBar>(host.get(), &rec, &rec);
        rec.control = ctl.get();
        if (bag)
            loadStatus = ctl->Load(*bag);
        else
            ctl->InitNew();
        resize(px);
    }
    ~Bar() { ctl.reset(); }

    // Resizes as a host does; the bar lays out at once even though nothing is shown.
    void resize(QSize px) {
        ctl->Widget()->resize(px);
        ctl->surfaceResized();
    }
    // Shows the host, so mouse events and grabs reach the widgets.
    void show() {
        ctl->Widget()->move(20, 20);
        host->show();
    }
    Status put(DISPID id, const Variant& v) { return ctl->Put(id, v); }
    void putAll(const std::vector<std::pair<DISPID, Variant>>& puts) {
        for (const auto& [id, v] : puts) ctl->Put(id, v);
    }
    Variant get(DISPID id) {
        Variant v;
        ctl->Get(id, v);
        return v;
    }
    int32_t getLong(DISPID id) { return controls::toInt32(get(id)); }
    PictureRef getPicture(DISPID id) { return controls::toPicture(get(id)); }
    QWidget* surface() { return ctl->Widget(); }
    // The widget of an element, to send it the mouse.
    static QWidget* widgetOf(const Qm_ImgScrollBar::Element& e) {
        return const_cast<Qm_ImgScrollBar::Element*>(&e);
    }
    const Qm_ImgScrollBar::Element& tick() { return ctl->tick(); }
    void clearLog() {
        rec.log.clear();
        rec.boxes.clear();
    }

    Recorder rec;
    Status loadStatus = Status::Ok;
    std::unique_ptr<QWidget> host;
    std::unique_ptr<ImageScrollBar> ctl;
};

}  // namespace sbtest
