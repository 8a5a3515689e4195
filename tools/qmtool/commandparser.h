#pragma once

#include "itemkind.h"

#include "commandtable.h"
#include "toolcontext.h"

#include <QCommandLineParser>

// The argument handling every command shares, set up from the command's entry in the command
// table: its own parser (so that 'qmtool COMMAND --help' explains that command, with an
// Arguments section), counts of positional arguments, and the kinds and ids of items.
class CommandParser {
public:
    CommandParser(ToolContext& ctx, const ToolCommandEntry& entry);

    // Parses the command's arguments. Returns -1 to go on; otherwise the exit code to return
    // (help shown, or a usage error reported).
    int parse();

    QStringList positional() const { return m_positional; }
    bool isSet(const QString& option) const { return m_parser.isSet(option); }
    QString value(const QString& option) const { return m_parser.value(option); }

    // Each returns false after reporting a usage error.
    bool kindArgument(const QString& text, qm::ItemKind* kind);
    bool idArgument(qm::ItemKind kind, const QString& text, int* id);
    // The item named by the first two positional arguments, KIND and ID.
    bool itemArguments(qm::ItemKind* kind, int* id);

    int usageError(const QString& message);
    int dataError(const QString& message);
    // A data directory must be known and exist before the files in it are read.
    bool requireDirectory();

private:
    QString helpText() const;

    ToolContext& m_ctx;
    const ToolCommandEntry& m_entry;
    QCommandLineParser m_parser;
    QStringList m_positional;
};
