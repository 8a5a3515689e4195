#include "huepreview.h"

namespace qm {

HuePreview::HuePreview(int number, const HueEntry& hue)
    : m_number(number)
    , m_hue(hue)
    , m_full(huedColorTable(hue, HueMode::Full))
    , m_partial(huedColorTable(hue, HueMode::Partial))
    , m_fullTable(hue, HueMode::Full)
    , m_partialTable(hue, HueMode::Partial)
{
}

} // namespace qm
