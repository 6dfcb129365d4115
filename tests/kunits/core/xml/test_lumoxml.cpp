#include <gtest/gtest.h>

#include <thread>

#include "core/xml/lumoxml.h"
#include "temphome.h"

namespace kolvarin {
namespace {

const TLumoXMLTag* tagAt(const TLumoXMLItem& item, int32_t i)
{
    const TLumoXMLItem* child = item.Item(i);
    return child && child->IsTag() ? static_cast<const TLumoXMLTag*>(child) : nullptr;
}

std::u16string textOf(const TLumoXMLItem* item)
{
    return item && item->Kind() == TLumoXMLItemKind::Text ? static_cast<const TLumoXMLText*>(item)->Text : u"<none>";
}

std::string written(TLumoXML& doc)
{
    TLumoStream out;
    EXPECT_TRUE(doc.Write(out, 2));
    return out.GetText();
}

TEST(LumoXMLParse, TextWhiteSpaceAndEntities)
{
    struct Case {
        const char* body;
        std::u16string text;
    } cases[] = {
        {"x &amp;amp; y", u"x &amp; y"},
        {"  x   y  ", u"x y "},
        {"a\r\n\tb", u"a b"},
        {"&copy;", u"\u00A9"},
        {"&euro;&lt;&gt;&quot;&nbsp;&yuml;", u"\u20AC<>\"\u00A0\u00FF"},
        {"&unknown;", u"&unknown;"},
        {"&apos;", u"&apos;"},
        {"&#65;&#x41;&#+65;", u"AAA"},
        {"&#x1F600;", u"\U0001F600"},
        {"&#x110000;&#xD800;&#0;&#-65;&#;&#99999999999999999999;", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"caf\xE9 \x80", u"caf\u00E9 \u20AC"},
    };
    for (const auto& c : cases) {
        TLumoXML doc;
        ASSERT_TRUE(doc.Parse(std::string("<a>") + c.body + "</a>")) << c.body;
        const TLumoXMLTag* a = tagAt(doc.Root, 0);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->Count(), 1) << c.body;
        EXPECT_EQ(textOf(a->Item(0)), c.text) << c.body;
    }
}

TEST(LumoXMLEntities, EveryNamedEntityRoundTrips)
{
    std::u16string named = u"\"&<>\u20AC";
    for (char16_t c = 160; c <= 255; ++c)
        named += c;
    ASSERT_EQ(named.size(), 101u);
    for (const char16_t c : named) {
        const std::string encoded = XMLEncodeText(std::u16string(1, c), 0);
        EXPECT_TRUE(encoded.size() > 3 && encoded[0] == '&' && encoded[1] != '#' && encoded.back() == ';') << int(c);
        TLumoXML doc;
        ASSERT_TRUE(doc.Parse("<a>x" + encoded + "</a>")) << encoded;
        EXPECT_EQ(textOf(tagAt(doc.Root, 0)->Item(0)), std::u16string(u"x") + c) << encoded;
    }
    EXPECT_EQ(XMLEncodeText(u"'\t\x7F\x9F", 0), "'\t\x7F&#159;"); // the apostrophe has no entity
    EXPECT_EQ(XMLEncodeText(u"a\r\nb\rc\nd", 2), "a\n  b\n  c\n  d");
}

TEST(LumoXMLParse, Parameters)
{
    TLumoXML doc;
    ASSERT_TRUE(doc.Parse("<t a=\"  lead\" b='single' c=\"x&amp;y&#x4E2D;\" a=\"second\" e=\"\"/>"));
    const TLumoXMLTag* t = tagAt(doc.Root, 0);
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->IsEmptyTag);
    ASSERT_EQ(t->Parameters().size(), 5u);
    EXPECT_EQ(t->Parameters()[0].Value, u"lead");
    EXPECT_EQ(t->GetParameter("b", "d"), "single");
    EXPECT_EQ(t->FindParameter("c")->Value, u"x&y\u4E2D"); // kept in full
    EXPECT_EQ(t->GetParameter("c", "d"), "x&y?"); // 8-bit view
    EXPECT_EQ(t->GetParameter("a", "d"), "second"); // the later one wins
    EXPECT_EQ(t->GetParameter("e", "d"), "");
    EXPECT_EQ(t->GetParameter("A", "d"), "d"); // names are case-sensitive
}

