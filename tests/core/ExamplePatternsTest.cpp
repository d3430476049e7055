// The example patterns that an installation puts in place: they are read the way the program
// reads the machine settings, must compile and expand with the program's engine, and must do
// what their menu texts promise.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

#include "engine/CVNFileNameMatcher.h"
#include "engine/RegExp.h"
#include "engine/Wildcard.h"
#include "tests/support/ScriptedPresenter.h"
#include "core/settings/CROZariduPattern.h"
#include "platform/RegistryHive.h"
#include "core/messages/CVNException.h"
#include "tests/platform/XdgSandbox.h"
#include "tests/core/RunFixture.h"
#include "tests/support/RegisteredApp.h"

namespace {

const std::string kSource = ORVANE_SOURCE_DIR;
const std::string kPatternFile = kSource + "/res/patterns/Orvane.reg";

constexpr int kWildcard = 0;
constexpr int kRegExp = 1;

std::string typeName(int type) {
    return type == kWildcard ? "wildcard" : "regexp";
}

// The preconfigured patterns of the installed example file, as the menus get them.
class ExamplePatterns : public ::testing::Test {
protected:
    void SetUp() override {
        XdgSandbox::put(xdg_.machineHive(1), TempDir::read(kPatternFile));
        for (int type : {kWildcard, kRegExp})
            CROZariduPattern::LoadAll(app_, 0, type, loaded_[type], CROZariduPattern::kAll);
    }

    const CROZariduPattern* find(int type, const std::string& menuText) const {
        for (const CROZariduPattern& p : loaded_[type])
            if (p.m_menuText == menuText) return &p;
        return nullptr;
    }

