#include "session/SettledSave.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <algorithm>

#include "window/StateFiles.h"

SettledSave::SettledSave(Snapshot snapshot, Settled settled, int delayMs, QObject* parent)
    : QObject(parent), m_snapshot(std::move(snapshot)), m_settled(std::move(settled)) {
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(delayMs);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (!m_settled || m_settled())
            saveNow();
        else
            m_timer->start();
    });
    m_thread = std::thread([this] { run(); });
}

SettledSave::~SettledSave() {
    watchInput(false);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void SettledSave::noteChange() {
    m_timer->start();
}

int SettledSave::saveNow() {
    m_timer->stop();
    std::vector<File> changed;
    for (File& f : m_snapshot()) {
        auto known = m_known.find(f.first);
        if (known == m_known.end())
            known = m_known.insert(f.first, statefiles::readFile(f.first).value_or(QByteArray()));
        if (*known == f.second) continue;
        *known = f.second;
        changed.push_back(std::move(f));
    }
    if (changed.empty()) return 0;
    const int n = int(changed.size());
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
        int written = 0;
        // A file that cannot be written now keeps its old bytes (the write is atomic); the exit
        // tries again and tells the user.
        for (const File& f : batch) written += statefiles::writeFileAtomically(f.first, f.second);
        lock.lock();
        m_writes += written;
        m_busy = false;
        if (m_queue.empty()) m_idle.notify_all();
    }
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
