#pragma once
// Writes the reader's state files a short while after a change settles, so a session that ends
// without a close (a crash, kill -9, a lost display) loses at most the last seconds. The bytes
// are taken on the UI thread, which costs a few encodings; the files are written on a thread of
// their own, so a page turn never waits for the disk. A file whose bytes did not change is not
// written again; one whose write failed is tried again at the next settle.

#include <QObject>
#include <QByteArray>
#include <QHash>
#include <QString>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "threads/Section.h"

class QTimer;

class SettledSave : public QObject {
    Q_OBJECT
public:
    using File = std::pair<QString, QByteArray>;  // a path and the bytes it should hold
    // What the files should hold now; empty when now is no time to save (mid-operation).
    using Snapshot = std::function<std::vector<File>()>;
    // Whether the state may be taken now; false defers the save by another delay.
    using Settled = std::function<bool()>;

    SettledSave(Snapshot snapshot, Settled settled, int delayMs, QObject* parent = nullptr);
    ~SettledSave() override;

    // Something may have changed: the save runs delayMs after the last such call.
    void noteChange();
    // Takes the state now and hands what changed to the writer; returns how many files that was.
    int saveNow();
    // Waits until every handed file is written (or failed).
    void flush();
    // Files written since the start (tests and benchmarks look at it).
    int writes() const;
    // What the state held when it was last taken whole (by saveNow); empty before the first.
    const std::vector<File>& lastSettled() const { return m_lastSettled; }
    // The files are about to be written by someone else (the exit): what this writer knows of
    // them is stale from then on.
    void forget();
    // Starts or stops watching input: every click, key, wheel turn, move or resize of the
    // application's windows counts as a change.
    void watchInput(bool on);

signals:
    // A file could not be written (path, and why); said once until a write succeeds again.
    void writeFailed(const QString& path, const QString& why);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void run();
    // Writes a batch; the files that failed, with errno's text, are noted for the UI thread.
    void write(const std::vector<File>& batch);
    // Forgets what was known of files whose write failed, so the next settle tries again.
    void takeFailures();

    Snapshot m_snapshot;
    Settled m_settled;
    QTimer* m_timer = nullptr;
    bool m_watching = false;
    QHash<QString, QByteArray> m_known;  // what each file holds, as far as this writer knows
    std::vector<File> m_lastSettled;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake, m_idle;
    std::vector<File> m_queue;
    std::vector<QString> m_failed;  // written by the writer, taken by the UI thread
    bool m_busy = false, m_stop = false, m_told = false;
    int m_writes = 0;
    // Declared last: it stops and joins the writer before the members it uses go.
    threads::Section m_writer;
};
