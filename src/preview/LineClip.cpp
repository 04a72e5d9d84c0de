// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/LineClip.h"

#include <algorithm>

namespace tavrin {

bool ClipLine(PlotPoint& a, PlotPoint& b, PlotPoint low, PlotPoint high) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {a.x - low.x, high.x - a.x, a.y - low.y, high.y - a.y};
    double t0 = 0;
    double t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return false;
    const PlotPoint start = a;
    a = {start.x + t0 * dx, start.y + t0 * dy};
    b = {start.x + t1 * dx, start.y + t1 * dy};
    return true;
}

}  // namespace tavrin
