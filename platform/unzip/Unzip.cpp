#include "unzip/Unzip.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>

#include "encodings/EntryName.h"
#include "files/NewFile.h"
#include "unzip/ZipDirectory.h"

namespace unzip {
namespace {

constexpr int kMaxIncludes = 1023;
// The names of the headers one walk reads add up to no more than this: kMaxEntries books with
// long names in deep folders stay far below it, and what a walk reads and keeps stays bounded.
constexpr size_t kMaxNameBytes = size_t(32) << 20;
constexpr size_t kChunk = 64 * 1024;

// Rank of a result: the call returns the worst it met.
int severity(int32_t code) {
    static constexpr int32_t kOrder[] = {PK_OK,  PK_WARN, IZ_BADPWD, IZ_UNSUP, kTooLarge, PK_FIND,
                                         PK_ERR, PK_DISK, PK_BADERR, PK_NOZIP, PK_PARAM};
    const auto* it = std::find(std::begin(kOrder), std::end(kOrder), code);
    return int(it - std::begin(kOrder));
}

// libarchive keeps names in the character set of the locale, so in the "C" locale a flagged
// UTF-8 name fails that conversion and is lost. A UTF-8 character type for this thread keeps
// every name byte-exact without touching the process locale.
class Utf8Ctype {
public:
    Utf8Ctype() {
        for (const char* name : {"C.UTF-8", "en_US.UTF-8"}) {
            m_locale = newlocale(LC_CTYPE_MASK, name, locale_t(nullptr));
            if (m_locale) break;
        }
        if (m_locale) m_previous = uselocale(m_locale);
    }
    ~Utf8Ctype() {
        if (!m_locale) return;
        uselocale(m_previous);
        freelocale(m_locale);
    }
    Utf8Ctype(const Utf8Ctype&) = delete;
    Utf8Ctype& operator=(const Utf8Ctype&) = delete;

private:
    locale_t m_locale = locale_t(nullptr);
    locale_t m_previous = locale_t(nullptr);
};

// The reader and the file it reads, which go together.
struct ReaderFree {
    int fd = -1;
    void operator()(archive* a) const {
        archive_read_free(a);
        if (fd >= 0) ::close(fd);
    }
};
using Reader = std::unique_ptr<archive, ReaderFree>;

// A reader of path with the password registered, or null when libarchive cannot open it. The
// file is opened without waiting (a pipe put at the name never holds the call) and must be a
// regular file by its descriptor, whatever the name said a moment before.
Reader openReader(const std::string& path, const std::string& password) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return Reader(nullptr, ReaderFree{});
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Reader(nullptr, ReaderFree{});
    }
    Reader a(archive_read_new(), ReaderFree{fd});
    if (!a) {
        ::close(fd);
        return a;
    }
    archive_read_support_format_zip(a.get());
    if (!password.empty()) archive_read_add_passphrase(a.get(), password.c_str());
    if (archive_read_open_fd(a.get(), fd, kChunk) != ARCHIVE_OK) a.reset();
    return a;
}

bool readableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), R_OK) == 0;
}

bool isRegular(archive_entry* e) {
    return archive_entry_filetype(e) == AE_IFREG && !archive_entry_hardlink(e) &&
           !archive_entry_symlink(e);
}

// libarchive names the current entry's method only inside its format name: "ZIP 2.0 (deflation)".
std::string methodName(const char* formatName) {
    static constexpr std::pair<const char*, const char*> kMethods[] = {
        {"(uncompressed)", "Stored"}, {"(deflation)", "Deflate"}, {"(deflation64)", "Deflate64"},
        {"(bzip2)", "BZip2"},         {"(lzma)", "LZMA"},         {"(xz)", "XZ"},
        {"(ppmd8)", "PPMd"},          {"(zstd)", "Zstd"},
    };
    const std::string format = formatName ? formatName : "";
    for (const auto& [tag, method] : kMethods)
        if (format.find(tag) != std::string::npos) return method;
    return "Unknown";
}

