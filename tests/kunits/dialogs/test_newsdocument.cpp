#include <gtest/gtest.h>

#include "dialogs/newsdocument.h"

using namespace kolvarin;

TEST(NewsDocument, ReadsEntriesLinesAndImages)
{
    const std::string document = R"(<?xml version="1.0" encoding="UTF-8"?>
<kolvarin>
  <onlinenews id="2026-12">
    <config refresh="7"/>
    <entries>
      <entry title="Release &amp; more">
        <lines>
          <line><![CDATA[Caf)"
                                 "\xC3\xA9"
                                 R"( <B>bold</B>]]></line>
          <line>plain text is skipped</line>
          <line><![CDATA[one]]><![CDATA[two]]></line>
          <line><![CDATA[)"
                                 "\xE9t\xE9"
                                 R"(]]></line>
        </lines>
      </entry>
      <entry title="Empty"/>
    </entries>
    <images>
      <img src="http://news.example/logo.png" name="logo"/>
      <img name="nameless"/>
    </images>
  </onlinenews>
</kolvarin>)";
    const TNewsReadResult read = ReadNewsDocument(document);
    ASSERT_EQ(read.Status, TNewsStatus::Ok);
    const TNewsDocument& news = read.Document;
    EXPECT_EQ(news.ID, "2026-12");
    ASSERT_EQ(news.Entries.size(), 2u);
    EXPECT_EQ(news.Entries[0].Title, "Release & more");
    // UTF-8 lines become Windows-1252; lines that are not UTF-8 are taken as they stand.
    EXPECT_EQ(news.Entries[0].Lines, (std::vector<std::string>{"Caf\xE9 <B>bold</B>", "\xE9t\xE9"}));
    EXPECT_TRUE(news.Entries[1].Lines.empty());
    ASSERT_EQ(news.Images.size(), 2u);
    EXPECT_EQ(news.Images[0].Source, "http://news.example/logo.png");
    EXPECT_EQ(news.Images[0].Name, "logo");
    EXPECT_EQ(news.Images[1].Source, "");
}

TEST(NewsDocument, RefusesWhatIsNotANewsDocument)
{
    const std::pair<std::string, TNewsStatus> cases[] = {
        {"<html><body>Not found</body></html>", TNewsStatus::NoNews},
        {"<kolvarin><config/></kolvarin>", TNewsStatus::NoNews},
        {"", TNewsStatus::NoNews},
        {"<kolvarin><onlinenews id=\"1\"></kolvarin>", TNewsStatus::NotXml},
        {"\x89PNG\r\n\x1a\n garbage <<<", TNewsStatus::NotXml},
    };
    for (const auto& [bytes, status] : cases) {
        const TNewsReadResult read = ReadNewsDocument(bytes);
        EXPECT_EQ(read.Status, status) << bytes;
        EXPECT_TRUE(read.Document.Entries.empty());
    }
    // The end of the data, where "onlinenews" is still open.
    EXPECT_EQ(ReadNewsDocument("<kolvarin><onlinenews id=\"1\"></kolvarin>").Offset, 40u);
}
