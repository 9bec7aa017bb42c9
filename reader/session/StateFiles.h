#pragma once
// The settings file "txtlumoinfo.txt" (one 86-byte ReadingSettings record) and the document
// file "txtlumofile.txt" (four CR LF lines). Strings are UTF-8, the system code page here.
// Every file is written to a temporary file beside it and renamed over the old one, so a
// failure halfway or a power cut leaves the previous content whole.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace statefiles {

constexpr int kSettingsSize = 86;
constexpr int kFontNameBytes = 50;
constexpr const char* kSettingsFile = "txtlumoinfo.txt";
constexpr const char* kDocumentFile = "txtlumofile.txt";

// The appearance and bookmark record; zero-filled at process start.
struct ReadingSettings {
    QByteArray FontName = QByteArray(kFontNameBytes, '\0');  // exactly 50 bytes
    int16_t FontSize = 0;
    int32_t TextColor = 0;
    int32_t PageColor = 0;
    int16_t FontBold = 0;
    int16_t SpacingValue0 = 0;
    int16_t LineSpacing = 0;
    int16_t BookmarkSet = 0;
    int32_t BookmarkPosition = 0;
    int32_t Reserved = 0;
    int32_t BookmarkEntry = 0;
    int16_t SpacingIndex0 = 0;
    int16_t LineSpacingIndex = 0;
    int16_t FontSizeIndex = 0;

    // The name with every NUL removed and blanks trimmed at both ends.
    QString cleanFontName() const;
    // Stores name as UTF-8, cut on a character boundary to 50 bytes and padded with blanks.
    void setFontName(const QString& name);
};

QByteArray encode(const ReadingSettings& s);
// Nothing when bytes are shorter than the record: a short file counts as absent.
std::optional<ReadingSettings> decode(const QByteArray& bytes);

struct DocumentState {
    QString documentPath;
    int16_t archiveKind = -1;
    QString archivePath;
    int32_t entryIndex = -1;
};

// Numbers as the classic Print writes them: "-1 ", " 0 ".
QByteArray formatNumber(int64_t v);
QByteArray encodeDocument(const DocumentState& d);
// Missing lines and malformed numbers fall back to the defaults; nothing when no line is there.
std::optional<DocumentState> decodeDocument(const QByteArray& bytes);

// Reads a whole state file; nothing when it cannot be opened or is no regular file of at most
// 64 KiB. A link at the name is no file: it is never followed.
std::optional<QByteArray> readFile(const QString& path);
// Replaces path with bytes through a new temporary file in the same folder, synced to the disk
// with the folder after the rename; the file keeps the permissions of the one it replaces.
// A link at the name is replaced, its target left alone. False, with errno saying why, on any
// failure: the old file is then untouched and no temporary file is left.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace statefiles
