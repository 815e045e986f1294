#pragma once

#include <QRect>

namespace ht::backup {

// Where the preview puts its scroll area, bars and page, all in twips. The page (or the
// column of pages) is centred, starts 120 twips below the area's top, and scrolls in
// steps of 120 twips.
struct PreviewLayout {
    static constexpr int step = 120;

    QRect area;
    QRect hbar;
    QRect vbar;
    int pageLeft = 0;
    int pageTop = step;
    int hMax = 0;
    int vMax = 0;

    // innerWidth and innerHeight: the window's inside; areaTop: where the area starts
    // below the buttons; the bars' thickness; the size of what is shown.
    static PreviewLayout compute(int innerWidth, int innerHeight, int areaTop, int hbarHeight, int vbarWidth,
                                 int contentWidth, int contentHeight);

    // The page's top at vertical position v: the margin again at 0, otherwise scrolled.
    static int topAt(int v) { return v == 0 ? step : -step * v; }
    static int leftAt(int v) { return -step * v; }
};

} // namespace ht::backup
