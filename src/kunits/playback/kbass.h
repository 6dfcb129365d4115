#pragma once

// The audio library as the play system and the program call it: the
// stand-in's calls, types and constants by their own names.

#include "audio/bass.h"

namespace kolvarin {

namespace bass = audio::bass;
using audio::BASS_AAC_StreamCreateFile;
using audio::BASS_AAC_StreamCreateURL;
using audio::BASS_AC3_StreamCreateFile;
using audio::BASS_AC3_StreamCreateURL;
using audio::BASS_APE_StreamCreateFile;
using audio::BASS_CD_GetTrackLength;
using audio::BASS_CD_GetTracks;
using audio::BASS_CD_IsReady;
using audio::BASS_CD_StreamCreate;
using audio::BASS_ChannelBytes2Seconds;
using audio::BASS_ChannelFlags;
using audio::BASS_ChannelGetAttribute;
using audio::BASS_ChannelGetData;
using audio::BASS_ChannelGetInfo;
using audio::BASS_ChannelGetLength;
using audio::BASS_ChannelGetPosition;
using audio::BASS_ChannelGetTags;
using audio::BASS_ChannelIsActive;
using audio::BASS_ChannelIsSliding;
using audio::BASS_ChannelPause;
using audio::BASS_ChannelPlay;
using audio::BASS_ChannelRemoveFX;
using audio::BASS_ChannelRemoveSync;
using audio::BASS_ChannelSeconds2Bytes;
using audio::BASS_ChannelSetAttribute;
using audio::BASS_ChannelSetFX;
using audio::BASS_ChannelSetPosition;
using audio::BASS_ChannelSetSync;
using audio::BASS_ChannelSlideAttribute;
using audio::BASS_ChannelStop;
using audio::BASS_DATA_FFT1024;
using audio::BASS_DX8_PARAMEQ;
using audio::BASS_ErrorGetCode;
using audio::BASS_FLAC_StreamCreateFile;
using audio::BASS_FLAC_StreamCreateURL;
using audio::BASS_Free;
using audio::BASS_FX_DX8_PARAMEQ;
using audio::BASS_FXGetParameters;
using audio::BASS_FXSetParameters;
using audio::BASS_GetConfig;
using audio::BASS_GetDeviceInfo;
using audio::BASS_GetInfo;
using audio::BASS_GetVersion;
using audio::BASS_Init;
using audio::BASS_MP4_StreamCreateFile;
using audio::BASS_MPC_StreamCreateFile;
using audio::BASS_OFR_StreamCreateFile;
using audio::BASS_SetConfig;
using audio::BASS_StreamCreateFile;
using audio::BASS_StreamCreateURL;
using audio::BASS_StreamFree;
using audio::BASS_StreamGetFilePosition;
using audio::BASS_TTA_StreamCreateFile;
using audio::BASS_WV_StreamCreateFile;
using audio::BassChannelInfo;
using audio::BassDeviceInfo;
using audio::BassInfo;
using audio::DOWNLOADPROC;
using audio::DWORD;
using audio::HFX;
using audio::HSTREAM;
using audio::HSYNC;
using audio::QWORD;
using audio::SYNCPROC;

} // namespace kolvarin
