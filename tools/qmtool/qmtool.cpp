#include "qmtool.h"

#include "commandparser.h"
#include "itemkind.h"
#include "libraryoutput.h"
#include "toolcontext.h"
#include "tooldocs.h"
#include "uodir.h"

#include <QCommandLineParser>
#include <QGuiApplication>

using namespace qm;

namespace {

const QString kNotes = QStringLiteral(
    "KIND is land, static, gump or texture (or 0 to 3). ID is decimal, or hexadecimal after 0x.\n"
    "Exit codes: 0 success, 1 usage error, 2 data or I/O error.\n"
    "Run 'qmtool COMMAND --help' for a command's details.\n");

QString commandList()
{
    QString text = QStringLiteral("\nCommands:\n");
    for (const ToolCommandEntry& c : toolCommands())
        text += QStringLiteral("  %1  %2\n").arg(c.synopsis, -40).arg(c.summary);
    return text + QLatin1Char('\n') + kNotes;
}

// Library notes come after qmtool's own message, and only when the command failed: on
// success they would only alarm.
int withLibraryNotes(int exitCode, LibraryOutput& held, QTextStream& err)
{
    const QStringList notes = held.release();
    if (exitCode != ExitOk) {
        for (const QString& note : notes)
            err << "qmtool: (a library said: " << note << ")" << Qt::endl;
    }
    return exitCode;
}

} // namespace

int runQmtool(int argc, char** argv)
{
    // A GUI application object without a display: image plugins (TGA, TIFF, WebP) need it.
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                   : qgetenv("QT_QPA_PLATFORM"));
    LibraryOutput held;
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("qmtool"));

    QTextStream out(stdout);
    QTextStream err(held.terminal());

    QCommandLineParser parser;
    const QString description = QStringLiteral("Headless companion of the Quillmark Patch editor: reads and "
                                               "edits the game's art data files.");
    parser.setApplicationDescription(description + commandList());
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption dirOption(QStringLiteral("dir"),
                                       QStringLiteral("The data directory (default: the editor's)."),
                                       QStringLiteral("DATADIR"));
    const QCommandLineOption helpOption = parser.addHelpOption();
    parser.addOption(dirOption);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run."));
    // For the build, which installs what they print: the manual page and the bash completion.
    QCommandLineOption manOption(QStringLiteral("man"), QStringLiteral("Print the manual page."));
    QCommandLineOption completionOption(QStringLiteral("bash-completion"), QStringLiteral("Print the bash completion."));
    for (QCommandLineOption* hidden : { &manOption, &completionOption }) {
        hidden->setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(*hidden);
    }

    if (!parser.parse(QGuiApplication::arguments())) {
        err << "qmtool: " << parser.errorText() << Qt::endl;
        return ExitUsage;
    }
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(manOption) || parser.isSet(completionOption)) {
        const ToolOverview overview { description, { dirOption, helpOption }, kNotes };
        out << (parser.isSet(manOption) ? toolManPage(overview) : toolBashCompletion(overview));
        return ExitOk;
    }
    if (parser.isSet(helpOption) && positional.isEmpty()) {
        out << parser.helpText();
        return ExitOk;
    }
    if (positional.isEmpty()) {
        err << "qmtool: no command given; see 'qmtool --help'" << Qt::endl;
        return ExitUsage;
    }

    const QString name = positional.first();
    const ToolCommandEntry* command = findToolCommand(name);
    if (!command) {
        err << "qmtool: unknown command '" << name << "'; see 'qmtool --help'" << Qt::endl;
        return ExitUsage;
    }
    ToolContext ctx { parser.isSet(dirOption) ? parser.value(dirOption) : readUODir(), positional, out, err };
    // The directory as the editor would name it: no trailing separator.
    while (ctx.dir.size() > 1 && (ctx.dir.endsWith(QLatin1Char('/')) || ctx.dir.endsWith(QLatin1Char('\\'))))
        ctx.dir.chop(1);
    CommandParser cmd(ctx, *command);
    if (const int done = cmd.parse(); done >= 0)
        return done;
    if (command->readsDirectory && !prepareDirectory(ctx))
        return ExitData;
    return withLibraryNotes(command->run(ctx, cmd), held, err);
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