ListedEntry listedEntry(archive* a, archive_entry* e, const std::string& name) {
    ListedEntry l;
    l.name = name;
    const int64_t size = archive_entry_size_is_set(e) ? archive_entry_size(e) : 0;
    l.size = uint32_t(std::clamp<int64_t>(size, 0, 0xFFFFFFFF));
    const time_t mtime = archive_entry_mtime(e);
    struct tm parts {};
    if (archive_entry_mtime_is_set(e) && localtime_r(&mtime, &parts)) {
        l.year = uint16_t(parts.tm_year + 1900);
        l.month = uint16_t(parts.tm_mon + 1);
        l.day = uint16_t(parts.tm_mday);
        l.hour = uint16_t(parts.tm_hour);
        l.minute = uint16_t(parts.tm_min);
    }
    l.method = methodName(archive_format_name(a));
    if (archive_entry_is_encrypted(e)) l.flags |= 64;
    l.regular = isRegular(e);
    return l;
}

// One call of Wiz_SingleEntryUnzip: the selection, the password and the worst result so far.
class Call {
public:
    Call(const Options& options, Callbacks& callbacks, std::vector<std::string> include,
         std::vector<std::string> exclude)
        : m_options(options),
          m_callbacks(callbacks),
          m_include(std::move(include)),
          m_exclude(std::move(exclude)) {}

    int32_t list();
    int32_t extract();

private:
    template <typename Visit>
    void walk(archive* a, Visit&& visit);
    void readNames();
    std::string entryName(archive* a, archive_entry* e) const;
    bool selected(const std::string& name);
    std::optional<std::string> firstEncrypted();
    void askPassword(const std::string& name);
    void extractEntry(archive* a, archive_entry* e, const std::string& name);
    bool writeDirect(archive* a, archive_entry* e, int fd, int32_t& problem);
    int32_t copyData(archive* a, int fd);
    void report(archive* a, archive_entry* e, const std::string& name, int32_t problem);
    int32_t finish();
    void note(int32_t code) {
        if (severity(code) > severity(m_result)) m_result = code;
    }

    const Options& m_options;
    Callbacks& m_callbacks;
    const std::vector<std::string> m_include;
    const std::vector<std::string> m_exclude;
    int32_t m_result = PK_OK;
    bool m_matched = false;
    bool m_hostile = false;  // refused before any entry is read
    bool m_stopped = false;
    bool m_cancelled = false;
    std::string m_password;
    std::vector<char> m_buffer;
    std::unique_ptr<ZipDirectory> m_directory;  // null when the archive has no sound one
    bool m_unflaggedCp949 = false;              // how the names without the UTF-8 flag read
};

// Hands each header to visit in archive order until the end, a fatal error, the entry cap (the
// rest are left out), names that add up to more than any archive of books holds, or visit
// returning false.
template <typename Visit>
void Call::walk(archive* a, Visit&& visit) {
    archive_entry* e = nullptr;
    size_t names = 0;
    for (int n = 0; n < kMaxEntries; ++n) {
        const int r = archive_read_next_header(a, &e);
        if (r == ARCHIVE_EOF) return;
        if (r == ARCHIVE_FATAL) return note(PK_ERR);
        if (r < ARCHIVE_WARN) {
            note(PK_WARN);  // this header only; the next may still be read
            continue;
        }
        const char* utf8 = archive_entry_pathname_utf8(e);
        const char* raw = utf8 ? utf8 : archive_entry_pathname(e);
        names += raw ? std::strlen(raw) : 0;
        if (names > kMaxNameBytes) return note(PK_ERR);
        if (!visit(e)) return;
    }
}

// Decides how the archive's unflagged names read, before the first is reported: from the local
// headers the central directory points to, which also tell each entry's flag; without a
// directory, from every name libarchive gives, none of them known to be flagged.
void Call::readNames() {
    m_directory = ZipDirectory::open(m_options.ZipFile, m_hostile);
    if (m_hostile) return note(PK_ERR);
    if (m_directory) {
        m_unflaggedCp949 = m_directory->unflaggedCp949();
        return;
    }
    encodings::UnflaggedNames unflagged;
    if (const Reader a = openReader(m_options.ZipFile, {})) {
        const int32_t result = m_result;
        walk(a.get(), [&](archive_entry* e) {
            if (const char* raw = archive_entry_pathname(e)) unflagged.add(QByteArray(raw));
            return true;
        });
        m_result = result;  // the pass that reports meets the same damage
    }
    m_unflaggedCp949 = unflagged.cp949();
}

