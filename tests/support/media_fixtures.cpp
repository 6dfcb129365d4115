#include "media_fixtures.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

namespace ktest::media {
namespace {

// The process's own folder. A folder of the same name may be left by an
// earlier process with the same id that was killed: it starts empty, so no
// fixture is taken from it or authored on top of it.
class ProcessFolder {
public:
    ProcessFolder() : path_(std::filesystem::temp_directory_path() / ("kolvarin-media-" + std::to_string(::getpid())))
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
        std::filesystem::create_directories(path_);
    }
    ~ProcessFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ProcessFolder(const ProcessFolder&) = delete;
    ProcessFolder& operator=(const ProcessFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

const std::filesystem::path& Folder()
{
    static const ProcessFolder folder;
    return folder.Path();
}

std::string Hex(unsigned rgb)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", rgb);
    return text;
}

// The two-colour picture as an ffmpeg input.
std::string Picture(int seconds, int width, int height, int rate)
{
    return "-f lavfi -i \"color=c=" + Hex(kRightColour) + ":s=" + std::to_string(width) + "x" + std::to_string(height) +
           ":r=" + std::to_string(rate) + ":d=" + std::to_string(seconds) +
           ",drawbox=x=0:y=0:w=" + std::to_string(width / 2) + ":h=" + std::to_string(height) +
           ":color=" + Hex(kLeftColour) + ":t=fill\"";
}

std::string Tone(int seconds, int hz)
{
    return "-f lavfi -i \"sine=f=" + std::to_string(hz) + ":d=" + std::to_string(seconds) + "\"";
}

std::filesystem::path Make(const std::string& name, const std::string& args)
{
    const auto out = Folder() / name;
    if (std::filesystem::exists(out))
        return out;
    const std::string cmd = "ffmpeg -nostdin -loglevel error -y " + args + " \"" + out.string() + "\"";
    if (std::system(cmd.c_str()) != 0 || !std::filesystem::exists(out))
        throw std::runtime_error("ffmpeg failed: " + cmd);
    return out;
}

} // namespace

std::u16string FileName(const std::filesystem::path& path) { return path.u16string(); }

const std::filesystem::path& MediaFolder() { return Folder(); }

std::filesystem::path WriteFile(const std::string& name, const std::string& bytes)
{
    const auto out = Folder() / name;
    std::ofstream(out, std::ios::binary) << bytes;
    return out;
}

const std::filesystem::path& MkvFixture()
{
    static const auto file = [] {
        const auto srt = WriteFile("subs.srt", "1\n00:00:00,000 --> 00:00:01,500\nHello subtitles\n\n");
        return Make("clip.mkv", Picture(2, kWidth, kHeight, 25) + " " + Tone(2, 440) + " " + Tone(2, 880) + " -i \"" +
                                    srt.string() +
                                    "\" -map 0:v -map 1:a -map 2:a -map 3:s -c:v libx264 -preset ultrafast -pix_fmt "
                                    "yuv420p -c:a aac -c:s srt -metadata:s:a:0 language=eng -metadata:s:a:0 "
                                    "title=Main -metadata:s:a:1 language=ger -metadata:s:a:1 title=Kommentar "
                                    "-metadata:s:s:0 language=eng");
    }();
    return file;
}

const std::filesystem::path& AviFixture()
{
    static const auto file = Make("clip.avi", Picture(2, kWidth, kHeight, 25) + " " + Tone(2, 440) +
                                                  " -c:v mpeg4 -vtag XVID -q:v 2 -c:a libmp3lame -b:a 128k");
    return file;
}

const std::filesystem::path& MjpegFixture()
{
    static const auto file = Make("clip-mjpeg.avi", Picture(1, kWidth, kHeight, 25) + " " + Tone(1, 440) +
                                                        " -c:v mjpeg -pix_fmt yuvj420p -q:v 2 -c:a pcm_s16le");
    return file;
}

const std::filesystem::path& Mp4Fixture()
{
    static const auto file = Make("clip.mp4", Picture(2, kWidth, kHeight, 25) + " " + Tone(2, 440) +
                                                  " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac");
    return file;
}

const std::filesystem::path& AnamorphicFixture()
{
    static const auto file =
        Make("wide.mkv", Picture(2, kWidth, kHeight, 25) + " " + Tone(2, 440) +
                             " -vf setsar=4/3 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac");
    return file;
}

const std::filesystem::path& AudioFixture()
{
    static const auto file = Make("tone.flac", Tone(1, 440) + " -ac 2 -ar 44100");
    return file;
}

const std::filesystem::path& PcmMkvFixture()
{
    static const auto file = Make("tone-pcm.mkv", Tone(3, 440) + " -ac 2 -ar 44100 -c:a pcm_s16le");
    return file;
}

std::filesystem::path TimedClip(const std::string& name, int seconds, int width, int height, int rate)
{
    return Make(name, "-f lavfi -i testsrc2=s=" + std::to_string(width) + "x" + std::to_string(height) +
                          ":r=" + std::to_string(rate) + ":d=" + std::to_string(seconds) + " " + Tone(seconds, 440) +
                          " -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac");
}

} // namespace ktest::media
