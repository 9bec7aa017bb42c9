#include "documents/cUnzip.h"

#include <QFile>
#include <QString>
#include <limits>

namespace mUnzip {

SplitName splitListedName(const QString& listed) {
    QString name = listed;
    if (const qsizetype nul = name.indexOf(QChar(0)); nul >= 0) name.truncate(nul);
    name.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const qsizetype last = name.lastIndexOf(QLatin1Char('\\'));
    if (last < 0) return {QString(), name};
    // An absolute name is no entry at the top level: it keeps its root as its folder.
    if (last == 0) return {name.left(1), name.mid(1)};
    return {name.left(last), name.mid(last + 1)};
}

QString entryPath(const QString& directory, const QString& name) {
    QString full = directory.isEmpty() ? name : directory + QLatin1Char('/') + name;
    full.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return full;
}

int32_t packedSize(int32_t factor, int32_t size) {
    const int64_t product = int64_t(factor) * size;
    if (product > std::numeric_limits<int32_t>::max() ||
        product < std::numeric_limits<int32_t>::min())
        return 0;
    return int32_t(product / 100);
}

}  // namespace mUnzip

void cUnzip::setZipFile(const QString& path) {
    m_zipFile = path;
    m_entries.clear();
}

int32_t cUnzip::FilePackedSize(int32_t index) const {
    return mUnzip::packedSize(at(index).factor, at(index).size);
}

void cUnzip::addListedEntry(const unzip::ListedEntry& listed) {
    const mUnzip::SplitName split = mUnzip::splitListedName(QString::fromStdString(listed.name));
    // A link is never extracted, so it is no book to offer.
    if (split.name.isEmpty() || !listed.regular) return;
    Entry e;
    e.name = split.name;
    e.directory = split.directory;
    e.size = int32_t(std::min<uint32_t>(listed.size, std::numeric_limits<int32_t>::max()));
    e.factor = listed.factor;
    e.method = QString::fromStdString(listed.method);
    e.date =
        QDateTime(QDate(listed.year, listed.month, listed.day), QTime(listed.hour, listed.minute));
    e.crc = listed.crc;
    e.encrypted = (listed.flags & 64) == 64;
    m_entries.push_back(e);
}

int32_t cUnzip::call(const std::vector<std::string>& include,
                     unzip::Content content) {
    unzip::Callbacks callbacks;
    callbacks.content = std::move(content);
    callbacks.listing = [this](const unzip::ListedEntry& e) { addListedEntry(e); };
    // Nobody answers for a password: the first request cancels every encrypted entry.
    callbacks.password = [](std::string&, const std::string&) { return 1; };
    callbacks.replace = [](const std::string&) { return 100; };
    callbacks.service = [](const std::string&, uint64_t) { return 0; };
    m_options.ZipFile = m_zipFile.toStdString();
    m_lastResult =
        unzip::Wiz_SingleEntryUnzip(int(include.size()), include, 0, {}, m_options, callbacks);
    return m_lastResult;
}

int32_t cUnzip::Directory() {
    m_options.List = 1;
    m_options.ExtractDir.clear();
    call({});
    return 0;
}

bool cUnzip::Unzip(unzip::Content content) {
    if (m_zipFile.isEmpty()) return false;
    std::vector<std::string> include;
    bool all = true;
    for (const Entry& e : m_entries) {
        if (!e.selected) {
            all = false;
            continue;
        }
        // The library takes names exactly: "*.txt" is that entry, not every text.
        include.push_back(mUnzip::entryPath(e.directory, e.name).toStdString());
        // The library never overwrites; the stale copy goes first.
        const QString stale = m_unzipFolder + QLatin1Char('/') + e.name;
        if (!m_unzipFolder.isEmpty() && QFile::exists(stale)) QFile::remove(stale);
    }
    if (all) include.clear();
    m_options.List = 0;
    m_options.ExtractDir = m_unzipFolder.toStdString();
    return call(include, std::move(content)) != unzip::PK_OK;
}
