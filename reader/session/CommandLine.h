#pragma once
// The reader's command line: an optional file to open (a path, relative or absolute, or a
// file:// URL), --help and --version.

#include <QString>
#include <QStringList>

struct Places;

struct CommandLine {
    QString file;        // an absolute path, what names no local file as given, or "" for none
    bool done = false;   // printed what was asked (or what was wrong): end with exitCode
    int exitCode = 0;
    QString output;      // for standard output (exitCode 0) or standard error
};

// arguments as the process got them (the program first); relative paths are taken from
// workingFolder; places shows in --help where the state is kept.
CommandLine parseCommandLine(const QStringList& arguments, const QString& workingFolder,
                             const Places& places);

// An argument naming a file, as an absolute path ("" when it is an address of another kind).
QString fileFromArgument(const QString& argument, const QString& workingFolder);
