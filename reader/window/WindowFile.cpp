#include "window/WindowFile.h"

#include <QFile>
#include <QtEndian>

namespace windowfile {

QString fileName() {
    return QStringLiteral("data%1_%2_%3")
        .arg(TL_VERSION_MAJOR)
        .arg(TL_VERSION_MINOR)
        .arg(TL_VERSION_PATCH);
}

namespace {

template <typename T>
void put(QByteArray& out, T v) {
    char b[sizeof(T)];
    qToLittleEndian(v, b);
    out.append(b, sizeof(T));
}

template <typename T>
T get(const QByteArray& in, int offset) {
    return qFromLittleEndian<T>(in.constData() + offset);
}

Placement placementAt(const QByteArray& b) {
    return {get<int32_t>(b, 0), get<int32_t>(b, 4), get<int32_t>(b, 8), get<int32_t>(b, 12)};
}

}  // namespace

QByteArray encode(const Record& r) {
    QByteArray out;
    put(out, r.placement.left);
    put(out, r.placement.top);
    put(out, r.placement.width);
    put(out, r.placement.height);
    put(out, r.currentPage);
    put(out, r.pageCount);
    put(out, r.pageTurn);
    return out;
}

std::optional<Record> decode(const QByteArray& bytes) {
    if (bytes.size() < kSize) return std::nullopt;
    Record r;
    r.placement = placementAt(bytes);
    r.currentPage = get<int32_t>(bytes, 16);
    r.pageCount = get<int32_t>(bytes, 20);
    r.pageTurn = get<int16_t>(bytes, 24);
    return r;
}

std::optional<Placement> readPlacement(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray head = f.read(16);
    if (head.size() < 16) return std::nullopt;
    return placementAt(head);
}

}  // namespace windowfile
