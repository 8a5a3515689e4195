// qmtool take: items carried across from another data directory, which is only read.
#include "tooledit.h"

#include "directoryview.h"
#include "sessiontake.h"

#include <QFileInfo>

using namespace qm;

int cmdTake(ToolContext& ctx, CommandParser& cmd)
{
    const QStringList args = cmd.positional();
    ItemKind kind = Land;
    if (!cmd.kindArgument(args.at(1), &kind))
        return ExitUsage;
    QVector<int> ids;
    for (const QString& text : args.mid(2)) {
        int id = -1;
        if (!cmd.idArgument(kind, text, &id))
            return ExitUsage;
        if (!ids.contains(id))
            ids << id;
    }
    int parts = kTakeAll;
    if (cmd.isSet(QStringLiteral("what"))) {
        QString error;
        parts = takePartsFromText(cmd.value(QStringLiteral("what")), &error);
        if (!parts)
            return cmd.usageError(error);
    }
    if (!cmd.requireDirectory() || !cmd.requireDirectory(args.at(0)))
        return ExitData;
    const DirectoryView other(args.at(0));
    if (!other.isOpen())
        return cmd.dataError(other.errorString());
    if (!other.directory().isEmpty() && QFileInfo(other.directory()).canonicalFilePath() == QFileInfo(ctx.dir).canonicalFilePath())
        return cmd.dataError(QStringLiteral("%1 is the data directory itself: there is nothing to take").arg(args.at(0)));

    const int exit = editAndSave(ctx, cmd, [&](EditSession& s, QString* e) {
        return takeItems(s, other, kind, ids, parts, e);
    });
    if (exit != ExitOk)
        return exit;
    ctx.out << "took " << ids.size() << ' ' << kindName(kind) << (ids.size() == 1 ? " item" : " items") << " from "
            << args.at(0) << Qt::endl;
    return ExitOk;
}
