#include "cli/CzechHelp.h"

#include <cstdlib>
#include <string>

#include "layout/CatalogLayout.h"

namespace {

using Options = std::map<std::string_view, std::string_view>;

const Options kFilmOptions{
    {"en", "anglický název (S1)"},
    {"cz", "český název (S2); chybí-li při přidání, anglický název"},
    {"cd", "číslo CD (S3); prázdný text je 0"},
    {"lang", "znění (S4)"},
    {"subs", "titulky (S5)"},
    {"discs", "počet disků (S6); prázdný text je 0"},
    {"note", "poznámka (S7)"},
};
const std::string kSortText =
    "pořadí indexu \"k\": názvy polí spojené \";\" (výchozí " + std::string(kDefaultSortFields) + ")";
const std::string_view kSort = kSortText;
constexpr std::string_view kRaw = "bajty Windows-1250 s konci řádků CR LF, jak je ukládá okno seznamů";

const std::map<std::string_view, CzechCommandHelp> kHelp{
    {"new",
     {"vytvoří prázdný katalog",
      "Vytvoří prázdný katalog, jako to dělá tlačítko \"Nový\". Existující soubor\n"
      "nechá beze změny (návratový kód 1), není-li zadáno --force.\n",
      {{"force", "nahradí existující soubor (starý zůstane jako KATALOG.bak)"}}}},
    {"list",
     {"seznam všech filmů",
      "Vypíše seznam všech filmů z okna seznamů: řádek záhlaví, prázdný řádek\n"
      "a jeden řádek pevné šířky na každý film, v pořadí podle POLE.\n",
      {{"sort", kSort}, {"raw", kRaw}}}},
    {"summary",
     {"počty CD a filmů", "Vypíše souhrn z okna seznamů: počet CD a počty filmů podle znění.\n", {{"raw", kRaw}}}},
    {"dump",
     {"všechny záznamy s K a S1 až S7",
      "Vypíše každý záznam s jeho klíčem K a poli S1 až S7 v pořadí podle POLE.\n"
      "V JSON je pole bez hodnoty null a čísla jsou čísla; v CSV je pole bez hodnoty\n"
      "prázdná buňka a prázdný text \"\".\n",
      {{"sort", kSort}, {"format", "json (výchozí): pole objektů; csv: řádek záhlaví a řádky podle RFC 4180"}}}},
    {"find",
     {"filmy, jejichž názvy a poznámka obsahují texty",
      "Vypíše řádky seznamu každého filmu, jehož anglický název, český název\n"
      "a poznámka obsahují zadané texty bez ohledu na velikost písmen (na diakritice\n"
      "záleží: c nenajde č). Nic nenalezeno: návratový kód 1.\n",
      {{"en", "část anglického názvu"}, {"cz", "část českého názvu"}, {"note", "část poznámky"}, {"sort", kSort}}}},
    {"add",
     {"přidá film a vypíše jeho K",
      "Přidá jeden film jako dialog úprav a vypíše jeho nový klíč K. Chybějící volby\n"
      "dostanou hodnoty formuláře pro přidání: prázdné texty, znění EN, titulky CZ,\n"
      "1 disk, číslo CD 0. Čísla jsou desítková, nebo šestnáctková za $, x nebo 0x.\n",
      kFilmOptions}},
    {"edit",
     {"změní film s klíčem K",
      "Změní film s klíčem K; mění se jen pole zadaných voleb (nový anglický název\n"
      "vyplní i prázdný český název). Soubor se přepíše, jen když se něco změnilo.\n",
      kFilmOptions}},
    {"delete", {"smaže film s klíčem K", "Smaže film s klíčem K.\n", {}}},
    {"import",
     {"přidá filmy ze souboru CSV nebo z jiného katalogizačního programu",
      "Přidá filmy ze SOUBORU, jehož formát pozná podle obsahu: CSV Kinovky, Ant\n"
      "Movie Catalog (.amc 3.1 až 4.2 nebo jeho XML), GCstar (.gcs), Tellico (.tc\n"
      "nebo jeho XML), export XML programů Griffith a Data Crow. CSV je v UTF-8 nebo\n"
      "Windows-1250, buňky oddělené \",\", \";\" nebo tabulátorem; záhlaví pojmenuje\n"
      "sloupce polem (S1 až S7) nebo titulkem sloupce mřížky (\"Název anglicky\",\n"
      "\"Název česky\", \"č. CD\", \"Znění\", \"Titulky\", \"ks CD\", \"Poznámka\") v\n"
      "libovolném pořadí a velikosti písmen; chybějící sloupce dostanou hodnoty\n"
      "formuláře pro přidání, prázdná buňka je bez hodnoty a \"\" prázdný text. Film,\n"
      "jehož anglický název, český název a číslo CD se shodují s filmem, který už v\n"
      "katalogu je (bez ohledu na velikost písmen a českou diakritiku), se vynechá,\n"
      "není-li zadáno --all. Celý převod je jedna změna (jedna verze, kterou vezme\n"
      "zpět \"restore KATALOG 1\"); soubor, který nejde přečíst celý, nepřidá nic a\n"
      "ohlásí místo, kde čtení skončilo. Vypíše souhrn: filmy přečtené, přidané a\n"
      "vynechané a u každého pole zdroje, pro které v katalogu není místo, kolik\n"
      "filmů v něm mělo hodnotu.\n",
      {{"dry-run", "vypíše souhrn a první filmy, jak by se uložily; nic nezmění"},
       {"all", "přidá i filmy, které už v katalogu jsou"}}}},
    {"export",
     {"zapíše výpis CSV nebo webovou stránku do souboru",
      "Zapíše výpis CSV (viz dump) nebo webovou stránku do SOUBOR. SOUBOR s jinou\n"
      "příponou než .csv, .html a .htm potřebuje --format. SOUBOR nesmí existovat,\n"
      "není-li zadáno --force, a nikdy to není katalog sám. Stránka je jeden\n"
      "soubor v UTF-8 bez vnějších zdrojů: počty ze souhrnu a sloupce mřížky, pole\n"
      "hledání (anglický název, český název a poznámka, bez ohledu na velikost písmen\n"
      "a českou diakritiku) a titulky sloupců, které třídí; \"#q=TEXT&sort=-S3\" za\n"
      "její adresou zadá hledání a pořadí.\n",
      {{"sort", kSort},
       {"format", "výchozí: html, končí-li SOUBOR na .html nebo .htm, csv, končí-li na .csv"},
       {"force", "nahradí existující SOUBOR (nikdy ne KATALOG)"}}}},
    {"convert",
     {"uloží katalog v jiné podobě",
      "Načte katalog a uloží ho jako VÝSTUP: v XML, binárně nebo v XML v UTF-8.\n"
      "Binární uložení pod jménem končícím na \".xml\" se zapíše jako XML.\n",
      {{"format", "podoba VÝSTUPU (výchozí xml)"}}}},
    {"rescue",
     {"uloží, co poškozený katalog ještě obsahuje",
      "Přečte poškozený katalog (XML nebo binární: useknutý, se změněnými bajty,\n"
      "s porušeným řádkem) až k prvnímu poškození a každý úplný řádek přečtený před\n"
      "ním uloží jako nový katalog VÝSTUP se stejnými poli; řádky, jejichž klíč K\n"
      "chybí nebo opakuje dřívější, se vynechají. Vypíše, kolik filmů zachránil\n"
      "a kde a proč čtení skončilo (posun v bajtech, číslo řádku). Návratový kód 2,\n"
      "když nešla přečíst ani pole. VÝSTUP nesmí existovat, není-li zadáno --force.\n",
      {{"force", "nahradí existující VÝSTUP (nikdy ne sám POŠKOZENÝ)"}}}},
    {"history",
     {"verze uchované dřívějšími změnami",
      "Vypíše jeden řádek na každou verzi, kterou změny katalogu uchovaly, od\n"
      "nejnovější: její číslo N (1 je stav, který nahradila poslední změna), kdy\n"
      "byla nahrazena, její počet filmů a co proti ní změnil nejbližší novější stav:\n"
      "filmy přidané, smazané a změněné (\"+2 -1 ~3\") s několika prvními názvy.\n"
      "V KATALOG.versions/ zůstává nejnovějších 100 verzí, dohromady nejvýše\n"
      "dvacetkrát tolik, kolik má největší z nich a katalog. Změny výpůjček (lend,\n"
      "return) jsou mezi nimi v pořadí, v jakém vznikly, jako \"výpůjčky\" a co se\n"
      "změnilo (\"půjčeno CD 15\"); jejich verze se uchovávají stejně vedle souboru\n"
      "výpůjček.\n",
      {}}},
    {"restore",
     {"učiní verzi N znovu katalogem",
      "Učiní verzi N z history katalogem (verzi výpůjček souborem výpůjček), bajt\n"
      "po bajtu. Stav, který nahradí, se stane verzí 1, takže \"restore KATALOG 1\"\n"
      "hned potom obnovení vezme zpět.\n",
      {}}},
    {"discs",
     {"každé číslo CD s jeho filmy a výpůjčkou",
      "Vypíše každé použité číslo CD, popořadě, s jeho filmy (anglický / český\n"
      "název) a u půjčeného CD komu a odkdy; potom volná čísla. Půjčené CD, jehož\n"
      "filmy byly všechny smazány, se vypíše jako \"(CD bez filmů)\" a jeho číslo\n"
      "není volné.\n",
      {{"free", "jen volná čísla mezi 1 a nejvyšším, jako rozsahy (\"31\u201339, 42\")"},
       {"next", "jen nejnižší volné číslo"}}}},
    {"disc",
     {"jedno CD: jeho filmy a výpůjčka",
      "Vypíše CD jako discs. Číslo, které nemá žádný film ani výpůjčka: návratový\n"
      "kód 1.\n",
      {}}},
    {"lend",
     {"půjčí CD se všemi jeho filmy",
      "Zapíše, že CD bylo půjčeno KOMU (nejvýše 50 znaků). Výpůjčky jsou v souboru\n"
      "výpůjček KATALOGU (\"filmy.loans.xml\" vedle \"filmy.xml\"); katalog sám se\n"
      "nepřepisuje. Odmítnuto (návratový kód 1): CD už půjčené, číslo, které žádný\n"
      "film nemá, chybné datum. Soubor výpůjček, který nelze přečíst, se nepřepíše\n"
      "(návratový kód 2): nejprve ho zachraňte.\n",
      {{"date", "odkdy (výchozí dnes; ne v budoucnosti)"}, {"note", "poznámka"}}}},
    {"return", {"půjčené CD se vrátilo", "Ukončí výpůjčku CD. CD, které není půjčené: návratový kód 1.\n", {}}},
    {"loans",
     {"půjčená CD, nejstarší výpůjčka první",
      "Vypíše půjčená CD, nejstarší výpůjčku první: CD, kdo ho má, odkdy, kolik\n"
      "dní, poznámku a filmy na CD.\n",
      {{"older-than", "jen výpůjčky delší než DNY dní"}}}},
};

const std::map<std::string_view, std::string_view> kPlaceholders{
    {"COMMAND", "PŘÍKAZ"},   {"CATALOGUE", "KATALOG"}, {"CSVFILE", "SOUBOR_CSV"}, {"FILE", "SOUBOR"},
    {"OUT", "VÝSTUP"},       {"DAMAGED", "POŠKOZENÝ"}, {"FIELDS", "POLE"},      {"WHO", "KOMU"},
    {"DAYS", "DNY"},
};

}  // namespace

