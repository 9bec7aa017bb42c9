#include "documents/ArchiveShelf.h"

#include <algorithm>

#include "documents/ClearFolder.h"
#include "documents/Cls_Rar.h"
#include "documents/cUnzip.h"
#include "encodings/DocumentText.h"
#include "files/Files.h"

ArchiveShelf::ArchiveShelf(dlg::Dialogs& dialogs, QString extractFolder)
    : m_dialogs(dialogs), m_folder(std::move(extractFolder)) {}

ArchiveShelf::~ArchiveShelf() = default;

void ArchiveShelf::createArchiveObjects() {
    zipObject = std::make_unique<cUnzip>();
    rarObject = std::make_unique<Cls_Rar>(m_dialogs);
}

void ArchiveShelf::releaseArchiveObjects() {
    zipObject.reset();
    rarObject.reset();
}

ArchiveEntries ArchiveShelf::VBZip_ArchiveUpdate(const QString& path, QString* problem) {
    if (!zipObject) createArchiveObjects();
    zipObject->setZipFile(path);
    zipObject->Directory();
    ArchiveEntries entries;
    const int32_t n = std::min(zipObject->FileCount(), int32_t(archivelist::kMaxEntries));
    for (int32_t i = 1; i <= n; ++i)
        entries.push_back({zipObject->FileName(i), zipObject->FileDirectory(i), QString(),
                           zipObject->FileSize(i), zipObject->FileCRC(i)});
    if (entries.empty()) {
        const int32_t result = zipObject->lastResult();
        *problem = result == unzip::PK_OK || result == unzip::PK_FIND
                       ? QStringLiteral("압축파일이 비어 있습니다.\n%1").arg(path)
                       : QStringLiteral(
                             "압축파일을 열 수 없습니다. 손상되었거나 지원하지 않는 "
                             "형식입니다.\n%1")
                             .arg(path);
    }
    return entries;
}

ArchiveEntries ArchiveShelf::VBUnRar_ArchiveUpdate(const QString& path,
                                                              QString* problem) {
    if (!rarObject) createArchiveObjects();
    rarObject->setRarFile(path);
    rarObject->Rar_Directory();
    ArchiveEntries entries;
    // The box of the library's error was shown already; the archive is abandoned.
    *problem = QString();
    if (rarObject->failed()) return entries;
    for (int i = 1; i <= rarObject->Get_FileCount(); ++i)
        entries.push_back({rarObject->RarFileName(i), rarObject->RarFolderName(i), QString(),
                           rarObject->RarFileSize(i), rarObject->RarFileCRC(i)});
    if (entries.empty()) *problem = QStringLiteral("압축파일이 비어 있습니다.\n%1").arg(path);
    return entries;
}

bool ArchiveShelf::prepareTmpZip() {
    if (EmptyExtractFolder(m_folder)) return true;
    m_dialogs.MsgBox(m_folder + QStringLiteral(" does not exist!"), dlg::vbCritical,
                     QStringLiteral("Extract folder does not exist"));
    return false;
}

namespace {

enum class Problem { Encrypted, TooLarge, Write, Other };

Problem zipProblem(int32_t result) {
    switch (result) {
        case unzip::IZ_BADPWD:
            return Problem::Encrypted;
        case unzip::kTooLarge:
            return Problem::TooLarge;
        case unzip::PK_DISK:
            return Problem::Write;
        default:
            return Problem::Other;
    }
}

Problem rarProblem(int code) {
    switch (code) {
        case unrar::ERAR_MISSING_PASSWORD:
        case unrar::ERAR_BAD_PASSWORD:
            return Problem::Encrypted;
        case unrar::ERAR_TOO_LARGE:
            return Problem::TooLarge;
        case unrar::ERAR_ECREATE:
        case unrar::ERAR_EWRITE:
            return Problem::Write;
        default:
            return Problem::Other;
    }
}

// What the reader tells the user when an entry could not be extracted.
QString problemText(const QString& name, Problem problem) {
    switch (problem) {
        case Problem::Encrypted:
            return QStringLiteral("암호가 걸린 파일은 열 수 없습니다.\n%1").arg(name);
        case Problem::TooLarge:
            return TooLargeText(name);
        case Problem::Write:
            return QStringLiteral(
                       "임시 폴더에 압축을 풀 수 없습니다. 디스크 공간과 권한을 "
                       "확인해 주십시오.\n%1")
                .arg(name);
        case Problem::Other:
            break;
    }
    return QStringLiteral(
               "압축을 풀 수 없습니다. 압축파일이 손상되었거나 지원하지 않는 "
               "형식입니다.\n%1")
        .arg(name);
}

}  // namespace

std::optional<QString> ArchiveShelf::ExtractZipEntry(const OpenBook& book, const QString& name) {
    if (!prepareTmpZip()) return QString();
    // The object may hold the listing of an archive that failed to open since.
    if (zipObject->ZipFile() != book.archivePath) {
        zipObject->setZipFile(book.archivePath);
        zipObject->Directory();
    }
    const int32_t n = std::min<int32_t>(zipObject->FileCount(), int32_t(book.entries.size()));
    for (int32_t i = 1; i <= n; ++i)
        zipObject->setFileSelected(i, book.entries[size_t(i - 1)].TextName == name);
    zipObject->setUnzipFolder(m_folder);
    zipObject->Unzip();
    if (files::FileExists(m_folder + QLatin1Char('/') + name)) return std::nullopt;
    return problemText(name, zipProblem(zipObject->lastResult()));
}

std::optional<QString> ArchiveShelf::ExtractRarEntry(const OpenBook& book, const QString& name) {
    if (!prepareTmpZip()) return QString();
    if (rarObject->RarFile() != book.archivePath || rarObject->Get_FileCount() == 0) {
        rarObject->setRarFile(book.archivePath);
        rarObject->Rar_Directory();
    }
    const int n = int(std::min<size_t>(size_t(rarObject->Get_FileCount()), book.entries.size()));
    for (int i = 1; i <= n; ++i)
        rarObject->setRarSelected(i, book.entries[size_t(i - 1)].TextName == name);
    rarObject->UnCompressRAR(0, rarObject->RarFile(), m_folder, QString(), 0);
    if (files::FileExists(m_folder + QLatin1Char('/') + name)) return std::nullopt;
    // A library error was shown in its own box already.
    if (rarObject->failed()) return QString();
    return problemText(name, rarProblem(rarObject->lastProblem()));
}

std::optional<QString> ArchiveShelf::extract(const OpenBook& book, const QString& name) {
    if (!zipObject || !rarObject) createArchiveObjects();
    return book.archiveKind != 0 ? ExtractRarEntry(book, name) : ExtractZipEntry(book, name);
}
