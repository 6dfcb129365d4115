#include "media/dvddisc.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <span>

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

// A table of an information file: where its sector number stands, where
// its last-byte field stands in its header, and the header's size.
struct TableField {
    uint64_t pointer, lastByte, header;
};
// The tables libdvdread sizes from their last-byte field: the manager's
// title search table and its menus' cell and VOBU address maps, a title
// set's chapter table and the cell and VOBU address maps of its menus and
// titles.
constexpr TableField kManagerTables[] = {{0xC4, 4, 8}, {0xD8, 4, 8}, {0xDC, 0, 4}};
constexpr TableField kTitleSetTables[] = {{0xC8, 4, 8}, {0xD8, 4, 8}, {0xDC, 0, 4}, {0xE0, 4, 8}, {0xE4, 0, 4}};

// libdvdread sizes these tables from the last-byte field less the header:
// a field below the header wraps to a size no allocation meets (and on that
// failure it frees the title search table twice), a field far past the file
// allocates gigabytes before the read fails, and a table whose sectors are
// cut off makes it free the title search table twice as well. An
// information file whose tables are not there in full is refused before
// libdvdread reads it (it would try the backup after the file); one too
// short for its own header is refused by libdvdread before any table.
bool TablesSound(const fs::path& file, std::span<const TableField> tables)
{
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in)
        return true; // a missing file is libdvdread's to report
    const auto size = static_cast<uint64_t>(in.tellg());
    constexpr uint64_t kInformationHeader = 512, kSector = 2048;
    if (size < kInformationHeader)
        return true;
    auto read32 = [&in](uint64_t at, uint32_t& value) {
        uint8_t b[4];
        if (!in.seekg(static_cast<std::streamoff>(at)).read(reinterpret_cast<char*>(b), 4))
            return false;
        value = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
        return true;
    };
    for (const TableField& t : tables) {
        uint32_t sector = 0, lastByte = 0;
        if (!read32(t.pointer, sector))
            return false;
        if (sector == 0)
            continue; // no such table
        const uint64_t table = uint64_t(sector) * kSector;
        if (table + t.header > size || !read32(table + t.lastByte, lastByte))
            return false;
        const uint64_t end = table + uint64_t(lastByte) + 1;
        if (end < table + t.header || (end + kSector - 1) / kSector * kSector > size)
            return false;
    }
    return true;
}

// VTS_nn_0.IFO or its backup VTS_nn_0.BUP, in any case.
bool IsTitleSetInformation(const std::string& name)
{
    return name.size() == 12 && SameText(name.substr(0, 4), "VTS_") &&
           (SameText(name.substr(6), "_0.IFO") || SameText(name.substr(6), "_0.BUP"));
}

bool InformationSound(const fs::path& root)
{
    const fs::path inner = FindEntry(root, "VIDEO_TS");
    const fs::path folder = inner.empty() ? root : inner;
    for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP"}) {
        const fs::path file = FindEntry(folder, name);
        if (!file.empty() && !TablesSound(file, kManagerTables))
            return false;
    }
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (IsTitleSetInformation(e.path().filename().string()) && !TablesSound(e.path(), kTitleSetTables))
            return false;
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

bool ChainsRead(const pgcit_t* chains)
{
    if (!chains || (chains->nr_of_pgci_srp > 0 && !chains->pgci_srp))
        return false;
    for (unsigned i = 0; i < chains->nr_of_pgci_srp; ++i)
        if (!chains->pgci_srp[i].pgc)
            return false;
    return true;
}

bool MenusRead(const pgci_ut_t* menus)
{
    if (!menus || (menus->nr_of_lus > 0 && !menus->lu))
        return false;
    for (unsigned i = 0; i < menus->nr_of_lus; ++i)
        if (!ChainsRead(menus->lu[i].pgcit))
            return false;
    return true;
}

// libdvdread leaves out a table it cannot read and goes on; libdvdnav's
// machine then follows the information file's pointer into the missing
// table. Every table the file points to must have been read.
bool ManagerRead(const ifo_handle_t& vmg)
{
    const vmgi_mat_t& m = *vmg.vmgi_mat;
    return (m.first_play_pgc == 0 || vmg.first_play_pgc) && (m.vmgm_pgci_ut == 0 || MenusRead(vmg.pgci_ut)) &&
           (m.vmgm_c_adt == 0 || vmg.menu_c_adt) && (m.vmgm_vobu_admap == 0 || vmg.menu_vobu_admap);
}

bool TitleSetRead(const ifo_handle_t& vts)
{
    const vtsi_mat_t& v = *vts.vtsi_mat;
    return (v.vts_ptt_srpt == 0 || vts.vts_ptt_srpt) && (v.vts_pgcit == 0 || ChainsRead(vts.vts_pgcit)) &&
           (v.vtsm_pgci_ut == 0 || MenusRead(vts.pgci_ut)) && (v.vts_tmapt == 0 || vts.vts_tmapt) &&
           (v.vtsm_c_adt == 0 || vts.menu_c_adt) && (v.vtsm_vobu_admap == 0 || vts.menu_vobu_admap) &&
           (v.vts_c_adt == 0 || vts.vts_c_adt) && (v.vts_vobu_admap == 0 || vts.vts_vobu_admap);
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
    if (!InformationSound(root))
        return {DvdDiscStatus::BadManager};
    std::unique_ptr<dvd_reader_t, ReaderCloser> reader(DVDOpen2(nullptr, &kQuietLogger, root.c_str()));
    if (!reader)
        return {DvdDiscStatus::NotFound};
    IfoPtr vmg(ifoOpen(reader.get(), 0));
    if (!vmg || !vmg->vmgi_mat || !ManagerRead(*vmg))
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
        if (!vts || !vts->vtsi_mat || !TitleSetRead(*vts))
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
