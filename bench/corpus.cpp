#include "bench/corpus.h"

#include <array>
#include <cstdio>
#include <string_view>

namespace {

// splitmix64: tiny, and unlike the standard distributions it gives the same numbers with every
// standard library.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9;
        z = (z ^ (z >> 27)) * 0x94d049bb133111eb;
        return z ^ (z >> 31);
    }
    // 0 .. n-1; the modulo bias is irrelevant for test data.
    unsigned below(unsigned n) { return static_cast<unsigned>(next() % n); }
    int between(int lo, int hi) {
        return lo + static_cast<int>(below(static_cast<unsigned>(hi - lo + 1)));
    }
    bool chance(unsigned percent) { return below(100) < percent; }

    template <std::size_t N> const char* pick(const std::array<const char*, N>& from) {
        return from[below(N)];
    }

private:
    std::uint64_t state_;
};

std::string num(long v, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*ld", width, v);
    return buf;
}

std::string date(Rng& r, const char* sep) {
    return num(r.between(2003, 2025), 4) + sep + num(r.between(1, 12), 2) + sep +
           num(r.between(1, 28), 2);
}

std::string timeOfDay(Rng& r, const char* sep) {
    return num(r.between(0, 23), 2) + sep + num(r.between(0, 59), 2) + sep +
           num(r.between(0, 59), 2);
}

// Camera extensions keep the case the device writes; some users lower-case them on import.
std::string cameraExt(Rng& r, const char* upper) {
    std::string e = upper;
    if (r.chance(25))
        for (char& c : e)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return e;
}

constexpr std::array kArtists{
    "Künstler",
    "Die Ärzte",
    "Herbert Grönemeyer",
    "Tocotronic",
    "Rammstein",
    "Wir sind Helden",
    "Kraftwerk",
    "The Beatles",
    "The Cure",
    "Nina Hagen",
    "Max Raabe",
    "Udo Lindenberg",
    "Mötley Crüe",
    "Björk",
    "Sigur Rós",
    "Beyoncé",
    "Motörhead",
    "Queen",
    "Element of Crime",
    "Fettes Brot",
    "Annenmaykantereit",
    "Söhne Mannheims",
    "Helene Fischer",
    "Die Fantastischen Vier",
    "Einstürzende Neubauten",
    "The Rolling Stones",
    "Radiohead",
    "Daft Punk",
    "Joan Baez",
    "Ólafur Arnalds",
    "The Notwist",
    "Kettcar",
};
constexpr std::array kTitles{
    "Titel",
    "Männer",
    "Über den Wolken",
    "Schrei nach Liebe",
    "Let It Be",
    "Bohemian Rhapsody",
    "Das Model",
    "Großstadtträume",
    "Atemlos durch die Nacht",
    "Hör auf dein Herz",
    "The Sound of Silence",
    "Other Side",
    "Mensch",
    "Flugzeuge im Bauch",
    "Tage wie dieser",
    "Weißes Rauschen",
    "Here Comes the Sun",
    "Intro",
    "Outro",
    "Für immer",
    "Schön ist die Welt",
    "Süßer die Glocken nie klingen",
    "Breathe",
    "Theme",
    "Straßenbahn",
    "Glück",
    "Frühling",
    "Bis ans Ende der Welt",
    "Ein Kompliment",
    "Geh durch die Tür",
    "In the End",
    "Ärger",
};
constexpr std::array kSurnames{
    "Müller",   "Schmidt",  "Schneider", "Fischer",    "Weber", "Meyer",   "Wagner",  "Becker",
    "Schulz",   "Hoffmann", "Schäfer",   "Koch",       "Bauer", "Richter", "Klein",   "Wolf",
    "Schröder", "Neumann",  "Schwarz",   "Zimmermann", "Braun", "Krüger",  "Hofmann", "Hartmann",
    "Köhler",   "Büthe",    "Groß",      "Weiß",       "Jäger", "Böhm",    "Löffler", "Fuß",
};
constexpr std::array kDocWords{
    "Bericht",
    "Rechnung",
    "Angebot",
    "Protokoll",
    "Übersicht",
    "Größe",
    "Straße",
    "Präsentation",
    "Lösungen",
    "Übung",
    "Prüfung",
    "Gebäude",
    "Schlüssel",
    "Küche",
    "Bäckerei",
    "Führerschein",
    "Mängelliste",
    "Grundstück",
    "Nebenkostenabrechnung",
    "Steuererklärung",
    "Gehaltsabrechnung",
    "Kündigung",
    "Bestätigung",
    "Lebenslauf",
    "Zeugnis",
    "Bewerbung",
    "Mietvertrag",
    "Versicherung",
    "Quittung",
    "Überweisung",
    "Kontoauszug",
    "Öffnungszeiten",
    "Maßnahmen",
    "Außendienst",
    "Fahrtkosten",
    "Geschäftsbericht",
    "Jahresabschluss",
    "Urlaubsplanung",
    "Dienstreise",
    "report",
    "invoice",
    "budget",
    "summary",
    "minutes",
    "proposal",
    "contract",
    "the plan",
    "notes",
    "draft",
};
constexpr std::array kDocExts{".docx", ".pdf", ".xlsx", ".pptx", ".odt", ".ods",
                              ".txt",  ".PDF", ".doc",  ".rtf",  ".md",  ".csv"};
