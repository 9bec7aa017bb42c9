#pragma once
// The saved properties of one hosted control in the window design (a text resource, one
// "Control.Property = value" line each), offered as the property bag the control loads from
// and saves to. Writes stay in memory: the design is compiled into the program.

#include <QMap>
#include <QStringList>

#include "controls/Control.h"

class DesignBag : public controls::PropertyBag {
public:
    // Reads the lines of controlName from the design at path (a resource or a file).
    DesignBag(const QString& path, const QString& controlName);

    // The stored value of name (names match without regard to case), else defaultValue.
    controls::Variant Read(const QString& name, const controls::Variant& defaultValue) override;
    void Write(const QString& name, const controls::Variant& value,
               const controls::Variant& defaultValue) override;

    // False when the design could not be read at all.
    bool isValid() const { return m_valid; }
    // The lines of this control that could not be understood (and so are left out).
    const QStringList& problems() const { return m_problems; }

private:
    void parseLine(const QString& line, const QString& controlName);

    QMap<QString, controls::Variant> m_values;  // by lower-case name
    QStringList m_problems;
    bool m_valid = false;
};
