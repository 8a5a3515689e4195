#pragma once

#include "dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

// Answers the program's dialogs from queues that a test fills, and records what was asked.
// An empty queue answers "cancelled". Installed for the life of the object.
class ScriptedDialogs : public DialogProvider {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    struct FileAnswer {
        QString name;
        QString filter;
    };

    QStringList textAnswers;          // getText; a null QString means "Cancel"
    QList<FileAnswer> fileAnswers;    // save and open file dialogs
    QStringList directoryAnswers;     // getExistingDirectory
    QStringList menuAnswers;          // execMenu: the text of the action to choose
    QList<QMessageBox::StandardButton> questionAnswers;   // question; empty: Cancel
    QStringList choiceAnswers;        // choose: the text of the button to press; empty: Cancel
    QList<QColor> colorAnswers;       // getColor; empty: Cancel

    QStringList asked;                // captions of every dialog shown, in order
    QStringList messages;             // "caption: text" of every message box

    QString getText(QWidget*, const QString& caption, const QString& label, const QString& initial,
                    bool* ok) override;
    QString getSaveFileName(QWidget*, const QString& caption, const QString&, const QString&,
                            QString* selectedFilter) override;
    QString getOpenFileName(QWidget*, const QString& caption, const QString&, const QString&,
                            QString* selectedFilter) override;
    QString getExistingDirectory(QWidget*, const QString& caption, const QString&) override;
    void information(QWidget*, const QString& caption, const QString& text) override;
    void warning(QWidget*, const QString& caption, const QString& text) override;
    void critical(QWidget*, const QString& caption, const QString& text) override;
    QMessageBox::StandardButton question(QWidget*, const QString& caption, const QString& text,
                                         QMessageBox::StandardButtons, QMessageBox::StandardButton) override;
    int choose(QWidget*, const QString& caption, const QString& text, const QStringList& choices) override;
    QAction* execMenu(QMenu* menu, const QPoint&) override;
    QColor getColor(QWidget*, const QString& caption, const QColor&) override;

    QString lastLabel;
    QString lastInitial;

private:
    QString nextFile(const QString& caption, QString* selectedFilter);
};
