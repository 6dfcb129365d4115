// The references of .asx stream lists, as the lists come from servers.
#include "video/asxplaylist.h"

#include <gtest/gtest.h>

using namespace kolvarin::video;

namespace {

const std::string kBase = "http://example.org/lists/live.asx";

} // namespace

TEST(AsxPlaylist, ReferencesInOrderFromListsAsServersWriteThem)
{
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::string> refs;
    } cases[] = {
        {"plain", R"(<asx version="3.0"><entry><ref href="http://a/1.wmv"/></entry></asx>)", {"http://a/1.wmv"}},
        {"upper case, single quotes, spaces, a second entry",
         "<ASX VERSION=\"3.0\">\r\n<ENTRY>\r\n<REF HREF = 'mms://a/live' />\r\n</ENTRY>\r\n"
         "<Entry><Ref Href=\"http://b/2.wmv\"></Ref></Entry></ASX>",
         {"mms://a/live", "http://b/2.wmv"}},
        {"entities and other attributes first",
         R"(<asx><entry><ref id="x" href="http://a/s?x=1&amp;y=2" /></entry></asx>)",
         {"http://a/s?x=1&y=2"}},
        {"relative to the list",
         R"(<asx><entry><ref href="streams/1.wmv"/></entry></asx>)",
         {"http://example.org/lists/streams/1.wmv"}},
        {"an unescaped ampersand, no closing tags",
         R"(<asx><entry><ref href="http://a/s?x=1&y=2">)",
         {"http://a/s?x=1&y=2"}},
        {"no reference", R"(<asx><entry><title>Live</title></entry></asx>)", {}},
        {"an empty reference, a <reference> element", R"(<asx><ref href=""/><reference href="http://a/x"/></asx>)", {}},
        {"not a list at all", std::string("\x30\x26\xb2\x75\x8e\x66\xcf\x11", 8), {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AsxReferences(c.text, kBase), c.refs) << c.what;
}

TEST(AsxPlaylist, OnlyHttpAddressesOfAsxListsAreLists)
{
    EXPECT_TRUE(IsAsxUrl(u"http://a/live.asx"));
    EXPECT_TRUE(IsAsxUrl(u"HTTPS://a/b/LIVE.ASX?x=1"));
    EXPECT_FALSE(IsAsxUrl(u"http://a/live.wmv"));
    EXPECT_FALSE(IsAsxUrl(u"mms://a/live.asx"));
    EXPECT_FALSE(IsAsxUrl(u"/home/me/live.asx"));
}
