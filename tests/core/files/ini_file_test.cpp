#include "core/files/ini_file.h"

#include <array>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace qvr {
namespace {

using namespace std::string_literals;

std::string textOf(const IniFile& file) {
    const auto bytes = file.toBytes();
    return {bytes.begin(), bytes.end()};
}

TEST(IniRead, SectionAndKeyLookupIgnoresAsciiCaseAndBlanks) {
    const auto ini = IniFile::fromText("[Skins]\r\n  lan =  CHS  \r\nPath=Dark\r\n");
    EXPECT_EQ(ini.value("skins", "LAN"), "CHS");
    EXPECT_EQ(ini.value("SKINS", "path"), "Dark");
    EXPECT_EQ(ini.value(" Skins ", " Lan "), "CHS");
}

TEST(IniRead, KeysMayHoldUtf8AndNonAsciiBytesCompareExactly) {
    const auto ini = IniFile::fromText("[设置]\nÄpfel=1\näpfel=2\n");
    EXPECT_EQ(ini.value("设置", "Äpfel"), "1");
    EXPECT_EQ(ini.value("设置", "äpfel"), "2");
}

TEST(IniRead, MissingKeyReadsEmptyOrTheDefault) {
    const auto ini = IniFile::fromText("[A]\nx=1\n");
    EXPECT_EQ(ini.value("A", "y"), "");
    EXPECT_EQ(ini.value("B", "x"), "");
    EXPECT_EQ(ini.value("A", "y", "fallback"), "fallback");
    EXPECT_FALSE(ini.find("A", "y").has_value());
    EXPECT_EQ(ini.find("A", "x"), "1");
}

TEST(IniRead, EmptyValueIsFoundAndNotReplacedByTheDefault) {
    const auto ini = IniFile::fromText("[A]\nx=\n");
    EXPECT_EQ(ini.value("A", "x", "fallback"), "");
}

TEST(IniRead, SurroundingMatchingQuotesAreStripped) {
    const auto ini =
        IniFile::fromText("[A]\nd=\" padded \"\ns='single'\nm=\"mixed'\nq=\"\nin=a\"b\"\n");
    EXPECT_EQ(ini.value("A", "d"), " padded ");
    EXPECT_EQ(ini.value("A", "s"), "single");
    EXPECT_EQ(ini.value("A", "m"), "\"mixed'");
    EXPECT_EQ(ini.value("A", "q"), "\"");
    EXPECT_EQ(ini.value("A", "in"), "a\"b\"");
}

TEST(IniRead, ValueIsCutAt1023Utf16UnitsOnACharacterBoundary) {
    const std::string longAscii(2000, 'x');
    auto ini = IniFile::fromText("[A]\nv=" + longAscii + "\n");
    EXPECT_EQ(ini.value("A", "v"), std::string(1023, 'x'));

    // 1022 units, then a character outside the BMP needing two units: it does
    // not fit, and is not cut in half.
    const std::string emoji = "\xF0\x9F\x98\x80";
    ini = IniFile::fromText("[A]\nv=" + std::string(1022, 'y') + emoji + "\n");
    EXPECT_EQ(ini.value("A", "v"), std::string(1022, 'y'));

    // Chinese characters are one unit each though three bytes in UTF-8.
    std::string chinese;
    for (int i = 0; i < 1100; ++i) {
        chinese += "宏";
    }
    ini = IniFile::fromText("[A]\nv=" + chinese + "\n");
    EXPECT_EQ(ini.value("A", "v").size(), 1023u * 3u);
}

TEST(IniRead, FirstOfDuplicateSectionsAndKeysWins) {
    const auto ini = IniFile::fromText("[A]\nx=1\nx=2\n[B]\ny=0\n[a]\nx=3\nonlyLater=4\n");
    EXPECT_EQ(ini.value("A", "x"), "1");
    EXPECT_EQ(ini.value("A", "onlyLater"), ""); // like Windows: the first section is the section
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(ini.keyNames("A"), (std::vector<std::string>{"x"}));
}

TEST(IniRead, NamesAreListedInFileOrder) {
    const auto ini = IniFile::fromText(
        "top=ignored\n[Zeta]\nb=1\n; note=1\na=2\nnot a key\n[Alpha]\n[Mid]\nk=v\n");
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"Zeta", "Alpha", "Mid"}));
    EXPECT_EQ(ini.keyNames("zeta"), (std::vector<std::string>{"b", "a"}));
    EXPECT_TRUE(ini.keyNames("Alpha").empty());
    EXPECT_TRUE(ini.keyNames("Missing").empty());
    EXPECT_EQ(ini.value("Zeta", "; note"), "");
}

