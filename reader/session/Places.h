#pragma once
// Where the reader finds its pictures and its page bar, and where it keeps its state files and
// extracts archive entries.
//
// Started from a built application folder (the executable beside skin/ and ocx/) that it can
// write, everything is beside the program. Installed (bin/ beside share/qm-textlumo/ and
// lib/qm-textlumo/), or in an application folder it cannot write, the state is the user's own:
// the state files in $XDG_STATE_HOME/qm-textlumo (~/.local/state/qm-textlumo) and the extract
// folder in $XDG_RUNTIME_DIR/qm-textlumo/TmpZip (else $XDG_CACHE_HOME/qm-textlumo/TmpZip,
// ~/.cache/qm-textlumo/TmpZip).

#include <QProcessEnvironment>
#include <QString>

struct Places {
    QString skin;      // the skin bitmaps
    QString banner;    // the banner page's folder
    QString controls;  // the folder holding the page bar's control library
    QString icons;     // a hicolor icon tree holding the window's icon
    QString state;     // the three state files
    QString extract;   // where archive entries are extracted (TmpZip)
    bool perUser = false;

    // Everything in one application folder, as a built folder has it.
    static Places besideProgram(const QString& appPath);
    // The places for an executable in programFolder, with env's XDG variables and HOME.
    static Places forProgram(const QString& programFolder,
                             const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());

    // Makes the per-user folders (mode 0700); false when one cannot be made. Nothing to do
    // beside the program, where the folder is there already.
    bool makeFolders() const;
};

// A private folder of this user's for what lives as long as the session (the single-reader
// socket): $XDG_RUNTIME_DIR/qm-textlumo, else a folder of the user's own in the temporary folder.
QString runtimeFolder(const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());

// Makes folder (and its parents) with mode 0700 when missing; true when it is then a real
// folder owned by this user that only this user can enter.
bool makePrivateFolder(const QString& folder);
