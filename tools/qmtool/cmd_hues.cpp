// The hue commands: hues.mul read as the editor's Hues tab shows it.
#include "cmd_hues.h"

#include "commandparser.h"
#include "tooledit.h"

#include "hues.h"
#include "indexfile.h"
#include "itemkind.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace qm;

namespace {

// The directory's hues; false after reporting a missing file. A damaged one is read, with a
// warning: its whole groups are shown.
bool loadHues(ToolContext& ctx, CommandParser& cmd, HueFile* hues)
{
    if (!cmd.requireDirectory())
        return false;
    *hues = readHueFile(ctx.dir);
    if (!hues->present) {
        cmd.dataError(QStringLiteral("there are no hues: %1 is missing")
                          .arg(QDir::toNativeSeparators(mulPath(ctx.dir, hueFileName()))));
        return false;
    }
    if (!hues->problem.isEmpty())
        ctx.err << "qmtool: warning: " << hues->problem << Qt::endl;
    return true;
}

// A name on one line: control characters (a tab or line break would split the line) as \xNN.
QString oneLineName(const QString& name)
{
    QString out;
    for (QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

} // namespace

int hueArgument(CommandParser& cmd, const HueFile& hues, const QString& text, int* hue)
{
    bool ok = false;
    const qint64 n = parseTypedNumber(text, &ok);
    if (!ok)
        return cmd.usageError(QStringLiteral("'%1' is not a hue number: use a decimal number or hexadecimal after 0x").arg(text));
    if (n < 1 || n > hues.count())
        return cmd.dataError(hues.count() == 0 ? hueNumberProblem(0, 0)
                                               : QStringLiteral("hue: %1 names no hue; hues are numbered 1 to %2")
                                                     .arg(n).arg(hues.count()));
    *hue = int(n);
    return -1;
}

int cmdHues(ToolContext& ctx, CommandParser& cmd)
{
    HueFile hues;
    if (!loadHues(ctx, cmd, &hues))
        return ExitData;
    for (int h = 1; h <= hues.count(); ++h)
        ctx.out << h << '\t' << oneLineName(hues.hue(h)->name()) << '\n';
    ctx.out.flush();
    return ExitOk;
}

// The directory's hues and the hue the first argument names; the exit code to return when
// either fails, -1 when both are there.
static int loadNamedHue(ToolContext& ctx, CommandParser& cmd, HueFile* hues, int* number)
{
    if (!loadHues(ctx, cmd, hues))
        return ExitData;
    return hueArgument(cmd, *hues, cmd.positional().at(0), number);
}

int cmdHue(ToolContext& ctx, CommandParser& cmd)
{
    HueFile hues;
    int number = 0;
    if (const int code = loadNamedHue(ctx, cmd, &hues, &number); code >= 0)
        return code;
    const HueEntry& h = *hues.hue(number);
    QJsonArray colors;
    for (quint16 c : h.colors)
        colors.append(QStringLiteral("0x%1").arg(c, 4, 16, QLatin1Char('0')));
    const QJsonObject o { { QStringLiteral("name"), h.name() },
                          { QStringLiteral("colors"), colors },
                          { QStringLiteral("tableStart"), int(h.tableStart) },
                          { QStringLiteral("tableEnd"), int(h.tableEnd) } };
    ctx.out << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
    return ExitOk;
}

QString hueFileSummary(const QString& dir)
{
    const HueFile hues = readHueFile(dir);
    if (!hues.present)
        return QStringLiteral("none (%1 missing)").arg(hueFileName());
    QString line = QStringLiteral("%1 (%2, %3 bytes)").arg(hues.count()).arg(hueFileName()).arg(hues.size);
    if (!hues.problem.isEmpty())
        line += QStringLiteral("; read-only: ") + hues.problem;
    return line;
}

QString hueFileProblem(const QString& dir)
{
    return readHueFile(dir).problem;
}

int cmdSetHue(ToolContext& ctx, CommandParser& cmd)
{
    HueFile hues;
    int number = 0;
    if (const int code = loadNamedHue(ctx, cmd, &hues, &number); code >= 0)
        return code;
    const QStringList assignments = cmd.positional().mid(1);
    // Checked once against the hue as read, so that a bad value is a usage error before any save.
    HueEntry probe = *hues.hue(number);
    QString why;
    if (!applyHueAssignments(probe, assignments, &why))
        return cmd.usageError(why);
    return editAndSave(ctx, cmd, [&](EditSession& s, QString* error) {
        HueEntry hue = s.hue(number);
        return applyHueAssignments(hue, assignments, error) && s.setHue(number, hue, error);
    });
}