TEST(IniRead, HeaderIgnoresTextAfterTheBracketAndLinesBeforeAnySection) {
    const auto ini = IniFile::fromText("k=orphan\n  [ Spaced ] trailing\nk=1\n[Broken\nk=2\n");
    EXPECT_EQ(ini.value("Spaced", "k"), "1"); // "[Broken" is no header: k=2 is a duplicate
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"Spaced"}));
}

TEST(IniWrite, KeyOfAMissingSectionAppendsTheSectionAtTheEnd) {
    auto ini = IniFile::fromText("[A]\r\nx=1\r\n");
    ASSERT_TRUE(ini.setValue("B", "y", "2"));
    EXPECT_EQ(textOf(ini), "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");

    // No second blank line when the file already ends with one, and a last
    // line without a break gets one.
    ini = IniFile::fromText("[A]\nx=1\n\n");
    ASSERT_TRUE(ini.setValue("B", "y", "2"));
    EXPECT_EQ(textOf(ini), "[A]\nx=1\n\n[B]\ny=2\n");
    ini = IniFile::fromText("[A]\nx=1");
    ASSERT_TRUE(ini.setValue("B", "y", "2"));
    EXPECT_EQ(textOf(ini), "[A]\nx=1\n\n[B]\ny=2\n");
}

TEST(IniWrite, NewKeyGoesAfterTheLastKeyLineOfItsSection) {
    auto ini = IniFile::fromText("[A]\nx=1\n; about B\n\n[B]\ny=2\n");
    ASSERT_TRUE(ini.setValue("a", "z", "3"));
    EXPECT_EQ(textOf(ini), "[A]\nx=1\nz=3\n; about B\n\n[B]\ny=2\n");

    ini = IniFile::fromText("[Empty]\n\n[B]\n");
    ASSERT_TRUE(ini.setValue("Empty", "k", "v"));
    EXPECT_EQ(textOf(ini), "[Empty]\nk=v\n\n[B]\n");
}

TEST(IniWrite, ExistingKeyIsReplacedInPlaceKeepingItsSpelling) {
    auto ini = IniFile::fromText("[A]\n  Item1 = old value\nItem2=b\n");
    ASSERT_TRUE(ini.setValue("a", "ITEM1", "new"));
    EXPECT_EQ(textOf(ini), "[A]\n  Item1 = new\nItem2=b\n");
    EXPECT_EQ(ini.value("A", "item1"), "new");
}

TEST(IniWrite, RemovingASectionRemovesAllItsLinesAndDuplicates) {
    auto ini = IniFile::fromText("[A]\nx=1\n\n[B]\ny=2\n; c\n\n[C]\nz=3\n[b]\nw=4\n");
    EXPECT_TRUE(ini.removeSection("B"));
    EXPECT_EQ(textOf(ini), "[A]\nx=1\n\n[C]\nz=3\n");
    EXPECT_FALSE(ini.removeSection("B"));
}

TEST(IniWrite, RemovingAKeyRemovesItsLine) {
    auto ini = IniFile::fromText("[A]\nx=1\ny=2\nX=3\n[B]\nx=4\n");
    EXPECT_TRUE(ini.removeKey("A", "x"));
    EXPECT_EQ(textOf(ini), "[A]\ny=2\n[B]\nx=4\n");
    EXPECT_FALSE(ini.removeKey("A", "x"));
    EXPECT_FALSE(ini.removeKey("Missing", "y"));
}

