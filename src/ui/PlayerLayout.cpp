#include "ui/PlayerLayout.h"

#include <cmath>

#include "base/PlayerWindowModel.h"

namespace melodrop::ui {

int twipsToPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

QRect toPixels(int leftTwips, int topTwips, int widthTwips, int heightTwips) {
    const int left = twipsToPixels(leftTwips);
    const int top = twipsToPixels(topTwips);
    const int right = twipsToPixels(leftTwips + widthTwips);
    const int bottom = twipsToPixels(topTwips + heightTwips);
    return QRect(left, top, right - left, bottom - top);
}

const HotAreaSpec& hotArea(HotAction action) {
    for (const HotAreaSpec& area : kHotAreas)
        if (area.action == action) return area;
    return kHotAreas.front();  // unreachable: every action has its area
}

}  // namespace melodrop::ui