TEST(LumoXMLParse, ManyParametersUseTheIndex)
{
    std::string xml = "<t";
    for (int i = 0; i < 40; ++i)
        xml += " p" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    xml += " p7=\"again\"/>";
    TLumoXML doc;
    ASSERT_TRUE(doc.Parse(xml));
    auto* t = static_cast<TLumoXMLTag*>(doc.Root.Item(0));
    EXPECT_EQ(t->GetParameter("p39", ""), "39");
    EXPECT_EQ(t->GetParameter("p7", ""), "again");
    EXPECT_EQ(t->GetParameter("p40", "none"), "none");
    t->AddParameter("p40", u"late");
    EXPECT_EQ(t->GetParameter("p40", "none"), "late");
}

TEST(LumoXMLParse, DeclarationsAndSpecialItems)
{
    TLumoXML doc;
    ASSERT_TRUE(doc.Parse("<?xml version=\"1.0\" encoding=\"UTF-8\"?><e/><!-- note - x --><!DOCTYPE \t html>"
                          "<![CDATA[a<b]]><%code%><!ELEMENT x><r>t<![CDATA[<&>]]></r>"));
    ASSERT_EQ(doc.Root.Count(), 8);
    const TLumoXMLTag* pi = tagAt(doc.Root, 0);
    ASSERT_NE(pi, nullptr);
    EXPECT_EQ(pi->Kind(), TLumoXMLItemKind::Process);
    EXPECT_EQ(pi->Name, "xml");
    EXPECT_EQ(pi->GetParameter("encoding", ""), "UTF-8");
    EXPECT_EQ(tagAt(doc.Root, 1)->Name, "e"); // no byte lost after "?>"
    const struct {
        TLumoXMLItemKind kind;
        const char* text;
    } raws[] = {
        {TLumoXMLItemKind::Comment, " note - x "}, {TLumoXMLItemKind::DocType, "html"},
        {TLumoXMLItemKind::CData, "a<b"},          {TLumoXMLItemKind::Script, "code"},
        {TLumoXMLItemKind::Extra, "ELEMENT x"},
    };
    for (int i = 0; i < 5; ++i) {
        const auto* item = static_cast<const TLumoXMLRawItem*>(doc.Root.Item(2 + i));
        EXPECT_EQ(item->Kind(), raws[i].kind);
        EXPECT_EQ(item->Text, raws[i].text);
    }
    EXPECT_EQ(tagAt(doc.Root, 7)->Count(), 2);
}

TEST(LumoXMLParse, MismatchedClosingTags)
{
    TLumoXML doc;
    // A closing tag at the top level is kept as a tag named "/x".
    ASSERT_TRUE(doc.Parse("</x><y/>"));
    ASSERT_EQ(doc.Root.Count(), 2);
    EXPECT_EQ(tagAt(doc.Root, 0)->Name, "/x");

    // One of another name is kept inside and the element stays open.
    EXPECT_FALSE(doc.Parse("<a></b>"));
    EXPECT_EQ(doc.LastResult().Status, TLumoXMLStatus::UnclosedTag);
    EXPECT_EQ(doc.LastResult().Offset, 7);
    EXPECT_EQ(doc.Root.Count(), 0);

    ASSERT_TRUE(doc.Parse("<a></b></a>"));
    const TLumoXMLTag* a = tagAt(doc.Root, 0);
    ASSERT_EQ(a->Count(), 1);
    EXPECT_EQ(tagAt(*a, 0)->Name, "/b");
}

