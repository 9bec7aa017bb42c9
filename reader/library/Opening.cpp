#include "library/Opening.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <iterator>

namespace library {

namespace {

// The steps that bring a library of version v to v + 1, kSteps[v]; each runs in the
// transaction that also sets the new version. A new version adds its step at the end.
int toVersion1(Connection& c) {
    return c.exec(
        "CREATE TABLE books ("
        " key TEXT PRIMARY KEY NOT NULL,"
        " title TEXT NOT NULL DEFAULT '',"
        " path TEXT NOT NULL DEFAULT '',"
        " entry TEXT NOT NULL DEFAULT '',"
        " place INTEGER NOT NULL DEFAULT 0,"
        " bookmark_set INTEGER NOT NULL DEFAULT 0,"
        " bookmark_position INTEGER NOT NULL DEFAULT 0,"
        " encoding TEXT NOT NULL DEFAULT '',"
        " first_read INTEGER NOT NULL DEFAULT 0,"
        " last_read INTEGER NOT NULL DEFAULT 0,"
        " seconds_read INTEGER NOT NULL DEFAULT 0,"
        " share REAL NOT NULL DEFAULT 0);"
        "CREATE INDEX books_by_last_read ON books (last_read);");
}

using Step = int (*)(Connection&);
constexpr Step kSteps[] = {toVersion1};
constexpr int kVersion = int(std::size(kSteps));

enum class Verdict { Sound, Unsound, Newer, Unwritable };

// What a failed SQLite call says of the file: its content is wrong, or it cannot be written.
Verdict failure(int rc) {
    return rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT || rc == SQLITE_ERROR ? Verdict::Unsound
                                                                             : Verdict::Unwritable;
}

int migrate(Connection& c, int64_t from) {
    int rc = c.exec("BEGIN IMMEDIATE");
    for (int64_t v = from; rc == SQLITE_OK && v < kVersion; ++v) rc = kSteps[v](c);
    if (rc == SQLITE_OK)
        rc =
            c.exec(QByteArray("PRAGMA user_version = " + QByteArray::number(kVersion)).constData());
    rc = rc == SQLITE_OK ? c.exec("COMMIT") : rc;
    if (rc != SQLITE_OK) c.exec("ROLLBACK");
    return rc;
}

// Whether the database open on c passes SQLite's own check of its structure.
Verdict structure(Connection& c) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(c.handle(), "PRAGMA quick_check", -1, &s, nullptr);
    const int step = s ? sqlite3_step(s) : sqlite3_errcode(c.handle());
    const auto* answer = step == SQLITE_ROW ? sqlite3_column_text(s, 0) : nullptr;
    const bool ok = answer && std::strcmp(reinterpret_cast<const char*>(answer), "ok") == 0;
    const int rc = sqlite3_errcode(c.handle());
    sqlite3_finalize(s);
    return ok ? Verdict::Sound : step == SQLITE_ROW ? Verdict::Unsound : failure(rc);
}

// WAL: a reader never waits for the writer, and a commit costs no sync of its own.
bool writeAhead(Connection& c) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(c.handle(), "PRAGMA journal_mode = WAL", -1, &s, nullptr);
    const bool on =
        s && sqlite3_step(s) == SQLITE_ROW &&
        sqlite3_stricmp(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)), "wal") == 0;
    sqlite3_finalize(s);
    return on && c.exec("PRAGMA synchronous = NORMAL") == SQLITE_OK;
}

// Looks at the library open read-only on c, so what is found wanting is set aside as it was
// found: SQLite leaves a log it cannot use, or one of a file that is no database, alone only
// where it cannot write.
Verdict inspect(Connection& c) {
    const std::optional<int64_t> version = c.integer("PRAGMA user_version");
    if (!version) return failure(sqlite3_errcode(c.handle()));
    if (*version > kVersion) return Verdict::Newer;
    if (*version < 0) return Verdict::Unsound;
    if (const Verdict v = structure(c); v != Verdict::Sound) return v;
    // Version 0 is a file to begin a library in: one holding tables is someone else's.
    if (*version == 0 && c.integer("SELECT count(*) FROM sqlite_schema").value_or(1) != 0)
        return Verdict::Unsound;
    if (*version == kVersion && !c.prepare()) return Verdict::Unsound;
    return Verdict::Sound;
}

// Brings the library open on c to this program's version, ready to read and write.
Verdict ready(Connection& c) {
    const std::optional<int64_t> version = c.integer("PRAGMA user_version");
    if (!version) return failure(sqlite3_errcode(c.handle()));
    if (*version < kVersion)
        if (const int m = migrate(c, *version); m != SQLITE_OK) return failure(m);
    if (!c.prepare()) return Verdict::Unsound;
    return writeAhead(c) ? Verdict::Sound : Verdict::Unwritable;
}

