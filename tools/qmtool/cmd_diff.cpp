// qmtool diff: what differs between the data directory and another one, item by item. The
// other directory is only read.
#include "commandparser.h"
#include "toolcontext.h"

#include "directorydiff.h"
#include "itemkind.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace qm;

namespace {

QString kindKey(int kind) { return kindName(kind).toLower(); }

QString partKey(DiffPart part)
{
    switch (part) {
    case DiffPart::OnlyHere: return QStringLiteral("only-here");
    case DiffPart::OnlyThere: return QStringLiteral("only-there");
    case DiffPart::Picture: return QStringLiteral("picture");
    case DiffPart::Tile: return QStringLiteral("tile");
    case DiffPart::Anim: return QStringLiteral("anim");
    case DiffPart::Unreadable: break;
    }
    return QStringLiteral("unreadable");
}

void printText(ToolContext& ctx, const DiffResult& result)
{
    for (const Difference& d : result.differences)
        ctx.out << kindKey(d.kind) << ' ' << hexId(d.id) << ' ' << differenceText(d) << '\n';
    for (int kind : result.kinds)
        ctx.out << kindKey(kind) << ": " << result.itemCount(kind) << " items differ (" << result.lineCount(kind)
                << " lines)\n";
    ctx.out.flush();
}

void printJson(ToolContext& ctx, const DiffResult& result)
{
    QJsonArray lines;
    for (const Difference& d : result.differences) {
        QJsonObject o { { QStringLiteral("kind"), kindKey(d.kind) },
                        { QStringLiteral("id"), d.id },
                        { QStringLiteral("what"), partKey(d.part) } };
        if (d.part == DiffPart::Tile)
            o.insert(QStringLiteral("fields"), QJsonArray::fromStringList(d.fields));
        if (d.part == DiffPart::Unreadable) {
            o.insert(QStringLiteral("side"), sideName(d.side));
            o.insert(QStringLiteral("reason"), d.reason);
        }
        lines.append(o);
    }
    QJsonObject counts;
    for (int kind : result.kinds)
        counts.insert(kindKey(kind), QJsonObject { { QStringLiteral("items"), result.itemCount(kind) },
                                                   { QStringLiteral("lines"), result.lineCount(kind) } });
    const QJsonObject root { { QStringLiteral("differences"), lines }, { QStringLiteral("counts"), counts } };
    ctx.out << QJsonDocument(root).toJson(QJsonDocument::Indented);
    ctx.out.flush();
}

} // namespace

int cmdDiff(ToolContext& ctx, CommandParser& cmd)
{
    const QStringList args = cmd.positional();
    DiffOptions options;
    for (const QString& text : args.mid(1)) {
        ItemKind kind = Land;
        if (!cmd.kindArgument(text, &kind))
            return ExitUsage;
        options.kinds << kind;
    }
    if (!cmd.requireDirectory())
        return ExitData;
    DiffResult result;
    QString error;
    if (!compareDirectories(ctx.dir, args.at(0), options, &result, &error))
        return cmd.dataError(error);
    for (int side = 0; side < 2; ++side)
        if (!result.sideWarnings[side].isEmpty())
            ctx.err << "qmtool: warning: " << result.sideWarnings[side] << Qt::endl;
    for (int kind : result.kinds) {
        for (int side = 0; side < 2; ++side) {
            const QString where = sideName(side == 0 ? DiffSideName::Here : DiffSideName::There);
            if (!result.unreadable[kind][side].isEmpty())
                ctx.err << "qmtool: warning: " << kindKey(kind) << ' ' << where << ": cannot be listed: "
                        << result.unreadable[kind][side] << Qt::endl;
            if (!result.warnings[kind][side].isEmpty())
                ctx.err << "qmtool: warning: " << kindKey(kind) << ' ' << where << ": " << result.warnings[kind][side]
                        << Qt::endl;
        }
    }
    if (cmd.isSet(QStringLiteral("json")))
        printJson(ctx, result);
    else
        printText(ctx, result);
    const bool differs = !result.differences.isEmpty();
    return differs && cmd.isSet(QStringLiteral("exit-code")) ? ExitDiffers : ExitOk;
}
