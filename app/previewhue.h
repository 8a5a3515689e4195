#pragma once

#include "huepreview.h"
#include "itemkind.h"
#include "records.h"

#include <QSet>
#include <QVector>

// The grid's preview hue as the decoder threads use it: the hue's colour tables, and the
// statics the game hues partially (the Partial Hue flag) as their flags stood when it was chosen.
struct PreviewHue {
    PreviewHue(int number, const qm::HueEntry& hue, const QVector<qm::tile_struct>& statics)
        : colours(number, hue)
    {
        for (int id = 0; id < statics.size(); ++id)
            if (statics[id].flags & qm::kPartialHueFlag)
                partialStatics.insert(id);
    }

    qm::HueMode modeOf(int kind, int id) const
    {
        return kind == qm::Static && partialStatics.contains(id) ? qm::HueMode::Partial : qm::defaultHueMode(kind, 0);
    }

    qm::HuePreview colours;
    QSet<int> partialStatics;
};
