// The dynamic filter list: filters found by name, class identifier and
// library path, pins chosen by name fragment or media type, and the names
// the list refuses as duplicates.
#include "video/dynfilter.h"

#include <gtest/gtest.h>

#include "media/filterif.h"
#include "media/graphif.h"
#include "media/uuids.h"
#include "media_fixtures.h"

using namespace kolvarin;
using namespace kolvarin::video;
using namespace kolvarin::media;
namespace fx = ktest::media;

namespace {

class DynFilterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        graph.SetActive(true);
        filters.SetFilterGraph(&graph);
    }
    void TearDown() override
    {
        filters.Clear();
        graph.SetActive(false);
    }
    // The splitter with the MKV fixture loaded, under the name "source".
    void AddSource()
    {
        ASSERT_TRUE(filters.AddFilter("DirectShow Filters", "Media Splitter", "source"));
        auto load = QueryAs<IFileSourceFilter>(filters.BaseFilterOf("source").get());
        ASSERT_TRUE(load);
        ASSERT_TRUE(Succeeded(load->Load(fx::FileName(fx::MkvFixture()), nullptr)));
    }

    TFilterGraph graph;
    TDynFilter filters;
};

} // namespace

TEST_F(DynFilterTest, FiltersAreFoundByNameOrClassIdentifierWithinTheirLibrary)
{
    struct Case {
        std::string spec;
        bool found;
    } cases[] = {
        {"Video Decoder", true},
        {"audio decoder", true},
        {GuidToString(CLSID_MediaSplitter), true}, // its friendly name differs
        {"no such filter", false},
        // A library path that no registration has: the name alone is not enough.
        {"c:/nowhere/filters.so:Audio Decoder", false},
        // One non-hexadecimal digit: a name, and no filter has it.
        {"{0123456G-89AB-CDEF-0123-456789ABCDEF}", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(filters.AddFilter("DirectShow Filters", c.spec), c.found) << c.spec;
        const int index = filters.IndexOfName(c.spec);
        ASSERT_GE(index, 0) << "a filter that was not found still takes its name";
        EXPECT_EQ(filters.GetItem(index).Usable, c.found);
    }
    EXPECT_FALSE(filters.AddFilter("Audio Renderers", "Video Decoder")) << "not in that category";
    EXPECT_EQ(StrToGUIDChecked("{0123456G-89AB-CDEF-0123-456789ABCDEF}"), GUID_NULL);
    EXPECT_EQ(StrToGUIDChecked(GuidToString(CLSID_MediaSplitter)), CLSID_MediaSplitter);
}

TEST_F(DynFilterTest, TheDuplicateCheckComparesTheNameTheListHolds)
{
    ASSERT_TRUE(filters.AddFilter("Audio Renderers", "Default DirectSound Device", "[Audio Renderer]"));
    // The list holds the alias: the same alias again is a duplicate (it used
    // to be compared with the filter's name and added twice).
    EXPECT_FALSE(filters.AddFilter("Audio Renderers", "Default DirectSound Device", "[Audio Renderer]"));
    EXPECT_FALSE(filters.AddFilter("DirectShow Filters", "[audio renderer]"));
    EXPECT_TRUE(filters.AddFilter("Audio Renderers", "Default DirectSound Device")) << "the filter's own name is free";
    EXPECT_FALSE(filters.AddFilter("", "Video Decoder"));
    EXPECT_FALSE(filters.AddFilter("DirectShow Filters", ""));
    EXPECT_EQ(filters.GetCount(), 2);
}

TEST_F(DynFilterTest, PinsAreChosenByNameOrMediaTypeAndNeverWhenConnected)
{
    AddSource();
    ASSERT_TRUE(filters.AddFilter("DirectShow Filters", "Video Decoder"));
    auto video = filters.GetPin("source", PINDIR_OUTPUT, "vid");
    ASSERT_TRUE(video);
    EXPECT_EQ(PinName(video.get()), u"Video");
    // The subtype the pin offers finds it although its name says nothing of it.
    const GUID subtype = MediaTypesOf(video.get()).at(0).subtype;
    auto bySubtype = filters.GetPin("source", PINDIR_OUTPUT, "nothing;" + GuidToString(subtype));
    EXPECT_TRUE(bySubtype && SameObject(bySubtype.get(), video.get()));
    EXPECT_TRUE(filters.PinExists("source", PINDIR_OUTPUT, GuidToString(MEDIATYPE_Audio)));
    EXPECT_FALSE(filters.PinExists("source", PINDIR_OUTPUT, "nothing"));
    EXPECT_FALSE(filters.PinExists("missing", PINDIR_OUTPUT, "Video"));

    ASSERT_TRUE(filters.ConnectPins("source", "Video", PINDIR_OUTPUT, "Video Decoder", "", PINDIR_INPUT));
    EXPECT_FALSE(filters.PinExists("source", PINDIR_OUTPUT, "Video")) << "a connected pin is never chosen";
    EXPECT_FALSE(filters.ConnectPins("source", "Video", PINDIR_OUTPUT, "Video Decoder", "", PINDIR_INPUT));
    EXPECT_FALSE(filters.ConnectAuto("source", "Video Decoder")) << "the decoder's only input is taken";

    filters.RemoveFilter("Video Decoder");
    EXPECT_TRUE(filters.PinExists("source", PINDIR_OUTPUT, "Video")) << "removing disconnected the splitter";
    EXPECT_GE(filters.IndexOfName("Video Decoder"), 0) << "the entry stays in the list";
}
