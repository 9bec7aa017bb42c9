#pragma once
// Little-endian fields of the binary state files.

#include <QByteArray>
#include <QtEndian>

namespace binary {

// Appends v to out, little-endian.
template <typename T>
void put(QByteArray& out, T v) {
    char b[sizeof(T)];
    qToLittleEndian(v, b);
    out.append(b, sizeof(T));
}

// Reads a T at offset of in and moves offset past it; in must hold it.
template <typename T>
T take(const QByteArray& in, int& offset) {
    const T v = qFromLittleEndian<T>(in.constData() + offset);
    offset += sizeof(T);
    return v;
}

}  // namespace binary
