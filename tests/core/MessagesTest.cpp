#include <gtest/gtest.h>

#include <string>

#include "core/messages/Messages.h"
#include "tests/support/ScriptedPresenter.h"

TEST(ShowMessage, InsertsTheArgumentAndPassesTypeHelpIdAndAnswer) {
    struct Case {
        std::string format, argument, expected;
    } const cases[] = {
        {"Die Datei '%s' fehlt.", "ä.txt", "Die Datei 'ä.txt' fehlt."},
        {"Fehler:", "Zugriff verweigert.", "Fehler: Zugriff verweigert."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        ScriptedPresenter presenter(IDCANCEL);
        presenter.answer({IDNO});
        ScopedMessagePresenter installed(presenter);
        EXPECT_EQ(ShowMessage(c.format, c.argument, MB_YESNO | MB_ICONQUESTION, 4711), IDNO);
        EXPECT_EQ(presenter.shown(),
                  std::vector<ShownMessage>({{c.expected, MB_YESNO | MB_ICONQUESTION, 4711}}));
    }
    ScriptedPresenter presenter;
    ScopedMessagePresenter installed(presenter);
    ShowMessageId(61472, "(Code 7)", MB_ICONWARNING, 12);
    EXPECT_EQ(presenter.shown()[0].text, "Keine Fehlermeldung verfügbar. (Code 7)");
}

// The text of the error is cut to 1023 bytes, earlier if a multi-byte character would be split.
TEST(ShowExceptionMessage, CutsLongTextsOnCharacterBoundaries) {
    struct Case {
        std::string text;
        std::size_t kept;
    } const cases[] = {
        {std::string(2000, 'x'), 1023},
        {std::string(1022, 'x') + "ä" + std::string(976, 'y'), 1022},
        {std::string(1021, 'x') + "ä" + std::string(977, 'y'), 1023},
        {std::string(1021, 'x') + "€" + std::string(976, 'y'), 1021},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kept);
        ScriptedPresenter presenter;
        ScopedMessagePresenter installed(presenter);
        ShowExceptionMessage("Fehler: %s", CVNException(c.text), MB_ICONERROR, 3);
        ASSERT_EQ(presenter.shown().size(), 1u);
        EXPECT_EQ(presenter.shown()[0].text, "Fehler: " + c.text.substr(0, c.kept));
    }
}

// Without a window nothing is shown, and no question is taken as a yes.
TEST(MessagePresenter, DefaultAnswersWithoutShowingAnything) {
    SetMessagePresenter(nullptr);
    ASSERT_NE(GetMessagePresenter(), nullptr);
    EXPECT_EQ(ShowMessage("a", "b", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(ShowMessage("a", "b", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(ShowMessage("a", "b", MB_YESNO | MB_ICONQUESTION), IDCANCEL);
}
