#include "foundation/CXMLDocument.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "platform/kernel/FileFault.h"
#include "settingsxml/SettingsXmlWriter.h"
#include "support/TempDir.h"
#include "support/ThreadTest.h"

namespace {

const std::string BOM = "\xEF\xBB\xBF";

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// UTF-16LE bytes with a byte-order mark; the compiler does the encoding.
std::string Utf16LeFile(std::u16string_view text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::string Repeat(const std::string& piece, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += piece;
    return out;
}

} // namespace

class CXMLDocumentThreadTest : public ThreadTest
{
protected:
    std::string ConfigPath() const { return m_dir.PathOf("config.xml"); }

    // Writes the bytes as config.xml, loads and saves them, and answers the saved bytes.
    std::string LoadAndSave(const std::string& bytes)
    {
        WriteBytes(ConfigPath(), bytes);
        CXMLDocument doc{CStringUTF8(ConfigPath())};
        EXPECT_EQ(doc.Load(), 1u) << doc.GetLoadError().GetStdString();
        EXPECT_EQ(doc.Save(), 1u);
        return ReadBytes(ConfigPath());
    }

    // The saved bytes, checked to come out again unchanged from a second load and save.
    std::string RoundTrip(const std::string& bytes)
    {
        const std::string first = LoadAndSave(bytes);
        EXPECT_EQ(LoadAndSave(first), first);
        return first;
    }

    // Loads bytes that must fail and answers the document's diagnostic text.
    std::string LoadError(const std::string& bytes)
    {
        WriteBytes(ConfigPath(), bytes);
        CXMLDocument doc{CStringUTF8(ConfigPath())};
        EXPECT_EQ(doc.Load(), 0u);
        return doc.GetLoadError().GetStdString();
    }

    std::string Diagnostic(const std::string& message, int line) const
    {
        return ConfigPath() + "\n" + message + "(" + std::to_string(line) + ")\n";
    }

