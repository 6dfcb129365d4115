#pragma once

// The audio library of the player: devices, streams from files, internet
// addresses and music CDs, a mixer with volume, pan, speed, slides,
// parametric-equalizer effects and speaker pairs, syncs, FFT data and tags.
//
// The calls carry the names the play system uses (BASS_Init,
// BASS_StreamCreateFile, ...). They are plain C++ functions in namespace
// kolvarin::audio; constants that the play system passes are in
// kolvarin::audio::bass.
//
// Every call may be made from any thread. A call that fails returns 0, false
// or -1 (as its result type allows) and records an error code for
// BASS_ErrorGetCode on the calling thread; a stale or zero handle is an error,
// never a crash. Sync and download callbacks run on threads of this layer,
// never inside the output device's callback and never while a lock of the
// layer is held, so they may call back into it.

#include <cstdint>

namespace kolvarin::audio {

using DWORD = std::uint32_t;
using QWORD = std::uint64_t;
using HSTREAM = DWORD;
using HSYNC = DWORD;
using HFX = DWORD;

// handle: the sync, channel: its channel, data: 0 (reserved), user: as given.
using SYNCPROC = void(HSYNC handle, DWORD channel, DWORD data, void* user);
// Called for every block of an internet stream's body as received (ICY
// metadata removed), then once with buffer null and length 0 at the end of the
// download. Not called any more once the stream is being freed.
using DOWNLOADPROC = void(const void* buffer, DWORD length, void* user);

namespace bass {

// BASS_Init flags.
constexpr DWORD kDeviceSpeakers = 0x800; // open every speaker of the device, not only a pair

// Stream creation flags.
constexpr DWORD kUnicode = 0x80000000; // the file name is UTF-16 (char16_t), else UTF-8
constexpr DWORD kStreamStatus = 0x800000; // internet streams: keep the status tags
constexpr DWORD kStreamBlock = 0x100000; // internet streams: play in blocks (no seeking)
constexpr DWORD kSpeakerFront = 0x1000000; // speaker pair 1
constexpr DWORD kSpeakerRear = 0x2000000; // speaker pair 2
constexpr DWORD kSpeakerCenLfe = 0x3000000; // speaker pair 3 (centre, LFE)
constexpr DWORD kSpeakerRear2 = 0x4000000; // speaker pair 4
constexpr DWORD kSpeakerMask = 0xF000000;

// BASS_SetConfig options.
constexpr DWORD kConfigBuffer = 0; // output buffer length, ms (5 ms floor), at BASS_Init
constexpr DWORD kConfigUpdatePeriod = 1; // kept; the output pulls, so there is no update thread
constexpr DWORD kConfigNetTimeout = 11; // connect and stall time-out of internet streams, ms
constexpr DWORD kConfigNetPrebuf = 15; // download buffer filled before playing, percent
constexpr DWORD kConfigUpdateThreads = 24; // kept, as for the update period

// Channel attributes.
constexpr DWORD kAttribFreq = 1; // playback rate in Hz; 0 = the stream's own rate
constexpr DWORD kAttribVol = 2; // 0..1
constexpr DWORD kAttribPan = 3; // -1 (left) .. 1 (right)

// BASS_ChannelIsActive results.
constexpr DWORD kActiveStopped = 0;
constexpr DWORD kActivePlaying = 1;
constexpr DWORD kActiveStalled = 2; // an internet stream waiting for data
constexpr DWORD kActivePaused = 3;

// Sync types; kSyncOneTime may be added to either.
constexpr DWORD kSyncPos = 0; // param: byte position
constexpr DWORD kSyncEnd = 2;
constexpr DWORD kSyncOneTime = 0x80000000;

// Tag types.
constexpr DWORD kTagHttp = 3; // response headers of an internet stream
constexpr DWORD kTagIcy = 4; // the same list (status line and headers)
constexpr DWORD kTagMeta = 5; // last ICY metadata text, e.g. StreamTitle='...';

// BASS_StreamGetFilePosition modes.
constexpr DWORD kFilePosCurrent = 0;
constexpr DWORD kFilePosDownload = 1;
constexpr DWORD kFilePosEnd = 2;

// Position modes.
constexpr DWORD kPosByte = 0;

// Channel types (BassChannelInfo::ctype).
constexpr DWORD kCtypeOgg = 0x10002;
constexpr DWORD kCtypeMp1 = 0x10003;
constexpr DWORD kCtypeMp2 = 0x10004;
constexpr DWORD kCtypeMp3 = 0x10005;
constexpr DWORD kCtypeAiff = 0x10006;
constexpr DWORD kCtypeCd = 0x10200;
constexpr DWORD kCtypeWv = 0x10500;
constexpr DWORD kCtypeApe = 0x10700;
constexpr DWORD kCtypeFlac = 0x10900;
constexpr DWORD kCtypeFlacOgg = 0x10901;
constexpr DWORD kCtypeMpc = 0x10a00;
constexpr DWORD kCtypeAac = 0x10b00;
constexpr DWORD kCtypeMp4 = 0x10b01;
constexpr DWORD kCtypeTta = 0x10f00;
constexpr DWORD kCtypeAc3 = 0x11000;
constexpr DWORD kCtypeWav = 0x40000;
constexpr DWORD kCtypeWavPcm = 0x50001;
constexpr DWORD kCtypeWavFloat = 0x50003;

// Error codes of BASS_ErrorGetCode.
enum Error : int {
    kOk = 0,
    kErrorInit, // BASS_Init has not succeeded
    kErrorAlready, // already initialised
    kErrorDevice, // no such device
    kErrorDriver, // the output device could not be opened
    kErrorHandle, // zero, stale or wrong kind of handle
    kErrorFileOpen, // the file could not be opened or read
    kErrorFileForm, // not a format this call decodes (or no decoder for it)
    kErrorCodec, // the codec could not be opened
    kErrorPosition, // position outside the stream
    kErrorIllParam, // bad parameter value
    kErrorIllType, // unknown attribute, tag, effect or sync type
    kErrorNotAvail, // not available for this channel
    kErrorTimeout, // the server did not answer within the network time-out
    kErrorNoNet, // the connection failed (refused, HTTP error status)
    kErrorSpeaker, // the speaker pair is not present on the output
    kErrorEnded, // the channel has ended
    kErrorCdDrive, // no such CD drive, no disc, or not an audio track
    kErrorMemory,
    kErrorUnknown,
};

} // namespace bass

// FFT of 1024 frames: 512 floats, magnitudes, a full-scale sine near 1.
constexpr DWORD BASS_DATA_FFT1024 = 0x80000002;
// Peaking equalizer band effect; its parameters are BASS_DX8_PARAMEQ.
constexpr DWORD BASS_FX_DX8_PARAMEQ = 7;

struct BASS_DX8_PARAMEQ {
    float fCenter = 8000.0f; // Hz; clamped below the channel's Nyquist frequency
    float fBandwidth = 12.0f; // semitones, 1..36
    float fGain = 0.0f; // dB, -15..15
};

struct BassDeviceInfo {
    const char* name = nullptr; // valid until BASS_Free
    const char* driver = nullptr; // the output backend's name
    DWORD flags = 0; // kDeviceEnabled, kDeviceDefault, kDeviceInit
};
namespace bass {
constexpr DWORD kDeviceEnabled = 1;
constexpr DWORD kDeviceDefault = 2;
constexpr DWORD kDeviceInit = 4;
} // namespace bass

struct BassInfo {
    DWORD speakers = 0; // output channels: 2, 4, 6 or 8
    DWORD freq = 0; // output rate, Hz
    DWORD latency = 0; // ms from mixing to hearing
    DWORD minbuf = 0; // ms, the output's period
};

struct BassChannelInfo {
    DWORD freq = 0; // the stream's own rate
    DWORD chans = 0; // its channel count
    DWORD flags = 0; // creation flags
    DWORD ctype = 0; // bass::kCtype...
    DWORD origres = 0; // bits of the source samples, 0 when not known
    const char* filename = nullptr; // UTF-8 file name or URL; valid while the stream lives
};

// Initialisation, devices, configuration. Device -1 is the default output,
// 0 the offline clock (audio/offline.h), 1 the default output again and 2..
// the outputs the backend lists by name.
DWORD BASS_GetVersion(); // 0x0204xxxx
int BASS_ErrorGetCode(); // bass::Error of the last call on this thread
bool BASS_GetDeviceInfo(DWORD device, BassDeviceInfo* info);
bool BASS_Init(int device, DWORD freq, DWORD flags, void* window, const void* clsid);
bool BASS_Free(); // frees every stream too
bool BASS_GetInfo(BassInfo* info);
bool BASS_SetConfig(DWORD option, DWORD value);
DWORD BASS_GetConfig(DWORD option); // -1 for an unknown option

// Streams. `file` is a path (UTF-16 with bass::kUnicode, else UTF-8) or, with
// mem true, `length` bytes in memory that the caller keeps alive until free.
// offset/length select a part of the file (length 0 = to the end). This call
// opens WAV, AIFF, MPEG layer 1-3 and Ogg Vorbis; the add-ons the rest.
HSTREAM BASS_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags);
// http:// and https:// only. Returns once the format is known (within the
// network time-out); the stream is stalled until the pre-buffer is filled.
// The stream ends when the server closes or stalls longer than the time-out.
HSTREAM BASS_StreamCreateURL(const char* url, DWORD offset, DWORD flags, DOWNLOADPROC* proc, void* user);
bool BASS_StreamFree(HSTREAM handle);
QWORD BASS_StreamGetFilePosition(HSTREAM handle, DWORD mode);

