// View → Preview Hue…: the number asked for and checked.
#include "cataloguepanes.h"

#include "dialogs.h"
#include "editsession.h"
#include "typednumber.h"

using namespace qm;

void CataloguePanes::choosePreviewHue()
{
    const QString title = tr("Preview Hue");
    QWidget* parent = qobject_cast<QWidget*>(this->parent());
    bool ok = false;
    const int count = m_session.hues().count();
    const QString text = Dialogs::get().getText(parent, title,
                                                tr("Hue number to draw the thumbnails with (1 to %1; 0 for none):").arg(count),
                                                QString::number(m_previewHue), &ok);
    if (!ok)
        return;
    qint64 hue = 0;
    if (!parseNumber(text.trimmed(), 0, count, &hue)) {
        Dialogs::get().warning(parent, title,
                               count == 0 ? tr("This data directory has no hues (hues.mul is missing or empty).")
                                          : tr("Hue: '%1' is not a number from 0 to %2.").arg(text, QString::number(count)));
        return;
    }
    setPreviewHue(int(hue));
}