TEST(LumoXMLParse, ErrorsCarryStatusAndOffset)
{
    struct Case {
        std::string xml;
        TLumoXMLStatus status;
        int64_t offset;
    } cases[] = {
        {"", TLumoXMLStatus::Ok, 0},
        {"  \r\n ", TLumoXMLStatus::Ok, 0},
        {"<a x=\"1\">", TLumoXMLStatus::UnclosedTag, 9},
        {"<a x=1/>", TLumoXMLStatus::ExpectedQuote, 5},
        {"<a x \"1\"/>", TLumoXMLStatus::ExpectedEquals, 5},
        {"<a x=\"1/>", TLumoXMLStatus::UnexpectedEnd, 9},
        {"<a b>", TLumoXMLStatus::ExpectedEquals, 4},
        {"<a", TLumoXMLStatus::ExpectedTagEnd, 2},
        {"<", TLumoXMLStatus::ExpectedTagEnd, 1},
        {"<?xml a=\"1\">", TLumoXMLStatus::ExpectedProcessEnd, 11},
        {"<!-x-->", TLumoXMLStatus::BadComment, 3},
        {"<!-- never closed", TLumoXMLStatus::UnexpectedEnd, 17},
        {"<![CDATX[", TLumoXMLStatus::BadCData, 7},
        {"<![CDATA[open", TLumoXMLStatus::UnexpectedEnd, 13},
        {"<%open", TLumoXMLStatus::UnexpectedEnd, 6},
        {"<!DOCTYPE", TLumoXMLStatus::UnexpectedEnd, 9},
        {"<a>&#65</a>", TLumoXMLStatus::ExpectedSemicolon, 7},
        {"<a>a & b</a>", TLumoXMLStatus::ExpectedSemicolon, 6},
        {"<a>&amp</a>", TLumoXMLStatus::ExpectedSemicolon, 7},
        {"<a v=\"&lt\"/>", TLumoXMLStatus::ExpectedSemicolon, 9},
        {"<a>&#X41;</a>", TLumoXMLStatus::ExpectedSemicolon, 5},
    };
    for (const auto& c : cases) {
        TLumoXML doc;
        EXPECT_EQ(doc.Parse(c.xml), c.status == TLumoXMLStatus::Ok) << c.xml;
        EXPECT_EQ(doc.LastResult().Status, c.status) << c.xml << ": " << doc.LastResult().Description();
        EXPECT_EQ(doc.LastResult().Offset, c.offset) << c.xml;
        if (c.status != TLumoXMLStatus::Ok) {
            EXPECT_EQ(doc.Root.Count(), 0) << c.xml;
        }
    }
}

TEST(LumoXMLParse, HostileInputIsRefused)
{
    TLumoXML doc;
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    EXPECT_FALSE(doc.Parse(deep));
    EXPECT_EQ(doc.LastResult().Status, TLumoXMLStatus::TooDeep);
    EXPECT_EQ(doc.LastResult().Offset, 3 * (TLumoXML::kMaxDepth + 1));

    std::string nested;
    for (int i = 0; i < TLumoXML::kMaxDepth; ++i)
        nested += "<a>";
    for (int i = 0; i < TLumoXML::kMaxDepth; ++i)
        nested += "</a>";
    EXPECT_TRUE(doc.Parse(nested));

    std::string entity = "<a>&#" + std::string(100000, '9') + ";</a>";
    ASSERT_TRUE(doc.Parse(entity));
    EXPECT_EQ(textOf(tagAt(doc.Root, 0)->Item(0)), u"\uFFFD");

    // Truncations of a sound document never crash; the full one parses.
    const std::string good = "<?xml version=\"1.0\"?><r a='1'><!--c--><b x=\"&amp;\">t&#x41;</b><![CDATA[z]]></r>";
    for (size_t n = 0; n < good.size(); ++n)
        doc.Parse(good.substr(0, n));
    EXPECT_TRUE(doc.Parse(good));

    std::string garbage;
    uint32_t seed = 12345;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245 + 12345;
        garbage += static_cast<char>(seed >> 16);
    }
    doc.Parse(garbage); // either result, but no crash
}

