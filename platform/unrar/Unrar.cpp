#include "unrar/Unrar.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <vector>

#include "encodings/EntryName.h"
#include "files/NewFile.h"
#include "unrar/RarSource.h"

namespace unrar {

using detail::EntryInfo;
using detail::Kind;

struct Archive {
    std::unique_ptr<detail::Source> source;
    std::string arcName;
    EntryInfo entry;
    bool haveEntry = false;  // a header was read and not yet processed
    bool passwordSet = false;
    uint32_t headersRead = 0;
};

namespace {

// A damaged archive can chain headers in a loop, or fail the same header again and again.
constexpr uint32_t kMaxHeaders = 100000;
constexpr size_t kChunk = 64 * 1024;

// Opens the archive file for our own header reads; -1 when it is missing or not a file.
int openArchiveFile(const std::string& path) {
    // O_NONBLOCK so that a FIFO cannot hang the open; it changes nothing for a regular file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void storeComment(RAROpenArchiveData* data, const std::optional<std::string>& comment) {
    if (!comment || data->CmtBufSize == 0) return;
    // Comments are stored zero-terminated; the text ends at the first NUL.
    const std::string text = comment->substr(0, comment->find('\0'));
    const bool cut = text.size() > data->CmtBufSize;
    data->CmtBuf = text.substr(0, data->CmtBufSize);
    data->CmtSize = uint32_t(data->CmtBuf.size());
    data->CmtState = cut ? ERAR_SMALL_BUF : 1;
}

void fillHeader(const Archive& a, RARHeaderData* h) {
    const EntryInfo& e = a.entry;
    *h = RARHeaderData{};
    detail::copyCut(h->ArcName, sizeof h->ArcName, a.arcName);
    detail::copyCut(h->FileName, sizeof h->FileName, e.name);
    if (e.encrypted) h->Flags |= RHDF_ENCRYPTED;
    if (e.solid) h->Flags |= RHDF_SOLID;
    if (e.kind == Kind::Directory) h->Flags |= RHDF_DIRECTORY;
    h->PackSize = uint32_t(std::min<uint64_t>(e.packSize, 0xFFFFFFFF));
    h->UnpSize = e.sizeKnown ? uint32_t(std::min<uint64_t>(e.unpSize, 0xFFFFFFFF)) : 0xFFFFFFFF;
    h->HostOS = e.hostOS;
    h->FileCRC = e.crc;
    h->FileTime = e.dosTime;
    h->UnpVer = e.unpVer;
    h->Method = e.method;
    h->FileAttr = e.attr;
    h->Regular = e.kind == Kind::Regular;
}

// Where an entry goes: destName as given, or its flat name inside destPath; "" when the entry's
// name leaves nothing safe to create.
std::string targetPath(const char* destPath, const char* destName, const std::string& name) {
    if (destName && *destName) return destName;
    const QString flat = encodings::flatEntryName(QString::fromStdString(name));
    if (flat.isEmpty()) return {};
    std::string dir = destPath ? destPath : "";
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir + flat.toStdString();
}

// Copies the current entry's data into out; ERAR_SUCCESS or why it stopped.
int copyData(detail::Source& source, const EntryInfo& entry, int out) {
    std::vector<char> buf(kChunk);
    uint64_t total = 0;
    for (;;) {
        const int64_t n = source.read(buf.data(), buf.size());
        if (n == detail::Source::kReadTooLarge) return ERAR_TOO_LARGE;
        if (n < 0) return ERAR_BAD_DATA;
        if (n == 0) break;
        total += uint64_t(n);
        if (total > uint64_t(kMaxEntryBytes)) return ERAR_TOO_LARGE;
        if (!files::writeAll(out, buf.data(), size_t(n))) return ERAR_EWRITE;
    }
    if (entry.sizeKnown && total != entry.unpSize) return ERAR_BAD_DATA;
    return ERAR_SUCCESS;
}

int extract(Archive& a, const char* destPath, const char* destName) {
    const EntryInfo& e = a.entry;
    if (e.kind != Kind::Regular) return ERAR_SUCCESS;
    // Neither library decrypts RAR, so a password cannot help; with one given it must be
    // reported as not working rather than asked for again.
    if (e.encrypted) return a.passwordSet ? ERAR_BAD_PASSWORD : ERAR_MISSING_PASSWORD;
    // Only this volume is open: its other part is out of reach.
    if (e.split) return ERAR_EOPEN;
    if (e.sizeKnown && e.unpSize > uint64_t(kMaxEntryBytes)) return ERAR_TOO_LARGE;
    const std::string target = targetPath(destPath, destName, e.name);
    if (target.empty()) return ERAR_ECREATE;
    const int out = files::createNewFile(target);
    if (out < 0) return ERAR_ECREATE;
    int result = copyData(*a.source, e, out);
    if (::close(out) != 0 && result == ERAR_SUCCESS) result = ERAR_EWRITE;
    if (result != ERAR_SUCCESS) ::unlink(target.c_str());
    return result;
}

}  // namespace

HANDLE RAROpenArchive(RAROpenArchiveData* data) {
    if (!data) return nullptr;
    data->CmtBuf.clear();
    data->CmtSize = 0;
    data->CmtState = 0;
    detail::Fd fd(openArchiveFile(data->ArcName));
    if (fd.get() < 0) {
        data->OpenResult = ERAR_EOPEN;
        return nullptr;
    }
    detail::Opened opened;
    switch (detail::readSignature(fd.get())) {
        case detail::Signature::Rar4:
            opened = detail::openRar4(std::move(fd), data->ArcName, data->CmtBufSize);
            break;
        case detail::Signature::Rar5:
            opened = detail::openRar5(std::move(fd), data->CmtBufSize);
            break;
        case detail::Signature::None:
            opened.result = ERAR_BAD_ARCHIVE;
            break;
    }
    if (!opened.source) {
        data->OpenResult = uint32_t(opened.result);
        return nullptr;
    }
    auto* archive = new (std::nothrow) Archive;
    if (!archive) {
        data->OpenResult = ERAR_NO_MEMORY;
        return nullptr;
    }
    archive->source = std::move(opened.source);
    archive->arcName = data->ArcName;
    storeComment(data, opened.comment);
    data->OpenResult = ERAR_SUCCESS;
    return archive;
}

int RARCloseArchive(HANDLE archive) {
    delete archive;
    return ERAR_SUCCESS;
}

int RARReadHeader(HANDLE archive, RARHeaderData* header) {
    if (!archive || !header) return ERAR_UNKNOWN;
    archive->haveEntry = false;
    if (archive->headersRead >= kMaxHeaders) return ERAR_END_ARCHIVE;
    ++archive->headersRead;
    const int result = archive->source->next(archive->entry);
    if (result != ERAR_SUCCESS) return result;
    archive->haveEntry = true;
    fillHeader(*archive, header);
    return ERAR_SUCCESS;
}

int RARProcessFile(HANDLE archive, int operation, const char* destPath, const char* destName) {
    if (!archive || !archive->haveEntry) return ERAR_UNKNOWN;
    if (operation != RAR_SKIP && operation != RAR_TEST && operation != RAR_EXTRACT)
        return ERAR_UNKNOWN;
    archive->haveEntry = false;
    // Skipping costs nothing here: the next header read moves past the data (libunarr
    // decompresses skipped solid members only when a later one is extracted).
    if (operation != RAR_EXTRACT) return ERAR_SUCCESS;
    return extract(*archive, destPath, destName);
}

void RARSetPassword(HANDLE archive, const char* password) {
    if (archive) archive->passwordSet = password && *password;
}

}  // namespace unrar