const std::string_view kCzechProgramHelpHead =
    "Použití: kinovka-cli PŘÍKAZ KATALOG [ARGUMENTY] [VOLBY]\n\n"
    "Katalog filmů Kinovka z příkazového řádku. KATALOG je cesta k souboru\n"
    "katalogu. Textové argumenty jsou v UTF-8; znak, který Windows-1250 nemá,\n"
    "se změní na \"?\". Výstup je v UTF-8.\n\nPříkazy:\n";
const std::string_view kCzechProgramHelpTail =
    "\n\"kinovka-cli PŘÍKAZ --help\" popíše příkaz a jeho volby;\n"
    "\"kinovka-cli --version\" vypíše verzi.\n\n"
    "Návratový kód: 0 hotovo; 1 vstup odmítnut (chybný argument nebo číslo, neznámý\n"
    "klíč, nic nenalezeno, chybný řádek CSV); 2 katalog nešlo otevřít, vytvořit ani uložit.\n";

bool CzechMessagesWanted() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (!value || !*value) continue;
        // "cs", "cs_CZ.UTF-8", "cs@euro"; not another language whose code begins so.
        const std::string_view locale(value);
        return locale.starts_with("cs") && (locale.size() == 2 || std::string_view("_.@").find(locale[2]) != std::string_view::npos);
    }
    return false;
}

const CzechCommandHelp* CzechHelpOf(std::string_view command) {
    const auto found = kHelp.find(command);
    return found == kHelp.end() ? nullptr : &found->second;
}

std::string_view CzechPlaceholder(std::string_view placeholder) {
    const auto found = kPlaceholders.find(placeholder);
    return found == kPlaceholders.end() ? placeholder : found->second;
}