TEST(LumoXMLParse, FromStreams)
{
    ktest::TempDir dir;
    const auto file = dir.write("c.xml", "<?xml version=\"1.0\"?>\r\n<Cfg>\r\n  <V Value=\"5\" />\r\n</Cfg>\r\n");
    TLumoFileStream fs(file.string());
    TLumoXML doc;
    ASSERT_TRUE(doc.Parse(fs));
    EXPECT_EQ(tagAt(*tagAt(doc.Root, 1), 0)->GetParameter("Value", ""), "5");

    TLumoStream mem;
    mem.SetText("<x/>");
    ASSERT_TRUE(doc.Parse(mem));
    EXPECT_EQ(doc.Root.Count(), 1);
}

TEST(LumoXMLWrite, Layout)
{
    TLumoXML doc;
    auto* pi = doc.Root.Add(std::make_unique<TLumoXMLProcessTag>("xml"));
    pi->AddParameter("version", u"1.0");
    doc.Root.Add(std::make_unique<TLumoXMLCommentTag>("made here"));
    auto* root = doc.Root.Add(std::make_unique<TLumoXMLTag>("Root"));
    root->AddParameter("Version", u"2.0.0.1");
    auto* skin = root->Add(std::make_unique<TLumoXMLTag>("Skin"));
    skin->AddParameter("Name", u"a\"b<c>&\u20AC\u012C\u0096\u0007\u00E9\U0001F600");
    auto* t = root->Add(std::make_unique<TLumoXMLTag>("T"));
    t->Add(std::make_unique<TLumoXMLText>(u"1 < 2"));
    auto* inner = root->Add(std::make_unique<TLumoXMLTag>("Inner"));
    inner->Add(std::make_unique<TLumoXMLTag>("Leaf"));
    EXPECT_EQ(written(doc), "<?xml version=\"1.0\"?>\r\n"
                            "<!--made here-->\r\n"
                            "<Root Version=\"2.0.0.1\">\r\n"
                            "  <Skin Name=\"a&quot;b&lt;c&gt;&amp;&euro;&#x12C;&#150;&#7;&eacute;&#x1F600;\" />\r\n"
                            "  <T>1 &lt; 2</T>\r\n"
                            "  <Inner>\r\n"
                            "    <Leaf />\r\n"
                            "  </Inner>\r\n"
                            "</Root>\r\n");
}

TEST(LumoXMLWrite, MixedContentAndFlags)
{
    TLumoXML doc;
    ASSERT_TRUE(doc.Parse("<a>x<b/>y</a><c><d/>z</c>"));
    EXPECT_EQ(written(doc), "<a>x<b />y</a>\r\n<c>\r\n<d />z</c>\r\n");

    TLumoXML plain;
    ASSERT_TRUE(plain.Parse("<a><b></b><c>t</c></a>"));
    plain.IndentOutput = false;
    plain.AutoCloseEmptyTags = false;
    EXPECT_EQ(written(plain), "<a><b></b><c>t</c></a>");
    plain.AutoCloseEmptyTags = true; // marks the childless tag empty for good
    EXPECT_EQ(written(plain), "<a><b /><c>t</c></a>");
    plain.AutoCloseEmptyTags = false;
    EXPECT_EQ(written(plain), "<a><b /><c>t</c></a>");

    TLumoXML indented;
    indented.IndentText = true;
    auto* p = indented.Root.Add(std::make_unique<TLumoXMLTag>("p"));
    p->Add(std::make_unique<TLumoXMLText>(u"one\r\ntwo\rthree"));
    EXPECT_EQ(written(indented), "<p>\r\n  one\n  two\n  three\r\n</p>\r\n");
}

