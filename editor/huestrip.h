#pragma once

#include "hues.h"

#include <QPixmap>
#include <QSize>

// A hue's 32 colours side by side, darkest on the left: how a hue is shown in lists and in
// its window.
QPixmap hueStrip(const qm::HueEntry& hue, QSize size);
