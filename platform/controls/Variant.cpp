#include "controls/Variant.h"

#include <cmath>
#include <limits>

namespace controls {

namespace {

// Whole numbers only leave 32 bits through a double or a string, so both meet here.
Status fromDouble(double d, int32_t& out) {
    if (!std::isfinite(d)) return Status::Overflow;
    const double r = std::nearbyint(d);
    if (r < double(std::numeric_limits<int32_t>::min()) ||
        r > double(std::numeric_limits<int32_t>::max()))
        return Status::Overflow;
    out = int32_t(r);
    return Status::Ok;
}

// "&H" hex is how the classic forms write colours; it wraps into 32 bits as they do.
bool parseNumber(const QString& text, double& out) {
    const QString s = text.trimmed();
    if (s.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        bool ok = false;
        const qulonglong u = s.mid(2).toULongLong(&ok, 16);
        if (!ok || u > 0xFFFFFFFFull) return false;
        out = double(int32_t(uint32_t(u)));
        return true;
    }
    bool ok = false;
    out = s.toDouble(&ok);
    return ok;
}

}  // namespace

Status CoerceInt32(const Variant& v, int32_t& out) {
    if (IsEmpty(v)) {
        out = 0;
        return Status::Ok;
    }
    if (const auto* i = std::get_if<int16_t>(&v)) {
        out = *i;
        return Status::Ok;
    }
    if (const auto* i = std::get_if<int32_t>(&v)) {
        out = *i;
        return Status::Ok;
    }
    if (const auto* d = std::get_if<double>(&v)) return fromDouble(*d, out);
    if (const auto* s = std::get_if<QString>(&v)) {
        double d = 0;
        if (!parseNumber(*s, d)) return Status::TypeMismatch;
        return fromDouble(d, out);
    }
    return Status::TypeMismatch;
}

Status CoerceBool(const Variant& v, bool& out) {
    if (const auto* s = std::get_if<QString>(&v)) {
        const QString t = s->trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
            out = true;
            return Status::Ok;
        }
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
            out = false;
            return Status::Ok;
        }
        double d = 0;
        if (!parseNumber(t, d)) return Status::TypeMismatch;
        out = d != 0;
        return Status::Ok;
    }
    if (const auto* d = std::get_if<double>(&v)) {
        out = *d != 0;
        return Status::Ok;
    }
    int32_t i = 0;
    const Status st = CoerceInt32(v, i);
    if (st == Status::Ok) out = i != 0;
    return st;
}

Status CoercePicture(const Variant& v, PictureRef& out) {
    const auto* p = std::get_if<PictureRef>(&v);
    if (!p) return Status::TypeMismatch;
    out = *p;
    return Status::Ok;
}

int32_t toInt32(const Variant& v, bool* ok) {
    int32_t out = 0;
    const bool good = CoerceInt32(v, out) == Status::Ok;
    if (ok) *ok = good;
    return good ? out : 0;
}

bool toBool(const Variant& v, bool* ok) {
    bool out = false;
    const bool good = CoerceBool(v, out) == Status::Ok;
    if (ok) *ok = good;
    return good && out;
}

PictureRef toPicture(const Variant& v, bool* ok) {
    PictureRef out;
    const bool good = CoercePicture(v, out) == Status::Ok;
    if (ok) *ok = good;
    return good ? out : nullptr;
}

QString Describe(const Variant& v) {
    struct Visitor {
        QString operator()(std::monostate) const { return QStringLiteral("Empty"); }
        QString operator()(int16_t b) const { return QString::number(b); }
        QString operator()(int32_t i) const { return QString::number(i); }
        QString operator()(double d) const { return QString::number(d, 'g', 17); }
        QString operator()(const QString& s) const { return QLatin1Char('"') + s + '"'; }
        QString operator()(const PictureRef& p) const {
            if (!p) return QStringLiteral("Nothing");
            return QStringLiteral("Picture(%1x%2)").arg(p->width()).arg(p->height());
        }
    };
    return std::visit(Visitor{}, v);
}

}  // namespace controls
