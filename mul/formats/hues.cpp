#include "hues.h"

#include "indexfile.h"
#include "itemkind.h"
#include "littleendian.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <limits>

namespace qm {

QString HueEntry::name() const
{
    const int end = nameBytes.indexOf('\0');
    return QString::fromLatin1(end < 0 ? nameBytes : nameBytes.left(end));
}

qint64 hueOffset(int hue)
{
    if (hue < 1)
        return -1;
    const qint64 n = hue - 1;
    return (n / kHuesPerGroup) * kHueGroupSize + kHueGroupHeaderSize + (n % kHuesPerGroup) * kHueEntrySize;
}

int hueCountForSize(qint64 size)
{
    if (size <= 0)
        return 0;
    return int(qMin<qint64>(size / kHueGroupSize * kHuesPerGroup, std::numeric_limits<int>::max()));
}

HueEntry parseHueEntry(const char* bytes)
{
    HueEntry h;
    for (int i = 0; i < kHueColorCount; ++i)
        h.colors[size_t(i)] = readU16(bytes + 2 * i);
    h.tableStart = readU16(bytes + kHueTableStartOffset);
    h.tableEnd = readU16(bytes + kHueTableStartOffset + 2);
    h.nameBytes = QByteArray(bytes + kHueNameOffset, kHueNameSize);
    return h;
}

QByteArray hueEntryBytes(const HueEntry& hue)
{
    QByteArray out;
    out.reserve(kHueEntrySize);
    for (quint16 c : hue.colors)
        appendU16(out, c);
    appendU16(out, hue.tableStart);
    appendU16(out, hue.tableEnd);
    // Always 20 bytes, even from an entry built by hand with a short name.
    out.append(hue.nameBytes.left(kHueNameSize));
    out.append(QByteArray(kHueNameSize - qMin<int>(kHueNameSize, int(hue.nameBytes.size())), '\0'));
    return out;
}

HueFile parseHueFile(const QByteArray& bytes, const QString& fileName)
{
    HueFile file;
    file.present = true;
    file.size = bytes.size();
    const int count = hueCountForSize(bytes.size());
    file.hues.reserve(count);
    for (int h = 1; h <= count; ++h)
        file.hues.append(parseHueEntry(bytes.constData() + hueOffset(h)));
    if (!isSoundHueFileSize(bytes.size()))
        file.problem = QStringLiteral("%1 is damaged: its size (%2 bytes) is not a multiple of %3, so only its "
                                      "%4 whole hue(s) are shown and it cannot be changed")
                           .arg(fileName).arg(bytes.size()).arg(kHueGroupSize).arg(count);
    return file;
}

HueFile readHueFile(const QString& mulDir)
{
    QFile f(mulPath(mulDir, hueFileName()));
    if (!f.exists())
        return HueFile();
    const QString shown = QDir::toNativeSeparators(f.fileName());
    if (!f.open(QIODevice::ReadOnly)) {
        HueFile file;
        file.present = true;
        file.size = f.size();
        file.problem = QStringLiteral("%1 cannot be read: %2").arg(shown, f.errorString());
        return file;
    }
    const QByteArray bytes = f.readAll();
    if (bytes.size() != f.size()) {
        HueFile file;
        file.present = true;
        file.size = f.size();
        file.problem = QStringLiteral("%1 cannot be read whole: %2").arg(shown, f.errorString());
        return file;
    }
    return parseHueFile(bytes, shown);
}

QString hueNumberProblem(int hue, int count)
{
    if (count <= 0)
        return QStringLiteral("hue: there are no hues (hues.mul is missing or empty)");
    if (hue < 1 || hue > count)
        return QStringLiteral("hue: %1 names no hue; hues are numbered 1 to %2").arg(hue).arg(count);
    return QString();
}

bool setHueName(HueEntry& hue, const QString& text, QString* error)
{
    if (text == hue.name())
        return true;
    if (text.size() > kHueNameSize) {
        *error = QStringLiteral("name: '%1' is longer than %2 characters").arg(text).arg(kHueNameSize);
        return false;
    }
    for (QChar c : text) {
        if (c.unicode() > 0xFF) {
            *error = QStringLiteral("name: '%1' is not a Latin-1 character").arg(c);
            return false;
        }
        if (c.unicode() == 0) {
            *error = QStringLiteral("name: a zero character would end the name early");
            return false;
        }
    }
    QByteArray bytes = text.toLatin1();
    bytes.append(QByteArray(kHueNameSize - bytes.size(), '\0'));
    hue.nameBytes = bytes;
    return true;
}

QString hueEditProblem(int hue, int count, const HueEntry& stored, const HueEntry& edited)
{
    const QString number = hueNumberProblem(hue, count);
    if (!number.isEmpty())
        return number;
    for (int i = 0; i < kHueColorCount; ++i) {
        const quint16 c = edited.colors[size_t(i)];
        if (c != stored.colors[size_t(i)] && c > kMaxHueColor)
            return QStringLiteral("colors[%1]: 0x%2 is above 0x7FFF").arg(i).arg(c, 4, 16, QLatin1Char('0'));
    }
    if (edited.nameBytes.size() != kHueNameSize)
        return QStringLiteral("name: the stored name must be %1 bytes, not %2").arg(kHueNameSize).arg(edited.nameBytes.size());
    return QString();
}

namespace {

bool parseField16(const QString& field, const QString& text, quint16* value, QString* error)
{
    bool ok = false;
    const qint64 v = parseTypedNumber(text, &ok);
    if (!ok || v < 0 || v > 0xFFFF) {
        *error = QStringLiteral("%1: '%2' is not a number from 0 to 65535").arg(field, text);
        return false;
    }
    *value = quint16(v);
    return true;
}

bool parseColors(const QString& text, std::array<quint16, kHueColorCount>* colors, QString* error)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != kHueColorCount) {
        *error = QStringLiteral("colors: %1 values given, all %2 are needed").arg(parts.size()).arg(kHueColorCount);
        return false;
    }
    for (int i = 0; i < kHueColorCount; ++i) {
        bool ok = false;
        const qint64 v = parseTypedNumber(parts[i], &ok);
        // Up to 0xFFFF here: a colour given as stored keeps bit 15; hueEditProblem refuses
        // a changed one above 0x7FFF.
        if (!ok || v < 0 || v > 0xFFFF) {
            *error = QStringLiteral("colors[%1]: '%2' is not a colour from 0 to 0x7FFF").arg(i).arg(parts[i].trimmed());
            return false;
        }
        (*colors)[size_t(i)] = quint16(v);
    }
    return true;
}

} // namespace

