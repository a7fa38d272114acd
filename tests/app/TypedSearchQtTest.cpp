// Typed search in the grid: text search on the title and note columns, number
// search on the CD number, and the title that shows the typed text.
#include <QTest>

#include <algorithm>

#include "app/core/Global.h"
#include "app/window/CatalogGridModel.h"
#include "app/window/DBGrid.h"
#include "app/window/TypedSearch.h"
#include "tests/app/WindowTestSupport.h"

namespace {

// Sorted by the English title alone the sample films stand in this order.
const std::vector<std::string> kByEnglishTitle{"",        "Amélie",      "Ďábel nosí Pradu", "Pelíšky",    "Stalker",
                                               "Star Wars", "Šakalí léta", "The Matrix",       "Zelená míle"};

class Searching {
public:
    explicit Searching(int titleColumn) : program(SampleFilms()) {
        if (titleColumn >= 0) program.Menu.DBGrid1TitleClick(titleColumn);
        Ui().Clear();
    }
    void Type(const char* utf8) { TypeText(program.Menu.DBGrid1, QString::fromUtf8(utf8)); }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
        PressKey(program.Menu.DBGrid1, key, modifiers, text);
    }
    std::string Typed() const { return cp1250::ToUtf8(program.Menu.QuickSearch->QuickSearchText); }
    int Row() const { return program.Menu.cds.CurrentRow(); }

    ProgramUnderTest program;
};

}  // namespace

class TypedSearchQtTest : public QObject {
    Q_OBJECT

private slots:
    void typingDoesNothingAfterAMenuSort() {
        Searching search(-1);
        search.Type("st");
        QCOMPARE(search.Typed(), std::string());
        QCOMPARE(search.Row(), 0);
        QCOMPARE(search.program.TitleCaption(0), QString::fromUtf8("Název anglicky"));
    }

    void lettersJumpToTheFirstTitleBeginningWithThemFolded() {
        Searching search(0);
        QCOMPARE(search.program.Column(0), kByEnglishTitle);
        search.Type("st");
        QCOMPARE(search.program.CurrentTitle(), std::string("Stalker"));
        QCOMPARE(search.program.GridRow(), 4);
        QCOMPARE(search.program.TitleCaption(0), QStringLiteral("st"));
        QCOMPARE(search.program.Menu.QuickSearch->SavedTitleCaption, cp1250::FromUtf8("Název anglicky"));

        search.Press(Qt::Key_Escape);
        search.Type("ŠA");
        QCOMPARE(search.program.CurrentTitle(), std::string("Šakalí léta"));
        search.Press(Qt::Key_Escape);
        search.Type("dab");
        QCOMPARE(search.program.CurrentTitle(), std::string("Ďábel nosí Pradu"));
        QCOMPARE(search.program.TitleCaption(0), QStringLiteral("dab"));
        search.Press(Qt::Key_Escape);
        search.Type("star ");
        QCOMPARE(search.program.CurrentTitle(), std::string("Star Wars"));
        QCOMPARE(search.program.TitleCaption(0), QStringLiteral("star "));
    }

    void withoutAPrefixTheNearestFollowingTitleOrTheLastIsTaken() {
        Searching search(0);
        search.Type("q");
        QCOMPARE(search.program.CurrentTitle(), std::string("Stalker"));
        search.Press(Qt::Key_Escape);
        search.Type("x");
        QCOMPARE(search.program.CurrentTitle(), std::string("Zelená míle"));
        search.Press(Qt::Key_Home);
        QCOMPARE(search.Row(), 0);
        search.Type("zzz");
        QCOMPARE(search.Row(), 8);
        QCOMPARE(search.program.GridRow(), 8);
    }

    void theFiftyFirstCharacterStartsAnew() {
        Searching search(0);
        search.Type(std::string(50, 'z').c_str());
        QCOMPARE(search.Typed(), std::string(50, 'z'));
        QCOMPARE(search.Row(), 8);
        search.Type("b");
        QCOMPARE(search.Typed(), std::string());
        QCOMPARE(search.program.CurrentTitle(), std::string("Amélie"));  // the first non-empty title
        QCOMPARE(search.program.TitleCaption(0), QString::fromUtf8("Název anglicky"));
        search.Type("p");
        QCOMPARE(search.Typed(), std::string("p"));
        QCOMPARE(search.program.CurrentTitle(), std::string("Pelíšky"));

        // The note column holds 100 characters: the 101st starts anew, on the first non-empty note.
        search.program.Menu.DBGrid1TitleClick(6);
        search.Type(std::string(100, 'z').c_str());
        QCOMPARE(search.Typed(), std::string(100, 'z'));
        search.Type("b");
        QCOMPARE(search.Typed(), std::string());
        QCOMPARE(search.program.TitleCaption(6), QString::fromUtf8("Poznámka"));
        const std::vector<std::string> notes = search.program.Column(6);
        const auto firstNote = std::find_if(notes.begin(), notes.end(), [](const std::string& note) { return !note.empty(); });
        QCOMPARE(search.Row(), static_cast<int>(firstNote - notes.begin()));
        QVERIFY(search.Row() > 0);
    }