// The entry's name as UTF-8 NFC; a folder always ends in "/". Unflagged names come from
// libarchive as the bytes stored, flagged ones as UTF-8.
std::string Call::entryName(archive* a, archive_entry* e) const {
    const char* utf8 = archive_entry_pathname_utf8(e);
    const char* raw = utf8 ? utf8 : archive_entry_pathname(e);
    if (!raw) return {};
    // After a header libarchive stands at the entry's first data byte, which names the entry.
    const bool flagged = m_directory && m_directory->utf8Name(archive_filter_bytes(a, 0));
    QString name = encodings::decodeEntryName(QByteArray(raw), flagged, m_unflaggedCp949);
    if (archive_entry_filetype(e) == AE_IFDIR && !name.endsWith(QLatin1Char('/')))
        name += QLatin1Char('/');
    return name.toStdString();
}

bool Call::selected(const std::string& name) {
    const auto matches = [&name](const std::string& wanted) { return wanted == name; };
    if (!m_include.empty()) {
        if (!std::any_of(m_include.begin(), m_include.end(), matches)) return false;
        m_matched = true;
    }
    return std::none_of(m_exclude.begin(), m_exclude.end(), matches);
}

int32_t Call::finish() {
    if (!m_include.empty() && !m_matched) note(PK_FIND);
    return m_result;
}

int32_t Call::list() {
    const Reader a = openReader(m_options.ZipFile, {});
    if (!a) return PK_BADERR;
    readNames();
    if (m_hostile) return m_result;
    walk(a.get(), [&](archive_entry* e) {
        const std::string name = entryName(a.get(), e);
        if (selected(name) && m_callbacks.listing)
            m_callbacks.listing(listedEntry(a.get(), e, name));
        return true;
    });
    return finish();
}

// The name of the first selected encrypted file, found by a quick pass over the headers: the
// password has to be registered before the archive is opened for extraction.
std::optional<std::string> Call::firstEncrypted() {
    const Reader a = openReader(m_options.ZipFile, {});
    if (!a) return std::nullopt;
    std::optional<std::string> found;
    const int32_t result = m_result;
    const bool matched = m_matched;
    walk(a.get(), [&](archive_entry* e) {
        const std::string name = entryName(a.get(), e);
        if (isRegular(e) && archive_entry_is_encrypted(e) && selected(name)) found = name;
        return !found;
    });
    m_result = result;  // the extraction pass meets the same damage and reports it
    m_matched = matched;
    return found;
}

void Call::askPassword(const std::string& name) {
    std::string password;
    const int answer = m_callbacks.password ? m_callbacks.password(password, name) : 1;
    if (answer != 0 || password.empty())
        m_cancelled = true;
    else
        m_password = password;
}

int32_t Call::extract() {
    readNames();
    if (m_hostile) return m_result;
    if (const auto name = firstEncrypted()) askPassword(*name);
    const Reader a = openReader(m_options.ZipFile, m_password);
    if (!a) return PK_BADERR;
    m_buffer.resize(kChunk);
    walk(a.get(), [&](archive_entry* e) {
        const std::string name = entryName(a.get(), e);
        if (isRegular(e) && selected(name)) extractEntry(a.get(), e, name);
        return !m_stopped;
    });
    return finish();
}

void Call::extractEntry(archive* a, archive_entry* e, const std::string& name) {
    const QString flat = encodings::flatEntryName(QString::fromStdString(name));
    if (flat.isEmpty()) return;
    if (archive_entry_is_encrypted(e) && m_cancelled) return note(IZ_BADPWD);
    if (archive_entry_size_is_set(e) && archive_entry_size(e) > kMaxEntryBytes)
        return report(a, e, name, kTooLarge);
    const std::string target = m_options.ExtractDir + "/" + flat.toStdString();
    // lstat, so that a dangling symbolic link in the folder counts as a file in the way.
    struct stat st {};
    const bool exists = ::lstat(target.c_str(), &st) == 0;
    const int fd = exists ? -1 : files::createNewFile(target);
    if (exists || (fd < 0 && errno == EEXIST)) {
        if (m_callbacks.replace) m_callbacks.replace(target);
        return;  // never overwritten, whatever the answer
    }
    if (fd < 0) return report(a, e, name, PK_DISK);
    int32_t problem = PK_OK;
    try {
        if (!writeDirect(a, e, fd, problem)) problem = copyData(a, fd);
    } catch (...) {
        // What the content callback threw goes to the caller, with no file left half-written.
        ::close(fd);
        ::unlink(target.c_str());
        throw;
    }
    if (::close(fd) != 0 && problem == PK_OK) problem = PK_DISK;
    if (problem == PK_OK) return;
    ::unlink(target.c_str());
    report(a, e, name, problem);
}

