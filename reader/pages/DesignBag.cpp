#include "pages/DesignBag.h"

#include <QFile>
#include <QTextStream>
#include <optional>

namespace {

// A value as the design writes it: a picture by resource path, True/False, "text", or a whole
// number (decimal or &H hex). Nothing when it is none of these.
std::optional<controls::Variant> parseValue(const QString& text) {
    if (text.startsWith(QLatin1String(":/")))
        return controls::PictureVariant(controls::LoadPicture(text));
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return controls::BoolVariant(true);
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return controls::BoolVariant(false);
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        return controls::Variant(text.mid(1, text.size() - 2));
    int32_t number = 0;
    const bool whole =
        !text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char('e'), Qt::CaseInsensitive);
    if (whole && controls::CoerceInt32(controls::Variant(text), number) == controls::Status::Ok)
        return controls::LongVariant(number);
    return std::nullopt;
}

}  // namespace

DesignBag::DesignBag(const QString& path, const QString& controlName) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return;
    m_valid = true;
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd()) parseLine(in.readLine().trimmed(), controlName);
}

void DesignBag::parseLine(const QString& line, const QString& controlName) {
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) return;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    const QString key = line.left(eq).trimmed();
    const qsizetype dot = key.indexOf(QLatin1Char('.'));
    if (eq < 0 || dot <= 0) {
        m_problems.append(line);
        return;
    }
    if (key.left(dot).compare(controlName, Qt::CaseInsensitive) != 0) return;
    const QString name = key.mid(dot + 1).trimmed();
    const std::optional<controls::Variant> value = parseValue(line.mid(eq + 1).trimmed());
    // A picture that cannot be loaded is a fault of the build, not of the control: it loads
    // as Nothing and is reported.
    const auto* picture = value ? std::get_if<controls::PictureRef>(&*value) : nullptr;
    if (name.isEmpty() || !value || (picture && !*picture)) m_problems.append(line);
    if (!name.isEmpty() && value) m_values.insert(name.toLower(), *value);
}

controls::Variant DesignBag::Read(const QString& name, const controls::Variant& defaultValue) {
    const auto it = m_values.constFind(name.toLower());
    return it == m_values.constEnd() ? defaultValue : *it;
}

void DesignBag::Write(const QString& name, const controls::Variant& value,
                      const controls::Variant&) {
    m_values.insert(name.toLower(), value);
}
