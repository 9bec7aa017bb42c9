#pragma once
// The reader's window with archives made on the spot: what the list offers and what it said.

#include <QListWidget>

#include "../common/Controls.h"
#include "../common/ZipWriter.h"
#include "ReaderFixture.h"

class Archives : public Reading {
protected:
    QString zip(const QString& name, const std::vector<std::pair<QString, QByteArray>>& entries) {
        const QString path = folder.file(name);
        EXPECT_TRUE(writeZip(path, entries));
        return path;
    }
    QString tmpZip(const QString& name) const { return folder.file("TmpZip/" + name); }
    QStringList listed() const {
        QStringList items;
        for (int i = 0; i < control<QListWidget>(*window, "List1")->count(); ++i)
            items << control<QListWidget>(*window, "List1")->item(i)->text();
        return items;
    }
    QString lastBox() const {
        const auto boxes = dialogs.shownOf("msgbox");
        return boxes.isEmpty() ? QString() : boxes.last().text;
    }
};
