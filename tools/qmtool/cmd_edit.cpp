// Editing commands: each stages its change in a change set exactly as the editor would, then
// runs the editor's whole Save sequence on the directory. Any failure changes no file.
#include "toolcontext.h"

#include "artcodec.h"
#include "commandparser.h"
#include "changeset.h"
#include "imageimport.h"
#include "indexfile.h"
#include "itemsource.h"
#include "rewrite.h"
#include "savecheckpoint.h"
#include "savetransaction.h"

#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cstdlib>
#include <limits>

using namespace qm;

namespace {

// Test seam for the crash tests: QMTOOL_SAVE_CRASH_AT=N ends the process at once, as a power
// cut would, at the N-th point where a save can be interrupted; QMTOOL_SAVE_FAIL_AT=N makes
// that point fail like an I/O error.
void installTestHooks()
{
    const int crashAt = qEnvironmentVariableIntValue("QMTOOL_SAVE_CRASH_AT");
    const int failAt = qEnvironmentVariableIntValue("QMTOOL_SAVE_FAIL_AT");
    if (crashAt <= 0 && failAt <= 0)
        return;
    setSaveCheckpointHook([crashAt, failAt, count = 0](const char*) mutable {
        ++count;
        if (count == crashAt)
            std::_Exit(86);
        return count != failAt;
    });
}

// The parts every editing command shares: its parser, the directory's catalogues and the
// change set the command stages.
struct Edit {
    ToolContext& ctx;
    CommandParser parser;
    QStringList args;
    Catalogues catalogues;
    ChangeSet changes;

    Edit(ToolContext& c, const QString& synopsis, const QString& description)
        : ctx(c)
        , parser(c, synopsis, description)
    {
    }

    // Parses the command line and reads the catalogues. Returns -1 to go on, else the exit
    // code to end with.
    int parse(int minArgs, int maxArgs = std::numeric_limits<int>::max())
    {
        const int parsed = parser.parse(minArgs, maxArgs);
        if (parsed >= 0)
            return parsed;
        if (!parser.requireDirectory())
            return ExitData;
        args = parser.positional();
        catalogues = readCatalogues(ctx.dir);
        return -1;
    }

    int usage(const QString& message) { return parser.usageError(message); }
    int fail(const QString& message) { return parser.dataError(message); }

    int save() { return saveStaged(ctx, catalogues, changes); }
};

// A number as the editor's fields take it: decimal, or hexadecimal after 0x.
bool parseNumber(const QString& text, qint64 low, qint64 high, qint64* value)
{
    bool ok = false;
    const qint64 v = parseTypedNumber(text, &ok);
    if (!ok || v < low || v > high)
        return false;
    *value = v;
    return true;
}

// Applies the FIELD=VALUE arguments from `first` on through `set`. False after reporting a
// usage error.
template <typename Setter>
bool applyAssignments(Edit& edit, int first, Setter&& set)
{
    for (int i = first; i < edit.args.size(); ++i) {
        const QString& arg = edit.args[i];
        const int eq = arg.indexOf(QLatin1Char('='));
        QString error;
        if (eq <= 0) {
            edit.usage(QStringLiteral("'%1' is not FIELD=VALUE").arg(arg));
            return false;
        }
        if (!set(arg.left(eq).trimmed(), arg.mid(eq + 1), &error)) {
            edit.usage(error);
            return false;
        }
    }
    return true;
}

} // namespace

int cmdImportImage(ToolContext& ctx)
{
    Edit edit(ctx, QStringLiteral("import-image KIND ID FILE"),
              QStringLiteral("Replaces the image of an item by a picture file and saves. The picture is "
                             "brought to the item's kind as the editor's image page does: land tiles "
                             "smooth-scaled to 44x44 and masked to the diamond, textures to 64x64 or "
                             "128x128, statics and gumps kept at their size. A free id gets a new entry."));
    if (const int done = edit.parse(3, 3); done >= 0)
        return done;
    int kind = 0;
    int id = 0;
    if (!edit.parser.itemArguments(&kind, &id))
        return ExitUsage;

    QImageReader reader(edit.args[2]);
    const QImage picture = reader.read();
    if (picture.isNull())
        return edit.fail(QStringLiteral("cannot read the picture '%1': %2").arg(edit.args[2], reader.errorString()));
    const QImage image = prepareImportedImage(kind, picture);
    QString why;
    if (!canEncode(kind, image, &why))
        return edit.fail(QStringLiteral("%1 cannot hold this picture: %2").arg(itemName(kind, id), why));

    edit.changes.images[kind].insert(id, image);
    edit.catalogues.list(kind, id);
    return edit.save();
}