constexpr int kFileFlags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW;

// What the file at name is, before SQLite opens it for writing: a link, a folder, a device or
// a file without SQLite's header is no library, and neither is one that fails the checks.
Verdict look(const QByteArray& name) {
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0) return Verdict::Sound;  // none yet: one is begun
    if (!S_ISREG(st.st_mode)) return Verdict::Unsound;
    if (st.st_size == 0) return Verdict::Sound;
    QFile f(QFile::decodeName(name));
    if (!f.open(QIODevice::ReadOnly)) return Verdict::Unwritable;
    if (f.read(16) != QByteArrayView("SQLite format 3\0", 16)) return Verdict::Unsound;
    f.close();
    int rc = SQLITE_OK;
    const std::unique_ptr<Connection> c =
        Connection::open(name, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOFOLLOW, &rc);
    return c ? inspect(*c) : failure(rc);
}

// Opens path for the library when it is sound, or begins one where there is none.
Verdict openChecked(const QString& path, std::unique_ptr<Connection>* into) {
    const QByteArray name = QFile::encodeName(path);
    if (const Verdict v = look(name); v != Verdict::Sound) return v;
    int rc = SQLITE_OK;
    std::unique_ptr<Connection> c = Connection::open(name, kFileFlags, &rc);
    if (!c) return failure(rc);
    const Verdict v = ready(*c);
    if (v == Verdict::Sound) *into = std::move(c);
    return v;
}

// Renames the file and its write-ahead log and shared-memory index aside; the new name of the
// file, or "" when it could not be moved.
QString setAside(const QString& path) {
    const QString aside = setAsideName(
        path, QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    if (aside.isEmpty() ||
        ::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0)
        return QString();
    for (const char* suffix : {"-wal", "-shm"})
        ::rename(QFile::encodeName(path + QLatin1String(suffix)).constData(),
                 QFile::encodeName(aside + QLatin1String(suffix)).constData());
    return aside;
}

Opened inMemory(const QString& folder) {
    Opened o;
    o.inMemory = true;
    o.problem = QStringLiteral(
                    "읽던 곳을 저장할 수 없습니다: %1\n"
                    "이번에 읽은 곳은 프로그램을 닫으면 잊힙니다.")
                    .arg(QDir::toNativeSeparators(folder));
    int rc = SQLITE_OK;
    o.writer = Connection::open(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &rc);
    if (o.writer && (migrate(*o.writer, 0) != SQLITE_OK || !o.writer->prepare())) o.writer.reset();
    return o;
}

}  // namespace

int currentSchemaVersion() {
    return kVersion;
}

QString setAsideName(const QString& path, const QString& when) {
    const QString base = path + QStringLiteral(".broken-") + when;
    QString name = base;
    struct stat st {};
    for (int n = 2; ::lstat(QFile::encodeName(name).constData(), &st) == 0; ++n) {
        if (n > 99) return QString();  // a hundred set aside in one second: something loops
        name = base + QLatin1Char('-') + QString::number(n);
    }
    return name;
}

Opened openLibrary(const QString& folder, const QString& fileName) {
    if (!QDir().mkpath(folder) || ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return inMemory(folder);
    const QString path = QDir(folder).filePath(fileName);
    // A library begun here that cannot be written (a full disk) leaves no file behind.
    struct stat st {};
    const bool existed = ::lstat(QFile::encodeName(path).constData(), &st) == 0;
    const auto inMemoryHere = [&] {
        if (!existed)
            for (const char* suffix : {"", "-wal", "-shm", "-journal"})
                ::unlink(QFile::encodeName(path + QLatin1String(suffix)).constData());
        return inMemory(folder);
    };
    Opened o;
    Verdict v = openChecked(path, &o.writer);
    if (v == Verdict::Unsound || v == Verdict::Newer) {
        const QString aside = setAside(path);
        if (aside.isEmpty()) return inMemory(folder);
        o.problem =
            (v == Verdict::Newer ? QStringLiteral("책 목록 파일이 이 프로그램보다 새 판의 것이어서 "
                                                  "새로 만들었습니다.\n(이전 파일: %1)")
                                 : QStringLiteral("책 목록 파일이 손상되어 새로 만들었습니다.\n"
                                                  "(이전 파일: %1)"))
                .arg(QFileInfo(aside).fileName());
        v = openChecked(path, &o.writer);
    }
    int rc = SQLITE_OK;
    if (v == Verdict::Sound) o.reader = Connection::open(QFile::encodeName(path), kFileFlags, &rc);
    if (!o.reader || !o.reader->prepare()) {
        o.writer.reset();
        o.reader.reset();
        return inMemoryHere();
    }
    return o;
}

}  // namespace library