constexpr std::array kSuffixes{"",         "",    "",     " (final)",   "_final", " (1)",
                               " - Kopie", "_v2", " (2)", "_FINAL_neu", " alt",   "_korrigiert"};
constexpr std::array kCjkWords{
    "会议记录", "写真", "報告書", "プレゼン資料", "旅行の写真", "东京", "보고서", "사진",
    "音乐",     "家族", "請求書", "議事録",       "卒業式",     "北京", "서울",   "文件",
};
constexpr std::array kCjkExts{".docx", ".jpg", ".pdf", ".pptx", ".JPG", ".mp3", ".hwp", ".png"};
constexpr std::array kPlainNames{
    "main.cpp",
    "README.md",
    "notes.txt",
    "todo.txt",
    "a.out",
    ".bashrc",
    "Makefile",
    "setup.exe",
    "archive.zip",
    "photo.jpeg",
    "Untitled.txt",
    "index.html",
    "style.css",
    "Thumbs.db",
    ".DS_Store",
    "desktop.ini",
    "LICENSE",
    "package.json",
    "Neues Textdokument.txt",
    "Neuer Ordner.zip",
    "Dokument1.docx",
    "Mappe1.xlsx",
};

std::string cameraName(Rng& r) {
    switch (r.below(16)) {
    case 0:
    case 1:
    case 2:
        return "IMG_" + num(r.between(1, 9999), 4) + cameraExt(r, ".JPG");
    case 3:
        return "IMG_" + num(r.between(1, 9999), 4) + cameraExt(r, r.chance(50) ? ".HEIC" : ".MOV");
    case 4:
        return "IMG_" + num(r.between(1, 9999), 4) + " (" + num(r.between(1, 3), 1) + ").JPG";
    case 5:
        return "DSC" + num(r.between(1, 99999), 5) + cameraExt(r, ".JPG");
    case 6:
        return (r.chance(50) ? "DSC_" : "DSCN") + num(r.between(1, 9999), 4) +
               cameraExt(r, r.chance(30) ? ".NEF" : ".JPG");
    case 7:
    case 8: {
        std::string s = "PXL_" + date(r, "") + "_" + timeOfDay(r, "") + num(r.between(0, 999), 3);
        if (r.chance(20)) s += r.chance(50) ? ".MP" : ".NIGHT";
        return s + (r.chance(90) ? ".jpg" : ".mp4");
    }
    case 9:
        return (r.chance(70) ? "IMG_" : "VID_") + date(r, "") + "_" + timeOfDay(r, "") +
               (r.chance(80) ? ".jpg" : ".mp4");
    case 10:
        return "P" + num(r.between(1000001, 1999999), 7) + cameraExt(r, ".JPG");
    case 11:
        return (r.chance(50) ? "_MG_" : "GOPR") + num(r.between(1, 9999), 4) +
               (r.chance(50) ? ".CR2" : ".MP4");
    case 12:
        return "Bildschirmfoto vom " + date(r, "-") + " " + timeOfDay(r, "-") + ".png";
    case 13:
        return (r.chance(50) ? "Screenshot from " : "Screenshot_") + date(r, "-") + " " +
               timeOfDay(r, "-") + ".png";
    case 14:
        return "WhatsApp Image " + date(r, "-") + " at " + timeOfDay(r, ".") + ".jpeg";
    default:
        return "signal-" + date(r, "-") + "-" + timeOfDay(r, "") + ".jpg";
    }
}

