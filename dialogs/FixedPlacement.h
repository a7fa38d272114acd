#pragma once
// The dialogs place their controls at fixed pixel positions on one panel; these
// make the two kinds of control they are built from.
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// An edit box 21 high at (left, top) with its label, 13 high, at labelTop above it.
QLineEdit* PlaceBox(QWidget* panel, QLabel*& label, const char* caption, int left, int labelTop,
                    int top, int width);

// A 75 × 25 push button.
QPushButton* PlaceButton(QWidget* panel, const char* caption, int left, int top);
