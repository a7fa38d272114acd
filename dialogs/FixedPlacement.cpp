#include "dialogs/FixedPlacement.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

QLineEdit* PlaceBox(QWidget* panel, QLabel*& label, const char* caption, int left, int labelTop,
                    int top, int width) {
    label = new QLabel(QString::fromUtf8(caption), panel);
    label->setGeometry(left, labelTop, width, 13);
    auto* box = new QLineEdit(panel);
    box->setGeometry(left, top, width, 21);
    return box;
}

QPushButton* PlaceButton(QWidget* panel, const char* caption, int left, int top) {
    auto* button = new QPushButton(QString::fromUtf8(caption), panel);
    button->setGeometry(left, top, 75, 25);
    return button;
}