// Writes a plain entry to fd straight from the archive file; false, with nothing written, if not.
bool Call::writeDirect(archive* a, archive_entry* e, int fd, int32_t& problem) {
    if (!g_directExtraction || archive_entry_is_encrypted(e) || !archive_entry_size_is_set(e) ||
        !m_directory)
        return false;
    const Direct result = m_directory->extract(archive_filter_bytes(a, 0), archive_entry_size(e),
                                               fd, m_callbacks.content);
    if (result != Direct::Read && m_callbacks.content) m_callbacks.content(nullptr, 0);
    // Damage of any kind, a bad CRC too, goes to libarchive, to be reported as it always was.
    switch (result) {
        case Direct::Read:
            problem = PK_OK;
            return true;
        case Direct::WriteFailed:
            problem = PK_DISK;
            return true;
        case Direct::BadCrc:
        case Direct::Unusual:
            break;
    }
    return false;
}

// Copies the current entry's data to fd; PK_OK, or the problem that left the copy unfinished.
int32_t Call::copyData(archive* a, int fd) {
    int64_t total = 0;
    for (;;) {
        const la_ssize_t n = archive_read_data(a, m_buffer.data(), m_buffer.size());
        if (n == 0) return PK_OK;
        if (n == ARCHIVE_FATAL) return PK_ERR;
        if (n == ARCHIVE_WARN) return PK_WARN;  // a bad CRC: the bytes are not the book's
        if (n < 0) {
            const char* why = archive_error_string(a);
            return why && std::strstr(why, "assphrase") ? IZ_BADPWD : IZ_UNSUP;
        }
        total += n;
        if (total > kMaxEntryBytes) return kTooLarge;
        if (!files::writeAll(fd, m_buffer.data(), size_t(n))) return PK_DISK;
    }
}

// Records a failed entry and tells the caller; an entry it cannot handle may end the call.
void Call::report(archive* a, archive_entry* e, const std::string& name, int32_t problem) {
    note(problem);
    if (problem == PK_ERR) m_stopped = true;  // libarchive is done with a fatal error
    if (m_callbacks.print) {
        const char* why = problem == PK_DISK     ? std::strerror(errno)
                          : problem == kTooLarge ? "larger than a book can be"
                                                 : archive_error_string(a);
        m_callbacks.print(name + ": " + (why ? why : "cannot be extracted"));
    }
    const bool unhandled = problem == IZ_UNSUP || problem == PK_WARN || problem == PK_ERR;
    if (unhandled && m_callbacks.service) {
        const int64_t size = archive_entry_size_is_set(e) ? archive_entry_size(e) : 0;
        if (m_callbacks.service(name, uint64_t(std::max<int64_t>(size, 0))) == 1) m_stopped = true;
    }
}

}  // namespace

int32_t Wiz_SingleEntryUnzip(int includeCount, const std::vector<std::string>& include,
                             int excludeCount, const std::vector<std::string>& exclude,
                             const Options& options, Callbacks& callbacks) {
    if (includeCount < 0 || includeCount > kMaxIncludes || excludeCount < 0) return PK_PARAM;
    if (!options.List && options.ExtractDir.empty()) return PK_PARAM;
    if (!readableFile(options.ZipFile)) return PK_NOZIP;
    const auto first = [](const std::vector<std::string>& names, int count) {
        return std::vector<std::string>(names.begin(),
                                        names.begin() + std::min<size_t>(count, names.size()));
    };
    const Utf8Ctype ctype;
    Call call(options, callbacks, first(include, includeCount), first(exclude, excludeCount));
    return options.List ? call.list() : call.extract();
}

}  // namespace unzip