std::string musicName(Rng& r) {
    std::string artist = r.pick(kArtists);
    std::string title = r.pick(kTitles);
    switch (r.below(5)) {
    case 0:
    case 1:
        return num(r.between(1, 18), 2) + " - " + artist + " - " + title + ".mp3";
    case 2:
        return num(r.between(1, 18), 2) + " " + title + (r.chance(50) ? ".flac" : ".FLAC");
    case 3:
        return artist + " - " + title + (r.chance(50) ? ".m4a" : ".ogg");
    default:
        return num(r.between(1, 2), 1) + "-" + num(r.between(1, 18), 2) + " " + title + ".mp3";
    }
}

std::string officeName(Rng& r) {
    std::string word = r.pick(kDocWords);
    std::string suffix = r.pick(kSuffixes);
    std::string ext = r.pick(kDocExts);
    switch (r.below(9)) {
    case 0:
        return "Bericht Q" + num(r.between(1, 4), 1) + " " + num(r.between(2015, 2025), 4) +
               suffix + ext;
    case 1:
        return "Rechnung_" + date(r, "-") + ".pdf";
    case 2:
        return "Rechnung " + std::string(r.pick(kSurnames)) + " " + num(r.between(1, 999), 1) +
               ".pdf";
    case 3:
        return "Angebot " + num(r.between(2018, 2025), 4) + "-" + num(r.between(1, 250), 3) + " " +
               r.pick(kSurnames) + " GmbH.pdf";
    case 4:
        return "Protokoll Sitzung " + num(r.between(1, 28), 2) + "." + num(r.between(1, 12), 2) +
               "." + num(r.between(2015, 2025), 4) + ".odt";
    case 5:
        return word + "_" + r.pick(kSurnames) + suffix + ext;
    case 6:
        return word + " " + num(r.between(2010, 2025), 4) + suffix + ext;
    case 7:
        return word + "_" + date(r, "-") + "_v" + num(r.between(1, 9), 1) + ext;
    default:
        return std::string(r.pick(kSurnames)) + ", " + word + suffix + ext;
    }
}

// Names whose point is their non-ASCII letters: upper-case umlauts, ß against SS, accents.
std::string umlautName(Rng& r) {
    constexpr std::array kWords{"GRÖSSE",    "ÜBERSICHT", "ÄNDERUNGEN",   "MÜLLER",    "Müller",
                                "Straße",    "STRASSE",   "Maße",         "Ölwechsel", "Äpfel",
                                "Übergröße", "Café",      "Crème brûlée", "naïve",     "Ærø",
                                "Ångström",  "Øresund",   "Łódź",         "ẞ-Test",    "Σίσυφος"};
    constexpr std::array kExts{".TXT", ".pdf", ".JPG", ".docx", ".odt", ".mp3"};
    std::string s = r.pick(kWords);
    if (r.chance(50)) s += std::string(r.chance(50) ? " " : "_") + r.pick(kWords);
    if (r.chance(40)) s.append(" ").append(num(r.between(1, 2025), 1));
    return s + r.pick(kExts);
}

