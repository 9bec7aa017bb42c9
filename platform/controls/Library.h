#pragma once
// A control library loaded from a file by its full path, and the controls it creates.

#include <QString>
#include <memory>

#include "controls/Control.h"

class QLibrary;

namespace controls {

// Destroys a control through its own library, which stays loaded while the control lives.
struct ControlDeleter {
    DestroyControlFn destroy = nullptr;
    std::shared_ptr<QLibrary> library;
    void operator()(Control* control) const;
};
using ControlPtr = std::unique_ptr<Control, ControlDeleter>;

class Library {
public:
    // Loads the library at path; nullptr with a message in *error (when given) if the file is
    // missing, cannot be loaded, or lacks one of the two entries.
    static std::unique_ptr<Library> Load(const QString& path, QString* error);
    ~Library();

    // A new control of the class progId as a child of parent; nullptr when the library does not
    // make that class or the control could not be built.
    ControlPtr Create(const char* progId, QWidget* parent, Site* site, EventSink* sink) const;
    const QString& path() const { return m_path; }

private:
    Library(QString path, std::shared_ptr<QLibrary> lib, CreateControlFn create,
            DestroyControlFn destroy);

    QString m_path;
    std::shared_ptr<QLibrary> m_lib;
    CreateControlFn m_create = nullptr;
    DestroyControlFn m_destroy = nullptr;
};

}  // namespace controls
