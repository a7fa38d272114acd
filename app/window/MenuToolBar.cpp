// The main window's toolbar and pop-up menus, and the catalogue actions behind
// them: "Nový", the edit dialog's add, edit and delete, the lists, help and the
// end; and the grid's delete key.
#include <QActionGroup>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "app/core/Global.h"
#include "app/dialogs/Pomoc.h"
#include "app/dialogs/Seznam.h"
#include "app/dialogs/Uprav.h"
#include "app/qtedge/QtEdge.h"
#include "app/qtedge/SpecifiedSizes.h"
#include "app/window/DBGrid.h"
#include "app/window/Menu.h"
#include "layout/CatalogLayout.h"

namespace {

// Each item is captioned with its field's title and sorts by its field's order.
struct SortItemDef {
    QAction* TMenuF::*item;
    std::size_t field;  // in kFilmLayout
};

const SortItemDef kSortItems[] = {
    {&TMenuF::NazEnPop, kEnglishTitle}, {&TMenuF::NazCzPop, kCzechTitle}, {&TMenuF::CisCDPop, kCdNumber},
    {&TMenuF::ZneniPop, kLanguage},     {&TMenuF::TitulkyPop, kSubtitles}, {&TMenuF::ksCDPop, kDiscCount},
    {&TMenuF::PoznPop, kNote},
};

}  // namespace

void TMenuF::BuildToolBar() {
    const SpecifiedPixels pixels(font());
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setFixedHeight(pixels(25));
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ToolBar1->setContentsMargins(0, 0, 0, 0);

    auto button = [this, &pixels](const char* caption, bool enabled, void (TMenuF::*handler)()) {
        auto* toolButton = new QToolButton(ToolBar1);
        toolButton->setText(QString::fromUtf8(caption));
        toolButton->setAutoRaise(true);
        toolButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
        toolButton->setFixedHeight(pixels(21));
        toolButton->setMinimumWidth(pixels(50));
        toolButton->setFocusPolicy(Qt::NoFocus);
        toolButton->setEnabled(enabled);
        connect(toolButton, &QToolButton::clicked, this, [this, handler] { RunHandler([&] { (this->*handler)(); }); });
        ToolBar1->addWidget(toolButton);
        return toolButton;
    };

    PopupMenu1 = new QMenu(this);
    SortGroup = new QActionGroup(this);
    SortGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (const SortItemDef& def : kSortItems) {
        QAction* item = PopupMenu1->addAction(QString::fromUtf8(kFilmLayout[def.field].Title));
        item->setCheckable(true);
        SortGroup->addAction(item);
        const std::string fields(kFilmLayout[def.field].SortOrder);
        connect(item, &QAction::triggered, this, [this, item, fields] { RunHandler([&] { SortBy(fields, item); }); });
        this->*def.item = item;
    }
    NazEnPop->setChecked(true);

    PopupMenu2 = new QMenu(this);
    SeznamVseItem = PopupMenu2->addAction(QString::fromUtf8("Seznam všech filmů"));
    SeznamPocetItem = PopupMenu2->addAction(QString::fromUtf8("Počet CD a filmů"));
    SeznamCDItem = PopupMenu2->addAction(QString::fromUtf8("Přehled CD"));
    SeznamPujcenaItem = PopupMenu2->addAction(QString::fromUtf8("Půjčená CD"));
    connect(SeznamVseItem, &QAction::triggered, this, [this] { RunHandler([this] { SeznamVsePop(); }); });
    connect(SeznamPocetItem, &QAction::triggered, this, [this] { RunHandler([this] { SeznamPocetPop(); }); });
    connect(SeznamCDItem, &QAction::triggered, this, [this] { RunHandler([this] { SeznamCDPop(); }); });
    connect(SeznamPujcenaItem, &QAction::triggered, this, [this] { RunHandler([this] { SeznamPujcenaPop(); }); });

    ToolButton1 = button("Nový", true, &TMenuF::ToolButton1Click);
    ToolBar1->addSeparator();
    ToolButton2 = button("Přidat", true, &TMenuF::ToolButton2Click);
    ToolButton3 = button("Opravit", true, &TMenuF::ToolButton3Click);
    ToolButton4 = button("Smazat", true, &TMenuF::ToolButton4Click);
    ToolBar1->addSeparator();
    ToolButton12 = button("Hledání", true, &TMenuF::ToolButton12Click);
    ToolButton13 = button("Další", false, &TMenuF::ToolButton13Click);
    ToolButton7 = button("Třídění", true, &TMenuF::ToolButton7Click);
    ToolButton7->setPopupMode(QToolButton::MenuButtonPopup);
    ToolButton7->setMenu(PopupMenu1);
    ToolBar1->addSeparator();
    ToolButton8 = button("Seznamy", true, &TMenuF::ToolButton8Click);
    ToolButton8->setPopupMode(QToolButton::MenuButtonPopup);
    ToolButton8->setMenu(PopupMenu2);
    ToolBar1->addSeparator();
    ToolButton11 = button("Pomoc", true, &TMenuF::ToolButton11Click);
    ToolBar1->addSeparator();
    ToolButton15 = button("Konec", true, &TMenuF::ToolButton15Click);
}

void TMenuF::ToolButton1Click() {
    if (!MayChangeCatalog(UpravMode::Add)) return;
    CreateCatalog(cds);
    if (!OpenCatalog(cds)) return;
    SortBy(kFirstSort, NazEnPop);
    SetCatalogButtons(true);
}

void TMenuF::ToolButton2Click() {
    if (!MayChangeCatalog(UpravMode::Add)) return;
    UpravF->Execute(cds, UpravMode::Add);
    DBGrid1->setFocus();
}

void TMenuF::ToolButton3Click() {
    if (!MayChangeCatalog(UpravMode::Edit)) return;
    UpravF->Execute(cds, UpravMode::Edit);
    DBGrid1->setFocus();
}

void TMenuF::ToolButton4Click() {
    if (!MayChangeCatalog(UpravMode::Delete)) return;
    UpravF->Execute(cds, UpravMode::Delete);
    DBGrid1->setFocus();
}

void TMenuF::ToolButton7Click() { SortBy(kFirstSort, NazEnPop); }

void TMenuF::ToolButton8Click() { SeznamF->Execute(cds, 0); }

void TMenuF::SeznamVsePop() { SeznamF->Execute(cds, 0); }

void TMenuF::SeznamPocetPop() { SeznamF->Execute(cds, 1); }

void TMenuF::SeznamCDPop() { SeznamF->Execute(cds, TSeznamF::kDiscOverview); }

void TMenuF::SeznamPujcenaPop() { SeznamF->Execute(cds, TSeznamF::kLentDiscs); }

void TMenuF::ToolButton11Click() { PomocF->Execute(); }

void TMenuF::ToolButton15Click() { close(); }

void TMenuF::DBGrid1DeleteKey() {
    if (!cds.Active() || cds.CountRecords() == 0) return;
    if (!MayChangeCatalog(UpravMode::Delete)) return;
    if (UserInterface().MessageBox("Delete record?", MessageKind::Confirm, MessageButtons::OkCancel) != mrOk) return;
    // The same path as "Smazat": the deletion reaches the file at once, so the
    // film cannot come back at the next reload.
    UpravF->Execute(cds, UpravMode::Delete);
}
