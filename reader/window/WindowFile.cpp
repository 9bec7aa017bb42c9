#include "window/WindowFile.h"

#include "window/Binary.h"

#include <QFile>

namespace windowfile {

QString fileName() {
    return QStringLiteral("data%1_%2_%3")
        .arg(TL_VERSION_MAJOR)
        .arg(TL_VERSION_MINOR)
        .arg(TL_VERSION_PATCH);
}

namespace {

using binary::put;
using binary::take;

Placement placementAt(const QByteArray& b) {
    int o = 0;
    Placement p;
    p.left = take<int32_t>(b, o);
    p.top = take<int32_t>(b, o);
    p.width = take<int32_t>(b, o);
    p.height = take<int32_t>(b, o);
    return p;
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
    int o = 16;
    r.currentPage = take<int32_t>(bytes, o);
    r.pageCount = take<int32_t>(bytes, o);
    r.pageTurn = take<int16_t>(bytes, o);
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
