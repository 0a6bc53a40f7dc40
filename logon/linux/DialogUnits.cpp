#include "logon/linux/DialogUnits.h"

#include <QFontMetrics>

namespace {

// value × numerator / denominator, halves rounded away from zero.
int MulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

} // namespace

DialogBaseUnits BaseUnitsOf(const QFont& font, QPaintDevice* device) {
    const QFontMetrics metrics(font, device);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, metrics.height()};
}

QRect DialogUnitsToPixels(const QRect& units, DialogBaseUnits base) {
    const int left = MulDiv(units.x(), base.width, 4);
    const int top = MulDiv(units.y(), base.height, 8);
    const int right = MulDiv(units.x() + units.width(), base.width, 4);
    const int bottom = MulDiv(units.y() + units.height(), base.height, 8);
    return QRect(left, top, right - left, bottom - top);
}
