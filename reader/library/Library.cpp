#include "library/Library.h"

#include <QDir>
#include <algorithm>

#include "library/Connection.h"
#include "library/Opening.h"

namespace library {

namespace {
constexpr int64_t kDaySeconds = 24 * 60 * 60;
// More recent books than anyone lists; a larger limit asks the database for no more.
constexpr int kMaxRecent = 100000;
}  // namespace

int Library::schemaVersion() {
    return currentSchemaVersion();
}

Library::Library(const QString& folder)
    : m_path(QDir(folder).filePath(QString::fromLatin1(kFileName))), m_thread([this] {
          {
              const std::lock_guard<std::mutex> lock(m_mutex);
              m_stop = true;
          }
          m_wake.notify_all();
      }) {
    Opened o = openLibrary(folder, QString::fromLatin1(kFileName));
    m_reader = std::move(o.reader);
    m_writer = std::move(o.writer);
    m_inMemory = o.inMemory;
    m_problem = o.problem;
    // In memory the one connection serves both, so writes run on the caller's thread; they
    // cost microseconds there. Without a thread to be had, a file is written there too.
    if (m_reader && m_writer) m_thread.start([this] { run(); });
}

// The writer drains the queue before it ends (see run).
Library::~Library() = default;

QString Library::openProblem() {
    return std::exchange(m_problem, QString());
}

std::optional<BookRecord> Library::find(const BookKey& key) const {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        const auto pending = m_pending.find(key.text());
        if (pending != m_pending.end()) return pending->record;
    }
    // Written by now, or at least committed before this read began: the read sees it.
    Connection* c = m_reader ? m_reader.get() : m_writer.get();
    return c ? c->find(key.text()) : std::nullopt;
}

std::vector<BookRecord> Library::recent(int limit) const {
    limit = std::clamp(limit, 0, kMaxRecent);
    QHash<QByteArray, Pending> pending;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        pending = m_pending;
    }
    // Books handed over since may displace as many from the list, or drop out of it.
    Connection* c = m_reader ? m_reader.get() : m_writer.get();
    std::vector<BookRecord> books =
        c ? c->recent(int(std::min<int64_t>(int64_t(limit) + int64_t(pending.size()), kMaxRecent)))
          : std::vector<BookRecord>();
    std::erase_if(books, [&](const BookRecord& r) { return pending.contains(r.key.text()); });
    for (const Pending& p : pending)
        if (p.record) books.push_back(*p.record);
    std::stable_sort(books.begin(), books.end(), [](const BookRecord& a, const BookRecord& b) {
        return a.lastRead > b.lastRead;
    });
    if (int(books.size()) > limit) books.erase(books.begin() + limit, books.end());
    return books;
}

ReadingTotals totalsOf(const BookRecord& book) {
    if (book.secondsRead <= 0) return {};
    return {book.secondsRead, std::clamp(book.share, 0.0, 1.0) * double(book.key.size())};
}

ReadingTotals Library::readingTotals() const {
    QHash<QByteArray, Pending> pending;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        pending = m_pending;
    }
    Connection* c = m_reader ? m_reader.get() : m_writer.get();
    if (!c) return {};
    // The sum and the books looked up are read in one snapshot: a write committed between
    // them would otherwise be taken out of a sum that never had it.
    const bool snapshot = c->exec("BEGIN") == SQLITE_OK;
    ReadingTotals t = c->totals();
    // A book handed over since counts as it was handed over, not as it was written.
    for (auto p = pending.cbegin(); p != pending.cend(); ++p) {
        if (const std::optional<BookRecord> written = c->find(p.key())) {
            const ReadingTotals was = totalsOf(*written);
            t.seconds -= was.seconds;
            t.bytes -= was.bytes;
        }
        if (p->record) {
            const ReadingTotals is = totalsOf(*p->record);
            t.seconds += is.seconds;
            t.bytes += is.bytes;
        }
    }
    if (snapshot) c->exec("COMMIT");
    return {std::max<int64_t>(t.seconds, 0), std::max(t.bytes, 0.0)};
}

void Library::save(const BookRecord& record) {
    hand(record.key.text(), record);
}

void Library::forget(const BookKey& key) {
    hand(key.text(), std::nullopt);
}

void Library::addReadingTime(const BookKey& key, int64_t seconds) {
    std::optional<BookRecord> r = find(key);
    if (!r || seconds <= 0) return;
    r->secondsRead += std::min(seconds, kDaySeconds);
    save(*r);
}

void Library::flush() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_queue.empty() && !m_busy; });
}

void Library::hand(const QByteArray& key, std::optional<BookRecord> record) {
    if (!m_writer) return;
    if (!m_thread.started()) {
        writeOne(key, record);
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        Pending& p = m_pending[key];
        // A book handed over again before its write is written once, with the newest state.
        if (p.generation == 0) m_queue.push_back(key);
        p.generation = ++m_generation;
        p.record = std::move(record);
    }
    m_wake.notify_all();
}

void Library::run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_queue.empty()) return;  // stopping, with nothing left to write
        std::vector<QByteArray> keys;
        keys.swap(m_queue);
        m_busy = true;
        lock.unlock();
        writeBatch(std::move(keys));
        lock.lock();
        m_busy = false;
        if (m_queue.empty()) m_idle.notify_all();
    }
}

void Library::writeBatch(std::vector<QByteArray> keys) {
    for (const QByteArray& key : keys) {
        Pending p;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            const auto handed = m_pending.find(key);
            if (handed == m_pending.end()) continue;
            p = handed.value();
        }
        const bool written = writeOne(key, p.record);
        const std::lock_guard<std::mutex> lock(m_mutex);
        const auto now = m_pending.find(key);
        if (now == m_pending.end()) continue;
        if (now->generation != p.generation)
            m_queue.push_back(key);  // handed over again meanwhile: write the newer state too
        else if (written)
            m_pending.erase(now);
        // NOTE: a write that failed (a full disk) stays pending, so this session still reads
        // what it saved; the book's next save tries again.
        else
            now->generation = 0;
    }
}

bool Library::writeOne(const QByteArray& key, const std::optional<BookRecord>& record) {
    return (record ? m_writer->upsert(*record) : m_writer->remove(key)) == SQLITE_OK;
}

}  // namespace library
