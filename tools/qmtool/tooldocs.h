#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>

// qmtool's manual page and its bash completion, made from the command table and the options
// and texts of 'qmtool --help', so that neither can drift from the program. The build runs
// 'qmtool --man' and 'qmtool --bash-completion' (hidden options) to make the installed files.
struct ToolOverview {
    QString description;                // what qmtool is, one paragraph
    QList<QCommandLineOption> options;  // the options before the command (--dir, --help)
    QString notes;                      // kinds, ids and exit codes, as --help ends
};

// A roff manual page, section 1.
QString toolManPage(const ToolOverview& overview);
// A bash completion script completing commands, kinds, literal choices, options and paths.
QString toolBashCompletion(const ToolOverview& overview);
