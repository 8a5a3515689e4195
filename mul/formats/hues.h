#pragma once

#include "recordpatch.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

#include <array>

namespace qm {

// hues.mul: whole groups of 708 bytes, a 4-byte header (kept as stored, its use unknown) and
// eight hue entries of 88 bytes. Hues are numbered from 1 in file order; 0 means "no hue".
constexpr int kHueGroupSize = 708;
constexpr int kHueGroupHeaderSize = 4;
constexpr int kHueEntrySize = 88;
constexpr int kHuesPerGroup = 8;
constexpr int kHueColorCount = 32;
constexpr int kHueNameSize = 20;
constexpr int kHueTableStartOffset = 64;
constexpr int kHueNameOffset = 68;
// Installations have this many groups (hues 1 to 3,000), but the count comes from the size.
constexpr int kUsualHueGroups = 375;
// The largest colour an edit may set: bit 15 is unused and stays clear.
constexpr quint16 kMaxHueColor = 0x7FFF;

inline QString hueFileName() { return QStringLiteral("hues.mul"); }

// One hue: 32 colours darkest first, in the art files' 16-bit layout, two numbers of unknown
// meaning, and the name's 20 stored bytes (junk after the terminating zero included, so that
// an untouched name is written back byte for byte).
struct HueEntry {
    std::array<quint16, kHueColorCount> colors {};
    quint16 tableStart = 0;
    quint16 tableEnd = 0;
    QByteArray nameBytes = QByteArray(kHueNameSize, '\0');

    // The name as text: Latin-1 up to the first zero byte, or all 20 bytes without one.
    QString name() const;

    bool operator==(const HueEntry& o) const
    {
        return colors == o.colors && tableStart == o.tableStart && tableEnd == o.tableEnd
            && nameBytes == o.nameBytes;
    }
    bool operator!=(const HueEntry& o) const { return !(*this == o); }
};

// Byte position of hue `hue` (1 and up); -1 for 0 and below.
qint64 hueOffset(int hue);
// The hues a file of `size` bytes holds: 8 per whole group.
int hueCountForSize(qint64 size);
// Whether a file of `size` bytes is sound: whole groups only (an empty file is sound).
inline bool isSoundHueFileSize(qint64 size) { return size >= 0 && size % kHueGroupSize == 0; }

HueEntry parseHueEntry(const char* bytes);     // 88 bytes
QByteArray hueEntryBytes(const HueEntry& hue); // 88 bytes

// What a directory's hues.mul holds. A missing file holds no hues and is no problem; a file
// of a size that is not a multiple of 708 shows the hues of its whole groups but is read-only,
// `problem` saying why in a sentence naming the file.
struct HueFile {
    bool present = false;
    qint64 size = -1;            // -1 when missing
    QVector<HueEntry> hues;      // hue h is hues[h - 1]
    QString problem;             // empty when the file is missing or sound

    int count() const { return int(hues.size()); }
    // No hue can be changed: the file is missing, damaged or unreadable.
    bool isReadOnly() const { return !present || !problem.isEmpty(); }
    bool contains(int hue) const { return hue >= 1 && hue <= count(); }
    // Hue `hue`, or nullptr when the number names none.
    const HueEntry* hue(int hue) const { return contains(hue) ? &hues[hue - 1] : nullptr; }
};

// The hues held by a file's bytes; `fileName` names it in the problem of a damaged size.
HueFile parseHueFile(const QByteArray& bytes, const QString& fileName = hueFileName());
// Reads mulDir/hues.mul whole (about 260 KB in an installation). A file that exists but cannot
// be read is reported like a damaged one: present, no hues, read-only.
HueFile readHueFile(const QString& mulDir);

// Why hue `hue` cannot be read or written in a file of `count` hues; empty when it can.
QString hueNumberProblem(int hue, int count);

// Setting a hue's name as a user types it: at most 20 Latin-1 characters, no zero character.
// Text equal to the current name keeps the stored bytes as they are; other text is written
// followed by zero bytes up to 20. False with `error` (naming the field), entry unchanged.
bool setHueName(HueEntry& hue, const QString& text, QString* error);

// Checks an edit of hue `hue` in a file of `count` hues before it is applied: the number,
// and every colour that differs from `stored` at most 0x7FFF (a colour left as stored keeps
// its value, bit 15 included). The name's bytes must be 20. Empty when the edit is sound, else
// one sentence naming the field.
QString hueEditProblem(int hue, int count, const HueEntry& stored, const HueEntry& edited);

// Applies "field=value" assignments as qmtool's set-hue takes them: name=TEXT,
// colors=c0,...,c31 (all 32; a changed one at most 0x7FFF, one given as stored may keep bit 15),
// tableStart=N, tableEnd=N (0 to 65,535); numbers decimal or hexadecimal after 0x. False with
// `error` (naming the field) and `hue` unchanged on the first bad one. The hue's number is the
// caller's to check (hueNumberProblem).
bool applyHueAssignments(HueEntry& hue, const QStringList& assignments, QString* error);

// The in-place writes that save `changes` (hue number -> entry) into a hues.mul of `fileSize`
// bytes: each changed hue's own 88 bytes, nothing else, in ascending hue order. Refused (false,
// `error` naming the file or the hue) for a damaged size or a number the file does not hold.
bool hueRecordPatches(const QMap<int, HueEntry>& changes, qint64 fileSize, QVector<RecordPatch>* patches,
                      QString* error);
// The same applied to a copy of the whole file: `fileBytes` with the changed entries written
// over it; size and every other byte unchanged. False with `error`, `out` untouched, on a refusal.
bool writeHuesInPlace(const QByteArray& fileBytes, const QMap<int, HueEntry>& changes, QByteArray* out,
                      QString* error);

} // namespace qm
