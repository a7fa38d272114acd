#include "app/dialogs/Uprav.h"

#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <optional>

#include "app/core/FailurePhrases.h"
#include "app/core/FilmBoxes.h"
#include "app/core/FilmKey.h"
#include "app/core/Global.h"
#include "app/core/InsertRefusal.h"
#include "app/core/TableWalk.h"
#include "app/dialogs/FixedPlacement.h"
#include "app/qtedge/QtEdge.h"
#include "text/Cp1250.h"

namespace {

// Edit1 to Edit7, one per film field of the layout, in its order.
std::array<QLineEdit*, kFilmLayout.size()> EditBoxes(const TUpravF& form) {
    return {form.Edit1, form.Edit2, form.Edit3, form.Edit4, form.Edit5, form.Edit6, form.Edit7};
}

// The reason, when there is one, goes on a line of its own under the message.
void ShowError(std::string_view phrase, std::string_view reason = {}) {
    const std::string below = reason.empty() ? std::string() : "\n" + cp1250::FromUtf8(reason);
    UserInterface().MessageBox(cp1250::FromUtf8(phrase) + DataFileNameText() + "." + below, MessageKind::Error,
                               MessageButtons::Ok);
}

// Back to the film a change returns to, after the reload: by its key where it has
// one, otherwise by the walk's bookmark. The film may be gone (the only one was
// deleted, or the reload failed); the cursor then stays where the reload put it.
void ReturnQuietly(TClientDataSet& table, TableWalk& walk, std::optional<std::int32_t> key) {
    try {
        if (key) {
            GoToFilm(table, *key);
        } else {
            walk.ReturnToRemembered();
        }
    } catch (const std::exception&) {
    }
}

}  // namespace

