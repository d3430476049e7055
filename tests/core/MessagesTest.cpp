#include <gtest/gtest.h>

#include <string>

#include "core/messages/Messages.h"
#include "tests/support/ScriptedPresenter.h"

TEST(ShowMessage, InsertsArgumentAtFirstPercentSOrAppendsIt) {
    struct Case {
        const char* name;
        std::string format, argument, expected;
    } const cases[] = {
        {"in the middle", "Die Datei '%s' fehlt.", "ä.txt", "Die Datei 'ä.txt' fehlt."},
        {"only the first", "%s und %s", "x", "x und %s"},
        {"no placeholder: blank between", "Fehler:", "Zugriff verweigert.",
         "Fehler: Zugriff verweigert."},
        {"%d without %s", "%d Dateien", "x", "%d Dateien x"},
        {"argument with percent", "'%s'", "100%s%d", "'100%s%d'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPresenter presenter;
        ScopedMessagePresenter installed(presenter);
        ShowMessage(c.format, c.argument, MB_OK);
        ASSERT_EQ(presenter.shown().size(), 1u);
        EXPECT_EQ(presenter.shown()[0].text, c.expected);
    }
}

TEST(ShowMessage, PassesTypeAndHelpIdAndReturnsTheAnswer) {
    ScriptedPresenter presenter(IDCANCEL);
    presenter.answer({IDYES, IDNO});
    ScopedMessagePresenter installed(presenter);

    EXPECT_EQ(ShowMessage("a", "b", MB_YESNO | MB_ICONQUESTION, 4711), IDYES);
    EXPECT_EQ(ShowMessage("c", "d", MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(ShowMessage("e", "f", MB_OKCANCEL), IDCANCEL);

    const std::vector<ShownMessage> expected = {
        {"a b", MB_YESNO | MB_ICONQUESTION, 4711},
        {"c d", MB_YESNOCANCEL | MB_DEFBUTTON2, 0},
        {"e f", MB_OKCANCEL, 0},
    };
    EXPECT_EQ(presenter.shown(), expected);
}

TEST(ShowMessageId, UsesTheStringTableEntryAsFormat) {
    ScriptedPresenter presenter;
    ScopedMessagePresenter installed(presenter);
    ShowMessageId(61472, "(Code 7)", MB_ICONWARNING, 12);
    ShowMessageId(3, "nur das Argument", MB_OK); // no such entry: empty format
    const std::vector<ShownMessage> expected = {
        {"Keine Fehlermeldung verfügbar. (Code 7)", MB_ICONWARNING, 12},
        {" nur das Argument", MB_OK, 0},
    };
    EXPECT_EQ(presenter.shown(), expected);
}

// The text of the error is cut to 1023 bytes, earlier if a multi-byte character would be split.
TEST(ShowExceptionMessage, CutsLongTextsOnCharacterBoundaries) {
    struct Case {
        const char* name;
        std::string text;
        std::size_t kept;
    } const cases[] = {
        {"ascii", std::string(2000, 'x'), 1023},
        {"umlaut across the cut", std::string(1022, 'x') + "ä" + std::string(976, 'y'), 1022},
        {"umlaut ends at the cut", std::string(1021, 'x') + "ä" + std::string(977, 'y'), 1023},
        {"euro sign across the cut", std::string(1021, 'x') + "€" + std::string(976, 'y'), 1021},
        {"exactly 1023", std::string(1023, 'z'), 1023},
        {"short", "Zugriff verweigert.\n", 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPresenter presenter;
        ScopedMessagePresenter installed(presenter);
        ShowExceptionMessage("Fehler: %s", CVNException(c.text), MB_ICONERROR, 3);
        ASSERT_EQ(presenter.shown().size(), 1u);
        EXPECT_EQ(presenter.shown()[0].text, "Fehler: " + c.text.substr(0, c.kept));
        EXPECT_EQ(presenter.shown()[0].type, MB_ICONERROR);
        EXPECT_EQ(presenter.shown()[0].helpId, 3u);
    }
}

TEST(MessagePresenter, DefaultAnswersWithoutShowingAnything) {
    SetMessagePresenter(nullptr);
    ASSERT_NE(GetMessagePresenter(), nullptr);
    EXPECT_EQ(ShowMessage("a", "b", MB_OK), IDOK);
    EXPECT_EQ(ShowMessage("a", "b", MB_OK | MB_ICONERROR | MB_DEFBUTTON2), IDOK);
    EXPECT_EQ(ShowMessage("a", "b", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(ShowMessage("a", "b", MB_YESNO | MB_ICONQUESTION), IDCANCEL);
    EXPECT_EQ(ShowMessage("a", "b", MB_YESNOCANCEL), IDCANCEL);
}

TEST(MessagePresenter, GuardsRestoreThePreviousPresenter) {
    MessagePresenter* const original = GetMessagePresenter();
    ScriptedPresenter outer, inner;
    {
        ScopedMessagePresenter a(outer);
        EXPECT_EQ(GetMessagePresenter(), &outer);
        {
            ScopedMessagePresenter b(inner);
            ShowMessage("innen", "", MB_OK);
        }
        EXPECT_EQ(GetMessagePresenter(), &outer);
        ShowMessage("außen", "", MB_OK);
    }
    EXPECT_EQ(GetMessagePresenter(), original);
    ASSERT_EQ(inner.shown().size(), 1u);
    ASSERT_EQ(outer.shown().size(), 1u);
    EXPECT_EQ(inner.shown()[0].text, "innen ");
    EXPECT_EQ(outer.shown()[0].text, "außen ");
}
