#include "controls/HostedControl.h"

namespace controls {

std::unique_ptr<HostedControl> HostedControl::Create(const Library& lib, const char* progId,
                                                     QWidget* parent, dlg::Dialogs& dialogs,
                                                     QString* error) {
    std::unique_ptr<HostedControl> host(new HostedControl(dialogs));
    host->m_control = lib.Create(progId, parent, host.get(), host.get());
    if (!host->m_control) {
        if (error)
            *error = QStringLiteral("%1 does not make the control %2")
                         .arg(lib.path(), QLatin1String(progId ? progId : ""));
        return nullptr;
    }
    if (error) error->clear();
    return host;
}

HostedControl::~HostedControl() {
    // The control goes first, while its sink and site are still whole.
    m_control.reset();
}

Status HostedControl::save(PropertyBag& bag) {
    const Status st = m_control->Save(bag);
    if (st == Status::Ok) m_dirty = false;
    return st;
}

Variant HostedControl::get(DISPID id, Status* status) {
    Variant out;
    const Status st = m_control->Get(id, out);
    if (status) *status = st;
    return st == Status::Ok ? out : Variant();
}

template <typename T>
T HostedControl::getAs(DISPID id, Status* status, Status (*coerce)(const Variant&, T&)) {
    Status st = Status::Ok;
    const Variant v = get(id, &st);
    T out{};
    if (st == Status::Ok) st = coerce(v, out);
    if (status) *status = st;
    return st == Status::Ok ? out : T{};
}

int32_t HostedControl::getLong(DISPID id, Status* status) {
    return getAs<int32_t>(id, status, &CoerceInt32);
}

bool HostedControl::getBool(DISPID id, Status* status) {
    return getAs<bool>(id, status, &CoerceBool);
}

PictureRef HostedControl::getPicture(DISPID id, Status* status) {
    return getAs<PictureRef>(id, status, &CoercePicture);
}

void HostedControl::onEvent(DISPID eventId, std::function<void()> handler) {
    if (handler) m_handlers[eventId].push_back(std::move(handler));
}

void HostedControl::ControlEvent(DISPID eventId) {
    const auto it = m_handlers.find(eventId);
    if (it == m_handlers.end()) return;
    // A copy: a handler may add handlers while the list runs.
    const std::vector<std::function<void()>> handlers = it->second;
    for (const auto& handler : handlers) handler();
}

int HostedControl::MsgBox(const QString& prompt, int style, const QString& title) {
    return m_dialogs.MsgBox(prompt, style, title);
}

void HostedControl::PropertyChanged(DISPID) {
    m_dirty = true;
}

}  // namespace controls