TUpravF::TUpravF(QWidget* parent) : QDialog(parent) {
    Panel1 = FixedDialogPanel(this, "Přidání CD do seznamu", 373, 285);

    Edit1 = PlaceBox(Panel1, Label1, "Název anglicky:", 53, 30, 46, 121);
    Edit2 = PlaceBox(Panel1, Label2, "Název česky:", 197, 30, 46, 121);
    Edit3 = PlaceBox(Panel1, Label3, "Číslo CD:", 53, 78, 94, 121);
    Edit4 = PlaceBox(Panel1, Label4, "Znění:", 197, 78, 94, 121);
    Edit5 = PlaceBox(Panel1, Label5, "Titulky:", 53, 126, 142, 121);
    Edit6 = PlaceBox(Panel1, Label6, "Počet CD:", 197, 126, 142, 121);
    Edit7 = PlaceBox(Panel1, Label7, "Poznámka:", 53, 174, 190, 265);
    Button1 = PlaceButton(Panel1, "&Stačí", 53, 230);
    Button3 = PlaceButton(Panel1, "&Další", 149, 230);
    Button2 = PlaceButton(Panel1, "&Cancel", 245, 230);
    Button3->setDefault(true);

    SetTabOrder({Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Button1, Button2, Button3});

    Edit1->installEventFilter(this);
    connect(Button1, &QPushButton::clicked, this, [this] { RunHandler([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { RunHandler([this] { Button3Click(); }); });
}

void TUpravF::Execute(TClientDataSet& table, UpravMode mode) {
    if (Prepare(table, mode)) exec();
}

bool TUpravF::Prepare(TClientDataSet& table, UpravMode mode) {
    FMode = mode;
    FTable = &table;
    if (mode == UpravMode::Add) {
        setWindowTitle(QString::fromUtf8("Přidání CD do seznamu"));
        Button1->setDefault(false);
        Button3->setDefault(true);
        Button3->setEnabled(true);
        ClearEdits();
    } else if (mode == UpravMode::Edit) {
        setWindowTitle(QString::fromUtf8("Úprava CD v seznamu"));
        Button1->setDefault(true);
        Button3->setDefault(false);
        Button3->setEnabled(false);
        LoadEdits();
    } else if (mode == UpravMode::Delete) {
        DeleteRecord();
    }
    return mode != UpravMode::Delete;
}

void TUpravF::ShowFailure(UpravMode mode) {
    ShowError(mode == UpravMode::Delete ? kDeleteRefusedPhrase : kInsertRefusedPhrase);
}

void TUpravF::ClearEdits() {
    const FilmBoxes fresh = FilmBoxes::FreshAdd();
    const auto boxes = EditBoxes(*this);
    for (std::size_t box = 0; box < boxes.size(); ++box) boxes[box]->setText(ToQString(*fresh.Box[box]));
    Edit1->setFocus();
}

void TUpravF::LoadEdits() {
    TClientDataSet& table = *FTable;
    const auto boxes = EditBoxes(*this);
    for (std::size_t box = 0; box < boxes.size(); ++box) {
        const TField& field = table.FieldNamed(kFilmLayout[box].Name);
        boxes[box]->setText(kFilmLayout[box].Number ? QString::number(field.AsInteger()) : ToQString(field.AsString()));
    }
    Edit1->setFocus();
}

bool TUpravF::StoreRecord() {
    TClientDataSet& table = *FTable;
    TableWalk walk(table);
    // An add returns to the film that was current before (the walk's bookmark);
    // an edit to the edited film, wherever it now sorts.
    const std::optional<std::int32_t> edited = FMode == UpravMode::Add ? std::nullopt : CurrentFilmKey(table);
    if (FMode == UpravMode::Add) {
        table.Insert();
    } else {
        table.Edit();
    }
    // An empty number box is stored as 0, and shows it.
    FilmBoxes typed;
    const auto boxes = EditBoxes(*this);
    for (std::size_t box = 0; box < boxes.size(); ++box) {
        if (kFilmLayout[box].Number && boxes[box]->text().isEmpty()) boxes[box]->setText(QStringLiteral("0"));
        typed.Box[box] = FromQString(boxes[box]->text());
    }

    bool posted = false;
    try {
        StoreBoxes(table, typed);
        table.Post();
        posted = true;
    } catch (const std::exception& failure) {
        // Nothing of a refused store may stay pending: the reload would post it.
        table.Cancel();
        ShowError(kInsertRefusedPhrase, InsertRefusalReason(failure));
    }
    // A film that did not reach the file is lost by the reload below, so only a
    // successful save clears the boxes; otherwise the user keeps the typing and
    // can try again (SaveCatalog has already said why it failed).
    const bool stored = posted && SaveCatalog(table);
    if (stored) ClearEdits();

    OpenCatalog(table);
    ReturnQuietly(table, walk, edited);
    return stored;
}

void TUpravF::DeleteRecord() {
    TClientDataSet& table = *FTable;
    TableWalk walk(table);
    std::optional<std::int32_t> neighbour;
    table.Next();
    if (table.AtEnd()) {
        table.Prior();
        walk.Remember();
        neighbour = CurrentFilmKey(table);
        table.Next();
    } else {
        walk.Remember();
        neighbour = CurrentFilmKey(table);
        table.Prior();
    }
    try {
        table.Delete();
        SaveCatalog(table);
    } catch (const std::exception&) {
        ShowError(kDeleteRefusedPhrase);
    }
    OpenCatalog(table);
    ReturnQuietly(table, walk, neighbour);
}

void TUpravF::Button1Click() {
    if (StoreRecord()) done(mrOk);
}

void TUpravF::Button2Click() { done(mrCancel); }

void TUpravF::Button3Click() { StoreRecord(); }

void TUpravF::Edit1Exit() {
    if (Edit2->text().isEmpty()) Edit2->setText(Edit1->text());
}

bool TUpravF::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit1 && event->type() == QEvent::FocusOut) {
        // Only a move to another control of this dialog leaves the box; the
        // window losing activation or a context menu opening does not.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) Edit1Exit();
    }
    return QDialog::eventFilter(watched, event);
}

void TUpravF::reject() { done(mrCancel); }
