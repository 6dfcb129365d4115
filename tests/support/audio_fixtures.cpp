#include "audio_fixtures.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <numbers>
#include <random>
#include <thread>

#include "audio/offline.h"

namespace ktest::audio {
namespace {

void le16(std::string& out, std::uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void le32(std::string& out, std::uint32_t v)
{
    le16(out, v & 0xFFFF);
    le16(out, v >> 16);
}

} // namespace

const std::filesystem::path& mediaDir()
{
    static const std::filesystem::path dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "kolvarin-audio-XXXXXX").string();
        const char* made = ::mkdtemp(pattern.data());
        return std::filesystem::path(made ? made : pattern);
    }();
    static const struct Cleanup {
        ~Cleanup()
        {
            std::error_code ignored;
            std::filesystem::remove_all(dir, ignored);
        }
    } cleanup;
    return dir;
}

std::vector<std::int16_t> makeSamples(int frames, int channels, const std::function<double(int, int)>& sample)
{
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            out[static_cast<std::size_t>(i) * channels + c] =
                static_cast<std::int16_t>(std::lround(std::clamp(sample(i, c), -1.0, 32767.0 / 32768) * 32768));
    return out;
}

void writeWav(const std::filesystem::path& file, int rate, int channels, const std::vector<std::int16_t>& samples)
{
    std::string data;
    data += "RIFF";
    le32(data, static_cast<std::uint32_t>(36 + samples.size() * 2));
    data += "WAVEfmt ";
    le32(data, 16);
    le16(data, 1);
    le16(data, static_cast<std::uint32_t>(channels));
    le32(data, static_cast<std::uint32_t>(rate));
    le32(data, static_cast<std::uint32_t>(rate * channels * 2));
    le16(data, static_cast<std::uint32_t>(channels * 2));
    le16(data, 16);
    data += "data";
    le32(data, static_cast<std::uint32_t>(samples.size() * 2));
    for (const std::int16_t s : samples)
        le16(data, static_cast<std::uint16_t>(s));
    std::ofstream(file, std::ios::binary) << data;
}

bool encode(const std::filesystem::path& input, const std::string& args, const std::filesystem::path& output)
{
    const std::string command = "ffmpeg -nostdin -y -hide_banner -loglevel error -i '" + input.string() + "' " + args +
                                " '" + output.string() + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0 && std::filesystem::exists(output);
}

const std::vector<std::int16_t>& referenceSamples()
{
    static const std::vector<std::int16_t> samples = [] {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> noise(-0.01, 0.01);
        return makeSamples(kRefFrames, 2, [&](int i, int c) {
            const double hz = c == 0 ? 440.0 : 1000.0;
            return 0.4 * std::sin(2 * std::numbers::pi * hz * i / kRefRate) + noise(random);
        });
    }();
    return samples;
}

const std::filesystem::path& referenceWav()
{
    static const std::filesystem::path file = [] {
        const std::filesystem::path f = mediaDir() / "reference.wav";
        writeWav(f, kRefRate, 2, referenceSamples());
        return f;
    }();
    return file;
}

std::filesystem::path encodedReference(const std::string& name, const std::string& args)
{
    static std::mutex mutex;
    static std::map<std::string, bool> made;
    std::lock_guard lock(mutex);
    const std::filesystem::path out = mediaDir() / name;
    if (!made.contains(name))
        made[name] = encode(referenceWav(), args, out);
    return made[name] ? out : std::filesystem::path();
}

void OfflineAudioTest::SetUp() { ASSERT_TRUE(kolvarin::audio::BASS_Init(0, 44100, 0, nullptr, nullptr)); }

void OfflineAudioTest::TearDown() { kolvarin::audio::BASS_Free(); }

std::vector<float> OfflineAudioTest::pull(int frames) { return kolvarin::audio::offlineRender(frames); }

kolvarin::audio::HSTREAM OfflineAudioTest::open(const std::filesystem::path& file)
{
    return kolvarin::audio::BASS_StreamCreateFile(false, file.c_str(), 0, 0, 0);
}

std::vector<float> OfflineAudioTest::playToEnd(kolvarin::audio::HSTREAM stream)
{
    using namespace kolvarin::audio;
    BassChannelInfo info;
    BASS_ChannelGetInfo(stream, &info);
    const QWORD frameBytes = info.chans * 2;
    std::vector<float> all;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        const DWORD state = BASS_ChannelIsActive(stream);
        if (state == bass::kActiveStalled) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        if (state != bass::kActivePlaying)
            break;
        // A block may run dry part way: keep the frames the stream advanced by
        // (one per output frame at the output's rate), not the silence after.
        const QWORD before = BASS_ChannelGetPosition(stream, bass::kPosByte);
        const std::vector<float> part = pull(1024);
        const QWORD played = (BASS_ChannelGetPosition(stream, bass::kPosByte) - before) / frameBytes;
        all.insert(all.end(), part.begin(),
                   part.begin() + static_cast<std::ptrdiff_t>(std::min<QWORD>(played, 1024) * 2));
    }
    return all;
}

double toneLevel(const float* samples, int count, int stride, double hz, double rate)
{
    const double w = 2 * std::numbers::pi * hz / rate;
    const double coeff = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (int k = 0; k < count; ++k) {
        const double s = samples[static_cast<std::size_t>(k) * stride] + coeff * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    return 2 * std::sqrt(std::max(0.0, power)) / count;
}

} // namespace ktest::audio