// Format add-ons: each opens its own format only (bass::kErrorFileForm for any
// other). OptimFROG has no decoder here: its call always fails with that error.
HSTREAM BASS_MPC_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags);
HSTREAM BASS_APE_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags);
HSTREAM BASS_AAC_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags);
HSTREAM BASS_MP4_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags);
HSTREAM BASS_WV_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags);
HSTREAM BASS_AC3_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags);
HSTREAM BASS_FLAC_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags);
HSTREAM BASS_OFR_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags);
HSTREAM BASS_TTA_StreamCreateFile(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags);
HSTREAM BASS_AAC_StreamCreateURL(const char* url, DWORD offset, DWORD flags, DOWNLOADPROC* proc, void* user);
HSTREAM BASS_AC3_StreamCreateURL(const char* url, DWORD offset, DWORD flags, DOWNLOADPROC* proc, void* user);
HSTREAM BASS_FLAC_StreamCreateURL(const char* url, DWORD offset, DWORD flags, DOWNLOADPROC* proc, void* user);

// Music CDs. Drives are numbered from 0 in the order of audio/cd_drives.h;
// tracks from 0. Lengths are bytes of 44.1 kHz 16-bit stereo. Of the stream
// flags only the speaker pair counts.
DWORD BASS_CD_GetTracks(DWORD drive); // -1 on failure
DWORD BASS_CD_GetTrackLength(DWORD drive, DWORD track); // -1 for data tracks and failures
bool BASS_CD_IsReady(DWORD drive);
HSTREAM BASS_CD_StreamCreate(DWORD drive, DWORD track, DWORD flags);

