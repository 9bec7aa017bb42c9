// The single-reader channel: a line of UTF-8 (the file's absolute path, or nothing), answered
// with "ok" once the running reader has taken it.

#include "session/SingleReader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

namespace {
constexpr int kConnectMs = 1000;
constexpr int kAnswerMs = 3000;
}  // namespace

SingleReader::SingleReader(QString socketPath, QObject* parent)
    : QObject(parent), m_socketPath(std::move(socketPath)) {}

SingleReader::~SingleReader() = default;

QString SingleReader::socketFor(const QString& runtimeFolder, const QString& stateFolder) {
    const QFileInfo info(stateFolder);
    const QString key = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(QFile::encodeName(key), QCryptographicHash::Sha1).toHex().left(16);
    return runtimeFolder + QStringLiteral("/reader-") + QString::fromLatin1(hash);
}

SingleReader::Start SingleReader::start(const QString& file) {
    // Two starts at once: the lock makes one of them the first and the other hand over to it.
    QLockFile lock(m_socketPath + QStringLiteral(".lock"));
    lock.setStaleLockTime(15000);
    if (!lock.tryLock(10000)) return Start::Alone;
    if (handOver(file)) return Start::HandedOver;
    // Nobody answers on the socket: what is there was left by a reader that did not end well.
    QLocalServer::removeServer(m_socketPath);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->setMaxPendingConnections(8);
    if (!m_server->listen(m_socketPath)) {
        delete m_server;
        m_server = nullptr;
        return Start::Alone;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleReader::takeConnection);
    return Start::First;
}

bool SingleReader::handOver(const QString& file) {
    if (!QFileInfo::exists(m_socketPath)) return false;
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(kConnectMs)) return false;
    socket.write(file.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(kAnswerMs)) return false;
    // A reader busy with a long count answers late; what was written is read when it is free.
    if (socket.waitForReadyRead(kAnswerMs)) socket.readAll();
    socket.disconnectFromServer();
    return true;
}

void SingleReader::takeConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto take = [this, socket] {
            if (!socket->canReadLine()) {
                // A line longer than any path is nobody's message.
                if (socket->bytesAvailable() > kMaxMessage) socket->abort();
                return;
            }
            QByteArray line = socket->readLine(kMaxMessage + 1);
            if (!line.endsWith('\n')) {
                socket->abort();
                return;
            }
            line.chop(1);
            socket->write("ok\n");
            socket->flush();
            socket->disconnectFromServer();
            // Whatever it names is checked as the open button checks what it is given.
            emit fileHanded(QString::fromUtf8(line));
        };
        connect(socket, &QLocalSocket::readyRead, this, take);
        // What came before the connection was taken raises no signal of its own.
        if (socket->bytesAvailable() > 0) take();
    }
}