    TempDir m_dir; // removed with the fixture
};

TEST_F(CXMLDocumentThreadTest, MissingFileAnswersDefaults)
{
    CXMLDocument doc{CStringUTF8(m_dir.PathOf("absent.xml"))};
    EXPECT_EQ(doc.Load(), 0u);
    EXPECT_EQ(doc.GetLoadError().GetStdString(), "");
    EXPECT_EQ(doc.GetInt(CStringUTF8("/Config/MesWnd/Speed"), 7), 7);
    EXPECT_EQ(doc.GetString(CStringUTF8("/Config/Name"), CStringUTF8("def")).GetStdString(), "def");
}

TEST_F(CXMLDocumentThreadTest, RoundTripKeepsTabsCommentsAndLineStructure)
{
    const std::string input = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                              "<!-- top comment -->\n"
                              "<Config>\n"
                              "\t<!-- indented <!-- nested --> comment -->\n"
                              "\t<MesWnd>\n"
                              "\t\t<Speed>5</Speed>\n"
                              "\t\t<Name>hello world</Name>\n"
                              "\t</MesWnd>\n"
                              "\t<Language>3</Language>\n"
                              "\t<Empty></Empty>\n"
                              "\t<Open>\n"
                              "\t</Open>\n"
                              "</Config>\n";
    // The only change: comments lose their indentation.
    const std::string expected = BOM + "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                                       "<!-- top comment -->\n"
                                       "<Config>\n"
                                       "<!-- indented <!-- nested --> comment -->\n"
                                       "\t<MesWnd>\n"
                                       "\t\t<Speed>5</Speed>\n"
                                       "\t\t<Name>hello world</Name>\n"
                                       "\t</MesWnd>\n"
                                       "\t<Language>3</Language>\n"
                                       "\t<Empty></Empty>\n"
                                       "\t<Open>\n"
                                       "\t</Open>\n"
                                       "</Config>\n";
    EXPECT_EQ(RoundTrip(input), expected);

    CXMLDocument doc{CStringUTF8(ConfigPath())};
    ASSERT_EQ(doc.Load(), 1u);
    EXPECT_EQ(doc.GetInt(CStringUTF8("/Config/MesWnd/Speed"), 0), 5);
    EXPECT_EQ(doc.GetString(CStringUTF8("/Config/MesWnd/Name"), CStringUTF8()).GetStdString(), "hello world");
    EXPECT_EQ(doc.GetString(CStringUTF8("/Config/Empty"), CStringUTF8("def")).GetStdString(), "");
    EXPECT_EQ(doc.GetInt(CStringUTF8("/Config/Language"), -1), 3);
    // Keys are whole paths, compared case-sensitively.
    EXPECT_EQ(doc.GetInt(CStringUTF8("/config/language"), -1), -1);
    EXPECT_EQ(doc.GetInt(CStringUTF8("Config/Language"), -1), -1);
    EXPECT_EQ(doc.GetInt(CStringUTF8("/Config/Lang"), -1), -1);
    EXPECT_EQ(doc.GetVersion().GetStdString(), "1.0");
    EXPECT_EQ(doc.GetEncoding().GetStdString(), "UTF-8");
}

TEST_F(CXMLDocumentThreadTest, CrLfFileIsWrittenBackWithLineFeeds)
{
    const std::string input = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                              "<!-- top -->\r\n"
                              "<Config>\r\n"
                              "\t<A>1</A>\r\n"
                              "\t<B>\r\n"
                              "\t</B>\r\n"
                              "</Config>\r\n";
    const std::string expected = BOM + "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                                       "<!-- top -->\n"
                                       "<Config>\n"
                                       "\t<A>1</A>\n"
                                       "\t<B>\n"
                                       "\t</B>\n"
                                       "</Config>\n";
    EXPECT_EQ(RoundTrip(input), expected);
}

TEST_F(CXMLDocumentThreadTest, TextRulesInsideValues)
{
    const std::string input = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                              "<Root>\n"
                              "\t<Text>\n"
                              "\t\tline value\n"
                              "\t</Text>\n"
                              "\t<Spaced> a  b\t c </Spaced>\n"
                              "\t<Mixed>before<Child>1</Child>after</Mixed>\n"
                              "</Root>\n";
    // A value on a line of its own comes back unindented with the end tag behind it; a tab and the
    // blanks behind it vanish while single spaces stay; text beside children is not written.
    const std::string expected = BOM + "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                                       "<Root>\n"
                                       "\t<Text>\n"
                                       "line value</Text>\n"
                                       "\t<Spaced> a  bc </Spaced>\n"
                                       "\t<Mixed>\t\t<Child>1</Child>\t</Mixed>\n"
                                       "</Root>\n";
    EXPECT_EQ(RoundTrip(input), expected);

    WriteBytes(ConfigPath(), input);
    CXMLDocument doc{CStringUTF8(ConfigPath())};
    ASSERT_EQ(doc.Load(), 1u);
    EXPECT_EQ(doc.GetString(CStringUTF8("/Root/Text"), CStringUTF8()).GetStdString(), "line value");
    EXPECT_EQ(doc.GetString(CStringUTF8("/Root/Spaced"), CStringUTF8()).GetStdString(), " a  bc ");
    EXPECT_EQ(doc.GetString(CStringUTF8("/Root/Mixed"), CStringUTF8()).GetStdString(), "beforeafter");
    EXPECT_EQ(doc.GetInt(CStringUTF8("/Root/Mixed/Child"), 0), 1);
}

TEST_F(CXMLDocumentThreadTest, Utf8WithByteOrderMark)
{
    const std::string input = BOM + "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                    "<設定>\n"
                                    "\t<名前>太郎</名前>\n"
                                    "</設定>\n";
    const std::string expected = BOM + "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                                       "<設定>\n"
                                       "\t<名前>太郎</名前>\n"
                                       "</設定>\n";
    EXPECT_EQ(RoundTrip(input), expected);
    CXMLDocument doc{CStringUTF8(ConfigPath())};
    ASSERT_EQ(doc.Load(), 1u);
    EXPECT_EQ(doc.GetString(CStringUTF8("/設定/名前"), CStringUTF8()).GetStdString(), "太郎");
}

TEST_F(CXMLDocumentThreadTest, Utf16LittleEndianIsWrittenBackAsUtf8)
{
    const std::string input = Utf16LeFile(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
                                          u"<Config>\r\n"
                                          u"\t<Name>日本\U0001F600</Name>\r\n"
                                          u"</Config>\r\n");
    // The encoding label stays as it was read; the bytes are UTF-8 now.
    const std::string expected = BOM + "<?xml version=\"1.0\" encoding=\"UTF-16\" ?>\n"
                                       "<Config>\n"
                                       "\t<Name>\xE6\x97\xA5\xE6\x9C\xAC\xF0\x9F\x98\x80</Name>\n"
                                       "</Config>\n";
    EXPECT_EQ(RoundTrip(input), expected);
}

TEST_F(CXMLDocumentThreadTest, Utf16TextEndsAtANulUnit)
{
    std::string input = Utf16LeFile(u"<?xml ?>\n<A>1</A>\n");
    input += std::string("\0\0", 2) + Utf16LeFile(u"<B>2</B>\n").substr(2);
    EXPECT_EQ(LoadAndSave(input), BOM + "<?xml version=\"\" encoding=\"\" ?>\n<A>1</A>\n");
}

TEST_F(CXMLDocumentThreadTest, FileWithoutByteOrderMarkIsCodePage932)
{
    // 日本 = 93 FA 96 7B; ソ = 83 5C (its second byte is a backslash); 0x8160 is U+FF5E;
    // B1 is the half-width katakana U+FF71.
    const std::string input = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n"
                              "<Config>\n"
                              "\t<Name>\x93\xFA\x96\x7B\x83\x5C\x81\x60\xB1</Name>\n"
                              "</Config>\n";
    const std::string expected =
        BOM + "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\n"
              "<Config>\n"
              "\t<Name>\xE6\x97\xA5\xE6\x9C\xAC\xE3\x82\xBD\xEF\xBD\x9E\xEF\xBD\xB1</Name>\n"
              "</Config>\n";
    EXPECT_EQ(RoundTrip(input), expected);
}

TEST_F(CXMLDocumentThreadTest, HeaderVariants)
{
    struct Case
    {
        const char* header;
        const char* saved;
    };
    const Case cases[] = {
        {"<?xml version='1.1' encoding='EUC-JP'?>", "<?xml version=\"1.1\" encoding=\"EUC-JP\" ?>"},
        {"<?xml   version = \"2\"   encoding =\t'x y' ?>", "<?xml version=\"2\" encoding=\"x y\" ?>"},
        {"<?xml encoding=\"UTF-8\"?>", "<?xml version=\"\" encoding=\"UTF-8\" ?>"},
        {"<?xml?>", "<?xml version=\"\" encoding=\"\" ?>"},
        {"<? xml ?>  ", "<?xml version=\"\" encoding=\"\" ?>"},
        // A value holding a double quote is written with apostrophes, so it reads back.
        {"<?xml version='1\"0' encoding='a\"b'?>", "<?xml version='1\"0' encoding='a\"b' ?>"},
    };
    for (const Case& c : cases) {
        const std::string saved = LoadAndSave(std::string(c.header) + "\n<A>1</A>\n");
        EXPECT_EQ(saved, BOM + c.saved + "\n<A>1</A>\n") << c.header;
        EXPECT_EQ(LoadAndSave(saved), saved) << "the saved file loads again: " << c.header;
    }
}

TEST_F(CXMLDocumentThreadTest, ParseErrorsReportMessageAndLine)
{
    const std::string no_header = "XML ヘッダーが存在しません。";
    const std::string bad_header = "XML ヘッダーに不正な文字列が存在します。";
    const std::string bad_version = "XML バージョン定義に不正な文字列が存在します。";
    const std::string bad_encoding = "XML エンコード定義に不正な文字列が存在します。";
    const std::string no_header_end = "XML ヘッダーの終端子が存在しません。";
    const std::string no_comment_end = "コメントの終端子が見つかりません";
    struct Case
    {
        std::string text;
        std::string message;
        int line;
    };
    const Case cases[] = {
        {"", no_header, 1},
        {"\n<?xml ?>\n<A>1</A>\n", no_header, 1},
        {" <?xml ?>\n", no_header, 1},
        {"<A>1</A>\n", no_header, 1},
        {"<?xmlx ?>\n", no_header, 1},
        {"<? ?>\n", no_header, 1},
        {"<?xml version=\"1.0\" standalone=\"yes\" ?>\n", bad_header, 1},
        {"<?xml\nversion=\"1.0\" ?>\n", bad_header, 1},
        {"<?xml version=\"1.0 ?>\n<A>1</A>\n", bad_header, 1}, // the quote runs to the line's end
        {"<?xml version \"1.0\" ?>\n", bad_version, 1},
        {"<?xml version=1.0 ?>\n", bad_version, 1},
        {"<?xml version=\"1.0\" encoding=UTF-8 ?>\n", bad_encoding, 1},
        {"<?xml encoding:\"UTF-8\" ?>\n", bad_encoding, 1},
        {"<?xml version=\"1.0\"", no_header_end, 1},
        {"<?xml ?\n<A>1</A>\n", no_header_end, 1},
        {"<?xml ?>\n<A>\n\t<B>1</C>\n</A>\n", "B の終端子が見つかりません", 3},
        {"<?xml ?>\n<A>\n\t<B>1</B>\n", "A の終端子が見つかりません", 4},
        {"<?xml ?>\n<A>\n<!-- open\n\nstill\n</A>\n", no_comment_end, 3},
        {"<?xml ?>\n<!-- outer\n<!-- inner -->\n\n", no_comment_end, 2},
        {"<?xml ?>\n<!-- closed -->\n<!-- a\n<!-- b\n", no_comment_end, 4},
        {"<?xml ?>\n<A>\n\t<>1</>\n</A>\n", "要素名が存在しません。", 3},
        {"<?xml version='a\"' version=\"b'\" ?>\n", bad_version, 1},
        {"<?xml encoding='a\"' encoding=\"b'\" ?>\n", bad_encoding, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LoadError(c.text), Diagnostic(c.message, c.line)) << c.text;
    }
}

TEST_F(CXMLDocumentThreadTest, FailedParseAnswersDefaults)
{
    WriteBytes(ConfigPath(), "<?xml ?>\n<A>1</A>\n<B>\n");
    CXMLDocument doc{CStringUTF8(ConfigPath())};
    EXPECT_EQ(doc.Load(), 0u);
    EXPECT_EQ(doc.GetInt(CStringUTF8("/A"), 42), 42);
    EXPECT_EQ(doc.GetString(CStringUTF8("/B"), CStringUTF8("d")).GetStdString(), "d");
}

TEST_F(CXMLDocumentThreadTest, LookAheadSeesNothingPastTheEnd)
{
    // A "<" as the very last character opens an element without a name.
    EXPECT_EQ(LoadError("<?xml ?>\n<A>1</A>\n<"), Diagnostic("要素名が存在しません。", 3));
    EXPECT_EQ(LoadError("<?xml ?>\n<A>x<"), Diagnostic("要素名が存在しません。", 2));
    // "<!-" at the end is no comment: the third look-ahead is past the end.
    EXPECT_EQ(LoadError("<?xml ?>\n<A>1</A>\n<!-"), Diagnostic("!- の終端子が見つかりません", 3));
    EXPECT_EQ(LoadError("<?xml ?>\n<A>1</A>\n<!--"), Diagnostic("コメントの終端子が見つかりません", 3));
    EXPECT_EQ(LoadError("<?xml ?"), Diagnostic("XML ヘッダーの終端子が存在しません。", 1));
}

TEST_F(CXMLDocumentThreadTest, NestingIsLimited)
{
    const std::string deepest_key = Repeat("/E", 256);
    const std::string deep = "<?xml ?>\n" + Repeat("<E>", 256) + "1" + Repeat("</E>", 256) + "\n";
    WriteBytes(ConfigPath(), deep);
    {
        CXMLDocument doc{CStringUTF8(ConfigPath())};
        ASSERT_EQ(doc.Load(), 1u);
        EXPECT_EQ(doc.GetInt(CStringUTF8(deepest_key), 0), 1);
    }
    const std::string nesting = "XML の入れ子が深すぎます。";
    EXPECT_EQ(LoadError("<?xml ?>\n\n" + Repeat("<E>", 257) + Repeat("</E>", 257)), Diagnostic(nesting, 3));

    const std::string comments = Repeat("<!--", 256) + Repeat("-->", 256);
    EXPECT_EQ(LoadAndSave("<?xml ?>\n" + comments + "\n<A>1</A>\n"),
              BOM + "<?xml version=\"\" encoding=\"\" ?>\n" + comments + "\n<A>1</A>\n");
    EXPECT_EQ(LoadError("<?xml ?>\n" + Repeat("<!--", 257) + Repeat("-->", 257)), Diagnostic(nesting, 2));
    // Elements and comments count together.
    EXPECT_EQ(LoadError("<?xml ?>\n" + Repeat("<E>", 200) + Repeat("<!--", 57)), Diagnostic(nesting, 2));
}

TEST_F(CXMLDocumentThreadTest, DuplicatePathsFirstWinsAndBothAreWritten)
{
    WriteBytes(ConfigPath(), "<?xml ?>\n<A>1</A>\n<A>2</A>\n");
    CXMLDocument doc{CStringUTF8(ConfigPath())};
    ASSERT_EQ(doc.Load(), 1u);
    EXPECT_EQ(doc.GetInt(CStringUTF8("/A"), 0), 1);
    doc.SetString(CStringUTF8("/A"), CStringUTF8("9"));
    ASSERT_EQ(doc.Save(), 1u);
    EXPECT_EQ(ReadBytes(ConfigPath()), BOM + "<?xml version=\"\" encoding=\"\" ?>\n<A>9</A>\n<A>2</A>\n");
}

TEST_F(CXMLDocumentThreadTest, SetStringCreatesMissingElements)
{
    WriteBytes(ConfigPath(), "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                             "<Config>\n"
                             "\t<A>1</A>\n"
                             "</Config>\n");
    CXMLDocument doc{CStringUTF8(ConfigPath())};
    ASSERT_EQ(doc.Load(), 1u);
    doc.SetString(CStringUTF8("/Config/New/Deeper/Leaf"), CStringUTF8("x"));
    doc.SetInt(CStringUTF8("/Config/New/Other"), -12);
    doc.SetString(CStringUTF8("/Top2/K"), CStringUTF8("v"));
    doc.SetInt(CStringUTF8("/Config/A"), 2);
    EXPECT_EQ(doc.GetString(CStringUTF8("/Config/New/Deeper/Leaf"), CStringUTF8()).GetStdString(), "x");
    EXPECT_EQ(doc.GetInt(CStringUTF8("/Config/New/Other"), 0), -12);
    ASSERT_EQ(doc.Save(), 1u);
    const std::string expected = BOM + "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                                       "<Config>\n"
                                       "\t<A>2</A>\n"
                                       "\t<New>\n"
                                       "\t\t<Deeper>\n"
                                       "\t\t\t<Leaf>x</Leaf>\n"
                                       "\t\t</Deeper>\n"
                                       "\t\t<Other>-12</Other>\n"
                                       "\t</New>\n"
                                       "</Config>\n"
                                       "<Top2>\n"
                                       "\t<K>v</K>\n"
                                       "</Top2>\n";
    EXPECT_EQ(ReadBytes(ConfigPath()), expected);
    EXPECT_EQ(LoadAndSave(expected), expected);
}

TEST_F(CXMLDocumentThreadTest, SetStringOfANameStartingWithADotCreatesThatElement)
{
    WriteBytes(ConfigPath(), "<?xml ?>\n<Config>\n\t<A>5</A>\n</Config>\n");
    CXMLDocument doc{CStringUTF8(ConfigPath())};
    ASSERT_EQ(doc.Load(), 1u);
    doc.SetString(CStringUTF8("/Config/A/.b"), CStringUTF8("x"));
    EXPECT_EQ(doc.GetInt(CStringUTF8("/Config/A"), 0), 5);
    EXPECT_EQ(doc.GetString(CStringUTF8("/Config/A/.b"), CStringUTF8()).GetStdString(), "x");
}

TEST_F(CXMLDocumentThreadTest, GetIntReadsTheLeadingDecimalNumber)
{
    WriteBytes(ConfigPath(), "<?xml ?>\n<N>\n"
                             "<Trailing>12abc</Trailing>\n"
                             "<Letters>abc</Letters>\n"
                             "<Empty></Empty>\n"
                             "<Minus>-34</Minus>\n"
                             "<Plus>+5</Plus>\n"
                             "<Hex>0x1F</Hex>\n"
                             "<Blank> 7</Blank>\n"
                             "<Max>2147483647</Max>\n"
                             "<Min>-2147483648</Min>\n"
                             "</N>\n");
    CXMLDocument doc{CStringUTF8(ConfigPath())};
    ASSERT_EQ(doc.Load(), 1u);
    EXPECT_EQ(doc.GetInt(CStringUTF8("/N/Trailing"), 99), 12);
    EXPECT_EQ(doc.GetInt(CStringUTF8("/N/Letters"), 99), 0);
    EXPECT_EQ(doc.GetInt(CStringUTF8("/N/Empty"), 99), 0); // present, so not the default
    EXPECT_EQ(doc.GetInt(CStringUTF8("/N/Minus"), 99), -34);
    EXPECT_EQ(doc.GetInt(CStringUTF8("/N/Plus"), 99), 5);
    EXPECT_EQ(doc.GetInt(CStringUTF8("/N/Hex"), 99), 0);
    EXPECT_EQ(doc.GetInt(CStringUTF8("/N/Blank"), 99), 7);
    EXPECT_EQ(doc.GetInt(CStringUTF8("/N/Max"), 99), 2147483647);
    EXPECT_EQ(doc.GetInt(CStringUTF8("/N/Min"), 99), -2147483647 - 1);
    EXPECT_EQ(doc.GetInt(CStringUTF8("/N/Missing"), 99), 99);
}

TEST_F(CXMLDocumentThreadTest, GeneratedSettingsRoundTripExactly)
{
    const auto groups = tools::MakeTypicalSettings(12, 25);
    const std::string text = tools::WriteSettingsXml("Config", groups);
    EXPECT_EQ(LoadAndSave(text), text);

    CXMLDocument doc{CStringUTF8(ConfigPath())};
    ASSERT_EQ(doc.Load(), 1u);
    const auto paths = tools::SettingsKeyPaths("Config", groups);
    size_t i = 0;
    for (const tools::SettingsGroup& group : groups)
        for (const auto& key : group.keys) {
            ASSERT_EQ(doc.GetString(CStringUTF8(paths[i++]), CStringUTF8("?")).GetStdString(), key.second);
        }
}

TEST_F(CXMLDocumentThreadTest, ThreadsShareOneDocument)
{
    CXMLDocument doc{CStringUTF8(ConfigPath())};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&doc, t] {
            for (int i = 0; i < 100; ++i) {
                const std::string key = "/T" + std::to_string(t) + "/K" + std::to_string(i);
                doc.SetInt(CStringUTF8(key), t * 1000 + i);
                EXPECT_EQ(doc.GetInt(CStringUTF8(key), -1), t * 1000 + i);
            }
            EXPECT_EQ(doc.Save(), 1u);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    CXMLDocument reloaded{CStringUTF8(ConfigPath())};
    ASSERT_EQ(reloaded.Load(), 1u);
    EXPECT_EQ(reloaded.GetInt(CStringUTF8("/T3/K99"), -1), 3099);
    EXPECT_EQ(reloaded.GetInt(CStringUTF8("/T0/K0"), -1), 0);
}

TEST_F(CXMLDocumentThreadTest, FailedLoadStillSavesTheKeysSetAndKeepsTheOldFile)
{
    const std::string broken = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Config>\n\t<A>1</A>\n";
    WriteBytes(ConfigPath(), broken);
    CXMLDocument doc{CStringUTF8(ConfigPath())};
    ASSERT_EQ(doc.Load(), 0u);
    doc.SetString(CStringUTF8("/Config/Key"), CStringUTF8("v"));
    EXPECT_EQ(doc.GetString(CStringUTF8("/Config/Key"), CStringUTF8()).GetStdString(), "v");
    ASSERT_EQ(doc.Save(), 1u);
    const std::string header = BOM + "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n";
    EXPECT_EQ(ReadBytes(ConfigPath()), header + "<Config>\n\t<Key>v</Key>\n</Config>\n");
    EXPECT_EQ(ReadBytes(ConfigPath() + ".bad"), broken);

    // Later saves replace the now sound file and leave the copy alone.
    doc.SetInt(CStringUTF8("/Config/Key"), 3);
    ASSERT_EQ(doc.Save(), 1u);
    EXPECT_EQ(ReadBytes(ConfigPath()), header + "<Config>\n\t<Key>3</Key>\n</Config>\n");
    EXPECT_EQ(ReadBytes(ConfigPath() + ".bad"), broken);
}

TEST_F(CXMLDocumentThreadTest, AStrayEndTagAtTheTopLevelEndsTheFile)
{
    const std::string edited =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Config>\n\t<A>1</A>\n</Config>\n"
        "</Extra>\n<Screen>\n\t<Status>2</Status>\n</Screen>\n";
    WriteBytes(ConfigPath(), edited);
    CXMLDocument doc{CStringUTF8(ConfigPath())};
    EXPECT_EQ(doc.Load(), 1u);
    EXPECT_TRUE(doc.GetLoadError().IsEmpty());
    EXPECT_EQ(doc.GetInt(CStringUTF8("/Config/A"), 7), 1);
    EXPECT_EQ(doc.GetInt(CStringUTF8("/Screen/Status"), 7), 7);
    ASSERT_EQ(doc.Save(), 1u);
    EXPECT_EQ(ReadBytes(ConfigPath()),
              BOM + "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Config>\n\t<A>1</A>\n</Config>\n");
    EXPECT_FALSE(std::filesystem::exists(ConfigPath() + ".bad"));
    // Text before the stray tag is the root's value, which is never written.
    EXPECT_EQ(LoadAndSave("<?xml ?>\n<A>1</A>\nloose</B>\n<C>2</C>\n"),
              BOM + "<?xml version=\"\" encoding=\"\" ?>\n<A>1</A>\n");
}

TEST_F(CXMLDocumentThreadTest, MissingFileSavesTheKeysSetWithoutACopy)
{
    CXMLDocument doc{CStringUTF8(ConfigPath())};
    EXPECT_EQ(doc.Load(), 0u);
    doc.SetInt(CStringUTF8("/Config/Language"), 1);
    ASSERT_EQ(doc.Save(), 1u);
    EXPECT_EQ(ReadBytes(ConfigPath()), BOM + "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\n"
                                             "<Config>\n\t<Language>1</Language>\n</Config>\n");
    EXPECT_FALSE(std::filesystem::exists(ConfigPath() + ".bad"));

    CXMLDocument never_loaded{CStringUTF8(m_dir.PathOf("other.xml"))};
    never_loaded.SetString(CStringUTF8("/K"), CStringUTF8("v"));
    ASSERT_EQ(never_loaded.Save(), 1u);
    EXPECT_EQ(ReadBytes(m_dir.PathOf("other.xml")),
              BOM + "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\n<K>v</K>\n");
}

TEST_F(CXMLDocumentThreadTest, UnreadableFileIsMovedAsideByTheFirstSave)
{
    // A folder where the file should be: there, but no document.
    std::filesystem::create_directory(ConfigPath());
    WriteBytes(ConfigPath() + "/inside", "x");
    CXMLDocument doc{CStringUTF8(ConfigPath())};
    EXPECT_EQ(doc.Load(), 0u);
    doc.SetInt(CStringUTF8("/A"), 1);
    ASSERT_EQ(doc.Save(), 1u);
    EXPECT_EQ(ReadBytes(ConfigPath()), BOM + "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\n<A>1</A>\n");
    EXPECT_EQ(ReadBytes(ConfigPath() + ".bad/inside"), "x");
}

TEST_F(CXMLDocumentThreadTest, SaveIntoAMissingFolderFails)
{
    const std::string path = m_dir.PathOf("missing/config.xml");
    CXMLDocument doc{CStringUTF8(path)};
    doc.SetInt(CStringUTF8("/A"), 1);
    EXPECT_EQ(doc.Save(), 0u);
    EXPECT_FALSE(std::filesystem::exists(m_dir.PathOf("missing")));
}

class SaveFailureThreadTest : public CXMLDocumentThreadTest
{
protected:
    const std::string m_old =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Config>\n\t<A>1</A>\n</Config>\n";