std::string cjkName(Rng& r) {
    switch (r.below(4)) {
    case 0:
        return std::string("会议记录_") + num(r.between(2015, 2025), 4) + "年" +
               num(r.between(1, 12), 1) + "月" + num(r.between(1, 28), 1) + "日.docx";
    case 1:
        return std::string(r.pick(kCjkWords)) + "_" + num(r.between(1, 999), 3) + r.pick(kCjkExts);
    case 2:
        return std::string(r.pick(kCjkWords)) + "（最終版）" + r.pick(kCjkExts);
    default:
        return std::string(r.pick(kCjkWords)) + " " + r.pick(kCjkWords) + " " + date(r, "-") +
               r.pick(kCjkExts);
    }
}

std::string plainName(Rng& r) {
    switch (r.below(6)) {
    case 0:
        return "backup-" + date(r, "-") + (r.chance(50) ? ".tar.gz" : ".zip");
    case 1:
        return "data_" + num(r.between(0, 999), 3) + ".csv";
    case 2:
        return "log_" + num(r.between(1, 99999), 1) + ".txt";
    case 3:
        return "scan" + num(r.between(1, 9999), 4) + (r.chance(50) ? ".tif" : ".pdf");
    case 4:
        return "Kopie von " + std::string(r.pick(kDocWords)) + ".docx";
    default:
        return r.pick(kPlainNames);
    }
}

// Cuts s to at most max bytes without splitting a UTF-8 sequence.
void cutTo(std::string& s, std::size_t max) {
    if (s.size() <= max) return;
    std::size_t n = max;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        --n;
    s.resize(n);
}

// Descriptive names that ran into the file system's 255-byte limit.
std::string longName(Rng& r) {
    constexpr std::size_t kMax = 255;
    std::string ext = r.pick(kDocExts);
    std::size_t target = static_cast<std::size_t>(r.between(200, 255));
    std::string s = std::string(r.pick(kDocWords)) + " " + r.pick(kSurnames) + " " + date(r, "-");
    while (s.size() + ext.size() < target) {
        switch (r.below(4)) {
        case 0:
            s.append(" ").append(r.pick(kDocWords));
            break;
        case 1:
            s.append(" - ").append(r.pick(kTitles));
            break;
        case 2:
            s.append(" ").append(r.pick(kCjkWords));
            break;
        default:
            s.append(" ").append(r.pick(kArtists));
            break;
        }
    }
    cutTo(s, target - ext.size());
    // A third fill the limit exactly, padded with ASCII so no character is cut.
    if (r.chance(33)) s.append(kMax - ext.size() - s.size(), 'x');
    return s + ext;
}

// Re-encodes the umlauts of a UTF-8 name in Latin-1, as names unpacked from old archives or
// copied from old disks arrive.
std::string toLatin1(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        auto b = static_cast<unsigned char>(utf8[i]);
        if (b == 0xC3 && i + 1 < utf8.size()) {
            auto c = static_cast<unsigned char>(utf8[i + 1]);
            if (c >= 0x80 && c <= 0xBF) {
                out += static_cast<char>(c + 0x40); // U+00C0..U+00FF
                ++i;
                continue;
            }
        }
        out += static_cast<char>(b);
    }
    return out;
}

// Names that are not valid UTF-8.
std::string strayName(Rng& r) {
    switch (r.below(5)) {
    case 0:
    case 1:
        return toLatin1(officeName(r));
    case 2:
        return toLatin1(musicName(r));
    case 3: // a CP437 disk: \x94 is ö, \xe1 is ß, \x81 is ü
        return std::string("Gr\x94\xe1") + "e_" + num(r.between(1, 99), 2) +
               (r.chance(50) ? "_M\x81ller.txt" : ".TXT");
    default: // a UTF-8 name cut inside a character, then given an extension
    {
        std::string s = r.pick(kCjkWords);
        s.resize(s.size() - 1);
        return s + (r.chance(50) ? ".jpg" : "_" + num(r.between(1, 99), 2) + ".pdf");
    }
    }
}

// Adds realistic noise: some users write names in capitals, some with lower-case extensions.
std::string vary(Rng& r, std::string s) {
    if (r.chance(3)) {
        for (char& c : s)
            c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    }
    return s;
}

} // namespace

