#include "qmtool.h"

#include "itemkind.h"
#include "toolcontext.h"
#include "uodir.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <cstdio>

using namespace qm;

namespace {

struct CommandEntry {
    const char* name;
    const char* synopsis;
    ToolCommand run;
    bool readsDirectory;
};

const CommandEntry kCommands[] = {
    { "list", "list KIND            ids with data, ascending", cmdList, true },
    { "free", "free KIND            free ids, ascending", cmdFree, true },
    { "export-image", "export-image KIND ID OUT   decoded image, format by OUT's extension", cmdExportImage, true },
    { "tile", "tile land|static ID  tile data as JSON", cmdTile, true },
    { "anim", "anim ID              animation data as JSON", cmdAnim, true },
    { "verify", "verify               decode every entry, report problems", cmdVerify, true },
    { "dir", "dir [PATH]           show or set the editor's data directory", cmdDir, false },
    { "make-demo", "make-demo DIR [--full]   write a demo data directory", cmdMakeDemo, false },
    { "import-image", "import-image KIND ID FILE   replace an image and save", cmdImportImage, true },
    { "delete", "delete KIND ID...    delete entries and save", cmdDelete, true },
    { "set-tile", "set-tile land|static ID FIELD=VALUE...   edit tile data and save", cmdSetTile, true },
    { "set-anim", "set-anim ID FIELD=VALUE... [frames=v0,v1,...]   edit animation data and save", cmdSetAnim, true },
    { "save", "save                 rewrite the data files (compacts them)", cmdSave, true },
    { "export-patch", "export-patch KIND ID OUT   write one item to a patch file", cmdExportPatch, true },
    { "import-patch", "import-patch FILE [--id ID|--id auto]   import a patch file and save", cmdImportPatch, true },
};

QString commandList()
{
    QString text = QStringLiteral("\nCommands:\n");
    for (const auto& c : kCommands)
        text += QStringLiteral("  ") + QString::fromLatin1(c.synopsis) + QLatin1Char('\n');
    text += QStringLiteral("\nKIND is land, static, gump or texture (or 0 to 3). ID is decimal, or "
                           "hexadecimal after 0x.\nExit codes: 0 success, 1 usage error, 2 data or "
                           "I/O error.\nRun 'qmtool COMMAND --help' for a command's details.\n");
    return text;
}

// stderr carries only qmtool's own messages: the platform's note about a missing runtime
// folder, which a headless tool does not use, would read like an error.
void quietPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int runQmtool(int argc, char** argv)
{
    // A GUI application object without a display: image plugins (TGA, TIFF, WebP) need it.
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                   : qgetenv("QT_QPA_PLATFORM"));
    qInstallMessageHandler(quietPlatformNotes);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("qmtool"));

    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Headless companion of the Quillmark Patch editor: reads and edits the "
                       "game's art data files.")
        + commandList());
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption dirOption(QStringLiteral("dir"),
                                       QStringLiteral("The data directory (default: the editor's)."),
                                       QStringLiteral("DATADIR"));
    const QCommandLineOption helpOption = parser.addHelpOption();
    parser.addOption(dirOption);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run."));

    if (!parser.parse(QGuiApplication::arguments())) {
        err << "qmtool: " << parser.errorText() << Qt::endl;
        return ExitUsage;
    }
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(helpOption) && positional.isEmpty()) {
        out << parser.helpText();
        return ExitOk;
    }
    if (positional.isEmpty()) {
        err << "qmtool: no command given; see 'qmtool --help'" << Qt::endl;
        return ExitUsage;
    }

    const QString name = positional.first();
    for (const auto& c : kCommands) {
        if (name != QLatin1String(c.name))
            continue;
        ToolContext ctx { parser.isSet(dirOption) ? parser.value(dirOption) : readUODir(),
                          positional, out, err };
        // The directory as the editor would name it: no trailing separator.
        while (ctx.dir.size() > 1 && (ctx.dir.endsWith(QLatin1Char('/')) || ctx.dir.endsWith(QLatin1Char('\\'))))
            ctx.dir.chop(1);
        const bool wantsHelp = positional.contains(QStringLiteral("--help")) || positional.contains(QStringLiteral("-h"));
        if (c.readsDirectory && !wantsHelp && !prepareDirectory(ctx))
            return ExitData;
        return c.run(ctx);
    }
    err << "qmtool: unknown command '" << name << "'; see 'qmtool --help'" << Qt::endl;
    return ExitUsage;
}

bool parseToolId(const QString& text, int* id)
{
    bool ok = false;
    const qint64 v = parseTypedNumber(text, &ok);
    if (!ok || v < 0 || v > 0x7fffffff)
        return false;
    *id = int(v);
    return true;
}
