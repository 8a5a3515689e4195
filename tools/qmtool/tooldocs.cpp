#include "tooldocs.h"

#include "commandtable.h"
#include "itemkind.h"


using namespace qm;

namespace {

// Text for roff: backslashes escaped, hyphens of option names kept as minus signs, and no
// line that starts with a control character.
QString roff(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\e"));
    text.replace(QLatin1Char('-'), QStringLiteral("\\-"));
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.startsWith(QLatin1Char('.')) || line.startsWith(QLatin1Char('\'')))
            line.prepend(QStringLiteral("\\&"));
    }
    return lines.join(QLatin1Char('\n'));
}

QString optionSpelling(const QString& name, const QString& valueName)
{
    QString text = (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    if (!valueName.isEmpty())
        text += QLatin1Char(' ') + valueName;
    return text;
}

QString optionItem(const QString& spelling, const QString& help)
{
    return QStringLiteral(".TP\n.B %1\n%2\n").arg(roff(spelling), roff(help));
}

// What a positional argument takes, for the completion: literal choices where the synopsis
// spells them ("land|static"), the kinds for KIND, folders or files for names of paths,
// nothing for ids and values.
enum class ArgumentWords { None, Kinds, Choices, Folders, Files };

ArgumentWords argumentWords(const ToolArgument& argument, const QString& synopsisWord, QStringList* choices)
{
    if (synopsisWord.contains(QLatin1Char('|')) && synopsisWord == synopsisWord.toLower()) {
        *choices = synopsisWord.split(QLatin1Char('|'));
        return ArgumentWords::Choices;
    }
    if (argument.name == QLatin1String("KIND"))
        return ArgumentWords::Kinds;
    if (argument.name == QLatin1String("DIR") || argument.name == QLatin1String("PATH"))
        return ArgumentWords::Folders;
    if (argument.name == QLatin1String("OUT") || argument.name == QLatin1String("FILE"))
        return ArgumentWords::Files;
    return ArgumentWords::None;
}

QStringList kindWords()
{
    QStringList kinds;
    for (int k = 0; k < kItemKindCount; ++k)
        kinds << kindName(k).toLower();
    return kinds;
}

QString shellWords(const QStringList& words)
{
    return QLatin1Char('"') + words.join(QLatin1Char(' ')) + QLatin1Char('"');
}

} // namespace

QString toolManPage(const ToolOverview& overview)
{
    const QString version = QStringLiteral(QM_VERSION);
    QString page;
    page += QStringLiteral(".\\\" Made by 'qmtool --man' from qmtool's own help texts.\n");
    page += QStringLiteral(".TH QMTOOL 1 \"\" \"Quillmark Patch %1\" \"User Commands\"\n").arg(version);
    page += QStringLiteral(".SH NAME\nqmtool \\- read and edit the game's art data files from the command line\n");
    page += QStringLiteral(".SH SYNOPSIS\n.B qmtool\n[\\fB\\-\\-dir\\fR \\fIDATADIR\\fR] \\fICOMMAND\\fR "
                           "[\\fIARGUMENTS\\fR]\n.br\n.B qmtool\n\\fICOMMAND\\fR \\fB\\-\\-help\\fR\n");
    page += QStringLiteral(".SH DESCRIPTION\n%1\n.PP\n%2\n").arg(roff(overview.description),
                                                            roff(overview.notes.trimmed()).replace(QLatin1Char('\n'), QStringLiteral("\n.br\n")));
    page += QStringLiteral(".SH OPTIONS\n");
    for (const QCommandLineOption& o : overview.options) {
        QStringList spellings;
        for (const QString& name : o.names())
            spellings << optionSpelling(name, o.valueName());
        page += optionItem(spellings.join(QStringLiteral(", ")), o.description());
    }
    page += QStringLiteral(".SH COMMANDS\n");
    for (const ToolCommandEntry& c : toolCommands()) {
        page += QStringLiteral(".SS %1\n%2\n").arg(roff(c.synopsis), roff(c.description));
        if (c.arguments.isEmpty() && c.options.isEmpty())
            continue;
        page += QStringLiteral(".RS\n");
        for (const ToolArgument& a : c.arguments)
            page += optionItem(a.name, a.help);
        for (const ToolOption& o : c.options)
            page += optionItem(optionSpelling(o.name, o.valueName), o.help);
        page += QStringLiteral(".RE\n");
    }
    page += QStringLiteral(".SH SEE ALSO\n.BR quillmark\\-patch (1)\n");
    return page;
}