    // A loaded document with enough new content that writing it takes more than a few bytes.
    std::unique_ptr<CXMLDocument> LoadChanged()
    {
        WriteBytes(ConfigPath(), m_old);
        auto doc = std::make_unique<CXMLDocument>(CStringUTF8(ConfigPath()));
        EXPECT_EQ(doc->Load(), 1u);
        for (int i = 0; i < 50; ++i)
            doc->SetInt(CStringUTF8("/Config/Key" + std::to_string(i)), i);
        return doc;
    }

    void ExpectOldFileIntact()
    {
        EXPECT_EQ(ReadBytes(ConfigPath()), m_old);
        EXPECT_FALSE(std::filesystem::exists(ConfigPath() + ".tmp"));
    }
};

TEST_F(SaveFailureThreadTest, FailedWriteKeepsTheOldFile)
{
    auto doc = LoadChanged();
    // Writes past 64 bytes fail with EFBIG, for root too.
    struct rlimit old_limit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    struct rlimit limit = old_limit;
    limit.rlim_cur = 64;
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const uint32_t result = doc->Save();
    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(result, 0u);
    ExpectOldFileIntact();
}

TEST_F(SaveFailureThreadTest, UncreatableTemporaryFileKeepsTheOldFile)
{
    auto doc = LoadChanged();
    std::filesystem::create_directory(ConfigPath() + ".tmp");
    EXPECT_EQ(doc->Save(), 0u);
    EXPECT_EQ(ReadBytes(ConfigPath()), m_old);
    EXPECT_TRUE(std::filesystem::is_directory(ConfigPath() + ".tmp"));
}

TEST_F(SaveFailureThreadTest, FailedRenameRemovesTheTemporaryFile)
{
    std::filesystem::create_directory(ConfigPath());
    WriteBytes(ConfigPath() + "/inside", "x");
    CXMLDocument doc{CStringUTF8(ConfigPath())};
    doc.SetInt(CStringUTF8("/A"), 1);
    EXPECT_EQ(doc.Save(), 0u);
    EXPECT_EQ(ReadBytes(ConfigPath() + "/inside"), "x");
    EXPECT_FALSE(std::filesystem::exists(ConfigPath() + ".tmp"));
}

TEST_F(SaveFailureThreadTest, ReadOnlyFolderKeepsTheOldFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    auto doc = LoadChanged();
    std::filesystem::permissions(m_dir.Path(),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const uint32_t result = doc->Save();
    std::filesystem::permissions(m_dir.Path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(result, 0u);
    ExpectOldFileIntact();
}

// A save over a damaged file stopped at each of its file calls: the folder always holds a settings
// file, the damaged one until the new one is whole, and once it is, the damaged bytes beside it.
TEST_F(SaveFailureThreadTest, ASaveOverADamagedFileNeverLeavesTheFolderWithoutOne)
{
    struct FileStop
    {};
    const std::string broken = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Config>\n\t<A>1</A>\n";
    const std::string saved =
        BOM + "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Config>\n\t<Key>2</Key>\n</Config>\n";
    int kept_old = 0;
    for (int stop = 0;; ++stop) {
        SCOPED_TRACE("stopped at call " + std::to_string(stop));
        WriteBytes(ConfigPath(), broken);
        std::filesystem::remove(ConfigPath() + ".bad");
        CXMLDocument doc{CStringUTF8(ConfigPath())};
        ASSERT_EQ(doc.Load(), 0u);
        doc.SetInt(CStringUTF8("/Config/Key"), 2);
        platform::InjectFileStop(
            stop, [] { throw FileStop{}; }, true);
        bool stopped = false;
        try {
            EXPECT_EQ(doc.Save(), 1u);
        } catch (FileStop) {
            stopped = true;
        }
        platform::ClearFileFault();
        ASSERT_TRUE(std::filesystem::is_regular_file(ConfigPath()));
        if (ReadBytes(ConfigPath()) == broken) {
            ++kept_old;
        } else {
            EXPECT_EQ(ReadBytes(ConfigPath()), saved);
            EXPECT_EQ(ReadBytes(ConfigPath() + ".bad"), broken);
        }
        if (!stopped)
            break;
    }
    EXPECT_GT(kept_old, 5);
}
