#pragma once
// The windows' fonts and pixel sizes. Every size in pixels the windows are laid
// out with (column widths, dialog and control sizes, toolbar heights) was chosen
// for "MS Sans Serif" at 8 points on a 96-dpi screen. The font actually used is
// often another one, and on a high-dpi screen a larger one, so each such size is
// scaled by the ratio of the used font's average character width to that font's:
// a text that fitted there fits here, and the proportions stay.
#include <QFont>

// "MS Sans Serif" at 8 points where the system has it, else the system's general
// font at 8 points.
QFont WindowFont();

class SpecifiedPixels {
public:
    // For controls that show their texts in this font.
    explicit SpecifiedPixels(const QFont& font);
    // A size given for "MS Sans Serif" 8 points, for the font; 0 stays 0.
    int operator()(int pixels) const;
    double Ratio() const { return ratio_; }

private:
    double ratio_;
};
