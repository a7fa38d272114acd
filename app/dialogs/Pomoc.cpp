#include "app/dialogs/Pomoc.h"

#include <QFrame>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include "app/core/UiServices.h"
#include "app/qtedge/QtEdge.h"
#include "app/qtedge/SpecifiedSizes.h"

namespace {

// The help text line by line. Continuation lines are indented with blanks to
// stand under the text after the dash; the fixed-pitch font keeps the columns.
const char* const kHelpLines[] = {
    "O programu:",
    "===========",
    "",
    "Kinovka v. 2.0 je jednoduchá databáze CD s filmy.",
    "Umožňuje tisk seznamu filmů, jeho uložení do textového",
    "souboru, třídění a jednoduchou statistiku; ovládání je",
    "intuitivní.",
    "",
    "O autorovi:",
    "===========",
    "Autor: tým projektu Kinovka",
    "Kontakt: kinovka@example.org",
    "Web: https://kinovka.example.org",
    "Dotazy a náměty k programu posílejte prosím autorovi.",
    "Program je zdarma, jde o freeware.",
    "",
    "Novinky:",
    "========",
    "2.0 - dokončeno hledání;",
    "      program už nepotřebuje samostatný",
    "      databázový stroj, data čte a zapisuje",
    "      sám",
    "1.1 - rychlé hledání psaním funguje i pro",
    "      písmena s diakritikou, například Č",
    "1.04 - přívětivější ovládání; klávesa F4",
    "       v hlavním okně přidá CD",
    "1.03 - třídění a hledání pro češtinu:",
    "       diakritika se nebere v úvahu, takže",
    "       při hledání jsou Ď a D totéž",
    "1.02 - první částečná oprava třídění",
    "       a hledání pro češtinu",
    "1.01 - třídění kliknutím na nadpis sloupce",
    "       tabulky, který pak zčervená; rychlé",
    "       hledání psaním ve sloupcích Název",
    "       anglicky, Název česky, Poznámka a č. CD;",
    "       je-li seznam setříděn podle čísla CD,",
    "       napsáním 232 se skočí na CD 232, a když",
    "       takové chybí, na nejbližší vyšší",
    "       číslo",
    "",
    "Ovládání:",
    "=========",
    "Nejprve je třeba vytvořit datový soubor: spusťte",
    "program s jedním parametrem, jménem souboru (nejlépe",
    "\"filmy.xml\"), a stiskněte tlačítko Nový. Potom lze",
    "program spouštět i bez parametru.",
    "Jméno souboru, který neexistuje, znamená, že se má",
    "soubor vytvořit.",
    "Výchozí jméno souboru je \"filmy.xml\". Chcete-li",
    "pracovat s jiným souborem, je třeba jeho jméno zadat",
    "jako parametr při každém spuštění programu.",
    "",
    "Tlačítka:",
    "=========",
    " Přidat  - přidá CD do seznamu",
    " Opravit - opraví záznam vybraného CD",
    " Smazat  - smaže záznam vybraneho CD",
    " Hledání - hledá film podle (části) názvu",
    " Další   - pokračování v hledání",
    " Třídění - třídí podle různých kritérií (třídění lze provést i",
    "           kliknutím na libovolný sloupec tabulky; červené",
    "           nadpisy ukazují sloupce, podle kterých je seznam",
    "           setříděn)",
    " Seznamy - Seznam všech filmů - vypíše seznam do přehledného",
    "                                okna s možností tisku a uložení",
    "         - Počet CD a filmů - stručná statistika datového",
    "           souboru",
    " Konec   - ukončí činnost programu",
    "",
    " ",
    " ",
    " ",
    " ",
};

}  // namespace

TPomocF::TPomocF(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Pomoc"));
    setFont(WindowFont());
    const SpecifiedPixels pixels(font());
    setFixedSize(pixels(476), pixels(336));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel2 = new QFrame(this);
    Panel2->setFixedHeight(pixels(41));
    Panel2->setFrameShape(QFrame::StyledPanel);
    Button1 = new QPushButton(QStringLiteral("&Ok"), Panel2);
    Button1->setGeometry(pixels(200), pixels(8), pixels(75), pixels(25));
    Button1->setDefault(true);
    layout->addWidget(Panel2);

    Panel1 = new QFrame(this);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    Memo1 = new QPlainTextEdit(Panel1);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFont(CourierNew(0, pixels(11)));
    Memo1->setPlainText(HelpText());
    panelLayout->addWidget(Memo1);
    layout->addWidget(Panel1, 1);

    connect(Button1, &QPushButton::clicked, this, [this] { done(mrOk); });
}

int TPomocF::Execute() {
    Button1->setFocus();
    return exec();
}

QString TPomocF::HelpText() {
    QStringList lines;
    for (const char* line : kHelpLines) lines.append(QString::fromUtf8(line));
    return lines.join(QLatin1Char('\n'));
}

void TPomocF::keyPressEvent(QKeyEvent* event) {
    // Only "&Ok" and the close box close this window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TPomocF::reject() { done(mrCancel); }
