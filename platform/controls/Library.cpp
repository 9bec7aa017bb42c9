#include "controls/Library.h"

#include <QFileInfo>
#include <QLibrary>
#include <utility>

namespace controls {

void ControlDeleter::operator()(Control* control) const {
    if (control && destroy) destroy(control);
}

Library::Library(QString path, std::shared_ptr<QLibrary> lib, CreateControlFn create,
                 DestroyControlFn destroy)
    : m_path(std::move(path)), m_lib(std::move(lib)), m_create(create), m_destroy(destroy) {}

// Never unloaded: pictures a control hands out are freed by the library's code and may outlive
// every control, so the code stays mapped until the process ends.
Library::~Library() = default;

std::unique_ptr<Library> Library::Load(const QString& path, QString* error) {
    auto fail = [error](const QString& message) {
        if (error) *error = message;
        return std::unique_ptr<Library>();
    };
    const QFileInfo info(path);
    if (!info.isFile()) return fail(QStringLiteral("control library not found: %1").arg(path));
    auto lib = std::make_shared<QLibrary>(info.absoluteFilePath());
    lib->setLoadHints(QLibrary::PreventUnloadHint);
    if (!lib->load())
        return fail(QStringLiteral("control library could not be loaded: %1 (%2)")
                        .arg(path, lib->errorString()));
    auto create = reinterpret_cast<CreateControlFn>(lib->resolve(kCreateEntry));
    auto destroy = reinterpret_cast<DestroyControlFn>(lib->resolve(kDestroyEntry));
    if (!create || !destroy)
        return fail(QStringLiteral("control library has no entry %1: %2")
                        .arg(QLatin1String(create ? kDestroyEntry : kCreateEntry), path));
    if (error) error->clear();
    return std::unique_ptr<Library>(new Library(path, std::move(lib), create, destroy));
}

ControlPtr Library::Create(const char* progId, QWidget* parent, Site* site, EventSink* sink) const {
    Control* control = progId ? m_create(progId, parent, site, sink) : nullptr;
    return ControlPtr(control, ControlDeleter{m_destroy, m_lib});
}

}  // namespace controls
