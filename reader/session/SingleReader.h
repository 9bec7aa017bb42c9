#pragma once
// One reader per state folder: a second start hands its file (or nothing, to bring the
// running reader to the front) over a local socket in the user's private runtime folder, and
// ends. A socket left by a reader that was killed is found dead and replaced.

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

class SingleReader : public QObject {
    Q_OBJECT
public:
    // socketPath: where the running reader listens; its folder must be the user's own.
    explicit SingleReader(QString socketPath, QObject* parent = nullptr);
    ~SingleReader() override;

    enum class Start { First, HandedOver, Alone };
    // Hands file ("" for none) to the reader already running, or becomes the one that runs.
    // Alone: no channel could be set up (the reader runs, without being found by others).
    Start start(const QString& file);

    // The socket for the readers keeping their state in stateFolder.
    static QString socketFor(const QString& runtimeFolder, const QString& stateFolder);
    // The longest message taken from another start (a path and its line end).
    static constexpr qint64 kMaxMessage = 64 * 1024;

signals:
    // Another start asked for file ("": only to come to the front).
    void fileHanded(const QString& file);

private:
    bool handOver(const QString& file);
    void takeConnection();

    QString m_socketPath;
    QLocalServer* m_server = nullptr;
};
