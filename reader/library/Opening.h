#pragma once
// Opening a library file: checked, brought up to this program's schema, set aside and begun
// anew when it is no sound library, or replaced by one in memory where nothing can be written.

#include <QString>
#include <memory>

#include "library/Connection.h"

namespace library {

struct Opened {
    std::unique_ptr<Connection> reader;  // null in memory: the writer's connection serves both
    std::unique_ptr<Connection> writer;  // null only when not even memory could be had
    bool inMemory = false;
    QString problem;  // what the reader is told, in Korean; "" when all went well
};

// Opens folder/fileName, making the folder when it is missing.
Opened openLibrary(const QString& folder, const QString& fileName);
// The version openLibrary brings every library to.
int currentSchemaVersion();
// The name a library file set aside at local time `when` (yyyyMMdd-HHmmss) takes:
// "<path>.broken-<when>", with "-2", "-3", ... after it when that is taken; "" past "-99".
QString setAsideName(const QString& path, const QString& when);

}  // namespace library
