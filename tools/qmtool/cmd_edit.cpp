// Editing commands: each makes its edit in an edit session, exactly as the editor's windows
// do, and saves it through the session's one transaction. Any failure changes no file.
#include "tooledit.h"

#include "imageimport.h"
#include "picturefile.h"
#include "savecheckpoint.h"
#include "savetransaction.h"
#include "tiledata.h"
#include "tilefields.h"
#include "typednumber.h"

#include <QFileInfo>

#include <cstdlib>
#include <functional>
#include <vector>

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

} // namespace

int editAndSave(ToolContext& ctx, CommandParser& cmd, const EditSession::Reapply& edit)
{
    if (!cmd.requireDirectory())
        return ExitData;
    installTestHooks();
    EditSession session;
    EditSession::OpenReport report;
    session.open(ctx.dir, &report);
    QString error;
    QStringList notes;
    const bool ok = edit(session, &error) && session.save(&error, &notes, edit);
    if (ok)
        notes = report.catalogueWarnings + notes;   // what the save left alone, and why
    for (const QString& note : notes)
        ctx.err << "qmtool: " << note << Qt::endl;
    if (!ok)
        return cmd.dataError(error + QStringLiteral("; no file was changed"));
    return ExitOk;
}

namespace {

// The FIELD=VALUE arguments from `first` on, each checked and turned into a change of a
// record by `parseOne`. False after reporting a usage error.
template <typename Record, typename Parse>
bool parseAssignments(CommandParser& cmd, int first, Parse&& parseOne,
                      std::vector<std::function<void(Record&)>>* changes)
{
    const QStringList args = cmd.positional();
    for (int i = first; i < args.size(); ++i) {
        const int eq = args[i].indexOf(QLatin1Char('='));
        if (eq <= 0) {
            cmd.usageError(QStringLiteral("'%1' is not FIELD=VALUE").arg(args[i]));
            return false;
        }
        QString error;
        std::function<void(Record&)> change;
        if (!parseOne(args[i].left(eq).trimmed(), args[i].mid(eq + 1), &change, &error)) {
            cmd.usageError(error);
            return false;
        }
        changes->push_back(change);
    }
    return true;
}

// One field of a tile record, as the tile field table describes it; the flags are as wide as
// `layout` stores them and replace all the record's flag bits.
bool parseTileAssignment(ItemKind kind, TileLayout layout, const QString& field, const QString& value,
                         std::function<void(tile_struct&)>* change, QString* error)
{
    if (field.compare(QLatin1String("name"), Qt::CaseInsensitive) == 0) {
        const QByteArray latin1 = value.toLatin1();
        if (QString::fromLatin1(latin1) != value || latin1.size() > kTileNameSize) {
            *error = QStringLiteral("a name is at most 20 Latin-1 characters");
            return false;
        }
        *change = [value](tile_struct& t) { t.name = value; };
        return true;
    }
    const TileField* f = findTileField(kind, field);
    if (!f) {
        *error = QStringLiteral("%1 tiles have no field '%2'").arg(kindName(kind), field);
        return false;
    }
    const quint64 max = tileFieldMax(*f, tileFlagsBytes(layout));
    quint64 v = 0;
    if (!parseUnsignedNumber(value, max, &v)) {
        *error = QStringLiteral("'%1' is no value for %2 (0 to %3, decimal or 0x hex)").arg(value, field).arg(max);
        if (f->bytes == 0 && layout != TileLayout::Wide && parseUnsignedNumber(value, ~quint64(0), &v))
            *error += QStringLiteral(": tiledata.mul holds 32 flag bits in its %1 layout").arg(tileLayoutName(layout));
        return false;
    }
    *change = [f, v](tile_struct& t) { f->set(t, v); };
    return true;
}

// One field of an animation record. Values are signed bytes; 128 to 255 are taken as the
// byte they name (0xff is -1).
bool parseAnimAssignment(const QString& field, const QString& value, std::function<void(anim_st&)>* change,
                         QString* error)
{
    auto byteOf = [&](const QString& text, qint8* out) {
        qint64 v = 0;
        if (!parseNumber(text, -128, 255, &v)) {
            *error = QStringLiteral("'%1' is no value for %2 (-128 to 255, decimal or 0x hex)").arg(text, field);
            return false;
        }
        *out = qint8(quint8(v));
        return true;
    };
    const QString f = field.toLower();
    if (f == QLatin1String("frames")) {
        const QStringList values = value.split(QLatin1Char(','));
        if (values.size() > int(anim_st().frames.size())) {
            *error = QStringLiteral("at most 64 frames");
            return false;
        }
        std::vector<qint8> frames(size_t(values.size()));
        for (int i = 0; i < values.size(); ++i)
            if (!byteOf(values[i], &frames[size_t(i)]))
                return false;
        *change = [frames](anim_st& a) { std::copy(frames.begin(), frames.end(), a.frames.begin()); };
        return true;
    }
    qint8 anim_st::*member = nullptr;
    if (f == QLatin1String("frameunknown") || f == QLatin1String("unknown"))
        member = &anim_st::frameUnknown;
    else if (f == QLatin1String("framecount") || f == QLatin1String("count"))
        member = &anim_st::frameCount;
    else if (f == QLatin1String("frameinterval") || f == QLatin1String("interval"))
        member = &anim_st::frameInterval;
    else if (f == QLatin1String("framestart") || f == QLatin1String("start"))
        member = &anim_st::frameStart;
    if (!member) {
        *error = QStringLiteral("animation data has no field '%1'").arg(field);
        return false;
    }
    qint8 byte = 0;
    if (!byteOf(value, &byte))
        return false;
    *change = [member, byte](anim_st& a) { a.*member = byte; };
    return true;
}

} // namespace

