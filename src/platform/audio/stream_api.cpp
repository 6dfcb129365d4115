// Streams from files and memory, by the built-in call and the format add-ons.

#include "audio/bass.h"
#include "audio/decoder.h"
#include "audio/engine.h"
#include "audio/formats.h"
#include "audio/text.h"

namespace kolvarin::audio {
namespace {

using audio::Engine;
using audio::fail;
using audio::FormatFamily;

HSTREAM createFile(FormatFamily family, bool mem, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    {
        std::lock_guard lock(Engine::get().mutex);
        if (!Engine::get().initialised)
            return fail(bass::kErrorInit, 0u);
    }
    if (!file || offset > 0x7FFFFFFFFFFFFFFFull || length > 0x7FFFFFFFFFFFFFFFull)
        return fail(bass::kErrorIllParam, 0u);
    const auto rules = audio::formatRules(family);
    if (rules.empty())
        return fail(bass::kErrorFileForm, 0u);
    std::string name;
    std::unique_ptr<audio::ByteSource> bytes;
    if (mem) {
        const auto* base = static_cast<const std::uint8_t*>(file);
        bytes = audio::openMemorySource(base + offset, static_cast<std::int64_t>(length));
    } else {
        name = audio::fileNameArgument(file, flags);
        bytes = audio::openFileSource(name, static_cast<std::int64_t>(offset), static_cast<std::int64_t>(length));
    }
    if (!bytes)
        return fail(bass::kErrorFileOpen, 0u);
    int error = bass::kOk;
    std::unique_ptr<audio::Decoder> decoder = audio::Decoder::open(std::move(bytes), rules, error);
    if (!decoder)
        return fail(error, 0u);
    auto channel = std::make_shared<audio::Channel>(audio::makeDecoderSource(std::move(decoder)), flags, name);
    Engine& engine = Engine::get();
    std::lock_guard lock(engine.mutex);
    return engine.add(std::move(channel));
}

} // namespace

HSTREAM BASS_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    return createFile(FormatFamily::Builtin, mem, file, offset, length, flags);
}
HSTREAM BASS_MPC_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    return createFile(FormatFamily::Mpc, mem, file, offset, length, flags);
}
HSTREAM BASS_APE_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    return createFile(FormatFamily::Ape, mem, file, offset, length, flags);
}
HSTREAM BASS_AAC_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    return createFile(FormatFamily::Aac, mem, file, offset, length, flags);
}
HSTREAM BASS_MP4_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    return createFile(FormatFamily::Mp4, mem, file, offset, length, flags);
}
HSTREAM BASS_WV_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    return createFile(FormatFamily::Wv, mem, file, offset, length, flags);
}
HSTREAM BASS_AC3_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    return createFile(FormatFamily::Ac3, mem, file, offset, length, flags);
}
HSTREAM BASS_FLAC_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    return createFile(FormatFamily::Flac, mem, file, offset, length, flags);
}
HSTREAM BASS_OFR_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    return createFile(FormatFamily::Ofr, mem, file, offset, length, flags);
}
HSTREAM BASS_TTA_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    return createFile(FormatFamily::Tta, mem, file, offset, length, flags);
}

bool BASS_StreamFree(HSTREAM handle)
{
    Engine& engine = Engine::get();
    std::shared_ptr<audio::Channel> channel;
    {
        std::lock_guard lock(engine.mutex);
        if (!engine.channel(handle))
            return false;
        channel = engine.channels.remove(handle);
        for (const audio::FxEntry& f : channel->fx)
            engine.fxOwners.erase(f.handle);
    }
    // Destroyed outside the lock: an internet stream joins its threads.
    channel.reset();
    return audio::succeed(true);
}

QWORD BASS_StreamGetFilePosition(HSTREAM handle, DWORD mode)
{
    Engine& engine = Engine::get();
    std::lock_guard lock(engine.mutex);
    const auto channel = engine.channel(handle);
    if (!channel)
        return static_cast<QWORD>(-1);
    const std::int64_t pos = channel->source().filePosition(mode);
    if (pos < 0)
        return fail(bass::kErrorNotAvail, static_cast<QWORD>(-1));
    return audio::succeed(static_cast<QWORD>(pos));
}

} // namespace kolvarin::audio