TEST(IniWrite, RemovedSectionAppendedAgainMovesToTheEnd) {
    // How the macro store reorders macros on save.
    auto ini = IniFile::fromText("[M0]\nItemCount=0\n\n[M1]\nItemCount=0\n\n[M2]\nItemCount=0\n");
    ini.removeSection("M0");
    ini.setValue("M0", "ItemCount", "1");
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"M1", "M2", "M0"}));
    EXPECT_EQ(textOf(ini), "[M1]\nItemCount=0\n\n[M2]\nItemCount=0\n\n[M0]\nItemCount=1\n");
}

TEST(IniWrite, NamesAndValuesThatWouldBreakTheFileAreRefused) {
    auto ini = IniFile::fromText("[A]\nx=1\n");
    const auto before = textOf(ini);
    EXPECT_FALSE(ini.setValue("A", "x", "1\r\n[Injected]"));
    EXPECT_FALSE(ini.setValue("A", "k=v", "1"));
    EXPECT_FALSE(ini.setValue("A", ";k", "1"));
    EXPECT_FALSE(ini.setValue("A", "", "1"));
    EXPECT_FALSE(ini.setValue("A]", "k", "1"));
    EXPECT_FALSE(ini.setValue("", "k", "1"));
    EXPECT_FALSE(ini.setValue("A", "k", std::string_view("a\0b", 3)));
    EXPECT_EQ(textOf(ini), before);
}

TEST(IniWrite, NewFileIsUtf8WithoutBomAndCrLf) {
    IniFile ini;
    ASSERT_TRUE(ini.setValue("Setting-EN", "Item1", "Click"));
    EXPECT_EQ(textOf(ini), "[Setting-EN]\r\nItem1=Click\r\n");
    EXPECT_EQ(ini.encoding(), IniEncoding::Utf8);
}

TEST(IniRoundTrip, HandWrittenFileKeepsCommentsOrderAndUnknownLines) {
    const std::string original = "; factory settings\r\n"
                                 "\r\n"
                                 "[Skins]\r\n"
                                 "Lan=CHS   ; trailing note\r\n"
                                 "Path = Default\r\n"
                                 "garbage without equals\r\n"
                                 "\r\n"
                                 "[Setting-CHS]\r\n"
                                 "Item1=左键\r\n"
                                 "Item2=右键\r\n";
    auto ini = IniFile::fromText(original);
    EXPECT_EQ(textOf(ini), original);
    ASSERT_TRUE(ini.setValue("Setting-CHS", "Item2", "宏-Macro_0"));
    ASSERT_TRUE(ini.setValue("Skins", "RColor", "255"));
    EXPECT_EQ(textOf(ini), "; factory settings\r\n"
                           "\r\n"
                           "[Skins]\r\n"
                           "Lan=CHS   ; trailing note\r\n"
                           "Path = Default\r\n"
                           "RColor=255\r\n"
                           "garbage without equals\r\n"
                           "\r\n"
                           "[Setting-CHS]\r\n"
                           "Item1=左键\r\n"
                           "Item2=宏-Macro_0\r\n");
}

TEST(IniRoundTrip, LineBreaksAreKeptAsReadAndAddedLinesFollowTheFirstOne) {
    const std::string mixed = "[A]\nx=1\r\ny=2\n";
    auto ini = IniFile::fromText(mixed);
    EXPECT_EQ(textOf(ini), mixed);
    EXPECT_EQ(ini.lineEnding(), IniLineEnding::Lf);
    ini.setValue("A", "z", "3");
    EXPECT_EQ(textOf(ini), "[A]\nx=1\r\ny=2\nz=3\n");
}

