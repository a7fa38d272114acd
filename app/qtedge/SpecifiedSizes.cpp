#include "app/qtedge/SpecifiedSizes.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <cmath>

namespace {

const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

// The 52 letters of kLetters in "MS Sans Serif" at 8 points on a 96-dpi screen
// are 298 pixels wide (the font's dialog base unit, 6, is worked out from this).
constexpr double kSpecifiedAverageWidth = 298.0 / 52.0;

}  // namespace

QFont WindowFont() {
    QFont font = QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif"))
                     ? QFont(QStringLiteral("MS Sans Serif"))
                     : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

SpecifiedPixels::SpecifiedPixels(const QFont& font)
    : ratio_(QFontMetricsF(font).horizontalAdvance(kLetters) / kLetters.size() / kSpecifiedAverageWidth) {}

int SpecifiedPixels::operator()(int pixels) const { return static_cast<int>(std::lround(pixels * ratio_)); }