    XdgSandbox xdg_;
    const CVNAppInfo app_ = registeredApp();
    std::vector<CROZariduPattern> loaded_[2];
};

struct Case {
    int type;
    const char* menuText;
    // Only for patterns that fill one field: what the user has in the other field and around
    // the inserted pattern; "@" marks where the menu puts it (the menus append to the field).
    std::string search, replacement;
    std::string renames; // "old>new|old>new…", in this order with one compiled pattern
};

// The search and replacement pattern after choosing p from a menu in the situation of c.
std::pair<std::string, std::string> afterInsertion(const CROZariduPattern& p, const Case& c) {
    auto put = [](std::string field, const std::string& inserted) {
        const std::size_t at = field.find('@');
        return at == std::string::npos ? field : field.replace(at, 1, inserted);
    };
    if (!p.m_searchPattern.empty() && !p.m_replacePattern.empty())
        return {p.m_searchPattern, p.m_replacePattern};
    if (!p.m_searchPattern.empty()) return {put(c.search, p.m_searchPattern), c.replacement};
    return {c.search, put(c.replacement, p.m_replacePattern)};
}

constexpr int W = kWildcard, R = kRegExp;
const Case kCases[] = {
    {W, "Fotos durchnummerieren (Foto_001.jpg)", "", "",
     "IMG_0815.JPG>Foto_001.jpg|notiz.txt>notiz.txt|urlaub.jpg>Foto_002.jpg"},
    {W, "Präfix voranstellen (Neu_Name)", "", "", "Bericht.pdf>Neu_Bericht.pdf"},
    {W, "Zusatz vor der Endung anhängen (Name_alt.Endung)", "", "",
     "Bericht.pdf>Bericht_alt.pdf|archiv.tar.gz>archiv.tar_alt.gz|README>README_alt"},
    {W, "Endung .JPG kleinschreiben (.jpg)", "", "", "IMG_0815.JPG>IMG_0815.jpg|Bild.png>Bild.png"},
    {W, "Endung .jpeg zu .jpg kürzen", "", "", "Scan.JPEG>Scan.jpg|Scan.jpg>Scan.jpg"},
    {W, "Ganzen Namen kleinschreiben", "", "",
     "Mein Urlaub.JPG>mein urlaub.jpg|ÜBERSICHT.PDF>übersicht.pdf"},
    {W, "Ganzen Namen großschreiben", "", "", "readme.txt>README.TXT"},
    {W, "Erster Buchstabe groß, Rest klein", "", "", "mEIN uRLAUB.JPG>Mein urlaub.jpg"},
    {W, "„ - Kopie“ entfernen", "", "",
     "Bericht - Kopie.docx>Bericht.docx|Bericht - Kopie>Bericht|Bericht.docx>Bericht.docx"},
    {W, "Zähler 001, 002, …", "*.jpg", "Urlaub_@.jpg", "a.jpg>Urlaub_001.jpg|b.JPG>Urlaub_002.jpg"},
    {W, "Zähler 1, 2, …", "*.jpg", "Bild @.jpg", "a.jpg>Bild 1.jpg|b.jpg>Bild 2.jpg"},
    {W, "Bisherigen Text kleinschreiben", "*.*", "*@.*", "FOTO.JPG>foto.JPG"},
    {W, "Bisherigen Text großschreiben", "*.*", "*@.*", "notiz.txt>NOTIZ.txt"},
    {W, "Ersten Buchstaben großschreiben", "*", "*@", "urlaub.jpg>Urlaub.jpg"},
    {R, "Handyfotos nach Aufnahmedatum benennen (IMG_JJJJMMTT_hhmmss)", "", "",
     "IMG_20240131_120000.jpg>2024-01-31 12.00.00.jpg|"
     "VID_20231224_183005.mp4>2023-12-24 18.30.05.mp4|"
     "PXL_20240131_120000123.jpg>2024-01-31 12.00.00.jpg|"
     "20240201_093000.jpg>2024-02-01 09.30.00.jpg|"
     "img_20240131_120000_1.JPG>2024-01-31 12.00.00_1.JPG|"
     "2024-01-31 12.00.00.jpg>2024-01-31 12.00.00.jpg|IMG_0815.jpg>IMG_0815.jpg|"
     "Kopie IMG_20240131_120000.jpg>Kopie IMG_20240131_120000.jpg"},
    {R, "Datum JJJJMMTT nach JJJJ-MM-TT (Scan_20240131)", "", "",
     "Scan_20240131.pdf>Scan_2024-01-31.pdf|"
     "IMG-20240131-WA0001.jpg>IMG-2024-01-31-WA0001.jpg|19991231>1999-12-31|"
     "Scan_2024-01-31.pdf>Scan_2024-01-31.pdf|Kunde 123456789.pdf>Kunde 123456789.pdf|"
     "Auftrag 20241399.pdf>Auftrag 20241399.pdf"},
    {R, "Folgen durchnummerieren (Serie S01E01.Endung)", "", "",
     "Folge 2.mkv>Serie S01E01.mkv|Folge 10.mkv>Serie S01E02.mkv"},
    {R, "Staffel und Folge 1x02 nach S01E02", "", "",
     "Serie 1x02 Pilot.mkv>Serie S01E02 Pilot.mkv|Serie.2X10.mkv>Serie.S02E10.mkv|"
     "3x01.avi>S03E01.avi|Bild 1920x1080.png>Bild 1920x1080.png|"
     "Serie S01E02.mkv>Serie S01E02.mkv"},
    {R, "Einstellige Zahlen zweistellig (7 → 07)", "", "",
     "Teil 7 von 12.pdf>Teil 07 von 12.pdf|1-5.txt>01-05.txt|S1E2.mkv>S01E02.mkv|"
     "Bild 10.jpg>Bild 10.jpg"},
    {R, "Zweistellige Zahlen dreistellig (42 → 042)", "", "",
     "Track 42.mp3>Track 042.mp3|Track 7.mp3>Track 7.mp3|Track 123.mp3>Track 123.mp3|"
     "10 von 99.txt>010 von 099.txt"},
    {R, "„Nachname, Vorname“ nach „Vorname Nachname“", "", "",
     "Müller, Hans.pdf>Hans Müller.pdf|Meier,Anna-Lena.vcf>Anna-Lena Meier.vcf|"
     "Müller, Dr. Hans.pdf>Dr. Hans Müller.pdf|Hans Müller.pdf>Hans Müller.pdf"},
    {R, "„Vorname Nachname“ nach „Nachname, Vorname“", "", "",
     "Hans Müller.pdf>Müller, Hans.pdf|Anna Lena Meier.vcf>Meier, Anna Lena.vcf|"
     "Müller, Hans.pdf>Müller, Hans.pdf"},
    {R, "Durchnummerieren, Endung bleibt (Datei_001.Endung)", "", "",
     "IMG_0815.JPG>Datei_001.JPG|ohne Endung>ohne Endung|archiv.tar.gz>Datei_002.gz"},
    {R, "Nummer voranstellen (001_Name)", "", "", "Bericht.pdf>001_Bericht.pdf|Notiz.txt>002_Notiz.txt"},
    {R, "Ganzen Namen kleinschreiben", "", "",
     "Mein Urlaub.JPG>mein urlaub.jpg|ÜBERSICHT.PDF>übersicht.pdf"},
    {R, "Ganzen Namen großschreiben", "", "", "readme.txt>README.TXT"},
    {R, "Endung kleinschreiben", "", "",
     "Mein Urlaub.JPG>Mein Urlaub.jpg|ARCHIV.TAR.GZ>ARCHIV.TAR.gz|README>README"},
    {R, "Leerzeichen durch Unterstrich ersetzen", "", "",
     "Mein Urlaub 2024.JPG>Mein_Urlaub_2024.JPG|a   b.txt>a_b.txt"},
    {R, "Unterstriche durch Leerzeichen ersetzen", "", "", "Mein_Urlaub__2024.jpg>Mein Urlaub 2024.jpg"},
    {R, "Teile vor und nach „ - “ tauschen", "", "",
     "Interpret - Titel.mp3>Titel - Interpret.mp3|Titel.mp3>Titel.mp3"},
    {R, "Führende Nummer entfernen (01 - Titel.mp3)", "", "",
     "01 - Titel.mp3>Titel.mp3|02. Intro.mp3>Intro.mp3|007_Agent.avi>Agent.avi|"
     "2024.txt>2024.txt|1.5 Zoll.txt>1.5 Zoll.txt|Titel 01.mp3>Titel 01.mp3"},
    {R, "Datum TT.MM.JJJJ nach JJJJ-MM-TT", "", "", "Rechnung 31.01.2024.pdf>Rechnung 2024-01-31.pdf"},
    {R, "Kopie-Zusatz entfernen („ - Kopie“, „ (Kopie)“)", "", "",
     "Bericht - Kopie.docx>Bericht.docx|Bericht - Kopie (2).docx>Bericht.docx|"
     "Bericht (Kopie).docx>Bericht.docx|Bericht (weitere Kopie).docx>Bericht.docx|"
     "Bericht (3. Kopie).docx>Bericht.docx|Bericht - Kopie>Bericht|"
     "Kopie von Bericht.docx>Kopie von Bericht.docx|Bericht.docx>Bericht.docx"},
    {R, "Nummer „ (1)“ am Namensende entfernen", "", "",
     "Bericht (1).pdf>Bericht.pdf|Rechnung (12)>Rechnung|Foto (1) (2).jpg>Foto (1).jpg|"
     "Album (2019).mp3>Album (2019).mp3|Bericht.pdf>Bericht.pdf"},
    {R, "Ziffernfolge", "@", "[&]", "Foto 12 von 345.jpg>Foto [12] von [345].jpg|ohne.txt>ohne.txt"},
    {R, "Datum JJJJ-MM-TT", "@", "[&]",
     "Bericht 2024-01-31.pdf>Bericht [2024-01-31].pdf|"
     "Bericht 31.01.2024.pdf>Bericht 31.01.2024.pdf"},
    {R, "Endung", "@", "[&]", "a.b.txt>a.b[.txt]|README>README"},
    {R, "Ganzer Treffer", "[0-9]+", "(@)", "Foto 12.jpg>Foto (12).jpg"},
    {R, "Gruppe 1", "^(.*)\\.txt$", "@.md", "notes.txt>notes.md"},
    {R, "Zähler 001, 002, …", "^.*(\\.pdf)$", "Scan_@\\1", "x.pdf>Scan_001.pdf|y.PDF>Scan_002.PDF"},
    {R, "Zähler 1, 2, …", "^(.*)(\\.[^.]*)$", "\\1_@\\2", "a.jpg>a_1.jpg|b.jpg>b_2.jpg"},
    {R, "Bisherigen Text kleinschreiben", "^(.*)(\\.[^.]*)$", "\\1@\\2", "FOTO.JPG>foto.JPG"},
    {R, "Bisherigen Text großschreiben", "^(.*)(\\.[^.]*)$", "\\1@\\2", "foto.jpg>FOTO.jpg"},
    {R, "Ersten Buchstaben großschreiben", "^.*$", "&@", "urlaub.jpg>Urlaub.jpg"},
};

} // namespace