int cmdDelete(ToolContext& ctx)
{
    Edit edit(ctx, QStringLiteral("delete KIND ID..."),
              QStringLiteral("Deletes entries and saves: their index records become empty and their "
                             "data is dropped."));
    if (const int done = edit.parse(2); done >= 0)
        return done;
    int kind = 0;
    if (!edit.parser.kindArgument(edit.args[0], &kind))
        return ExitUsage;
    QVector<int> ids;
    for (int i = 1; i < edit.args.size(); ++i) {
        int id = 0;
        if (!edit.parser.idArgument(kind, edit.args[i], &id))
            return ExitUsage;
        if (!edit.catalogues.isListed(kind, id))
            return edit.fail(QStringLiteral("%1 has no entry; no file was changed").arg(itemName(kind, id)));
        ids.append(id);
    }
    QVector<int>& listed = edit.catalogues.listed[kind];
    listed.erase(std::remove_if(listed.begin(), listed.end(), [&](int id) { return ids.contains(id); }),
                 listed.end());
    return edit.save();
}

namespace {

// Sets one field of a tile record; false with `error` when the field or value is wrong.
bool setTileField(int kind, tile_struct& tile, const QString& field, const QString& value, QString* error)
{
    const QString f = field.toLower();
    if (f == QLatin1String("name")) {
        const QByteArray latin1 = value.toLatin1();
        if (QString::fromLatin1(latin1) != value || latin1.size() > kTileNameSize) {
            *error = QStringLiteral("a name is at most 20 Latin-1 characters");
            return false;
        }
        tile.name = value;
        return true;
    }
    struct Field {
        const char* name;
        bool land;
        bool statik;
        qint64 max;
    };
    static const Field fields[] = {
        { "flags", true, true, 0xffffffffLL }, { "texid", true, false, 0xffff },
        { "weight", false, true, 0xff },       { "quality", false, true, 0xff },
        { "quantity", false, true, 0xff },     { "unk", false, true, 0xffff },
        { "unk1", false, true, 0xff },         { "animid", false, true, 0xffff },
        { "hue", false, true, 0xff },          { "unk2", false, true, 0xffff },
        { "unk3", false, true, 0xff },         { "height", false, true, 0xff },
    };
    const Field* found = nullptr;
    for (const Field& candidate : fields)
        if (f == QLatin1String(candidate.name))
            found = &candidate;
    if (!found || !(kind == Land ? found->land : found->statik)) {
        *error = QStringLiteral("%1 tiles have no field '%2'").arg(kindName(kind), field);
        return false;
    }
    qint64 v = 0;
    if (!parseNumber(value, 0, found->max, &v)) {
        *error = QStringLiteral("'%1' is no value for %2 (0 to %3, decimal or 0x hex)").arg(value, field).arg(found->max);
        return false;
    }
    const QLatin1String name(found->name);
    if (name == QLatin1String("flags")) tile.flags = quint32(v);
    else if (name == QLatin1String("texid")) tile.texid = quint16(v);
    else if (name == QLatin1String("weight")) tile.weight = quint8(v);
    else if (name == QLatin1String("quality")) tile.quality = quint8(v);
    else if (name == QLatin1String("quantity")) tile.quantity = quint8(v);
    else if (name == QLatin1String("unk")) tile.unk = quint16(v);
    else if (name == QLatin1String("unk1")) tile.unk1 = quint8(v);
    else if (name == QLatin1String("animid")) tile.animid = quint16(v);
    else if (name == QLatin1String("hue")) tile.hue = quint8(v);
    else if (name == QLatin1String("unk2")) tile.unk2 = quint16(v);
    else if (name == QLatin1String("unk3")) tile.unk3 = quint8(v);
    else tile.height = quint8(v);
    return true;
}

// Sets one field of an animation record. Values are signed bytes; 128 to 255 are taken as
// the byte they name (0xff is -1).
bool setAnimField(anim_st& anim, const QString& field, const QString& value, QString* error)
{
    const QString f = field.toLower();
    auto byteOf = [&](const QString& text, qint8* out) {
        qint64 v = 0;
        if (!parseNumber(text, -128, 255, &v)) {
            *error = QStringLiteral("'%1' is no value for %2 (-128 to 255, decimal or 0x hex)").arg(text, field);
            return false;
        }
        *out = qint8(quint8(v));
        return true;
    };
    if (f == QLatin1String("frames")) {
        const QStringList values = value.split(QLatin1Char(','));
        if (values.size() > int(anim.frames.size())) {
            *error = QStringLiteral("at most 64 frames");
            return false;
        }
        for (int i = 0; i < values.size(); ++i)
            if (!byteOf(values[i], &anim.frames[size_t(i)]))
                return false;
        return true;
    }
    if (f == QLatin1String("frameunknown") || f == QLatin1String("unknown"))
        return byteOf(value, &anim.frameUnknown);
    if (f == QLatin1String("framecount") || f == QLatin1String("count"))
        return byteOf(value, &anim.frameCount);
    if (f == QLatin1String("frameinterval") || f == QLatin1String("interval"))
        return byteOf(value, &anim.frameInterval);
    if (f == QLatin1String("framestart") || f == QLatin1String("start"))
        return byteOf(value, &anim.frameStart);
    *error = QStringLiteral("animation data has no field '%1'").arg(field);
    return false;
}

} // namespace

