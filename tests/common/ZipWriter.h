#pragma once
// ZIP archives made on the spot for tests and benchmarks: (name, bytes) entries, deflated, with
// UTF-8 names; a name ending in "/" is a folder.

#include <archive.h>
#include <archive_entry.h>

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

inline bool writeZip(const QString& path,
                     const std::vector<std::pair<QString, QByteArray>>& entries) {
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_set_options(a, "zip:hdrcharset=UTF-8");
    bool ok = archive_write_open_filename(a, path.toUtf8().constData()) == ARCHIVE_OK;
    for (const auto& [name, bytes] : entries) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname_utf8(e, name.toUtf8().constData());
        const bool folder = name.endsWith(QLatin1Char('/'));
        archive_entry_set_filetype(e, folder ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_entry_set_size(e, folder ? 0 : bytes.size());
        ok = ok && archive_write_header(a, e) == ARCHIVE_OK;
        if (!folder)
            ok = ok &&
                 archive_write_data(a, bytes.constData(), size_t(bytes.size())) == bytes.size();
        archive_entry_free(e);
    }
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    archive_write_free(a);
    return ok;
}
