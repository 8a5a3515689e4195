#include "dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

QString DialogProvider::getText(QWidget* parent, const QString& caption, const QString& label,
                                const QString& initial, bool* ok)
{
    return QInputDialog::getText(parent, caption, label, QLineEdit::Normal, initial, ok);
}

QString DialogProvider::getSaveFileName(QWidget* parent, const QString& caption,
                                        const QString& dir, const QString& filter,
                                        QString* selectedFilter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter);
}

QString DialogProvider::getOpenFileName(QWidget* parent, const QString& caption,
                                        const QString& dir, const QString& filter,
                                        QString* selectedFilter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter, selectedFilter);
}

QString DialogProvider::getExistingDirectory(QWidget* parent, const QString& caption,
                                             const QString& dir)
{
    return QFileDialog::getExistingDirectory(parent, caption, dir, QFileDialog::ShowDirsOnly);
}

void DialogProvider::information(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox::information(parent, caption, text);
}

void DialogProvider::warning(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox::warning(parent, caption, text);
}

void DialogProvider::critical(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox::critical(parent, caption, text);
}

QMessageBox::StandardButton DialogProvider::question(QWidget* parent, const QString& caption, const QString& text,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton)
{
    return QMessageBox::question(parent, caption, text, buttons, defaultButton);
}

int DialogProvider::choose(QWidget* parent, const QString& caption, const QString& text, const QStringList& choices)
{
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Cancel, parent);
    QList<QAbstractButton*> buttons;
    for (const QString& choice : choices)
        buttons << box.addButton(choice, QMessageBox::AcceptRole);
    if (!buttons.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton*>(buttons.first()));
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

QAction* DialogProvider::execMenu(QMenu* menu, const QPoint& globalPos)
{
    return menu->exec(globalPos);
}

QColor DialogProvider::getColor(QWidget* parent, const QString& caption, const QColor& initial)
{
    return QColorDialog::getColor(initial, parent, caption);
}

namespace {
DialogProvider realDialogs;
DialogProvider* installed = nullptr;
} // namespace

DialogProvider& Dialogs::get()
{
    return installed ? *installed : realDialogs;
}

void Dialogs::set(DialogProvider* provider)
{
    installed = provider;
}
