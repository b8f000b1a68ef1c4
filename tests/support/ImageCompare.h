// Pictures compared the way a reader sees them: pixels whose colours differ
// by more than `tolerance` (summed over red, green and blue) are counted, so
// that antialiasing that moves by a shade does not fail a test.
#pragma once

#include <QImage>
#include <cstdlib>

namespace vemlor::test {

inline int differingPixels(const QImage& a, const QImage& b, int tolerance = 96) {
    if (a.size() != b.size()) return a.width() * a.height();
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            int distance = std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
                           std::abs(p.blue() - q.blue());
            differing += distance > tolerance;
        }
    return differing;
}

} // namespace vemlor::test
