#include "app/dialogs/Uprav.h"

#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <optional>
#include <stdexcept>

#include "app/core/FilmKey.h"
#include "app/core/Global.h"
#include "app/core/InsertRefusal.h"
#include "app/core/StrictInt.h"
#include "app/core/TableWalk.h"
#include "app/dialogs/FixedPlacement.h"
#include "app/qtedge/QtEdge.h"
#include "text/Cp1250.h"

namespace {

std::int32_t BoxInteger(const QLineEdit* box) {
    const std::string text = FromQString(box->text());
    if (auto value = StrictStrToInt(text)) return *value;
    throw std::invalid_argument("'" + text + "' is not a valid integer value");
}

void SetText(TClientDataSet& table, std::string_view field, const QLineEdit* box) {
    table.FieldNamed(field).SetAsString(FromQString(box->text()));
}

constexpr std::string_view kStoreFailure = "Tyto položky nelze vložit do databáze ";
constexpr std::string_view kDeleteFailure = "Tyto položky nelze smazat z databáze ";

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

void TUpravF::ShowFailure(UpravMode mode) { ShowError(mode == UpravMode::Delete ? kDeleteFailure : kStoreFailure); }

void TUpravF::ClearEdits() {
    for (QLineEdit* box : {Edit1, Edit2, Edit3, Edit7}) box->clear();
    Edit4->setText(QStringLiteral("EN"));
    Edit5->setText(QStringLiteral("CZ"));
    Edit6->setText(QStringLiteral("1"));
    Edit1->setFocus();
}

void TUpravF::LoadEdits() {
    TClientDataSet& table = *FTable;
    Edit1->setText(ToQString(table.FieldNamed("S1").AsString()));
    Edit2->setText(ToQString(table.FieldNamed("S2").AsString()));
    Edit3->setText(QString::number(table.FieldNamed("S3").AsInteger()));
    Edit4->setText(ToQString(table.FieldNamed("S4").AsString()));
    Edit5->setText(ToQString(table.FieldNamed("S5").AsString()));
    Edit6->setText(QString::number(table.FieldNamed("S6").AsInteger()));
    Edit7->setText(ToQString(table.FieldNamed("S7").AsString()));
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
    if (Edit3->text().isEmpty()) Edit3->setText(QStringLiteral("0"));
    if (Edit6->text().isEmpty()) Edit6->setText(QStringLiteral("0"));

    bool posted = false;
    try {
        SetText(table, "S1", Edit1);
        SetText(table, "S2", Edit2);
        table.FieldNamed("S3").SetAsInteger(BoxInteger(Edit3));
        SetText(table, "S4", Edit4);
        SetText(table, "S5", Edit5);
        table.FieldNamed("S6").SetAsInteger(BoxInteger(Edit6));
        SetText(table, "S7", Edit7);
        table.Post();
        posted = true;
    } catch (const std::exception& failure) {
        // Nothing of a refused store may stay pending: the reload would post it.
        table.Cancel();
        ShowError(kStoreFailure, InsertRefusalReason(failure));
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
        ShowError(kDeleteFailure);
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