TEST(IniRoundTrip, Utf8BomIsKeptAndNotPartOfTheFirstSection) {
    const std::string withBom = "\xEF\xBB\xBF[Skins]\r\nLan=CHT\r\n";
    auto ini = IniFile::fromText(withBom);
    EXPECT_EQ(ini.encoding(), IniEncoding::Utf8WithBom);
    EXPECT_EQ(ini.value("Skins", "Lan"), "CHT");
    EXPECT_EQ(textOf(ini), withBom);
}

std::vector<std::uint8_t> utf16le(std::u16string_view text, bool bom = true) {
    std::vector<std::uint8_t> bytes;
    if (bom) {
        bytes = {0xFF, 0xFE};
    }
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

TEST(IniRoundTrip, Utf16LeIsReadAndWrittenBackByteIdentical) {
    // A lone surrogate and a pair outside the BMP survive unchanged too.
    const std::u16string text = u"; 配置\r\n[Setting-CHT]\r\nItem1=左鍵\r\nItem2=\xD800x\r\n"
                                u"Item3=\U0001F600\r\n";
    const auto bytes = utf16le(text);
    auto ini = IniFile::fromBytes(bytes);
    EXPECT_EQ(ini.encoding(), IniEncoding::Utf16LeWithBom);
    EXPECT_EQ(ini.value("setting-cht", "Item1"), "左鍵");
    EXPECT_EQ(ini.value("Setting-CHT", "Item2"), "\xEF\xBF\xBDx"); // shown as U+FFFD
    EXPECT_EQ(ini.value("Setting-CHT", "Item3"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(ini.toBytes(), bytes);

    ASSERT_TRUE(ini.setValue("Setting-CHT", "Item1", "巨集-Macro_0"));
    EXPECT_EQ(ini.toBytes(), utf16le(u"; 配置\r\n[Setting-CHT]\r\nItem1=巨集-Macro_0\r\n"
                                     u"Item2=\xD800x\r\nItem3=\U0001F600\r\n"));
}

TEST(IniGarbage, BinaryBytesAndNulsLoadWithADefinedResult) {
    std::vector<std::uint8_t> junk;
    for (int i = 0; i < 4096; ++i) {
        junk.push_back(static_cast<std::uint8_t>((i * 7919) & 0xFF));
    }
    const auto ini = IniFile::fromBytes(junk);
    EXPECT_EQ(ini.toBytes(), junk); // kept as it is

    const std::string withNul = "[A]\nv=ab\0cd\nw=\xFF\xFEz\n"s;
    const auto nulIni = IniFile::fromText(withNul);
    EXPECT_EQ(nulIni.value("A", "v"), "ab");                        // as a C buffer reads it
    EXPECT_EQ(nulIni.value("A", "w"), "\xEF\xBF\xBD\xEF\xBF\xBDz"); // always valid UTF-8
    EXPECT_EQ(textOf(nulIni), withNul);
}

TEST(IniGarbage, NoSectionsOddUtf16AndHugeLinesAreHandled) {
    const auto noSections = IniFile::fromText("just=text\nno headers\n");
    EXPECT_TRUE(noSections.sectionNames().empty());
    EXPECT_EQ(noSections.value("just", "text"), "");

    auto odd = utf16le(u"[A]\r\nx=1\r\n");
    odd.push_back(0x41); // half a code unit
    EXPECT_EQ(IniFile::fromBytes(odd).value("A", "x"), "1");
    EXPECT_EQ(IniFile::fromBytes(std::vector<std::uint8_t>{0xFF}).sectionNames().size(), 0u);
    EXPECT_TRUE(IniFile::fromBytes({}).sectionNames().empty());

    const std::string huge =
        "[A]\nv=" + std::string(1 << 20, 'q') + "\n[" + std::string(1 << 20, 's') + "]\nk=1\n";
    auto ini = IniFile::fromText(huge);
    EXPECT_EQ(ini.value("A", "v").size(), kIniMaxValueUnits);
    EXPECT_EQ(ini.value(std::string(1 << 20, 'S'), "k"), "1");
    ASSERT_TRUE(ini.setValue("A", "w", "2"));
    EXPECT_EQ(ini.value("A", "w"), "2");
}

TEST(IniGarbage, Utf16BigEndianWithBomIsReadAndKept) {
    const std::vector<std::uint8_t> bytes{0xFE, 0xFF, 0,   '[', 0,   'A', 0,   ']', 0,
                                          '\n', 0,    'x', 0,   '=', 0,   '1', 0,   '\n'};
    const auto ini = IniFile::fromBytes(bytes);
    EXPECT_EQ(ini.encoding(), IniEncoding::Utf16BeWithBom);
    EXPECT_EQ(ini.value("A", "x"), "1");
    EXPECT_EQ(ini.toBytes(), bytes);
}

TEST(IniGarbage, NamesListedWithReplacedBytesOrCutAtNulCanBeReadChangedAndRemoved) {
    const std::string image = "[bad\xFF]\nk\xC3=1\n[cut\0 tail]\nx=2\n"s;
    auto ini = IniFile::fromText(image);
    const auto sections = ini.sectionNames();
    ASSERT_EQ(sections, (std::vector<std::string>{"bad\uFFFD", "cut"}));
    const auto keys = ini.keyNames(sections[0]);
    ASSERT_EQ(keys, std::vector<std::string>{"k\uFFFD"});
    EXPECT_EQ(ini.value(sections[0], keys[0]), "1");
    EXPECT_EQ(ini.value(sections[1], "x"), "2");
    EXPECT_TRUE(ini.setValue(sections[0], keys[0], "3"));
    EXPECT_EQ(ini.keyNames(sections[0]).size(), 1u); // changed in place, not added
    EXPECT_TRUE(ini.removeSection(sections[1]));
    EXPECT_EQ(ini.sectionNames(), std::vector<std::string>{"bad\uFFFD"});
}

TEST(IniGarbage, ASectionViewReadsItsOwnSectionLikeTheFileDoes) {
    const auto ini = IniFile::fromText("[a]\nx=1\n[B]\nx= '2' \ny=3\n[b]\nz=4\n");
    const auto b = ini.section("b");
    EXPECT_EQ(b.value("X"), ini.value("b", "x"));
    EXPECT_EQ(b.value("x"), "2");
    EXPECT_EQ(b.find("z"), std::nullopt); // only in the later duplicate, as for find()
    EXPECT_EQ(ini.section("missing").value("x", "dflt"), "dflt");
}

TEST(IniGarbage, RandomImagesRoundTripAndSurviveEdits) {
    std::mt19937 random(20240611);
    const std::array<std::vector<std::uint8_t>, 4> prefixes{
        std::vector<std::uint8_t>{}, {0xEF, 0xBB, 0xBF}, {0xFF, 0xFE}, {0xFE, 0xFF}};
    // Bytes that matter to the parser come up often.
    const std::string alphabet = "[]=;\r\n \t\"'aA\0\xD8\xDC\xFF\xC3\xE5"s;
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::uint8_t> bytes = prefixes[round % prefixes.size()];
        const std::size_t length = (random() % 200) * 2; // whole UTF-16 units
        for (std::size_t i = 0; i < length; ++i) {
            bytes.push_back(random() % 2
                                ? static_cast<std::uint8_t>(random())
                                : static_cast<std::uint8_t>(alphabet[random() % alphabet.size()]));
        }
        auto ini = IniFile::fromBytes(bytes);
        ASSERT_EQ(ini.toBytes(), bytes) << "round " << round;
        for (const auto& section : ini.sectionNames()) {
            for (const auto& key : ini.keyNames(section)) {
                ini.value(section, key);
            }
        }
        ini.setValue("a", "a", "value");
        EXPECT_EQ(ini.value("A", "A"), "value") << "round " << round;
        ini.removeSection("a");
        EXPECT_FALSE(ini.hasSection("a")) << "round " << round;
    }
}

} // namespace
} // namespace qvr
