// RAR 5 through libarchive, with the headers read alongside for what libarchive does not
// report: encryption (it does not flag encrypted members), solid members, checksums, attributes.

#include <archive.h>
#include <archive_entry.h>

#include "encodings/EntryName.h"
#include "unrar/RarSource.h"
#include "unrar/Unrar.h"

namespace unrar::detail {

namespace {

// How many of our own file headers one libarchive entry may be ahead of: libarchive leaves out
// the continuation of a member from an earlier volume, and a damaged header or two.
constexpr int kLookAhead = 16;

QByteArray comparableName(QByteArray name) {
    name.replace('\\', '/');
    while (name.endsWith('/')) name.chop(1);
    return name;
}

Kind libarchiveKind(archive_entry* entry) {
    const auto type = archive_entry_filetype(entry);
    if (archive_entry_hardlink(entry) || type == AE_IFLNK) return Kind::Link;
    if (type == AE_IFDIR) return Kind::Directory;
    if (type != 0 && type != AE_IFREG) return Kind::Device;
    return Kind::Regular;
}

class Rar5Source final : public Source {
public:
    Rar5Source(Fd fd, archive* a, int64_t firstBlock)
        : fd_(std::move(fd)), a_(a), walk_(firstBlock) {}
    ~Rar5Source() override { archive_read_free(a_); }
    Rar5Source(const Rar5Source&) = delete;
    Rar5Source& operator=(const Rar5Source&) = delete;

    int next(EntryInfo& entry) override {
        // After a fatal error libarchive answers nothing else; a failed header may repeat
        // forever, which the caller's header cap ends.
        if (dead_) return ERAR_BAD_DATA;
        archive_entry* e = nullptr;
        const int r = archive_read_next_header(a_, &e);
        if (r == ARCHIVE_EOF) return ERAR_END_ARCHIVE;
        if (r == ARCHIVE_FATAL) dead_ = true;
        if (r < ARCHIVE_WARN) return ERAR_BAD_DATA;
        entry = describe(e);
        return ERAR_SUCCESS;
    }

    int64_t read(char* buf, size_t n) override {
        if (dead_) return -1;
        const la_ssize_t r = archive_read_data(a_, buf, n);
        if (r == ARCHIVE_FATAL) dead_ = true;
        return r < 0 ? -1 : int64_t(r);
    }

private:
    EntryInfo describe(archive_entry* e) {
        const char* utf8 = archive_entry_pathname_utf8(e);
        const char* raw = archive_entry_pathname(e);
        const QByteArray name(utf8 ? utf8 : raw ? raw : "");
        EntryInfo info;
        if (auto header = matchHeader(name)) {
            info = std::move(header->info);
        } else {
            info.name = encodings::decodeEntryName(name, true, false).toUtf8().toStdString();
        }
        if (info.kind == Kind::Regular) info.kind = libarchiveKind(e);
        if (archive_entry_is_data_encrypted(e) > 0) info.encrypted = true;
        if (archive_entry_size_is_set(e)) {
            info.unpSize = uint64_t(std::max<la_int64_t>(archive_entry_size(e), 0));
            info.sizeKnown = true;
        }
        if (archive_entry_mtime_is_set(e)) info.dosTime = dosTime(archive_entry_mtime(e));
        return info;
    }

    // Our own header for libarchive's entry: the next file header with the same name.
    std::optional<Rar5File> matchHeader(const QByteArray& name) {
        const QByteArray wanted = comparableName(name);
        int64_t at = walk_;
        for (int i = 0; i < kLookAhead; ++i) {
            auto header = rar5NextFile(fd_.get(), at);
            if (!header) return std::nullopt;
            at = header->next;
            if (comparableName(header->name) == wanted) {
                walk_ = at;
                return header;
            }
        }
        return std::nullopt;
    }

    Fd fd_;  // libarchive reads it sequentially; our header reads use pread
    archive* a_;
    int64_t walk_;
    bool dead_ = false;
};

}  // namespace

Opened openRar5(Fd fd, size_t maxComment) {
    Opened opened;
    // libarchive can only fail on the first header of an archive whose headers are encrypted;
    // saying so at once tells the caller why.
    const Rar5Preamble pre = rar5Preamble(fd.get(), maxComment);
    if (pre.headersEncrypted) {
        opened.result = ERAR_MISSING_PASSWORD;
        return opened;
    }
    archive* a = archive_read_new();
    if (!a) {
        opened.result = ERAR_NO_MEMORY;
        return opened;
    }
    archive_read_support_format_rar5(a);
    if (archive_read_open_fd(a, fd.get(), 64 * 1024) != ARCHIVE_OK) {
        archive_read_free(a);
        opened.result = ERAR_BAD_ARCHIVE;
        return opened;
    }
    opened.source = std::make_unique<Rar5Source>(std::move(fd), a, pre.firstBlock);
    opened.comment = pre.comment;
    return opened;
}

}  // namespace unrar::detail
