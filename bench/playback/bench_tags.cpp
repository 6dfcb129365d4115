// Reads the tags of 5,000 small tagged MP3 files with our readers (ID3v2,
// then ID3v1 as the captions do) and with TagLib, in the same run; reports
// microseconds per file for both and their ratio (ours / TagLib).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include "playback/kid3v1.h"
#include "playback/kid3v2.h"

namespace {

constexpr int kFiles = 5000;

std::string BE32(uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

std::string Frame(const std::string& id, const std::string& content)
{
    return id + BE32(uint32_t(content.size())) + std::string(2, '\0') + content;
}

std::string Latin(const std::string& text) { return std::string(1, '\0') + text; }

std::string Utf16(const std::u16string& text)
{
    std::string out("\x01\xFF\xFE", 3);
    for (char16_t c : text)
        out += {char(c & 0xFF), char(c >> 8)};
    return out;
}

// A version 2.3 tag with the usual frames and padding, MPEG-like bytes and,
// for every other file, an ID3v1 record.
std::string TaggedFile(int i)
{
    std::string n = std::to_string(i);
    std::string frames =
        Frame("TIT2", i % 2 ? Utf16(u"Песня " + std::u16string(n.begin(), n.end())) : Latin("Song " + n)) +
        Frame("TPE1", Latin("Artist " + std::to_string(i % 97))) +
        Frame("TALB", Latin("Album " + std::to_string(i % 31))) +
        Frame("TRCK", Latin(std::to_string(i % 20 + 1) + "/20")) + Frame("TYER", Latin("2004")) +
        Frame("TCON", Latin("(17)Rock")) + Frame("COMM", Latin(std::string("eng\0", 4) + "A comment")) +
        Frame("TSSE", Latin("LAME 3.100"));
    size_t padding = 1024 - 10 - frames.size();
    std::string size = {char((frames.size() + padding) >> 21 & 0x7F), char((frames.size() + padding) >> 14 & 0x7F),
                        char((frames.size() + padding) >> 7 & 0x7F), char((frames.size() + padding) & 0x7F)};
    std::string bytes = std::string("ID3\x03\x00\x00", 6) + size + frames + std::string(padding, '\0');
    for (int f = 0; f < 12; ++f)
        bytes += std::string("\xFF\xFB\x90\x64", 4) + std::string(413, char(f));
    if (i % 2 == 0) {
        std::string v1(128, '\0');
        v1.replace(0, 3, "TAG");
        v1.replace(3, 4 + n.size(), "Song" + n);
        v1[127] = 17;
        bytes += v1;
    }
    return bytes;
}

// The files, made once in a temporary folder that goes at exit.
struct Corpus {
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kolvarin-bench-tags-" + std::to_string(::getpid()));
    std::vector<std::filesystem::path> files;
    Corpus()
    {
        std::filesystem::create_directories(folder);
        for (int i = 0; i < kFiles; ++i) {
            files.push_back(folder / ("track" + std::to_string(i) + ".mp3"));
            std::ofstream(files.back(), std::ios::binary) << TaggedFile(i);
        }
    }
    ~Corpus() { std::filesystem::remove_all(folder); }
};

const std::vector<std::filesystem::path>& Files()
{
    static Corpus corpus;
    return corpus.files;
}

size_t ReadOurs(const std::vector<std::u16string>& names)
{
    size_t chars = 0;
    for (const auto& name : names) {
        kolvarin::TID3v2 v2;
        v2.ReadFromFile(name);
        chars += v2.Title().size() + v2.Artist().size() + v2.Album().size() + v2.Track() + v2.Year().size() +
                 v2.Genre().size() + v2.Comment().size();
        kolvarin::TID3v1 v1;
        v1.ReadFromFile(name);
        chars += v1.Title().size();
    }
    return chars;
}

size_t ReadTagLib(const std::vector<std::filesystem::path>& files)
{
    size_t chars = 0;
    for (const auto& path : files) {
        TagLib::MPEG::File file(path.c_str(), false);
        if (TagLib::ID3v2::Tag* tag = file.ID3v2Tag())
            chars += tag->title().size() + tag->artist().size() + tag->album().size() + tag->track() + tag->year() +
                     tag->genre().size() + tag->comment().size();
        if (file.hasID3v1Tag())
            chars += file.ID3v1Tag()->title().size();
    }
    return chars;
}

void BM_ReadTagsBesideTagLib(benchmark::State& state)
{
    const auto& files = Files();
    std::vector<std::u16string> names;
    for (const auto& path : files)
        names.push_back(path.u16string());
    using Clock = std::chrono::steady_clock;
    double ours = 0, taglib = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        benchmark::DoNotOptimize(ReadOurs(names));
        auto t1 = Clock::now();
        benchmark::DoNotOptimize(ReadTagLib(files));
        auto t2 = Clock::now();
        double a = std::chrono::duration<double>(t1 - t0).count(), b = std::chrono::duration<double>(t2 - t1).count();
        ours += a;
        taglib += b;
        state.SetIterationTime(a);
    }
    double perFile = 1e6 / (double(state.iterations()) * kFiles);
    state.counters["ours_us_per_file"] = ours * perFile;
    state.counters["taglib_us_per_file"] = taglib * perFile;
    state.counters["ratio"] = ours / taglib;
}

} // namespace

BENCHMARK(BM_ReadTagsBesideTagLib)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
