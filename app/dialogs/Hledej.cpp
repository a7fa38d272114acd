#include "app/dialogs/Hledej.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/dialogs/FixedPlacement.h"
#include "app/qtedge/QtEdge.h"

THledejF::THledejF(QWidget* parent) : QDialog(parent) {
    Panel1 = FixedDialogPanel(this, "Hledání CD podle zadaných hodnot", 371, 215);

    Edit1 = PlaceBox(Panel1, Label1, "Název anglicky:", 28, 27, 43, 315);
    Edit2 = PlaceBox(Panel1, Label2, "Název česky:", 28, 67, 83, 315);
    Edit7 = PlaceBox(Panel1, Label7, "Poznámka:", 28, 107, 123, 315);
    Button1 = PlaceButton(Panel1, "&Hledat", 148, 163);
    Button2 = PlaceButton(Panel1, "&Cancel", 268, 163);
    Button4 = PlaceButton(Panel1, "&Nové hledání", 28, 163);
    Button1->setDefault(true);

    SetTabOrder({Edit1, Edit2, Edit7, Button1, Button2, Button4});

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
}

TModalResult THledejF::Execute() {
    ShowCriteria();
    return exec() == mrOk ? mrOk : mrCancel;
}

void THledejF::ResetCriteria() {
    FNewSearch = true;
    FFindS1.clear();
    FFindS2.clear();
    FFindS7.clear();
    ShowCriteria();
}

void THledejF::ShowCriteria() {
    Edit1->setText(ToQString(FFindS1));
    Edit2->setText(ToQString(FFindS2));
    Edit7->setText(ToQString(FFindS7));
    Edit1->setFocus();
}

void THledejF::Button1Click() {
    FFindS1 = FromQString(Edit1->text());
    FFindS2 = FromQString(Edit2->text());
    FFindS7 = FromQString(Edit7->text());
    FNewSearch = false;
    done(mrOk);
}

void THledejF::Button2Click() { done(mrCancel); }

void THledejF::Button4Click() { ResetCriteria(); }

void THledejF::reject() { done(mrCancel); }
