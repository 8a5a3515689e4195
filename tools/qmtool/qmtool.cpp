#include "qmtool.h"

#include "commandparser.h"
#include "itemkind.h"
#include "libraryoutput.h"
#include "toolcontext.h"
#include "tooldocs.h"
#include "typednumber.h"
#include "uodir.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>

using namespace qm;

namespace {

const QString kNotes = QStringLiteral(
    "KIND is land, static, gump or texture (or 0 to 3). ID is decimal, or hexadecimal after 0x.\n"
    "--dir DATADIR may come before or after the command.\n"
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
    const QCommandLineOption dirOption = dataDirectoryOption();
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
    ToolContext ctx { QString(), positional, out, err };
    CommandParser cmd(ctx, *command);
    if (const int done = cmd.parse(); done >= 0)
        return done;
    // --dir may stand before the command or among its arguments. Two different directories
    // in one command line are a slip to point out: guessing could edit the wrong one.
    QStringList dirs = parser.values(dirOption) + cmd.values(dirOption);
    dirs.removeDuplicates();
    if (dirs.size() > 1)
        return cmd.usageError(QStringLiteral("--dir names two directories, %1 and %2: give one")
                                  .arg(QDir::toNativeSeparators(dirs.at(0)), QDir::toNativeSeparators(dirs.at(1))));
    ctx.dir = dirs.isEmpty() ? readUODir() : dirs.first();
    // The directory as the editor would name it: no trailing separator.
    while (ctx.dir.size() > 1 && (ctx.dir.endsWith(QLatin1Char('/')) || ctx.dir.endsWith(QLatin1Char('\\'))))
        ctx.dir.chop(1);
    if (command->readsDirectory && !prepareDirectory(ctx))
        return ExitData;
    return withLibraryNotes(command->run(ctx, cmd), held, err);
}

bool parseToolId(const QString& text, int* id)
{
    qint64 v = 0;
    if (!qm::parseNumber(text, 0, 0x7fffffff, &v))
        return false;
    *id = int(v);
    return true;
}
