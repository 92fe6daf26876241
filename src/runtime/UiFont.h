// The font of every window: the Japanese Gothic families in order of preference, 9 pt.
#pragma once

#include <QFont>

namespace kestrel {

QFont UiFont();

// Twips to pixels at the logical 96 dpi: 15 twips a pixel.
constexpr int Px(int twips) {
    return twips / 15;
}

}  // namespace kestrel