QString toolBashCompletion(const ToolOverview& overview)
{
    QStringList commands, globalOptions, valueOptions;
    for (const ToolCommandEntry& c : toolCommands()) {
        commands << c.name;
        for (const ToolOption& o : c.options) {
            if (!o.valueName.isEmpty() && !valueOptions.contains(optionSpelling(o.name, QString())))
                valueOptions << optionSpelling(o.name, QString());
        }
    }
    for (const QCommandLineOption& o : overview.options) {
        for (const QString& name : o.names()) {
            globalOptions << optionSpelling(name, QString());
            if (!o.valueName().isEmpty())
                valueOptions << optionSpelling(name, QString());
        }
    }

    QString script = QStringLiteral(
        "# bash completion for qmtool, made by 'qmtool --bash-completion' from its command table.\n"
        "_qmtool()\n"
        "{\n"
        "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
        "    local command= argument=0 i word\n"
        "    COMPREPLY=()\n"
        "    # The command is the first word that is no option (nor an option's value); the\n"
        "    # words after it that are neither are its arguments.\n"
        "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
        "        word=${COMP_WORDS[i]}\n"
        "        case $word in\n"
        "            %1) ((i++)) ;;\n"
        "            -*) ;;\n"
        "            *) if [[ -z $command ]]; then command=$word; else ((argument++)); fi ;;\n"
        "        esac\n"
        "    done\n"
        "    if [[ -z $command && $prev == --dir ]]; then\n"
        "        COMPREPLY=($(compgen -d -- \"$cur\"))\n"
        "        return\n"
        "    fi\n"
        "    if [[ -z $command ]]; then\n"
        "        if [[ $cur == -* ]]; then\n"
        "            COMPREPLY=($(compgen -W %2 -- \"$cur\"))\n"
        "        else\n"
        "            COMPREPLY=($(compgen -W %3 -- \"$cur\"))\n"
        "        fi\n"
        "        return\n"
        "    fi\n"
        "    local options= words= paths=\n"
        "    case $command in\n")
                          .arg(valueOptions.join(QLatin1Char('|')), shellWords(globalOptions), shellWords(commands));

    for (const ToolCommandEntry& c : toolCommands()) {
        QStringList options { QStringLiteral("--help") };
        QStringList valueTaking;
        for (const ToolOption& o : c.options) {
            options << optionSpelling(o.name, QString());
            if (!o.valueName.isEmpty())
                valueTaking << optionSpelling(o.name, QString());
        }
        // The synopsis names the command, then its arguments in the table's order.
        const QStringList synopsis = c.synopsis.split(QLatin1Char(' '), Qt::SkipEmptyParts).mid(1);
        script += QStringLiteral("        %1)\n            options=%2\n").arg(c.name, shellWords(options));
        if (!valueTaking.isEmpty())
            script += QStringLiteral("            case $prev in %1) return ;; esac\n").arg(valueTaking.join(QLatin1Char('|')));
        script += QStringLiteral("            case $argument in\n");
        for (int i = 0; i < c.arguments.size(); ++i) {
            const ToolArgument& a = c.arguments[i];
            QStringList choices;
            const QString word = i < synopsis.size() ? synopsis[i] : QString();
            const bool repeats = a.name.endsWith(QLatin1String("..."));
            const QString position = repeats && i + 1 == c.arguments.size() ? QStringLiteral("*") : QString::number(i);
            switch (argumentWords(a, word, &choices)) {
            case ArgumentWords::Choices:
                script += QStringLiteral("                %1) words=%2 ;;\n").arg(position, shellWords(choices));
                break;
            case ArgumentWords::Kinds:
                script += QStringLiteral("                %1) words=%2 ;;\n").arg(position, shellWords(kindWords()));
                break;
            case ArgumentWords::Folders:
                script += QStringLiteral("                %1) paths=-d ;;\n").arg(position);
                break;
            case ArgumentWords::Files:
                script += QStringLiteral("                %1) paths=-f ;;\n").arg(position);
                break;
            case ArgumentWords::None: break;
            }
        }
        script += QStringLiteral("            esac\n            ;;\n");
    }
    script += QStringLiteral(
        "    esac\n"
        "    if [[ $cur == -* ]]; then\n"
        "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
        "    elif [[ -n $paths ]]; then\n"
        "        COMPREPLY=($(compgen $paths -- \"$cur\"))\n"
        "    elif [[ -n $words ]]; then\n"
        "        COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
        "    fi\n"
        "}\n"
        "complete -F _qmtool -o filenames qmtool\n");
    return script;
}
