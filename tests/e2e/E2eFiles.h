#pragma once
// What the end-to-end tests write into and read out of the application folder: the state files
// byte by byte, and the folder the screenshots are kept in.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QtEndian>

inline QString shotDir() {
    const QString dir = QStringLiteral(TL_BINARY_DIR "/e2e-shots");
    QDir().mkpath(dir);
    return dir;
}

inline QByteArray le32(qint32 v) {
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

inline QByteArray le16(qint16 v) {
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// The 86-byte settings record, built field by field: NanumGothic 12 pt, line spacing 7.
inline QByteArray settingsRecord() {
    QByteArray r = QByteArray("NanumGothic").leftJustified(50, ' ');
    r += le16(12) + le32(0) + le32(0x00EDF9FF) + le16(0) + le16(1) + le16(7) + le16(0);
    r += le32(0) + le32(0) + le32(0) + le16(0) + le16(6) + le16(4);
    return r;
}

// The 26-byte window file.
inline QByteArray windowRecord(qint32 left, qint32 top, qint32 width, qint32 height,
                               qint32 currentPage, qint32 pageCount, qint16 pageTurn = 0) {
    return le32(left) + le32(top) + le32(width) + le32(height) + le32(currentPage) +
           le32(pageCount) + le16(pageTurn);
}

// The document file for a plain text book.
inline QByteArray documentRecord(const QString& book) {
    return (book + "\r\n-1 \r\n\r\n-1 \r\n").toUtf8();
}

inline bool write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
