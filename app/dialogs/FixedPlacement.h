#pragma once
// The dialogs place their controls at fixed pixel positions on one panel; these
// make the two kinds of control they are built from. Positions and sizes are
// given for "MS Sans Serif" 8 points and scaled for the dialog's font
// (SpecifiedPixels), which is the window font.
#include <QString>
#include <initializer_list>

class QDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Gives the dialog its caption, the window font and a fixed client area of
// width × height, filled by one panel that is returned to hold the controls.
QFrame* FixedDialogPanel(QDialog* dialog, const char* caption, int width, int height);

// The focus order of the Tab key, in the order given.
void SetTabOrder(std::initializer_list<QWidget*> widgets);

// An edit box 21 high at (left, top) with its label, 13 high, at labelTop above it.
QLineEdit* PlaceBox(QWidget* panel, QLabel*& label, const char* caption, int left, int labelTop,
                    int top, int width);

// A 75 × 25 push button.
QPushButton* PlaceButton(QWidget* panel, const char* caption, int left, int top);