    void typingIntoAnEmptyCatalogOnlyShowsTheText() {
        ProgramUnderTest program(std::vector<Film>{});
        for (const int column : {0, 2, 6}) {
            program.Menu.DBGrid1TitleClick(column);
            TypeText(program.Menu.DBGrid1, QStringLiteral("12"));
            QCOMPARE(program.TitleCaption(column), QStringLiteral("12"));
            QCOMPARE(program.Menu.cds.CurrentRow(), -1);
            PressKey(program.Menu.DBGrid1, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
            QCOMPARE(program.TitleCaption(column), QStringLiteral("1"));
            PressKey(program.Menu.DBGrid1, Qt::Key_Escape);
            QCOMPARE(cp1250::ToUtf8(program.Menu.QuickSearch->QuickSearchText), std::string());
        }
        QVERIFY(Ui().Messages.empty());
    }

    void backspaceShortensWithoutMoving() {
        Searching search(0);
        search.Type("star");
        QCOMPARE(search.Row(), 5);
        search.Press(Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
        QCOMPARE(search.Typed(), std::string("sta"));
        QCOMPARE(search.program.TitleCaption(0), QStringLiteral("sta"));
        QCOMPARE(search.Row(), 5);
        for (int i = 0; i < 3; ++i) search.Press(Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
        QCOMPARE(search.program.TitleCaption(0), QString::fromUtf8("Název anglicky"));
        QVERIFY(search.program.Menu.QuickSearch->SavedTitleCaption.empty());
        QCOMPARE(search.Row(), 5);
    }

    void navigationKeysEscAndCellClicksEndTheSearch() {
        Searching search(0);
        search.Type("pel");
        QCOMPARE(search.Row(), 3);
        search.Press(Qt::Key_Down);
        QCOMPARE(search.Typed(), std::string());
        QCOMPARE(search.program.TitleCaption(0), QString::fromUtf8("Název anglicky"));
        QCOMPARE(search.Row(), 4);

        search.Type("a");
        search.Press(Qt::Key_Escape);
        QCOMPARE(search.program.TitleCaption(0), QString::fromUtf8("Název anglicky"));
        QCOMPARE(search.Row(), 1);

        search.Type("z");
        search.program.Menu.DBGrid1CellClick();
        QCOMPARE(search.Typed(), std::string());
        QCOMPARE(search.program.TitleCaption(0), QString::fromUtf8("Název anglicky"));
    }

    void controlAndForeignCharactersNeverEnterTheText() {
        Searching search(0);
        search.Type("s");
        {
            ModalAnswer opravit(RejectModal);  // Enter opens "Opravit" and types nothing
            search.Press(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        }
        search.Press(Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
        search.Press(Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("日"));
        QCOMPARE(search.Typed(), std::string("s"));
        // Keys without a character of their own, and commands, type nothing either.
        const int row = search.Row();
        Ui().QueueAnswer(mrCancel);
        search.Press(Qt::Key_Delete, Qt::ControlModifier, QStringLiteral("\x7f"));
        search.Press(Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
        search.Press(Qt::Key_T, Qt::AltModifier, QStringLiteral("t"));
        search.Press(Qt::Key_1, Qt::ControlModifier, QStringLiteral("1"));
        QCOMPARE(search.Typed(), std::string("s"));
        QCOMPARE(search.Row(), row);
        QCOMPARE(search.program.TitleCaption(0), QStringLiteral("s"));
        // AltGr types its character.
        search.Press(Qt::Key_unknown, Qt::GroupSwitchModifier, QStringLiteral("t"));
        QCOMPARE(search.Typed(), std::string("st"));

        Searching numbers(2);
        numbers.Type("1");
        numbers.Press(Qt::Key_2, Qt::ControlModifier, QStringLiteral("2"));
        numbers.Press(Qt::Key_2, Qt::AltModifier, QStringLiteral("2"));
        QCOMPARE(numbers.Typed(), std::string("1"));
    }

    void aSortDuringASearchGivesTheOldColumnItsCaptionBack() {
        Searching search(0);
        search.Type("st");
        search.program.Menu.NazCzPop->trigger();
        QCOMPARE(search.program.TitleCaption(0), QString::fromUtf8("Název anglicky"));
        QCOMPARE(search.program.TitleCaption(1), QString::fromUtf8("Název česky"));
        QVERIFY(search.program.Menu.QuickSearch->SavedTitleCaption.empty());
        QCOMPARE(search.Typed(), std::string());
        search.Type("st");
        QCOMPARE(search.Typed(), std::string());
    }

    void czechTitleAndNoteColumnsSearchTheirOwnField() {
        Searching search(1);
        search.Type("hv");
        QCOMPARE(search.program.CurrentTitle(), std::string("Star Wars"));
        QCOMPARE(search.program.TitleCaption(1), QStringLiteral("hv"));

        search.program.Menu.DBGrid1TitleClick(6);
        search.Type("ces");
        QCOMPARE(search.program.CurrentTitle(), std::string("Pelíšky"));
        QCOMPARE(search.program.TitleCaption(6), QStringLiteral("ces"));
    }

    void digitsJumpToTheFirstCdNumberAtLeastTheTypedOne() {
        Searching search(2);
        QCOMPARE(QuickSearchColumn, 3);
        search.Type("12");
        QCOMPARE(search.Typed(), std::string("12"));
        QCOMPARE(search.program.TitleCaption(2), QStringLiteral("12"));
        QCOMPARE(search.program.Column(2).at(static_cast<std::size_t>(search.Row())), std::string("12"));

        search.Press(Qt::Key_Escape);
        QCOMPARE(search.program.TitleCaption(2), QString::fromUtf8("č. CD"));
        search.Press(Qt::Key_2, Qt::KeypadModifier, QStringLiteral("2"));
        search.Press(Qt::Key_0, Qt::KeypadModifier, QStringLiteral("0"));
        QCOMPARE(search.Typed(), std::string("20"));
        QCOMPARE(search.program.Column(2).at(static_cast<std::size_t>(search.Row())), std::string("25"));

        search.Press(Qt::Key_Escape);
        search.Type("000000001");
        QCOMPARE(search.Row(), 0);
        search.Type("9");  // the tenth digit starts again with itself
        QCOMPARE(search.Typed(), std::string("9"));
        QCOMPARE(search.program.Column(2).at(static_cast<std::size_t>(search.Row())), std::string("12"));

        search.Press(Qt::Key_Escape);
        search.Type("99");
        QCOMPARE(search.Row(), 8);  // nothing that high: the last film
        search.Type("a");           // letters do nothing in number search
        QCOMPARE(search.Typed(), std::string("99"));
    }

    // Hundreds of films, stored in another order than the grid shows them: every
    // key lands where the two passes over the grid's order would stop.
    void aLargeCatalogIsSearchedInTheGridsOrder() {
        const std::vector<std::string> words{"star", "Šakal", "ďábel", "Stín", "zelená", "ano", "čas", "", "Ž"};
        std::vector<Film> films;
        for (int i = 0; i < 400; ++i) {
            const std::string title = words[static_cast<std::size_t>(i * 7 % 9)] + " " + std::to_string(i * 37 % 400);
            // Some CD numbers empty (read as 0) and some negative.
            const std::optional<int> cd = i % 13 == 0 ? std::nullopt : std::optional((i * 53) % 97 - (i % 5 == 0 ? 60 : 0));
            films.push_back({i % 11 == 0 ? "" : title, "", cd, "", "", 1, ""});
        }
        ProgramUnderTest program(films);
        program.Menu.DBGrid1TitleClick(0);
        const std::vector<std::string> titles = program.Column(0);
        const auto expectedRow = [&titles](const std::string& typedUtf8) {
            const std::string typed = cp1250::FromUtf8(typedUtf8);
            for (std::size_t row = 0; row < titles.size(); ++row)
                if (CzechCompare(cp1250::FromUtf8(titles[row]).substr(0, typed.size()), typed) == 0) return static_cast<int>(row);
            for (std::size_t row = 0; row < titles.size(); ++row)
                if (CzechCompare(cp1250::FromUtf8(titles[row]), typed) >= 0) return static_cast<int>(row);
            return static_cast<int>(titles.size()) - 1;
        };
        for (const char* typed : {"s", "st", "sti", "z", "zz", "d", "c", "b", "9", "ž 1", "ano 39"}) {
            PressKey(program.Menu.DBGrid1, Qt::Key_Escape);
            TypeText(program.Menu.DBGrid1, QString::fromUtf8(typed));
            QCOMPARE(program.Menu.cds.CurrentRow(), expectedRow(typed));
        }

        program.Menu.DBGrid1TitleClick(2);
        const std::vector<std::string> numbers = program.Column(2);
        QVERIFY(numbers.front().empty());
        for (const int wanted : {0, 1, 50, 96, 97}) {
            PressKey(program.Menu.DBGrid1, Qt::Key_Escape);
            TypeText(program.Menu.DBGrid1, QString::number(wanted));
            int expected = static_cast<int>(numbers.size()) - 1;
            for (std::size_t row = 0; row < numbers.size(); ++row) {
                if ((numbers[row].empty() ? 0 : std::stoi(numbers[row])) >= wanted) {
                    expected = static_cast<int>(row);
                    break;
                }
            }
            QCOMPARE(program.Menu.cds.CurrentRow(), expected);
        }
    }
};

KINOVKA_WINDOW_TEST_MAIN(TypedSearchQtTest)
#include "TypedSearchQtTest.moc"
