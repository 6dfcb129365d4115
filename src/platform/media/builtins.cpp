// The filter classes built into the framework, and object creation by class.

#include "media/audiorenderer.h"
#include "media/decoders.h"
#include "media/devenum.h"
#include "media/dvdnavigator.h"
#include "media/dvdsubpicture.h"
#include "media/graph.h"
#include "media/mediadet.h"
#include "media/nullrenderer.h"
#include "media/overlaymixer.h"
#include "media/splitter.h"
#include "media/subtitlefilter.h"
#include "media/uuids.h"
#include "media/videorenderer.h"

namespace kolvarin::media {

ComPtr<ICreateDevEnum> MakeDeviceEnumerator(); // devenum.cpp

std::vector<FilterTemplate> BuiltinFilters()
{
    const GUID any = GUID_NULL;
    return {
        FilterTemplate{CLSID_MediaSplitter,
                       u"Media Splitter",
                       MERIT_NORMAL,
                       CLSID_LegacyAmFilterCategory,
                       {{MEDIATYPE_Stream, any}},
                       MakeMediaSplitter},
        FilterTemplate{
            CLSID_DVDNavigator, u"DVD Navigator", MERIT_DO_NOT_USE, CLSID_LegacyAmFilterCategory, {}, MakeDvdNavigator},
        FilterTemplate{CLSID_DvdSubpictureMixer,
                       u"DVD Subpicture Mixer",
                       MERIT_DO_NOT_USE,
                       CLSID_LegacyAmFilterCategory,
                       {{MEDIATYPE_Video, MEDIASUBTYPE_I420}, {MEDIATYPE_Subtitle, GUID_NULL}},
                       MakeDvdSubpictureMixer},
        FilterTemplate{CLSID_FFVideoDecoder,
                       u"Video Decoder",
                       MERIT_NORMAL,
                       CLSID_LegacyAmFilterCategory,
                       {{MEDIATYPE_Video, any}},
                       MakeVideoDecoder},
        FilterTemplate{CLSID_FFAudioDecoder,
                       u"Audio Decoder",
                       MERIT_NORMAL,
                       CLSID_LegacyAmFilterCategory,
                       {{MEDIATYPE_Audio, any}},
                       MakeAudioDecoder},
        FilterTemplate{CLSID_DSoundRender,
                       u"Default DirectSound Device",
                       MERIT_PREFERRED,
                       CLSID_AudioRendererCategory,
                       {{MEDIATYPE_Audio, MEDIASUBTYPE_IEEE_FLOAT}, {MEDIATYPE_Audio, MEDIASUBTYPE_PCM}},
                       MakeAudioRenderer},
        FilterTemplate{CLSID_NullRenderer,
                       u"Null Renderer",
                       MERIT_DO_NOT_USE,
                       CLSID_LegacyAmFilterCategory,
                       {{any, any}},
                       MakeNullRenderer},
        FilterTemplate{CLSID_VideoRenderer,
                       u"Video Renderer",
                       MERIT_PREFERRED,
                       CLSID_LegacyAmFilterCategory,
                       {{MEDIATYPE_Video, MEDIASUBTYPE_I420}},
                       MakeVideoRenderer},
        FilterTemplate{CLSID_OverlayMixer,
                       u"Overlay Mixer",
                       MERIT_DO_NOT_USE,
                       CLSID_LegacyAmFilterCategory,
                       {{MEDIATYPE_Video, MEDIASUBTYPE_I420}},
                       MakeOverlayMixer},
        FilterTemplate{CLSID_SubtitleFilter,
                       u"DirectVobSub",
                       MERIT_DO_NOT_USE,
                       CLSID_LegacyAmFilterCategory,
                       {{MEDIATYPE_Video, MEDIASUBTYPE_I420}, {MEDIATYPE_Subtitle, GUID_NULL}},
                       MakeSubtitleFilter},
    };
}

HRESULT CoCreateInstance(REFCLSID clsid, REFIID id, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (clsid == CLSID_FilterGraph)
        return MakeFilterGraph()->QueryInterface(id, out);
    if (clsid == CLSID_MediaDet)
        return MakeMediaDet()->QueryInterface(id, out);
    if (clsid == CLSID_SystemDeviceEnum)
        return MakeDeviceEnumerator()->QueryInterface(id, out);
    const FilterTemplate* t = FindFilterClass(clsid);
    if (!t || !t->create)
        return REGDB_E_CLASSNOTREG;
    ComPtr<IBaseFilter> f = t->create();
    return f ? f->QueryInterface(id, out) : E_OUTOFMEMORY;
}

} // namespace kolvarin::media