// Every key of the file is loaded (a key written twice would be merged into one pattern
// without a word), and every pattern has a case above.
TEST_F(ExamplePatterns, EveryKeyIsLoadedAndHasABehaviourCase) {
    const std::string text = TempDir::read(kPatternFile);
    std::string problem;
    ASSERT_TRUE(ParseHive(text, &problem).has_value()) << problem;
    std::set<std::pair<int, std::string>> covered;
    for (const Case& c : kCases)
        covered.insert({c.type, c.menuText});
    for (int type : {kWildcard, kRegExp}) {
        SCOPED_TRACE(typeName(type));
        const std::string prefix = std::string("[Patterns\\Preconfigured\\") +
                                   (type == kWildcard ? "Wildcard" : "RegExp") + " Patterns\\";
        std::size_t keyLines = 0;
        for (std::size_t at = text.find("\n" + prefix); at != std::string::npos;
             at = text.find("\n" + prefix, at + 1))
            ++keyLines;
        EXPECT_GE(loaded_[type].size(), 5u);
        EXPECT_EQ(loaded_[type].size(), keyLines);
        for (const CROZariduPattern& p : loaded_[type])
            EXPECT_TRUE(covered.count({type, p.m_menuText})) << p.m_menuText;
    }
}

TEST_F(ExamplePatterns, EachPatternDoesWhatItsMenuTextSays) {
    ScriptedPresenter presenter;
    ScopedMessagePresenter installed(presenter);
    for (const Case& c : kCases) {
        SCOPED_TRACE(typeName(c.type) + ": " + c.menuText);
        const CROZariduPattern* p = find(c.type, c.menuText);
        ASSERT_NE(p, nullptr) << "no such pattern";
        if (!p->m_searchPattern.empty()) {
            CVNFileNameMatcher finder; // what Finden and the folder scan compile
            EXPECT_TRUE(c.type == kWildcard ? finder.compileWildcard(p->m_searchPattern)
                                            : finder.compile(p->m_searchPattern, false))
                << finder.errorMessage();
        }
        const auto [search, replacement] = afterInsertion(*p, c);
        std::vector<std::string> names, expected;
        std::stringstream pairs(c.renames);
        for (std::string pair; std::getline(pairs, pair, '|');) {
            names.push_back(pair.substr(0, pair.find('>')));
            expected.push_back(pair.substr(pair.find('>') + 1));
        }
        presenter.clear();
        EXPECT_EQ(previewRenameAll(names, c.type == kWildcard ? PATTERN_WILDCARD : PATTERN_REGEXP, search,
                                   replacement),
                  expected)
            << "search " << search << ", replacement " << replacement;
        for (const ShownMessage& m : presenter.shown())
            if ((m.type & MB_ICONMASK) != MB_ICONINFORMATION) ADD_FAILURE() << m.text;
    }
}
