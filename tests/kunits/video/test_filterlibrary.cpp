// The registration tool's stand-in: a filter library's classes join the
// framework, a graph script can find them by their library's path, and
// unregistering undoes only what this program registered, within a time
// limit.
#include "video/filterlibrary.h"

#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "media/graphif.h"
#include "media/uuids.h"
#include "video/dynfilter.h"

using namespace kolvarin;
using namespace kolvarin::video;
using namespace kolvarin::media;

namespace {

constexpr CLSID kTestClass{0x6B7C1F20, 0x3D44, 0x4B0E, {0x9A, 0x51, 0x0C, 0x2E, 0x77, 0x14, 0xA0, 0x01}};

std::u16string NameOfClass(const CLSID& clsid)
{
    const FilterTemplate* t = FindFilterClass(clsid);
    return t ? t->name : u"";
}

} // namespace

TEST(FilterLibraries, ALoadedLibraryRegistersItsFiltersAndUnregisteringRemovesThem)
{
    TFilterLibraries libraries;
    ASSERT_TRUE(libraries.Register(KTEST_FILTERLIB));
    EXPECT_EQ(NameOfClass(kTestClass), u"Test Library Renderer");
    EXPECT_EQ(RegisteredLibraryOf(kTestClass), KTEST_FILTERLIB);
    ComPtr<IBaseFilter> filter;
    ASSERT_TRUE(Succeeded(CoCreateInstance(kTestClass, IBaseFilter::iid, filter.putVoid())));
    EXPECT_EQ(ClassIdOf(filter.get()), CLSID_NullRenderer) << "the library's class makes the framework's filter";

    // A graph script finds it by name, and by name within its library only;
    // a path part may hold folders, written with either separator.
    const std::filesystem::path library(KTEST_FILTERLIB);
    const std::string folder = library.parent_path().filename().string(), file = library.filename().string();
    struct Case {
        std::string path;
        bool found;
    } cases[] = {
        {"testfilterlib", true},     {"otherlib", false},          {library.string(), true},
        {folder + "/" + file, true}, {folder + "\\" + file, true}, {"elsewhere/" + file, false},
    };
    TDynFilter filters;
    for (const Case& c : cases)
        EXPECT_EQ(filters.AddFilter("DirectShow Filters", c.path + ":Test Library Renderer"), c.found) << c.path;

    libraries.UnregisterAll();
    EXPECT_EQ(FindFilterClass(kTestClass), nullptr);
    EXPECT_EQ(RegisteredLibraryOf(kTestClass), "");
    EXPECT_TRUE(libraries.Registered().empty());
}

TEST(FilterLibraries, UnregisteringKeepsWhatTheUserRegisteredAndClearsTheList)
{
    // The user's own registration of the class, made before the script's.
    RegisterFilterClass({kTestClass, u"User Renderer", MERIT_NORMAL, CLSID_LegacyAmFilterCategory, {}, nullptr});
    TFilterLibraries libraries;
    ASSERT_TRUE(libraries.Register(KTEST_FILTERLIB));
    ASSERT_TRUE(libraries.Register(KTEST_FILTERLIB));
    EXPECT_EQ(libraries.Registered().size(), 2u);
    libraries.UnregisterAll();
    EXPECT_EQ(NameOfClass(kTestClass), u"User Renderer") << "the user's registration stays";
    EXPECT_TRUE(libraries.Registered().empty());
    libraries.UnregisterAll();
    EXPECT_EQ(NameOfClass(kTestClass), u"User Renderer") << "a second stop undoes nothing more";
    UnregisterFilterClass(kTestClass);
}

TEST(FilterLibraries, ALibraryThatHangsOrCannotLoadFailsWithinTheLimit)
{
    TFilterLibraries libraries(std::chrono::milliseconds(300));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(libraries.Register(KTEST_FILTERLIB_HANG));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(libraries.Register("/nonexistent/filter.so"));
    EXPECT_FALSE(libraries.Register(__FILE__)) << "not a library";
}
