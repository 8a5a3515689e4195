#pragma once

#include "itemkind.h"
#include "toolcontext.h"

#include <QCommandLineParser>

// How --help describes the KIND and ID arguments.
inline const QString kKindHelp = QStringLiteral("land, static, gump or texture (or 0 to 3)");
inline const QString kIdHelp = QStringLiteral("decimal, or hexadecimal after 0x");

// The argument handling every read command shares: its own parser (so that
// 'qmtool COMMAND --help' explains that command), counts of positional arguments, and the
// kinds and ids of items.
class CommandParser {
public:
    CommandParser(ToolContext& ctx, const QString& synopsis, const QString& description);

    void addPositional(const QString& name, const QString& description);
    void addOption(const QCommandLineOption& option) { m_parser.addOption(option); }

    // Parses the command's arguments. Returns -1 to go on; otherwise the exit code to return
    // (help shown, or a usage error reported).
    int parse(int minPositional, int maxPositional);

    QStringList positional() const { return m_positional; }
    bool isSet(const QCommandLineOption& option) const { return m_parser.isSet(option); }
    QString value(const QCommandLineOption& option) const { return m_parser.value(option); }

    // Each returns false after reporting a usage error.
    bool kindArgument(const QString& text, int* kind);
    bool idArgument(int kind, const QString& text, int* id);   // kind -1: no range check
    // The item named by the first two positional arguments, KIND and ID.
    bool itemArguments(int* kind, int* id);

    int usageError(const QString& message);
    int dataError(const QString& message);
    // A data directory must be known and exist before the files in it are read.
    bool requireDirectory();

private:
    ToolContext& m_ctx;
    QCommandLineParser m_parser;
    QString m_synopsis;
    QStringList m_positional;
};
