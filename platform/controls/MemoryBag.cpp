#include "controls/MemoryBag.h"

namespace controls {

MemoryBag::MemoryBag(const QList<QPair<QString, Variant>>& values) {
    for (const auto& [name, value] : values) m_values.insert(name, value);
}

Variant MemoryBag::Read(const QString& name, const Variant& defaultValue) {
    m_reads.append(name);
    const auto it = m_values.constFind(name);
    return it == m_values.constEnd() ? defaultValue : *it;
}

void MemoryBag::Write(const QString& name, const Variant& value, const Variant& defaultValue) {
    m_writes.append(name);
    m_values.insert(name, value);
    m_defaults.insert(name, defaultValue);
}

}  // namespace controls
