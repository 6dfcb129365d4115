// Internet streams, by the built-in call and the add-ons that stream.

#include <strings.h>

#include "audio/bass.h"
#include "audio/engine.h"
#include "audio/formats.h"
#include "audio/net_source.h"

namespace kolvarin::audio {
namespace {

using audio::Engine;
using audio::fail;
using audio::FormatFamily;

HSTREAM createUrl(FormatFamily family, const char* url, DWORD offset, DWORD flags, DOWNLOADPROC* proc, void* user)
{
    Engine& engine = Engine::get();
    {
        std::lock_guard lock(engine.mutex);
        if (!engine.initialised)
            return fail(bass::kErrorInit, 0u);
    }
    if (!url || (strncasecmp(url, "http://", 7) != 0 && strncasecmp(url, "https://", 8) != 0))
        return fail(bass::kErrorIllParam, 0u);
    audio::DownloadOptions options;
    options.url = url;
    options.offset = offset;
    options.timeoutMs = engine.config.netTimeoutMs;
    options.proc = proc;
    options.user = user;
    auto download = audio::HttpDownload::start(std::move(options));
    if (const int error = download->waitForHeaders(); error != bass::kOk) {
        download->stop();
        return fail(error, 0u);
    }
    int error = bass::kOk;
    auto decoder = audio::Decoder::open(audio::makeDownloadBytes(download), audio::formatRules(family), error);
    if (!decoder) {
        // A download that timed out says so rather than "not this format".
        if (download->buffered() == 0 && download->consumed() == 0 && !download->finished())
            error = bass::kErrorTimeout;
        download->stop();
        return fail(error, 0u);
    }
    auto source = audio::makeNetSource(download, std::move(decoder), engine.config.netPrebufPercent);
    auto channel = std::make_shared<audio::Channel>(std::move(source), flags, url);
    std::lock_guard lock(engine.mutex);
    return engine.add(std::move(channel));
}

} // namespace

HSTREAM BASS_StreamCreateURL(const char* url, DWORD offset, DWORD flags, DOWNLOADPROC* proc, void* user)
{
    return createUrl(FormatFamily::Builtin, url, offset, flags, proc, user);
}
HSTREAM BASS_AAC_StreamCreateURL(const char* url, DWORD offset, DWORD flags, DOWNLOADPROC* proc, void* user)
{
    return createUrl(FormatFamily::Aac, url, offset, flags, proc, user);
}
HSTREAM BASS_AC3_StreamCreateURL(const char* url, DWORD offset, DWORD flags, DOWNLOADPROC* proc, void* user)
{
    return createUrl(FormatFamily::Ac3, url, offset, flags, proc, user);
}
HSTREAM BASS_FLAC_StreamCreateURL(const char* url, DWORD offset, DWORD flags, DOWNLOADPROC* proc, void* user)
{
    return createUrl(FormatFamily::Flac, url, offset, flags, proc, user);
}

} // namespace kolvarin::audio
