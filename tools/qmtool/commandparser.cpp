#include "commandparser.h"

#include "indexfile.h"
#include "itemkind.h"

#include <QDir>
#include <QFileInfo>

using namespace qm;

CommandParser::CommandParser(ToolContext& ctx, const ToolCommandEntry& entry)
    : m_ctx(ctx)
    , m_entry(entry)
{
    m_parser.setApplicationDescription(QStringLiteral("qmtool [--dir DATADIR] ") + entry.synopsis
                                       + QStringLiteral("\n\n") + entry.description);
    m_parser.addHelpOption();
    for (const ToolArgument& a : entry.arguments)
        m_parser.addPositionalArgument(a.name, a.help);
    for (const ToolOption& o : entry.options)
        m_parser.addOption(QCommandLineOption(o.name, o.help, o.valueName));
}

QString CommandParser::helpText() const
{
    // The parser's own usage line names the binary's path and not the command; the
    // description already opens with the command's synopsis.
    QString text = m_parser.helpText();
    text = text.mid(text.indexOf(QLatin1Char('\n')) + 1);
    if (m_entry.arguments.isEmpty())
        text += QStringLiteral("\nArguments:\n  none\n");
    return QStringLiteral("Usage: ") + text;
}

int CommandParser::parse()
{
    if (!m_parser.parse(m_ctx.args)) {
        // A negative number reads like an option to the parser; as an argument it is an
        // invalid id or value, and saying so helps more than "Unknown option '1'".
        for (const QString& arg : m_ctx.args.mid(1)) {
            bool number = false;
            arg.toLongLong(&number);
            if (number && arg.startsWith(QLatin1Char('-')))
                return usageError(QStringLiteral("'%1' is not an id: ids are 0 or more, decimal or hexadecimal after 0x").arg(arg));
        }
        return usageError(m_parser.errorText());
    }
    if (m_parser.isSet(QStringLiteral("help"))) {
        m_ctx.out << helpText();
        return ExitOk;
    }
    m_positional = m_parser.positionalArguments();   // parse() took the command name as argv[0]
    if (m_positional.size() < m_entry.minArgs || (m_entry.maxArgs >= 0 && m_positional.size() > m_entry.maxArgs))
        return usageError(QStringLiteral("usage: qmtool [--dir DATADIR] %1").arg(m_entry.synopsis));
    return -1;
}

bool CommandParser::kindArgument(const QString& text, ItemKind* kind)
{
    const int parsed = parseKind(text);
    if (isValidKind(parsed)) {
        *kind = ItemKind(parsed);
        return true;
    }
    usageError(QStringLiteral("'%1' is not a kind: use land, static, gump or texture (or 0 to 3)").arg(text));
    return false;
}

bool CommandParser::idArgument(ItemKind kind, const QString& text, int* id)
{
    if (!parseToolId(text, id)) {
        usageError(QStringLiteral("'%1' is not an id: use a decimal number or hexadecimal after 0x").arg(text));
        return false;
    }
    const int limit = kind == Land ? kLandCount : kind == Static ? kStaticCount : -1;
    if (limit > 0 && *id >= limit) {
        usageError(QStringLiteral("%1 ids run from 0 to %2").arg(kindName(kind), hexId(limit - 1)));
        return false;
    }
    return true;
}

bool CommandParser::itemArguments(ItemKind* kind, int* id)
{
    return kindArgument(m_positional.at(0), kind) && idArgument(*kind, m_positional.at(1), id);
}

int CommandParser::usageError(const QString& message)
{
    m_ctx.err << "qmtool: " << message << Qt::endl;
    return ExitUsage;
}

int CommandParser::dataError(const QString& message)
{
    m_ctx.err << "qmtool: " << message << Qt::endl;
    return ExitData;
}

bool CommandParser::requireDirectory()
{
    if (m_ctx.dir.isEmpty()) {
        dataError(QStringLiteral("no data directory: give --dir DATADIR or store one with 'qmtool dir PATH'"));
        return false;
    }
    const QFileInfo dir(m_ctx.dir);
    if (!dir.isDir()) {
        dataError((dir.exists() ? QStringLiteral("the data directory %1 is not a directory")
                                : QStringLiteral("the data directory %1 does not exist"))
                      .arg(QDir::toNativeSeparators(m_ctx.dir)));
        return false;
    }
    return true;
}
