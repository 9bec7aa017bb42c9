#pragma once
// A throwaway application folder for one test: the built skin, banner and control library.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class AppFolder {
public:
    AppFolder() {
        const QString app = QStringLiteral(TL_APP_DIR);
        QFile::link(app + "/skin", m_dir.filePath("skin"));
        QFile::link(app + "/banner", m_dir.filePath("banner"));
        QFile::link(app + "/ocx", m_dir.filePath("ocx"));
    }
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
