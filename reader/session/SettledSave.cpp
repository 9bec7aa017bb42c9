#include "session/SettledSave.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "session/StateFiles.h"

SettledSave::SettledSave(Snapshot snapshot, Settled settled, int delayMs, QObject* parent)
    : QObject(parent),
      m_snapshot(std::move(snapshot)),
      m_settled(std::move(settled)),
      m_writer([this] {
          {
              const std::lock_guard<std::mutex> lock(m_mutex);
              m_stop = true;
          }
          m_wake.notify_all();
      }) {
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(delayMs);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (!m_settled || m_settled())
            saveNow();
        else
            m_timer->start();
    });
    // Without a thread of its own the writer writes on the UI thread, as the exit does.
    m_writer.start([this] { run(); });
}

SettledSave::~SettledSave() {
    watchInput(false);
}

void SettledSave::noteChange() {
    m_timer->start();
}

int SettledSave::saveNow() {
    m_timer->stop();
    takeFailures();
    m_lastSettled = m_snapshot();
    std::vector<File> changed;
    for (const File& f : m_lastSettled) {
        auto known = m_known.find(f.first);
        if (known == m_known.end())
            known = m_known.insert(f.first, statefiles::readFile(f.first).value_or(QByteArray()));
        if (*known == f.second) continue;
        *known = f.second;
        changed.push_back(f);
    }
    if (changed.empty()) return 0;
    const int n = int(changed.size());
    if (!m_writer.started()) {
        write(changed);
        takeFailures();
        return n;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // Only the newest bytes of a file matter; an older one still waiting is dropped.
        for (File& f : changed) {
            auto same = std::find_if(m_queue.begin(), m_queue.end(),
                                     [&](const File& q) { return q.first == f.first; });
            if (same != m_queue.end())
                *same = std::move(f);
            else
                m_queue.push_back(std::move(f));
        }
    }
    m_wake.notify_all();
    return n;
}

void SettledSave::flush() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_queue.empty() && !m_busy; });
}

int SettledSave::writes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_writes;
}

void SettledSave::forget() {
    m_timer->stop();
    flush();
    m_known.clear();
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_failed.clear();
}

void SettledSave::takeFailures() {
    std::vector<QString> failed;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        failed.swap(m_failed);
    }
    for (const QString& path : failed) m_known.remove(path);
}

void SettledSave::run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_queue.empty()) return;  // stopping, with nothing left to write
        std::vector<File> batch;
        batch.swap(m_queue);
        m_busy = true;
        lock.unlock();
        write(batch);
        lock.lock();
        m_busy = false;
        if (m_queue.empty()) m_idle.notify_all();
    }
}

void SettledSave::write(const std::vector<File>& batch) {
    // A file that cannot be written now keeps its old bytes (the write is atomic); it is tried
    // again at the next settle, and the exit tries it once more.
    int written = 0;
    QString failedPath, why;
    std::vector<QString> failed;
    for (const File& f : batch) {
        bool ok = false;
        try {
            ok = statefiles::writeFileAtomically(f.first, f.second);
            if (!ok) why = QString::fromLocal8Bit(std::strerror(errno));
        } catch (const std::exception& e) {
            why = QString::fromLocal8Bit(e.what());
        }
        if (ok) {
            ++written;
        } else {
            failed.push_back(f.first);
            failedPath = f.first;
        }
    }
    bool tell = false;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_writes += written;
        m_failed.insert(m_failed.end(), failed.begin(), failed.end());
        tell = !failed.empty() && !m_told;
        m_told = !failed.empty() || (m_told && written == 0);
    }
    if (tell)
        QMetaObject::invokeMethod(
            this, [this, failedPath, why] { emit writeFailed(failedPath, why); },
            Qt::QueuedConnection);
}

void SettledSave::watchInput(bool on) {
    if (on == m_watching || !QCoreApplication::instance()) return;
    m_watching = on;
    if (on)
        QCoreApplication::instance()->installEventFilter(this);
    else
        QCoreApplication::instance()->removeEventFilter(this);
}

bool SettledSave::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonRelease:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            if (watched->isWidgetType()) noteChange();
            break;
        default:
            break;
    }
    return false;
}