std::vector<std::string> makeCorpus(std::size_t count, std::uint64_t seed) {
    Rng r(seed);
    std::vector<std::string> names;
    names.reserve(count);
    while (names.size() < count) {
        unsigned k = r.below(1000);
        std::string s;
        if (k < 330)
            s = cameraName(r);
        else if (k < 480)
            s = musicName(r);
        else if (k < 700)
            s = officeName(r);
        else if (k < 800)
            s = plainName(r);
        else if (k < 860)
            s = umlautName(r);
        else if (k < 920)
            s = cjkName(r);
        else if (k < 960)
            s = longName(r);
        else
            s = strayName(r);
        cutTo(s, 255);
        names.push_back(vary(r, std::move(s)));
    }
    return names;
}

std::vector<Adversary> adversarialNames() {
    auto rep = [](std::string_view unit, std::size_t n) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i)
            s += unit;
        return s;
    };
    return {
        {"a x32 + !", rep("a", 32) + "!"},
        {"a x64 + !", rep("a", 64) + "!"},
        {"a x128 + !", rep("a", 128) + "!"},
        {"a x254 + !", rep("a", 254) + "!"},
        {"a x255", rep("a", 255)},
        {"A x254 + !", rep("A", 254) + "!"},
        {"a x254 + x", rep("a", 254) + "x"},
        // The letter a pattern requires comes first, so a search for it does not rule the
        // name out and the matcher has to do the work.
        {"b + a x253 + !", "b" + rep("a", 253) + "!"},
        {"y + a x253 + !", "y" + rep("a", 253) + "!"},
        {"y + x x253 + !", "y" + rep("x", 253) + "!"},
        {"!x + a x252 + !", "!x" + rep("a", 252) + "!"},
        {"x x254 + !", rep("x", 254) + "!"},
        {"x x255", rep("x", 255)},
        {"ab x127 + !", rep("ab", 127) + "!"},
        {"\"a \" x127 + !", rep("a ", 127) + "!"},
        {"a. x127 + !", rep("a.", 127) + "!"},
        {"ä x127 + !", rep("ä", 127) + "!"},
        {"\\xe4 x254 + !", rep("\xe4", 254) + "!"},
        {"_ x254 + !", rep("_", 254) + "!"},
    };
}

NameKind classifyName(const std::string& name) {
    // Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
    bool ascii = true;
    const auto* p = reinterpret_cast<const unsigned char*>(name.data());
    const auto* end = p + name.size();
    while (p < end) {
        unsigned b = *p;
        if (b < 0x80) {
            ++p;
            continue;
        }
        ascii = false;
        unsigned len = b >= 0xC2 && b <= 0xDF   ? 2
                       : b >= 0xE0 && b <= 0xEF ? 3
                       : b >= 0xF0 && b <= 0xF4 ? 4
                                                : 0;
        if (len == 0 || end - p < static_cast<long>(len)) return NameKind::Stray;
        unsigned cp = b & (0xFF >> (len + 1));
        for (unsigned i = 1; i < len; ++i) {
            if ((p[i] & 0xC0) != 0x80) return NameKind::Stray;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        unsigned min = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
        if (cp < min || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return NameKind::Stray;
        p += len;
    }
    return ascii ? NameKind::Ascii : NameKind::Utf8;
}

std::string printableName(const std::string& name) {
    // Valid UTF-8 sequences are kept; a stray byte is written out. Decoding one character at a
    // time keeps the decision local, so a stray byte does not spoil its neighbours.
    std::string out;
    std::size_t i = 0;
    while (i < name.size()) {
        auto b = static_cast<unsigned char>(name[i]);
        std::size_t len = 1;
        if (b >= 0x80) {
            for (std::size_t n = 2; n <= 4 && i + n <= name.size(); ++n)
                if (classifyName(name.substr(i, n)) == NameKind::Utf8) {
                    len = n;
                    break;
                }
        }
        if (len > 1) {
            out.append(name, i, len);
        } else if (b < 0x20 || b >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", b);
            out += buf;
        } else {
            out += static_cast<char>(b);
        }
        i += len;
    }
    return out;
}
