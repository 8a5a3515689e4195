#pragma once

#include "toolcontext.h"

#include <QString>
#include <QVector>

// Every qmtool command, described once: the overview of 'qmtool --help', the command's own
// --help, its argument checks and its function all come from its entry.
struct ToolArgument {
    QString name;
    QString help;
};

struct ToolOption {
    QString name;
    QString valueName;   // empty: a switch without a value
    QString help;
};

struct ToolCommandEntry {
    QString name;
    QString synopsis;      // "tile land|static ID"
    QString summary;       // one line for the overview
    QString description;   // the command's --help text
    QVector<ToolArgument> arguments;
    QVector<ToolOption> options;
    int minArgs = 0;
    int maxArgs = 0;       // -1: any number
    ToolCommand run = nullptr;
    bool readsDirectory = true;
};

const QVector<ToolCommandEntry>& toolCommands();
const ToolCommandEntry* findToolCommand(const QString& name);
