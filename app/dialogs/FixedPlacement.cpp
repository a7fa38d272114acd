#include "app/dialogs/FixedPlacement.h"

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/qtedge/SpecifiedSizes.h"

namespace {

void Place(QWidget* widget, int left, int top, int width, int height) {
    const SpecifiedPixels pixels(widget->font());
    widget->setGeometry(pixels(left), pixels(top), pixels(width), pixels(height));
}

}  // namespace

QLineEdit* PlaceBox(QWidget* panel, QLabel*& label, const char* caption, int left, int labelTop,
                    int top, int width) {
    label = new QLabel(QString::fromUtf8(caption), panel);
    Place(label, left, labelTop, width, 13);
    auto* box = new QLineEdit(panel);
    Place(box, left, top, width, 21);
    return box;
}

QPushButton* PlaceButton(QWidget* panel, const char* caption, int left, int top) {
    auto* button = new QPushButton(QString::fromUtf8(caption), panel);
    Place(button, left, top, 75, 25);
    return button;
}

QFrame* FixedDialogPanel(QDialog* dialog, const char* caption, int width, int height) {
    dialog->setWindowTitle(QString::fromUtf8(caption));
    dialog->setFont(WindowFont());
    const SpecifiedPixels pixels(dialog->font());
    dialog->setFixedSize(pixels(width), pixels(height));
    auto* panel = new QFrame(dialog);
    panel->setGeometry(0, 0, pixels(width), pixels(height));
    panel->setFrameShape(QFrame::StyledPanel);
    return panel;
}

void SetTabOrder(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}
