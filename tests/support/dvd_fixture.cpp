#include "dvd_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "media_fixtures.h"

namespace ktest::media {
namespace {

namespace fs = std::filesystem;

std::string Hex(unsigned rgb)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", rgb);
    return text;
}

void Run(const fs::path& dir, const std::string& command)
{
    const std::string line = "cd \"" + dir.string() + "\" && (" + command + ") 2>>dvd-fixture.log";
    if (std::system(line.c_str()) == 0)
        return;
    std::ifstream log(dir / "dvd-fixture.log");
    const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    throw std::runtime_error("DVD fixture step failed: " + command + "\n" +
                             text.substr(text.size() - std::min<size_t>(text.size(), 600)));
}

void Write(const fs::path& file, const std::string& text) { WriteFile(file.string(), text); }

// A DVD clip: a solid picture with two tones as two AC-3 streams.
std::string Clip(unsigned colour, int seconds, const std::string& out, const std::string& size = "352x288",
                 const std::string& aspect = "4:3")
{
    const std::string d = std::to_string(seconds);
    return "ffmpeg -nostdin -y -f lavfi -i color=c=" + Hex(colour) + ":s=" + size + ":r=25:d=" + d +
           " -f lavfi -i sine=f=440:d=" + d + " -f lavfi -i sine=f=880:d=" + d +
           " -map 0:v -map 1:a -map 2:a -target pal-dvd -s " + size + " -aspect " + aspect +
           " -b:v 800k -c:a ac3 -b:a 64k -ar 48000 " + out;
}

std::string Box(const int (&r)[4])
{
    return "drawbox=x=" + std::to_string(r[0]) + ":y=" + std::to_string(r[1]) + ":w=" + std::to_string(r[2] - r[0]) +
           ":h=" + std::to_string(r[3] - r[1]) + ":color=white@1:t=fill";
}

std::string Button(const char* name, const int (&r)[4], const char* link)
{
    return std::string("<button name=\"") + name + "\" x0=\"" + std::to_string(r[0]) + "\" y0=\"" +
           std::to_string(r[1]) + "\" x1=\"" + std::to_string(r[2]) + "\" y1=\"" + std::to_string(r[3]) + "\" " + link +
           "/>";
}

fs::path Author()
{
    const fs::path dir = MediaFolder() / "dvd";
    // dvdauthor adds a title set to a disc it finds in place of making a new one.
    fs::remove_all(dir);
    fs::create_directories(dir);
    Run(dir, Clip(kDvdTitle1Colour, 3, "t1.mpg"));
    Run(dir, Clip(kDvdTitle2Colour, 1, "t2.mpg"));
    Run(dir, "ffmpeg -nostdin -y -f lavfi -i color=c=" + Hex(kDvdMenuColour) +
                 ":s=352x288:r=25:d=1 -f lavfi -i anullsrc=r=48000:cl=mono -t 1 -target pal-dvd -s 352x288 "
                 "-c:a ac3 -b:a 64k menu-bg.mpg");
    Run(dir, "ffmpeg -nostdin -y -f lavfi -i \"color=c=black@0.0:s=352x288,format=rgba," + Box(kDvdButton1) + "," +
                 Box(kDvdButton2) + "\" -frames:v 1 -pix_fmt pal8 buttons.png");
    Run(dir, "ffmpeg -nostdin -y -f lavfi -i \"color=c=black@0.0:s=352x288,format=rgba,"
             "drawbox=x=100:y=240:w=150:h=20:color=white@1:t=fill\" -frames:v 1 -pix_fmt pal8 line.png");
    Write(dir / "menu.xml", "<subpictures format=\"PAL\"><stream><spu start=\"00:00:00.00\" force=\"yes\" "
                            "highlight=\"buttons.png\" select=\"buttons.png\">" +
                                Button("b1", kDvdButton1, "down=\"b2\"") + Button("b2", kDvdButton2, "up=\"b1\"") +
                                "</spu></stream></subpictures>");
    Write(dir / "line.xml", "<subpictures format=\"PAL\"><stream><spu start=\"00:00:00.20\" end=\"00:00:00.80\" "
                            "image=\"line.png\"/></stream></subpictures>");
    // spumux takes the colours of paletted pictures only.
    Run(dir, "spumux -P menu.xml < menu-bg.mpg > menu.mpg");
    for (const char* t : {"t1", "t2"}) {
        const std::string name = t;
        Run(dir, "spumux -s 0 line.xml < " + name + ".mpg > " + name + "a.mpg");
        Run(dir, "spumux -s 1 line.xml < " + name + "a.mpg > " + name + "s.mpg");
    }
    Write(dir / "dvd.xml",
          "<dvdauthor dest=\"disc\" jumppad=\"0\">"
          "<vmgm><menus><pgc entry=\"title\"><vob file=\"menu.mpg\" pause=\"inf\"/>"
          "<button name=\"b1\">jump title 1;</button><button name=\"b2\">jump title 2;</button></pgc></menus></vmgm>"
          "<titleset><titles><audio lang=\"en\"/><audio lang=\"de\"/>"
          "<subpicture lang=\"en\"/><subpicture lang=\"fr\"/>"
          "<pgc><vob file=\"t1s.mpg\" chapters=\"0,00:00:01,00:00:02\"/><post>call vmgm menu 1;</post></pgc>"
          "<pgc><vob file=\"t2s.mpg\"/><post>call vmgm menu 1;</post></pgc>"
          "</titles></titleset></dvdauthor>");
    Run(dir, "VIDEO_FORMAT=PAL dvdauthor -x dvd.xml");
    return dir / "disc";
}

fs::path AuthorWide()
{
    const fs::path dir = MediaFolder() / "dvd-wide";
    fs::remove_all(dir);
    fs::create_directories(dir);
    Run(dir, Clip(kDvdTitle1Colour, kWideDvdTitle1Seconds, "t1.mpg", "720x576", "16:9"));
    Run(dir, Clip(kDvdTitle2Colour, 2, "t2.mpg", "720x576", "16:9"));
    Run(dir, Clip(kDvdMenuColour, 1, "menu.mpg", "720x576", "4:3"));
    Write(dir / "dvd.xml", "<dvdauthor dest=\"disc\" jumppad=\"0\"><vmgm><fpc>jump title 1;</fpc>"
                           "<menus><video format=\"pal\" aspect=\"4:3\"/>"
                           "<pgc entry=\"title\"><vob file=\"menu.mpg\" pause=\"inf\"/></pgc></menus></vmgm>"
                           "<titleset><titles><video format=\"pal\" aspect=\"16:9\" widescreen=\"nopanscan\"/>"
                           "<pgc><vob file=\"t1.mpg\"/></pgc><pgc><vob file=\"t2.mpg\"/></pgc>"
                           "</titles></titleset></dvdauthor>");
    Run(dir, "VIDEO_FORMAT=PAL dvdauthor -x dvd.xml");
    return dir / "disc";
}

} // namespace

const fs::path& DvdFixture()
{
    static const fs::path disc = Author();
    return disc;
}

const fs::path& WideDvdFixture()
{
    static const fs::path disc = AuthorWide();
    return disc;
}

fs::path DvdCopy(const std::string& name)
{
    const fs::path copy = MediaFolder() / name;
    fs::remove_all(copy);
    fs::copy(DvdFixture(), copy, fs::copy_options::recursive);
    return copy;
}

} // namespace ktest::media
