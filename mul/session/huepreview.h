#pragma once

#include "hueapply.h"
#include "hues.h"

#include <QVector>

namespace qm {

// One hue made ready for drawing many pictures with it, in either mode: the colour tables the
// decoders look stored colours up in (so that a hued picture costs one decode), and the tables
// for pictures that are already decoded (edited ones). Built once, read by any thread.
class HuePreview {
public:
    HuePreview(int number, const HueEntry& hue);

    int number() const { return m_number; }
    const HueEntry& hue() const { return m_hue; }
    const QRgb* colors(HueMode mode) const { return mode == HueMode::Full ? m_full.constData() : m_partial.constData(); }
    const HueTable& table(HueMode mode) const { return mode == HueMode::Full ? m_fullTable : m_partialTable; }

private:
    int m_number;
    HueEntry m_hue;
    QVector<QRgb> m_full, m_partial;
    HueTable m_fullTable, m_partialTable;
};

} // namespace qm
