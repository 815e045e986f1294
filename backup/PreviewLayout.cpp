#include "backup/PreviewLayout.h"

#include <cmath>

namespace ht::backup {
namespace {

// Halves go to the even neighbour.
int roundEven(double value)
{
    return int(std::nearbyint(value));
}

} // namespace

PreviewLayout PreviewLayout::compute(int innerWidth, int innerHeight, int areaTop, int hbarHeight, int vbarWidth,
                                     int contentWidth, int contentHeight)
{
    PreviewLayout l;
    l.area = QRect(0, areaTop, innerWidth, innerHeight - areaTop);
    const int areaHeight = l.area.height();
    l.hbar = QRect(0, areaHeight - hbarHeight, innerWidth, hbarHeight);
    l.vbar = QRect(innerWidth - vbarWidth - 50, 0, vbarWidth, areaHeight - hbarHeight);
    l.pageTop = step;
    l.pageLeft = (innerWidth - contentWidth) / 2;
    l.hMax = roundEven((contentWidth - innerWidth + vbarWidth) / double(step) + 1);
    l.vMax = roundEven((contentHeight - areaHeight + hbarHeight) / double(step) + 1);
    return l;
}

} // namespace ht::backup
