#pragma once
// The contract between a host window and a control from a control library: the control's side
// (properties by dispatch id, persistence through a property bag, a surface widget) and the
// host's side (an event sink and the ambient site). Nothing here throws across the boundary:
// property calls return a Status.

#include <QString>

#include "controls/Variant.h"

class QWidget;

namespace controls {

// Receives the control's events; called synchronously on the UI thread.
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void ControlEvent(DISPID eventId) = 0;
};

// The host's store of a control's saved properties.
class PropertyBag {
public:
    virtual ~PropertyBag() = default;
    // The stored value of name, or defaultValue when the bag does not hold it.
    virtual Variant Read(const QString& name, const Variant& defaultValue) = 0;
    // Stores value under name; the bag may leave out a value equal to its default.
    virtual void Write(const QString& name, const Variant& value, const Variant& defaultValue) = 0;
};

// The host's ambient services.
class Site {
public:
    virtual ~Site() = default;
    // A message box with the classic style bits; returns the answer.
    virtual int MsgBox(const QString& prompt, int style, const QString& title) = 0;
    // The property has a new value, so the host's saved state is out of date.
    virtual void PropertyChanged(DISPID id) = 0;
};

// One instance of a hosted control. Created with a parent widget; then either InitNew or Load;
// then the host sizes its widget (in pixels) and uses it.
class Control {
public:
    virtual ~Control();
    // The surface the host places; a child of the parent given at creation.
    virtual QWidget* Widget() = 0;
    virtual Status Get(DISPID id, Variant& out) = 0;
    virtual Status Put(DISPID id, const Variant& value) = 0;
    // Initialises a control that has no saved state.
    virtual void InitNew() = 0;
    virtual Status Load(PropertyBag& bag) = 0;
    virtual Status Save(PropertyBag& bag) = 0;
};

// The C entries every control library exports. Create returns nullptr for a programmatic id the
// library does not make; Destroy takes what Create made.
using CreateControlFn = Control* (*)(const char* progId, QWidget* parent, Site* site,
                                     EventSink* sink);
using DestroyControlFn = void (*)(Control* control);
inline constexpr char kCreateEntry[] = "QmCreateControl";
inline constexpr char kDestroyEntry[] = "QmDestroyControl";

}  // namespace controls