TEST(LumoXMLWrite, StopsWhenTheStreamFails)
{
    ktest::TempDir dir;
    const auto file = dir.write("ro.xml", "");
    TLumoFileStream readOnly(file.string());
    TLumoXML doc;
    doc.Root.Add(std::make_unique<TLumoXMLTag>("a"));
    EXPECT_FALSE(doc.Write(readOnly, 2));
}

TEST(LumoXMLWrite, RoundTrip)
{
    const std::string source = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                               "<!--This file is automatic created-->\r\n"
                               "<KolvarinConfigFile Version=\"2.0.0.0\">\r\n"
                               "  <Skin Name=\"base[default]\" />\r\n"
                               "  <LastDir Path=\"/home/\xFC"
                               "ser/&#x65E5;&#x672C;&#x1F3B5;\" />\r\n"
                               "  <Equalizer>\r\n"
                               "    <Band id=\"0\" Value=\"12\" />\r\n"
                               "    <Band id=\"1\" Value=\"-3\" />\r\n"
                               "  </Equalizer>\r\n"
                               "  <Title>Rock &amp; Roll &lt;live&gt; &euro;5</Title>\r\n"
                               "  <![CDATA[raw <bytes>]]>\r\n"
                               "</KolvarinConfigFile>\r\n";
    TLumoXML doc;
    ASSERT_TRUE(doc.Parse(source));
    const std::string once = written(doc);
    TLumoXML again;
    ASSERT_TRUE(again.Parse(once));
    EXPECT_EQ(written(again), once);
    const TLumoXMLTag* cfg = tagAt(doc.Root, 2);
    const TLumoXMLTag* lastDir = tagAt(*cfg, 1);
    EXPECT_EQ(lastDir->FindParameter("Path")->Value, u"/home/\u00FCser/\u65E5\u672C\U0001F3B5");
}

TEST(LumoXMLWrite, SameTextBeforeAndAfterParametersAreRead)
{
    const std::string source = "<a x=\"1\" y='&lt;2&#x1F600;'><b z=\"3\"/></a>";
    TLumoXML doc;
    ASSERT_TRUE(doc.Parse(source));
    const std::string before = written(doc);
    auto* a = static_cast<TLumoXMLTag*>(doc.Root.Item(0));
    EXPECT_EQ(a->Parameters().size(), 2u); // unpacks
    EXPECT_EQ(written(doc), before);
    a->AddParameter("w", u"4");
    EXPECT_EQ(a->GetParameter("x", ""), "1");
    EXPECT_EQ(written(doc), "<a x=\"1\" y=\"&lt;2&#x1F600;\" w=\"4\">\r\n  <b z=\"3\" />\r\n</a>\r\n");
    a->Clear();
    EXPECT_TRUE(a->Parameters().empty());
    EXPECT_EQ(a->Name, "");
}

TEST(LumoXMLParse, TreesOutliveTheThreadThatBuiltThem)
{
    // Items are freed wherever their owner is destroyed; the blocks of a
    // thread that has ended must be released once, by the last owner.
    std::vector<std::unique_ptr<TLumoXML>> docs(4);
    std::string xml = "<r>";
    for (int i = 0; i < 3000; ++i)
        xml += "<item n=\"" + std::to_string(i) + "\">text " + std::to_string(i) + "</item>";
    xml += "</r>";
    std::thread builder([&] {
        for (auto& d : docs) {
            d = std::make_unique<TLumoXML>();
            ASSERT_TRUE(d->Parse(xml));
        }
    });
    builder.join();
    std::thread other([&] { docs[1].reset(); });
    other.join();
    docs[0].reset();
    EXPECT_EQ(tagAt(*tagAt(docs[2]->Root, 0), 2999)->GetParameter("n", ""), "2999");
    docs.clear();
}

} // namespace
} // namespace kolvarin
