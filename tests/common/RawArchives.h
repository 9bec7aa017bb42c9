#pragma once
// Archives of stored entries written byte by byte, so a test chooses each name's bytes and its
// UTF-8 flag: a ZIP, and a RAR 4 (marker, main header, file headers, end block), which no tool
// here can write.

#include <QByteArray>
#include <QtEndian>
#include <vector>

struct RawEntry {
    QByteArray name;    // the bytes stored
    bool utf8 = false;  // the ZIP UTF-8 flag; the RAR 4 Unicode-name flag
    QByteArray data;
};

inline uint32_t rawCrc32(const QByteArray& bytes) {
    uint32_t crc = 0xFFFFFFFF;
    for (const char ch : bytes) {
        crc ^= uint8_t(ch);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

inline QByteArray rawLe(uint32_t v, int bytes) {
    QByteArray b;
    for (int i = 0; i < bytes; ++i) b += char(v >> (8 * i));
    return b;
}

inline QByteArray storedZip(const std::vector<RawEntry>& entries) {
    QByteArray file, directory;
    for (const RawEntry& e : entries) {
        const uint32_t crc = rawCrc32(e.data), size = uint32_t(e.data.size());
        const QByteArray common = rawLe(20, 2) + rawLe(e.utf8 ? 0x800 : 0, 2) + rawLe(0, 2) +
                                  rawLe(0x5A210000, 4) + rawLe(crc, 4) + rawLe(size, 4) +
                                  rawLe(size, 4) + rawLe(uint32_t(e.name.size()), 2) + rawLe(0, 2);
        directory += "PK\x01\x02" + rawLe(20, 2) + common + rawLe(0, 2) + rawLe(0, 2) +
                     rawLe(0, 2) + rawLe(0, 4) + rawLe(uint32_t(file.size()), 4) + e.name;
        file += "PK\x03\x04" + common + e.name + e.data;
    }
    const uint32_t n = uint32_t(entries.size());
    return file + directory + "PK\x05\x06" + rawLe(0, 4) + rawLe(n, 2) + rawLe(n, 2) +
           rawLe(uint32_t(directory.size()), 4) + rawLe(uint32_t(file.size()), 4) + rawLe(0, 2);
}

// A RAR 4 block: the low 16 bits of the CRC-32 of the header from its type on, then the header.
inline QByteArray rar4Block(uint8_t type, uint16_t flags, const QByteArray& fields) {
    const QByteArray header =
        char(type) + rawLe(flags, 2) + rawLe(uint32_t(fields.size() + 7), 2) + fields;
    return rawLe(rawCrc32(header) & 0xFFFF, 2) + header;
}

inline QByteArray storedRar4(const std::vector<RawEntry>& entries) {
    QByteArray out = QByteArray("Rar!\x1a\x07\x00", 7) + rar4Block(0x73, 0, QByteArray(6, '\0'));
    for (const RawEntry& e : entries) {
        const uint32_t size = uint32_t(e.data.size());
        // Packed and unpacked size, Windows host, CRC, time, version 2.0, stored, attributes.
        const QByteArray fields = rawLe(size, 4) + rawLe(size, 4) + char(2) +
                                  rawLe(rawCrc32(e.data), 4) + rawLe(0x5A210000, 4) + char(20) +
                                  char(0x30) + rawLe(uint32_t(e.name.size()), 2) + rawLe(0x20, 4) +
                                  e.name;
        out += rar4Block(0x74, uint16_t(0x8000 | (e.utf8 ? 0x200 : 0)), fields) + e.data;
    }
    return out + rar4Block(0x7B, 0x4000, QByteArray());
}
