#include "scripteddialogs.h"

#include <QAction>
#include <QMenu>

ScriptedDialogs::ScriptedDialogs() { Dialogs::set(this); }
ScriptedDialogs::~ScriptedDialogs() { Dialogs::set(nullptr); }

QString ScriptedDialogs::getText(QWidget*, const QString& caption, const QString& label,
                                 const QString& initial, bool* ok)
{
    asked << caption;
    lastLabel = label;
    lastInitial = initial;
    const QString answer = textAnswers.isEmpty() ? QString() : textAnswers.takeFirst();
    if (ok)
        *ok = !answer.isNull();
    return answer;
}

QString ScriptedDialogs::nextFile(const QString& caption, QString* selectedFilter)
{
    asked << caption;
    if (fileAnswers.isEmpty())
        return QString();
    const FileAnswer a = fileAnswers.takeFirst();
    if (selectedFilter)
        *selectedFilter = a.filter;
    return a.name;
}

QString ScriptedDialogs::getSaveFileName(QWidget*, const QString& caption, const QString&,
                                         const QString&, QString* selectedFilter)
{
    return nextFile(caption, selectedFilter);
}

QString ScriptedDialogs::getOpenFileName(QWidget*, const QString& caption, const QString&,
                                         const QString&, QString* selectedFilter)
{
    return nextFile(caption, selectedFilter);
}

QString ScriptedDialogs::getExistingDirectory(QWidget*, const QString& caption, const QString& start)
{
    asked << caption;
    lastInitial = start;
    return directoryAnswers.isEmpty() ? QString() : directoryAnswers.takeFirst();
}

void ScriptedDialogs::information(QWidget*, const QString& caption, const QString& text)
{
    messages << caption + QStringLiteral(": ") + text;
}

void ScriptedDialogs::warning(QWidget*, const QString& caption, const QString& text)
{
    messages << caption + QStringLiteral(": ") + text;
}

void ScriptedDialogs::critical(QWidget*, const QString& caption, const QString& text)
{
    messages << caption + QStringLiteral(": ") + text;
}

QMessageBox::StandardButton ScriptedDialogs::question(QWidget*, const QString& caption, const QString& text,
                                                      QMessageBox::StandardButtons, QMessageBox::StandardButton)
{
    asked << caption;
    messages << caption + QStringLiteral(": ") + text;
    return questionAnswers.isEmpty() ? QMessageBox::Cancel : questionAnswers.takeFirst();
}

int ScriptedDialogs::choose(QWidget*, const QString& caption, const QString& text, const QStringList& choices)
{
    asked << caption;
    messages << caption + QStringLiteral(": ") + text;
    return choiceAnswers.isEmpty() ? -1 : int(choices.indexOf(choiceAnswers.takeFirst()));
}

QColor ScriptedDialogs::getColor(QWidget*, const QString& caption, const QColor&)
{
    asked << caption;
    return colorAnswers.isEmpty() ? QColor() : colorAnswers.takeFirst();
}

QAction* ScriptedDialogs::execMenu(QMenu* menu, const QPoint&)
{
    asked << QStringLiteral("menu");
    if (menuAnswers.isEmpty())
        return nullptr;
    const QString wanted = menuAnswers.takeFirst();
    for (QAction* a : menu->actions()) {
        if (a->text() == wanted || a->iconText() == wanted) {
            a->trigger();
            return a;
        }
    }
    return nullptr;
}