// Channels. Positions and lengths are bytes of 16-bit PCM at the stream's own
// rate and channel count; the position is the next frame the mixer plays.
// Seeking is exact to the sample frame (internet streams cannot seek).
// A stream that has ended plays again from its start.
bool BASS_ChannelPlay(DWORD handle, bool restart);
bool BASS_ChannelStop(DWORD handle);
bool BASS_ChannelPause(DWORD handle);
DWORD BASS_ChannelIsActive(DWORD handle);
// The creation flags; no flag changes after creation. -1 on failure.
DWORD BASS_ChannelFlags(DWORD handle, DWORD flags, DWORD mask);
bool BASS_ChannelGetInfo(DWORD handle, BassChannelInfo* info);
QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode); // -1 when not known
QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode);
bool BASS_ChannelSetPosition(DWORD handle, QWORD pos, DWORD mode);
double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos); // negative on failure
QWORD BASS_ChannelSeconds2Bytes(DWORD handle, double pos); // rounded down to a whole frame
bool BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value);
bool BASS_ChannelGetAttribute(DWORD handle, DWORD attrib, float* value);
// Moves the attribute linearly to value over time ms of the output clock.
bool BASS_ChannelSlideAttribute(DWORD handle, DWORD attrib, float value, DWORD time);
bool BASS_ChannelIsSliding(DWORD handle, DWORD attrib);
// The callback runs on the sync thread once the output reaches the position
// or the end: a device's latency after mixing, at once on the offline clock.
// One-time syncs are removed when they fire; others fire again after a seek
// back before their position.
HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC* proc, void* user);
bool BASS_ChannelRemoveSync(DWORD handle, HSYNC sync);
// Only BASS_DATA_FFT1024: 512 floats into buffer; result 2048 (bytes) or -1.
DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length);
// A list of NUL-terminated strings ended by an empty one (kTagHttp, kTagIcy)
// or one string (kTagMeta); null when absent. Valid until the tag changes or
// the stream is freed.
const char* BASS_ChannelGetTags(DWORD handle, DWORD tags);
HFX BASS_ChannelSetFX(DWORD handle, DWORD type, int priority); // higher priority runs first
bool BASS_ChannelRemoveFX(DWORD handle, HFX fx);
bool BASS_FXSetParameters(HFX fx, const void* params);
bool BASS_FXGetParameters(HFX fx, void* params);

} // namespace kolvarin::audio
