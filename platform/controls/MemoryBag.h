#pragma once
// A property bag held in memory. It keeps every value written (defaults included) and notes the
// order of reads and writes, so a host can copy a control's state and a test can check it.

#include <QList>
#include <QMap>
#include <QStringList>

#include "controls/Control.h"

namespace controls {

class MemoryBag : public PropertyBag {
public:
    MemoryBag() = default;
    // A bag that already holds values.
    explicit MemoryBag(const QList<QPair<QString, Variant>>& values);

    Variant Read(const QString& name, const Variant& defaultValue) override;
    void Write(const QString& name, const Variant& value, const Variant& defaultValue) override;

    bool contains(const QString& name) const { return m_values.contains(name); }
    // The stored value, Empty when absent.
    Variant value(const QString& name) const { return m_values.value(name); }
    // The defaults given with the writes, by name.
    Variant writtenDefault(const QString& name) const { return m_defaults.value(name); }
    // Names in the order they were read or written.
    const QStringList& reads() const { return m_reads; }
    const QStringList& writes() const { return m_writes; }

private:
    QMap<QString, Variant> m_values;
    QMap<QString, Variant> m_defaults;
    QStringList m_reads;
    QStringList m_writes;
};

}  // namespace controls
