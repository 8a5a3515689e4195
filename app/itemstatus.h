#pragma once

#include "itemkind.h"

#include <QString>

namespace qm {
class EditSession;
}

// The one line the status bar shows for a selected item, all from the session: kind and id,
// picture size in pixels, the tile name and the flags that are set (land and statics), and
// whether the change set holds an edit of it.
QString itemStatusText(const qm::EditSession& session, qm::ItemKind kind, int id);
