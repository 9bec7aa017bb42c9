#pragma once
// One reader per state folder. A lock on a file in that folder, held for the life of the
// process, decides which reader owns the state files and the extract folder; a second start
// hands its file (or nothing, to bring the running reader to the front) over a local socket in
// the user's private runtime folder, and ends. A socket left by a reader that was killed is
// replaced by the next owner.

#include <QObject>
#include <QString>

class QLocalServer;

class SingleReader : public QObject {
    Q_OBJECT
public:
    // socketPath: where the running reader listens; its folder must be the user's own.
    // stateFolder: the folder whose lock decides who runs.
    SingleReader(QString socketPath, QString stateFolder, QObject* parent = nullptr);
    ~SingleReader() override;

    // First: this reader owns the folder and listens. Alone: it owns the folder, but no
    // channel could be set up (others cannot hand it their files). HandedOver: another reader
    // owns the folder and took the file. Refused: another reader owns the folder and could
    // not be reached; this one must end without touching anything.
    enum class Start { First, HandedOver, Alone, Refused };
    // Hands file ("" for none) to the reader already running, or becomes the one that runs.
    Start start(const QString& file, bool channel = true);

    // The socket for the readers keeping their state in stateFolder.
    static QString socketFor(const QString& runtimeFolder, const QString& stateFolder);
    // The file in the state folder whose lock is held.
    static constexpr const char* kLockName = ".txtlumo.lock";
    // The longest message taken from another start (a path and its line end).
    static constexpr qint64 kMaxMessage = 64 * 1024;
    // How long a connection may stay silent before it is closed, ms.
    int idleMs = 5000;
    // How long a second start keeps trying to reach an owner that is still starting, ms.
    int reachMs = 3000;

signals:
    // Another start asked for file ("": only to come to the front).
    void fileHanded(const QString& file);

private:
    bool lockFolder();
    bool handOver(const QString& file);
    void takeConnection();

    QString m_socketPath;
    QString m_stateFolder;
    int m_lockFd = -1;
    QLocalServer* m_server = nullptr;
};