int cmdSetTile(ToolContext& ctx)
{
    Edit edit(ctx, QStringLiteral("set-tile land|static ID FIELD=VALUE..."),
              QStringLiteral("Edits the tile data of a land or static tile and saves. Fields as 'qmtool "
                             "tile' names them: land name, flags, texid; static name, flags, weight, "
                             "quality, quantity, unk, unk1, animid, hue, unk2, unk3, height. Numbers are "
                             "decimal or hexadecimal after 0x; name=TEXT takes at most 20 Latin-1 "
                             "characters. Fields not named keep their values."));
    if (const int done = edit.parse(3); done >= 0)
        return done;
    int kind = 0;
    int id = 0;
    if (!edit.parser.kindArgument(edit.args[0], &kind))
        return ExitUsage;
    if (!hasTileData(kind))
        return edit.usage(QStringLiteral("tile data belongs to land and static tiles only"));
    if (!edit.parser.idArgument(kind, edit.args[1], &id))
        return ExitUsage;

    qint64 size = -1;
    switch (tileDataState(ctx.dir, &size)) {
    case TileDataState::Missing:
        return edit.fail(QStringLiteral("tiledata.mul is missing; no file was changed"));
    case TileDataState::OtherLayout:
        return edit.fail(QStringLiteral("tiledata.mul (%1 bytes) has a layout this program cannot "
                                        "write; no file was changed").arg(size));
    case TileDataState::Writable:
        break;
    }

    tile_struct tile = currentTile(ctx.dir, edit.changes, kind, id);
    if (!applyAssignments(edit, 2, [&](const QString& field, const QString& value, QString* error) {
            return setTileField(kind, tile, field, value, error);
        }))
        return ExitUsage;
    edit.changes.tiles[kind].insert(id, tile);
    return edit.save();
}

int cmdSetAnim(ToolContext& ctx)
{
    Edit edit(ctx, QStringLiteral("set-anim ID FIELD=VALUE... [frames=v0,v1,...]"),
              QStringLiteral("Edits the animation data of a static tile and saves. Fields: frameUnknown, "
                             "frameCount, frameInterval, frameStart (or unknown, count, interval, start) "
                             "and frames=v0,v1,... which sets the first frames and keeps the others. "
                             "Values are -128 to 255, decimal or hexadecimal after 0x."));
    if (const int done = edit.parse(2); done >= 0)
        return done;
    int id = 0;
    if (!edit.parser.idArgument(Static, edit.args[0], &id))
        return ExitUsage;
    anim_st anim = currentAnim(ctx.dir, edit.changes, id);
    if (!applyAssignments(edit, 1, [&](const QString& field, const QString& value, QString* error) {
            return setAnimField(anim, field, value, error);
        }))
        return ExitUsage;
    edit.changes.animEntries.insert(id, anim);
    return edit.save();
}

int saveStaged(ToolContext& ctx, const Catalogues& catalogues, ChangeSet& changes)
{
    installTestHooks();
    QString error;
    QStringList notes;
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        if (!catalogueSafeToSave(ctx.dir, catalogues.indexRead[kind], kind, &error)) {
            ctx.err << "qmtool: " << error << "; no file was changed" << Qt::endl;
            return ExitData;
        }
    }
    const bool writable = tileDataState(ctx.dir) == TileDataState::Writable;
    const bool ok = saveAll(ctx.dir, catalogues.listed, changes, writable, &error, &notes);
    for (const QString& note : notes)
        ctx.err << "qmtool: " << note << Qt::endl;
    if (!ok) {
        ctx.err << "qmtool: " << error << "; no file was changed" << Qt::endl;
        return ExitData;
    }
    return ExitOk;
}

int cmdSave(ToolContext& ctx)
{
    Edit edit(ctx, QStringLiteral("save"),
              QStringLiteral("Rewrites the data files without edits: drops the space of deleted and "
                             "replaced entries. Files already compact are left alone."));
    const int done = edit.parse(0, 0);
    return done >= 0 ? done : edit.save();
}

bool prepareDirectory(ToolContext& ctx)
{
    if (!QFileInfo(ctx.dir).isDir())
        return true;   // the command itself says what is missing
    QStringList report;
    QString error;
    const bool ok = recoverInterruptedSave(ctx.dir, &report, &error);
    for (const QString& line : report)
        ctx.err << "qmtool: " << line << Qt::endl;
    if (!ok)
        ctx.err << "qmtool: " << error << Qt::endl;
    return ok;
}
