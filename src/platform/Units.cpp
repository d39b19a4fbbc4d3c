#include "platform/Units.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace platform {

namespace {

double LogicalDpi() {
    if (auto* screen = QGuiApplication::primaryScreen()) {
        return screen->logicalDotsPerInchX();
    }
    return 96.0;
}

}  // namespace

int TwipsToPixels(int twips) {
    return static_cast<int>(std::lround(twips * LogicalDpi() / 1440.0));
}

int PixelsToTwips(int pixels) {
    return static_cast<int>(std::lround(pixels * 1440.0 / LogicalDpi()));
}

QColor ColorFromBgr(unsigned bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QColor QBColor(int index) {
    static const unsigned rgb[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                     0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                     0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    // The palette is given as BGR: index 1 is dark blue.
    return ColorFromBgr(rgb[std::clamp(index, 0, 15)]);
}

QFont FontSpec::ToQFont() const {
    QFont f(name);
    f.setPointSizeF(size);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    return f;
}

}  // namespace platform
