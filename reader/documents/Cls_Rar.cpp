#include "documents/Cls_Rar.h"

#include <QFile>

#include "dialogs/Dialogs.h"
#include "encodings/EntryName.h"

namespace {

// Trimmed, with every NUL removed, as the table keeps names.
QString cleaned(QString text) {
    text.remove(QChar(0));
    return text.trimmed();
}

constexpr int kMaxEntries = 32767;

}  // namespace

QString Cls_Rar::ParseFilename(const QString& path) {
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return cut < 0 ? path : path.mid(cut + 1);
}

QString Cls_Rar::folderPart(const QString& name) {
    const qsizetype cut =
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    return cut < 0 ? QString() : name.left(cut).toLower();
}

void Cls_Rar::setRarFile(const QString& path) {
    m_rarFile = path;
    m_entries.clear();
    m_failed = false;
}

void Cls_Rar::showError(const QString& text) {
    // The reader goes on after the box: the archive is abandoned, nothing else is lost.
    m_failed = true;
    m_dialogs.MsgBox(text, dlg::vbExclamation, QStringLiteral("Error"));
}

void Cls_Rar::reportOpenError(uint32_t code, const QString& path) {
    switch (code) {
        case unrar::ERAR_NO_MEMORY:
            return showError(QStringLiteral("Not enough memory"));
        case unrar::ERAR_BAD_DATA:
            return showError(path + QStringLiteral(": archive header broken"));
        case unrar::ERAR_BAD_ARCHIVE:
            return showError(path + QStringLiteral(" is not RAR archive"));
        case unrar::ERAR_EOPEN:
            return showError(QStringLiteral("Cannot open ") + path);
        default:
            // An archive whose headers are encrypted cannot be read without a password.
            if (code == unrar::ERAR_MISSING_PASSWORD || code == unrar::ERAR_BAD_PASSWORD)
                return showError(path + QStringLiteral(": 암호가 걸린 압축파일은 열 수 없습니다."));
            if (code != unrar::ERAR_SUCCESS) m_failed = true;
    }
}

void Cls_Rar::reportProcessError(int code) {
    static const char* const texts[] = {
        "CRC error",         "Bad volume",        "Unknown archive format",
        "Volume open error", "File create error", "File close error",
        "Read error",        "Write error"};
    if (code >= unrar::ERAR_BAD_DATA && code <= unrar::ERAR_EWRITE)
        showError(QString::fromLatin1(texts[code - unrar::ERAR_BAD_DATA]));
}

unrar::HANDLE Cls_Rar::open(uint32_t mode, const QString& path, const QString& password) {
    unrar::RAROpenArchiveData data;
    data.ArcName = path.toStdString();
    data.OpenMode = mode;
    unrar::HANDLE archive = unrar::RAROpenArchive(&data);
    if (data.OpenResult != unrar::ERAR_SUCCESS || !archive) {
        reportOpenError(data.OpenResult ? data.OpenResult : unrar::ERAR_EOPEN, path);
        if (archive) unrar::RARCloseArchive(archive);
        return nullptr;
    }
    if (!password.isEmpty()) unrar::RARSetPassword(archive, password.toStdString().c_str());
    if (data.CmtState == 1)
        m_dialogs.MsgBox(QString::fromStdString(data.CmtBuf), dlg::vbInformation,
                         QStringLiteral("Comment"));
    return archive;
}

void Cls_Rar::Rar_Directory() {
    m_entries.clear();
    unrar::HANDLE archive = open(unrar::RAR_OM_LIST, m_rarFile, QString());
    if (!archive) return;
    unrar::RARHeaderData header;
    int read = unrar::RARReadHeader(archive, &header);
    while (read == unrar::ERAR_SUCCESS && int(m_entries.size()) < kMaxEntries) {
        const QString name = QString::fromUtf8(header.FileName);
        // A link keeps its place in the archive's order but has no name: it is no book to offer.
        m_entries.push_back({cleaned(folderPart(name)),
                             header.Regular ? cleaned(ParseFilename(name)) : QString(), false,
                             header.UnpSize == 0xFFFFFFFFu ? -1 : int64_t(header.UnpSize),
                             header.FileCRC});
        const int skipped = unrar::RARProcessFile(archive, unrar::RAR_SKIP, "", "");
        if (skipped != unrar::ERAR_SUCCESS) {
            reportProcessError(skipped);
            if (m_failed) break;
        }
        read = unrar::RARReadHeader(archive, &header);
    }
    if (read == unrar::ERAR_BAD_DATA) showError(QStringLiteral("File header broken"));
    unrar::RARCloseArchive(archive);
}

void Cls_Rar::UnCompressRAR(int32_t, const QString& rarFile, const QString& desPath,
                            const QString& password, int32_t) {
    m_lastProblem = unrar::ERAR_SUCCESS;
    unrar::HANDLE archive = open(unrar::RAR_OM_EXTRACT, rarFile, password);
    if (!archive) {
        m_lastProblem = unrar::ERAR_EOPEN;
        return;
    }
    int read = unrar::ERAR_SUCCESS;
    unrar::RARHeaderData header;
    // A 32-bit counter: a 16-bit one would wrap past the last of 32,767 entries.
    for (int i = 1; i <= Get_FileCount(); ++i) {
        read = unrar::RARReadHeader(archive, &header);
        if (read != unrar::ERAR_SUCCESS) break;
        const Entry& e = at(i);
        if (!e.selected) {
            unrar::RARProcessFile(archive, unrar::RAR_SKIP, "", "");
            continue;
        }
        // Only a name that stays a plain file inside the folder is ever written.
        if (encodings::flatEntryName(e.name) != e.name || e.name.isEmpty()) {
            unrar::RARProcessFile(archive, unrar::RAR_SKIP, "", "");
            m_lastProblem = unrar::ERAR_ECREATE;
            continue;
        }
        const QString target = desPath + QLatin1Char('/') + e.name;
        if (!desPath.isEmpty() && !e.name.isEmpty() && QFile::exists(target)) QFile::remove(target);
        const int done =
            unrar::RARProcessFile(archive, unrar::RAR_EXTRACT, "", target.toStdString().c_str());
        if (done != unrar::ERAR_SUCCESS) m_lastProblem = done;
    }
    if (read == unrar::ERAR_BAD_DATA) {
        m_lastProblem = read;
        showError(QStringLiteral("File header broken"));
    }
    unrar::RARCloseArchive(archive);
}