bool applyHueAssignments(HueEntry& hue, const QStringList& assignments, QString* error)
{
    HueEntry edited = hue;
    for (const QString& a : assignments) {
        const int eq = a.indexOf(QLatin1Char('='));
        const QString field = eq < 0 ? a : a.left(eq);
        const QString value = eq < 0 ? QString() : a.mid(eq + 1);
        if (eq < 0) {
            *error = QStringLiteral("'%1' is not FIELD=VALUE").arg(a);
            return false;
        }
        bool ok = true;
        if (field == QLatin1String("name"))
            ok = setHueName(edited, value, error);
        else if (field == QLatin1String("colors"))
            ok = parseColors(value, &edited.colors, error);
        else if (field == QLatin1String("tableStart"))
            ok = parseField16(field, value, &edited.tableStart, error);
        else if (field == QLatin1String("tableEnd"))
            ok = parseField16(field, value, &edited.tableEnd, error);
        else {
            *error = QStringLiteral("'%1' is no hue field: use name, colors, tableStart or tableEnd").arg(field);
            return false;
        }
        if (!ok)
            return false;
    }
    // The number is the caller's to check; here only what the assignments changed.
    const QString problem = hueEditProblem(1, 1, hue, edited);
    if (!problem.isEmpty()) {
        *error = problem;
        return false;
    }
    hue = edited;
    return true;
}

bool hueRecordPatches(const QMap<int, HueEntry>& changes, qint64 fileSize, QVector<RecordPatch>* patches,
                      QString* error)
{
    if (!isSoundHueFileSize(fileSize)) {
        *error = QStringLiteral("hues.mul is damaged (%1 bytes, not a multiple of %2), so it is not written")
                     .arg(fileSize).arg(kHueGroupSize);
        return false;
    }
    const int count = hueCountForSize(fileSize);
    QVector<RecordPatch> out;
    for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
        const QString problem = hueNumberProblem(it.key(), count);
        if (!problem.isEmpty()) {
            *error = problem;
            return false;
        }
        out.append({ hueOffset(it.key()), hueEntryBytes(it.value()) });
    }
    *patches = out;
    return true;
}

bool writeHuesInPlace(const QByteArray& fileBytes, const QMap<int, HueEntry>& changes, QByteArray* out,
                      QString* error)
{
    QVector<RecordPatch> patches;
    if (!hueRecordPatches(changes, fileBytes.size(), &patches, error))
        return false;
    QByteArray patched = fileBytes;
    if (!applyRecordPatches(patched, patches)) {
        *error = QStringLiteral("hues.mul has no room for a changed hue; nothing was written");
        return false;
    }
    *out = patched;
    return true;
}

} // namespace qm