int cmdImportImage(ToolContext& ctx, CommandParser& cmd)
{
    ItemKind kind = Land;
    int id = 0;
    if (!cmd.itemArguments(&kind, &id))
        return ExitUsage;
    const QString file = cmd.positional().at(2);
    // The same guarded reader as the editor's Import: a file claiming a huge size is refused
    // before anything is allocated for it.
    QString why;
    const QImage picture = readPictureFile(file, &why);
    if (picture.isNull())
        return cmd.dataError(QStringLiteral("cannot read the picture '%1': %2").arg(file, why));
    const QImage image = prepareImportedImage(kind, picture);
    return editAndSave(ctx, cmd, [&](EditSession& s, QString* error) {
        s.beginStep();
        const bool ok = s.setImage(ItemKind(kind), id, image, error)
            && (s.isListed(ItemKind(kind), id) || s.insert(ItemKind(kind), id, error));
        s.endStep();
        return ok;
    });
}

int cmdDelete(ToolContext& ctx, CommandParser& cmd)
{
    ItemKind kind = Land;
    const QStringList args = cmd.positional();
    if (!cmd.kindArgument(args[0], &kind))
        return ExitUsage;
    QVector<int> ids;
    for (int i = 1; i < args.size(); ++i) {
        int id = 0;
        if (!cmd.idArgument(kind, args[i], &id))
            return ExitUsage;
        ids.append(id);
    }
    return editAndSave(ctx, cmd, [&](EditSession& s, QString* error) {
        for (int id : ids) {
            if (!s.isListed(ItemKind(kind), id)) {
                *error = QStringLiteral("%1 has no entry").arg(itemName(kind, id));
                return false;
            }
        }
        return s.remove(ItemKind(kind), ids, error);
    });
}

int cmdSetTile(ToolContext& ctx, CommandParser& cmd)
{
    ItemKind kind = Land;
    int id = 0;
    if (!cmd.kindArgument(cmd.positional().at(0), &kind))
        return ExitUsage;
    if (!hasTileData(kind))
        return cmd.usageError(QStringLiteral("tile data belongs to land and static tiles only"));
    if (!cmd.idArgument(kind, cmd.positional().at(1), &id))
        return ExitUsage;
    // The flags take as many bits as the directory's tiledata.mul holds; the session checks
    // again when the edit is made.
    const TileLayout layout = tileDataLayout(ctx.dir);
    std::vector<std::function<void(tile_struct&)>> changes;
    if (!parseAssignments<tile_struct>(cmd, 2,
                                       [kind, layout](const QString& f, const QString& v, auto* change, QString* e) {
                                           return parseTileAssignment(kind, layout, f, v, change, e);
                                       },
                                       &changes))
        return ExitUsage;
    return editAndSave(ctx, cmd, [&](EditSession& s, QString* error) {
        // The edit is the command's whole purpose: refused rather than kept unsaved.
        if (!s.tileDataWritable()) {
            *error = s.tileDataReason();
            return false;
        }
        tile_struct tile = s.tile(ItemKind(kind), id);
        for (const auto& change : changes)
            change(tile);
        return s.setTile(ItemKind(kind), id, tile, error);
    });
}

int cmdSetAnim(ToolContext& ctx, CommandParser& cmd)
{
    int id = 0;
    if (!cmd.idArgument(Static, cmd.positional().at(0), &id))
        return ExitUsage;
    std::vector<std::function<void(anim_st&)>> changes;
    if (!parseAssignments<anim_st>(cmd, 1, parseAnimAssignment, &changes))
        return ExitUsage;
    return editAndSave(ctx, cmd, [&](EditSession& s, QString* error) {
        anim_st anim = s.anim(id);
        for (const auto& change : changes)
            change(anim);
        return s.setAnim(id, anim, error);
    });
}

int cmdSave(ToolContext& ctx, CommandParser& cmd)
{
    return editAndSave(ctx, cmd, [](EditSession&, QString*) { return true; });
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
