#include "media/dvddisc.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>

extern "C" {
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
}

#include "media/locale.h"

namespace kolvarin::media {
namespace {

namespace fs = std::filesystem;

// libdvdread reports on stdout and stderr unless it is given a logger; the
// navigator reports failures by its results.
void Quiet(void*, dvd_logger_level_t, const char*, va_list) {}
const dvd_logger_cb kQuietLogger{Quiet};

struct ReaderCloser {
    void operator()(dvd_reader_t* d) const { DVDClose(d); }
};
struct IfoCloser {
    void operator()(ifo_handle_t* h) const { ifoClose(h); }
};
using IfoPtr = std::unique_ptr<ifo_handle_t, IfoCloser>;

bool SameText(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The entry of folder whose name equals name in any case.
fs::path FindEntry(const fs::path& folder, const std::string& name)
{
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (SameText(e.path().filename().string(), name))
            return e.path();
    return {};
}

bool HoldsManager(const fs::path& folder)
{
    return !FindEntry(folder, "VIDEO_TS.IFO").empty() || !FindEntry(folder, "VIDEO_TS.BUP").empty();
}

uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

// libdvdread frees the title search table twice when it cannot read it
// whole after its header: when the table's last-byte field lies below the
// 8-byte header (the size wraps and the allocation fails) or the sectors
// the table spans are not all in the file. A manager file whose table is
// not there in full is refused before libdvdread reads it (it would try
// the backup after the file); one too short for the manager's own header
// is refused by libdvdread before the table.
bool TitleTableSound(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in)
        return true; // a missing file is libdvdread's to report
    const auto size = static_cast<uint64_t>(in.tellg());
    constexpr uint64_t kManagerHeader = 512, kSectorField = 0xC4, kSector = 2048, kHeader = 8;
    if (size < kManagerHeader)
        return true;
    std::array<uint8_t, kHeader> bytes{};
    if (!in.seekg(kSectorField).read(reinterpret_cast<char*>(bytes.data()), 4))
        return false;
    const uint64_t table = uint64_t(Be32(bytes.data())) * kSector;
    if (table + kHeader > size ||
        !in.seekg(static_cast<std::streamoff>(table)).read(reinterpret_cast<char*>(bytes.data()), kHeader))
        return false;
    const uint64_t end = table + uint64_t(Be32(bytes.data() + 4)) + 1;
    return end >= table + kHeader && (end + kSector - 1) / kSector * kSector <= size;
}

bool ManagerSound(const fs::path& root)
{
    const fs::path inner = FindEntry(root, "VIDEO_TS");
    const fs::path folder = inner.empty() ? root : inner;
    for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP"}) {
        const fs::path file = FindEntry(folder, name);
        if (!file.empty() && !TitleTableSound(file))
            return false;
    }
    return true;
}

LCID Language(uint16_t code)
{
    if (code == 0 || code == 0xFFFF)
        return 0;
    const char text[3] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF), 0};
    return LcidFromLanguageCode(text);
}

DVD_VideoAttributes Video(const video_attr_t& v)
{
    DVD_VideoAttributes a;
    const bool pal = v.video_format == 1;
    a.ulFrameRate = pal ? 25 : 30;
    static constexpr uint32_t kWidths[4] = {720, 704, 352, 352};
    a.ulSourceResolutionX = kWidths[v.picture_size];
    a.ulSourceResolutionY = (pal ? 576 : 480) / (v.picture_size == 3 ? 2 : 1);
    a.ulAspectX = v.display_aspect_ratio == 3 ? 16 : 4;
    a.ulAspectY = v.display_aspect_ratio == 3 ? 9 : 3;
    a.fIsMPEG1 = v.mpeg_version == 0;
    return a;
}

DVD_AudioAttributes Audio(const audio_attr_t& v)
{
    DVD_AudioAttributes a;
    switch (v.audio_format) {
    case 0: a.AudioFormat = DVD_AudioFormat_AC3; break;
    case 2: a.AudioFormat = DVD_AudioFormat_MPEG1; break;
    case 3: a.AudioFormat = DVD_AudioFormat_MPEG2; break;
    case 4: a.AudioFormat = DVD_AudioFormat_LPCM; break;
    case 6: a.AudioFormat = DVD_AudioFormat_DTS; break;
    default: a.AudioFormat = DVD_AudioFormat_Other; break;
    }
    a.dwFrequency = v.sample_frequency == 1 ? 96000 : 48000;
    a.bNumberOfChannels = static_cast<uint8_t>(v.channels + 1);
    a.Language = Language(v.lang_code);
    return a;
}

