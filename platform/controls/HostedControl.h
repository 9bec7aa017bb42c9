#pragma once
// The host's side of one hosted control: owns it, is its event sink and its site, and offers
// typed property calls. Message boxes the control asks for go to the host's dialogs.

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "controls/Library.h"
#include "dialogs/Dialogs.h"

namespace controls {

class HostedControl : public EventSink, public Site {
public:
    // A new control of the class progId from lib as a child of parent; nullptr (with a message
    // in *error when given) when the library does not make that class.
    static std::unique_ptr<HostedControl> Create(const Library& lib, const char* progId,
                                                 QWidget* parent, dlg::Dialogs& dialogs,
                                                 QString* error = nullptr);
    ~HostedControl() override;
    HostedControl(const HostedControl&) = delete;
    HostedControl& operator=(const HostedControl&) = delete;

    Control& control() { return *m_control; }
    QWidget* widget() { return m_control->Widget(); }

    void initNew() { m_control->InitNew(); }
    Status load(PropertyBag& bag) { return m_control->Load(bag); }
    // Saving makes the design clean again.
    Status save(PropertyBag& bag);

    Status put(DISPID id, const Variant& value) { return m_control->Put(id, value); }
    // The value of the property; Empty when the get fails (*status says why).
    Variant get(DISPID id, Status* status = nullptr);
    Status putBool(DISPID id, bool value) { return put(id, BoolVariant(value)); }
    Status putLong(DISPID id, int32_t value) { return put(id, LongVariant(value)); }
    Status putPicture(DISPID id, PictureRef picture) {
        return put(id, PictureVariant(std::move(picture)));
    }
    // Typed gets; a failed get or coercion gives 0, False or Nothing and a status other than Ok.
    int32_t getLong(DISPID id, Status* status = nullptr);
    bool getBool(DISPID id, Status* status = nullptr);
    PictureRef getPicture(DISPID id, Status* status = nullptr);

    // Runs handler each time the control raises eventId, after the handlers added before it.
    void onEvent(DISPID eventId, std::function<void()> handler);
    // A property changed since creation or the last save.
    bool designDirty() const { return m_dirty; }

    void ControlEvent(DISPID eventId) override;
    int MsgBox(const QString& prompt, int style, const QString& title) override;
    void PropertyChanged(DISPID id) override;

private:
    explicit HostedControl(dlg::Dialogs& dialogs) : m_dialogs(dialogs) {}
    template <typename T>
    T getAs(DISPID id, Status* status, Status (*coerce)(const Variant&, T&));

    dlg::Dialogs& m_dialogs;
    std::map<DISPID, std::vector<std::function<void()>>> m_handlers;
    bool m_dirty = false;
    ControlPtr m_control;
};

}  // namespace controls
