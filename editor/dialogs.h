#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QMenu;
class QAction;
class QPoint;
class QWidget;

// The one seam through which every modal question of the program passes: text input, file
// dialogs, message boxes and popup menus. The product uses the real Qt dialogs; tests install
// a provider that answers from a script.
class DialogProvider {
public:
    virtual ~DialogProvider() = default;

    virtual QString getText(QWidget* parent, const QString& caption, const QString& label,
                            const QString& initial, bool* ok);
    virtual QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter, QString* selectedFilter);
    virtual QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter, QString* selectedFilter);
    virtual QString getExistingDirectory(QWidget* parent, const QString& caption,
                                         const QString& dir);
    virtual void information(QWidget* parent, const QString& caption, const QString& text);
    virtual void warning(QWidget* parent, const QString& caption, const QString& text);
    virtual void critical(QWidget* parent, const QString& caption, const QString& text);
    // A question answered by one of `buttons` (such as Save / Discard / Cancel).
    virtual QMessageBox::StandardButton question(QWidget* parent, const QString& caption, const QString& text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton);
    // A question answered by one of `choices` (button texts, the first the default) or by a
    // Cancel button beside them: the chosen index, -1 for Cancel.
    virtual int choose(QWidget* parent, const QString& caption, const QString& text, const QStringList& choices);
    // Shows `menu` modally at the global position; returns the chosen action or nullptr.
    virtual QAction* execMenu(QMenu* menu, const QPoint& globalPos);
    // A colour chosen starting from `initial`; an invalid colour when the user cancelled.
    virtual QColor getColor(QWidget* parent, const QString& caption, const QColor& initial);
};

namespace Dialogs {
// The provider in use; the real dialogs unless a test installed another.
DialogProvider& get();
// Installs `provider` (not owned); nullptr restores the real dialogs.
void set(DialogProvider* provider);
} // namespace Dialogs