// Counts come from the file: anything beyond the arrays is ignored.
DVD_TITLE_ATTRIBUTES Attributes(const video_attr_t& video, const audio_attr_t* audio, unsigned audioCount,
                                const subp_attr_t* subp, unsigned subpCount, unsigned maxSubp)
{
    DVD_TITLE_ATTRIBUTES a;
    a.VideoAttributes = Video(video);
    a.ulNumberOfAudioStreams = std::min(audioCount, 8u);
    for (uint32_t i = 0; i < a.ulNumberOfAudioStreams; ++i)
        a.AudioAttributes[i] = Audio(audio[i]);
    a.ulNumberOfSubpictureStreams = std::min(subpCount, maxSubp);
    for (uint32_t i = 0; i < a.ulNumberOfSubpictureStreams; ++i)
        a.SubpictureAttributes[i].Language = Language(subp[i].lang_code);
    a.ulAudioStreamsEnabled = (1u << a.ulNumberOfAudioStreams) - 1;
    a.ulSubpictureStreamsEnabled = static_cast<uint32_t>((uint64_t(1) << a.ulNumberOfSubpictureStreams) - 1);
    return a;
}

// The streams the program chain of the title's first chapter enables; all
// when the chain cannot be found.
void EnabledStreams(const ifo_handle_t& vts, unsigned titleInSet, DvdTitle& title)
{
    title.audioEnabled = 0xFF;
    title.subpictureEnabled = 0xFFFFFFFF;
    const vts_ptt_srpt_t* parts = vts.vts_ptt_srpt;
    const pgcit_t* chains = vts.vts_pgcit;
    if (!parts || !chains || titleInSet == 0 || titleInSet > parts->nr_of_srpts || !parts->title ||
        parts->title[titleInSet - 1].nr_of_ptts == 0 || !parts->title[titleInSet - 1].ptt)
        return;
    const unsigned chain = parts->title[titleInSet - 1].ptt[0].pgcn;
    if (chain == 0 || chain > chains->nr_of_pgci_srp || !chains->pgci_srp || !chains->pgci_srp[chain - 1].pgc)
        return;
    const pgc_t& pgc = *chains->pgci_srp[chain - 1].pgc;
    title.audioEnabled = title.subpictureEnabled = 0;
    for (unsigned i = 0; i < 8; ++i)
        if (pgc.audio_control[i] & 0x8000)
            title.audioEnabled |= 1u << i;
    for (unsigned i = 0; i < 32; ++i)
        if (pgc.subp_control[i] & 0x80000000u)
            title.subpictureEnabled |= 1u << i;
}

} // namespace

std::string DvdRootOf(const std::string& path)
{
    std::error_code ec;
    fs::path p(path);
    if (!p.has_filename()) // a trailing separator
        p = p.parent_path();
    if (!fs::is_directory(p, ec))
        p = p.parent_path();
    if (SameText(p.filename().string(), "VIDEO_TS") && HoldsManager(p))
        return p.parent_path().string();
    const fs::path inner = FindEntry(p, "VIDEO_TS");
    if (!inner.empty() && HoldsManager(inner))
        return p.string();
    return HoldsManager(p) ? p.string() : std::string();
}

DvdDiscResult ReadDvdDisc(const std::string& root, DvdDisc* disc)
{
    if (root.empty())
        return {DvdDiscStatus::NotFound};
    if (!ManagerSound(root))
        return {DvdDiscStatus::BadManager};
    std::unique_ptr<dvd_reader_t, ReaderCloser> reader(DVDOpen2(nullptr, &kQuietLogger, root.c_str()));
    if (!reader)
        return {DvdDiscStatus::NotFound};
    IfoPtr vmg(ifoOpen(reader.get(), 0));
    if (!vmg || !vmg->vmgi_mat)
        return {DvdDiscStatus::BadManager};
    const tt_srpt_t* table = vmg->tt_srpt;
    const unsigned titleSets = vmg->vmgi_mat->vmg_nr_of_title_sets;
    if (!table || table->nr_of_srpts == 0 || !table->title || titleSets == 0)
        return {DvdDiscStatus::NoTitles};
    DvdDisc d;
    const vmgi_mat_t& m = *vmg->vmgi_mat;
    d.menus = Attributes(m.vmgm_video_attr, &m.vmgm_audio_attr, m.nr_of_vmgm_audio_streams, &m.vmgm_subp_attr,
                         m.nr_of_vmgm_subp_streams, 1);
    std::vector<IfoPtr> sets;
    for (unsigned n = 1; n <= titleSets; ++n) {
        IfoPtr vts(ifoOpen(reader.get(), static_cast<int>(n)));
        if (!vts || !vts->vtsi_mat)
            return {DvdDiscStatus::BadTitleSet, n};
        const vtsi_mat_t& v = *vts->vtsi_mat;
        d.titleSets.push_back(Attributes(v.vts_video_attr, v.vts_audio_attr, v.nr_of_vts_audio_streams, v.vts_subp_attr,
                                         v.nr_of_vts_subp_streams, 32));
        sets.push_back(std::move(vts));
    }
    for (unsigned i = 0; i < table->nr_of_srpts; ++i) {
        const title_info_t& t = table->title[i];
        if (t.title_set_nr == 0 || t.title_set_nr > titleSets)
            return {DvdDiscStatus::NoTitles};
        DvdTitle title{t.title_set_nr, t.nr_of_ptts, t.nr_of_angles};
        EnabledStreams(*sets[t.title_set_nr - 1], t.vts_ttn, title);
        d.titles.push_back(title);
    }
    *disc = std::move(d);
    return {};
}

} // namespace kolvarin::media
