// Choosing and opening documents.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>

#include "forms/Image.h"
#include "window/Frm_TxtViewer.h"

namespace {

// The extension of a path: the last piece after a ".", lower-cased, with the dot.
QString extensionOf(const QString& path) {
    return QLatin1Char('.') + path.split(QLatin1Char('.')).last().toLower();
}

bool IsTextExtension(const QString& extension) {
    return extension == QLatin1String(".txt");
}

}  // namespace

// The folder of the book read last (of its archive, for an entry), where the next one most
// likely is; "" lets the dialog choose.
QString Frm_TxtViewer::lastFolder() const {
    const QString from = ArchivePath.isEmpty() ? DocumentPath : ArchivePath.trimmed();
    const QFileInfo info(from);
    return from.isEmpty() || !info.dir().exists() ? QString() : info.absolutePath();
}

QString Frm_TxtViewer::ChooseDocumentFile() {
    const QString path =
        m_dialogs.ShowOpen(QStringLiteral("Text (*.txt) 압축파일 (*.zip;*.rar)|*.zip;*.rar;*.txt|"),
                           QStringLiteral("열기"), lastFolder());
    QCoreApplication::processEvents();
    return path;
}

void Frm_TxtViewer::CmdOpen_Action() {
    const QString path = ChooseDocumentFile();
    if (path.isEmpty()) return;
    List1->clear();
    ReadingSettings.BookmarkSet = 0;
    ReadingSettings.BookmarkPosition = 0;
    ReadingSettings.BookmarkEntry = 0;
    OpenDocument(path, -1);
}

void Frm_TxtViewer::OpenDocument(const QString& path, int32_t entryIndex) {
    Q_UNUSED(entryIndex);  // TODO: archives select this entry of their list.
    CmdList->setEnabled(false);
    if (path.isEmpty()) return;
    const QString extension = extensionOf(path);
    if (extension != ".zip" && extension != ".rar" && IsTextExtension(extension)) {
        ArchivePath.clear();
        CmdList->setPicture(skinPicture(QStringLiteral("b_listview_grey.bmp")));
        setPageButtons(false);
        ArchiveKind = -1;
        DocumentPath = path;
        CurrentPage = 1;
        ShowDocument();
        return;
    }
    // TODO: ZIP and RAR archives are listed and extracted here; until then the user hears why
    // nothing opens.
    if (extension == ".zip" || extension == ".rar")
        m_dialogs.MsgBox(
            QStringLiteral("압축파일(zip, rar)은 아직 열 수 없습니다.\n텍스트 파일(txt)을 "
                           "선택해 주십시오."),
            dlg::vbInformation, QStringLiteral("루모북"));
}
