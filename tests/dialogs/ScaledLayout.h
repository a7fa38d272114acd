#pragma once
// Checks of a window laid out in pixel sizes given for "MS Sans Serif" 8 points
// and scaled for the font it uses.
#include <QAbstractButton>
#include <QLabel>
#include <QRect>
#include <QString>
#include <QStyle>
#include <QWidget>
#include <cmath>

// How much larger than specified the window is (its width against the given one).
inline double ScaleOf(const QWidget& window, int specifiedWidth) {
    return window.width() / static_cast<double>(specifiedWidth);
}

// True when the rectangle is the specified one scaled by that factor (to a pixel).
inline bool ScaledAlike(const QRect& actual, const QRect& specified, double scale) {
    auto near = [scale](int a, int s) { return std::abs(a - s * scale) <= 1.0; };
    return near(actual.x(), specified.x()) && near(actual.y(), specified.y()) &&
           near(actual.width(), specified.width()) && near(actual.height(), specified.height());
}

// Empty when the window keeps the specified proportions and every button and
// label in it shows its whole text; otherwise what is wrong.
inline QString LayoutProblems(const QWidget& window, const QSize& specified) {
    QString problems;
    const double scale = ScaleOf(window, specified.width());
    if (std::abs(window.height() - specified.height() * scale) > 1.0)
        problems += QStringLiteral("size %1x%2; ").arg(window.width()).arg(window.height());
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        const QString text = QString(button->text()).remove(QLatin1Char('&'));
        const QStyle* style = button->style();
        const int room = button->width() - style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) -
                         2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        if (button->fontMetrics().horizontalAdvance(text) > room) problems += text + QStringLiteral("; ");
    }
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->fontMetrics().horizontalAdvance(label->text()) > label->width() ||
            label->fontMetrics().height() > label->height())
            problems += label->text() + QStringLiteral("; ");
    }
    return problems;
}
