// The single-reader channel: a line of UTF-8 (the file's absolute path, or nothing), answered
// with "ok" once the running reader has taken it.

#include "session/SingleReader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kConnectMs = 1000;
constexpr int kAnswerMs = 3000;
}  // namespace

SingleReader::SingleReader(QString socketPath, QString stateFolder, QObject* parent)
    : QObject(parent), m_socketPath(std::move(socketPath)), m_stateFolder(std::move(stateFolder)) {}

SingleReader::~SingleReader() {
    if (m_lockFd >= 0) ::close(m_lockFd);  // the lock goes with it
}

QString SingleReader::socketFor(const QString& runtimeFolder, const QString& stateFolder) {
    const QFileInfo info(stateFolder);
    const QString key = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(QFile::encodeName(key), QCryptographicHash::Sha1).toHex().left(16);
    return runtimeFolder + QStringLiteral("/reader-") + QString::fromLatin1(hash);
}

SingleReader::Start SingleReader::start(const QString& file, bool channel) {
    if (!lockFolder()) {
        // Without a channel there is nobody to reach. With one, the owner may be starting this
        // very moment: it listens right after it took the lock.
        if (!channel) return Start::Refused;
        QElapsedTimer waited;
        waited.start();
        while (!handOver(file)) {
            if (waited.elapsed() >= reachMs) return Start::Refused;
            QThread::msleep(100);
        }
        return Start::HandedOver;
    }
    if (!channel) return Start::Alone;
    // This reader owns the folder: a socket there was left by one that did not end well.
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

bool SingleReader::lockFolder() {
    if (m_lockFd >= 0) return true;
    const QByteArray path = QFile::encodeName(m_stateFolder + QLatin1Char('/') + kLockName);
    // Never through a link, never blocking on whatever someone put at the name.
    const int flags = O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    int fd = ::open(path.constData(), flags, 0600);
    if (fd < 0 && errno == ELOOP && ::unlink(path.constData()) == 0)
        fd = ::open(path.constData(), flags, 0600);  // a link there is replaced, its target kept
    if (fd < 0) {
        // A folder nobody can lock in (read-only media, a link at the name) has no second
        // reader to fear that could lock it either.
        return errno == EROFS || errno == EACCES;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_lockFd = fd;
    return true;
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
        // A start says what it has at once; a connection that stays silent is nobody's.
        QTimer::singleShot(idleMs, socket, [socket] { socket->abort(); });
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
