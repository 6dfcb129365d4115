#include "core/kcodecnames.h"

#include <algorithm>
#include <iterator>
#include <span>

#include "core/lumoutils.h"

namespace kolvarin {

namespace {

struct AudioName {
    uint16_t Tag;
    const char* Name;
};

// In ascending tag order.
constexpr AudioName kAudioNames[] = {
    {1, "PCM"}, {2, "ADPCM"}, {3, "IEEE Float"}, {4, "Compaq Computer VSELP"}, {5, "IBM CVSD"},
    {6, "A-Law"}, {7, "u-Law"}, {8, "DTS"}, {16, "OKI ADPCM"}, {17, "Intel DVI/IMA ADPCM"},
    {18, "Videologic MediaSpace ADPCM"}, {19, "Sierra Semiconductor ADPCM"}, {20, "Antex Electronics G.723 ADPCM"},
    {21, "DSP Solutions DigiSTD"}, {22, "DSP Solutions DigiFIX"}, {23, "Dialogic OKI ADPCM"},
    {24, "MediaVision ADPCM"}, {25, "Hewlett-Packard CU codec"}, {32, "Yamaha ADPCM"},
    {33, "Speech Compression SONARC"}, {34, "DSP Group TrueSpeech"}, {35, "Echo Speech EchoSC1"},
    {36, "Audiofile AF36"}, {37, "Audio Processing Technology APTX"}, {38, "Audiofile AF10"},
    {39, "Prosody 1612"}, {40, "Merging Technologies LRC"}, {48, "Dolby AC2"}, {49, "Microsoft GSM 6.10"},
    {50, "MSN Audio"}, {51, "Antex Electronics ADPCME"}, {52, "Control Resources VQLPC"},
    {53, "DSP Solutions DigiREAL"}, {54, "DSP Solutions DigiADPCM"}, {55, "Control Resources CR10"},
    {56, "Natural MicroSystems VBXADPCM"}, {57, "Crystal Semiconductor IMA ADPCM"},
    {58, "Echo Speech EchoSC3"}, {59, "Rockwell ADPCM"}, {60, "Rockwell DigiTalk"},
    {61, "Xebec Multimedia Solutions"}, {64, "Antex Electronics G.721 ADPCM"}, {65, "Antex Electronics G.728 CELP"},
    {66, "Microsoft MSG723"}, {67, "IBM AVC ADPCM"}, {80, "MPEG1 Layer 1,2"}, {82, "InSoft RT24"},
    {83, "InSoft PAC"}, {85, "MPEG1 Layer-3"}, {89, "Lucent G.723"}, {96, "Cirrus Logic"},
    {97, "ESS Technology ESPCM"}, {98, "Voxware"}, {99, "Canopus ATRAC"}, {100, "APICOM G.726 ADPCM"},
    {101, "APICOM G.722 ADPCM"}, {102, "Microsoft DSAT"}, {103, "Microsoft DSAT Display"},
    {105, "Voxware Byte Aligned"}, {112, "Voxware AC8"}, {113, "Voxware AC10"}, {114, "Voxware AC16"},
    {115, "Voxware AC20"}, {116, "Voxware MetaVoice"}, {117, "Voxware MetaSound"}, {118, "Voxware RT29HW"},
    {119, "Voxware VR12"}, {120, "Voxware VR18"}, {121, "Voxware TQ40"}, {128, "Softsound"},
    {129, "Voxware TQ60"}, {130, "Microsoft MSRT24"}, {131, "AT&T G.729A"}, {132, "Motion Pixels MVI MV12"},
    {133, "DataFusion Systems G.726"}, {134, "DataFusion Systems GSM610"}, {136, "Iterated Systems ISIAudio"},
    {137, "Onlive"}, {145, "Siemens Business Communications SBC24"}, {146, "Sonic Foundry Dolby AC3 SPDIF"},
    {147, "MediaSonic G.723"}, {148, "Aculab Prosody 8kbps"}, {151, "ZyXEL ADPCM"},
    {152, "Philips Speech Processing LPCBB"}, {153, "Studer Professional Audio Packed"},
    {160, "Malden Electronics PhonyTalk"}, {255, "Free Advanced Audio Codec"}, {256, "Rhetorex ADPCM"},
    {257, "BeCubed Software IRAT"}, {273, "Vivo Software G.723"}, {274, "Vivo Software Siren"},
    {291, "Digital Equipment G.723"}, {293, "Sanyo LD ADPCM"}, {304, "Sipro Lab ACEPLNET"},
    {305, "Sipro Lab ACELP4800"}, {306, "Sipro Lab ACELP8V3"}, {307, "Sipro Lab G.729"},
    {308, "Sipro Lab G.729A"}, {309, "Sipro Lab Kelvin"}, {320, "Dictaphone G.726 ADPCM"},
    {336, "Qualcomm PureVoice"}, {337, "Qualcomm HalfRate"}, {341, "Ring Zero Systems TUBGSM"},
    {352, "Windows Media Audio 1"}, {353, "Windows Media Audio 2"}, {354, "Windows Media Audio 9 Professional"},
    {512, "Creative Labs ADPCM"}, {514, "Creative Labs FastSpeech8"}, {515, "Creative Labs FastSpeech10"},
    {528, "UHER Informatik ADPCM"}, {544, "Quarterdeck"}, {560, "I-Link Worldwide VC"},
    {576, "Aureal Semiconductor RAW Sport"}, {592, "Interactive Products HSX"},
    {593, "Interactive Products RPELP"}, {608, "Consistent Software CS2"}, {624, "Sony SCX"},
    {768, "Fujitsu FM Towns Snd"}, {1024, "Brooktree Digital"}, {1025, "Intel Music Coder"},
    {1104, "QDesign Music"}, {1664, "AT&T Labs VME VMPCM"}, {1665, "AT&T Labs TCP"}, {4096, "Olivetti GSM"},
    {4097, "Olivetti ADPCM"}, {4098, "Olivetti CELP"}, {4099, "Olivetti SBC"}, {4100, "Olivetti OPR"},
    {4352, "Lernout & Hauspie"}, {4353, "Lernout & Hauspie CELP"}, {4354, "Lernout & Hauspie SBC8"},
    {5120, "Norris Communications"}, {5121, "AT&T Labs ISIAudio"}, {5376, "AT&T Labs Soundspace Music Compression"},
    {6172, "VoxWare RT24 Speech"}, {8132, "NCT Soft ALF2CD ACM"}, {8192, "FAST Multimedia AG DVM (Dolby AC3)"},
    {26447, "Ogg Vorbis (mode 1)"}, {26448, "Ogg Vorbis (mode 2)"}, {26449, "Ogg Vorbis (mode 3)"},
    {26479, "Ogg Vorbis (mode 1+)"}, {26480, "Ogg Vorbis (mode 2+)"}, {26481, "Ogg Vorbis (mode 3+)"},
    {65534, "Extensible wave format"}, {65535, "In Development / Unregistered"},
};
static_assert(std::size(kAudioNames) == 145);

struct VideoName {
    char FourCC[5]; // three-character codes end in a blank, "Y8" in two
    const char* Name;
};

constexpr VideoName kVideoNames[] = {
    {"3IV0", "MPEG4-based codec 3ivx"},
    {"3IV1", "MPEG4-based codec 3ivx"},
    {"3IV2", "MPEG4-based codec 3ivx"},
    {"3IVX", "MPEG4-based codec 3ivx"},
    {"AASC", "Autodesk Animator codec"},
    {"ABYR", "Kensington codec"},
    {"AEMI", "Array VideoONE MPEG1-I capture"},
    {"AFLC", "Autodesk Animator FLC (256 color)"},
    {"AFLI", "Autodesk Animator FLI (256 color)"},
    {"AMPG", "Array VideoONE MPEG"},
    {"ANIM", "Intel RDX"},
    {"AP41", "AngelPotion Definitive (hack MS MP43)"},
    {"ASV1", "Asus Video V1"},
    {"ASV2", "Asus Video V2"},
    {"ASVX", "Asus Video 2.0"},
    {"AUR2", "AuraVision Aura 2 codec - YUV 422"},
    {"AURA", "AuraVision Aura 1 codec - YUV 411"},
    {"AVC1", "H.264/AVC1"},
    {"AVDJ", "Avid Motion JPEG"},
    {"AVRN", "Avid Motion JPEG"},
    {"AZPR", "Quicktime Apple Video"},
    {"BINK", "Bink Video (RAD Game Tools)"},
    {"BT20", "Conexant Prosumer Video"},
    {"BTCV", "Conexant Composite Video codec"},
    {"BTVC", "Conexant Composite Video"},
    {"BW10", "Data Translation Broadway MPEG capture/compression"},
    {"CC12", "Intel YUV12 codec"},
    {"CDVC", "Canopus DV codec"},
    {"CFCC", "Digital Processing Systems DPS Perception"},
    {"CGDI", "Microsoft Office 97 Camcorder Video"},
    {"CHAM", "Winnov Caviara Champagne"},
    {"CJPG", "Creative WebCam JPEG"},
    {"CLJR", "Cirrus Logic YUV 4 pixels"},
    {"CMYK", "Common Data Format in Printing"},
    {"CPLA", "Weitek 4:2:0 YUV Planar"},
    {"CRAM", "Microsoft Video 1"},
    {"CVID", "Cinepak by Radius"},
    {"CWLT", "Microsoft Color WLT DIB"},
    {"CYUV", "Creative Labs YUV"},
    {"CYUY", "ATI YUV"},
    {"D261", "DEC H.261"},
    {"D263", "DEC H.263"},
    {"DIB ", "Full Frames (Uncompressed)"},
    {"DIV1", "FFmpeg-4 V1 (hacked MS MPEG-4 V1)"},
    {"DIV2", "MS MPEG-4 V2"},
    {"DIV3", "DivX 3.11 Low-Motion"},
    {"DIV4", "DivX 3.11 Fast-Motion"},
    {"DIV5", "DivX 3.11 (DIV5)"},
    {"DIV6", "DivX 3.11 (DIV6)"},
    {"DIVX", "DivX 4.0 codec"},
    {"DMB1", "Matrox Rainbow Runner hardware compression"},
    {"DMB2", "Paradigm Motion JPEG"},
    {"DPS0", "DPS Reality Motion JPEG"},
    {"DPSC", "DPS PAR Motion JPEG"},
    {"DSVD", "Microsoft DirectShow DV"},
    {"DUCK", "Duck True Motion 1.0"},
    {"DV25", "Matrox DVCPRO codec"},
    {"DV50", "Matrox DVCPRO50 codec"},
    {"DVC ", "MainConcept DV codec"},
    {"DVCP", "Sony Digital Video (DV)"},
    {"DVE2", "Insoft DVE-2 Videoconferencing codec"},
    {"DVHD", "DV 1125 lines at 30.00 Hz or 1250 lines at 25.00 Hz"},
    {"DVMA", "Darim Vision DVMPEG"},
    {"DVS1", "DV compressed in SD (SDL)"},
    {"DVSD", "Sony Digital Video (DV) 525 lines at 29.97 Hz or 625 lines at 25.00 Hz"},
    {"DVX1", "DVX1000SP Video Decoder"},
    {"DVX2", "DVX2000S Video Decoder"},
    {"DVX3", "DVX3000S Video Decoder"},
    {"DX50", "DivX 5.0 codec"},
    {"DXT1", "DirectX Compressed Texture (1bit alpha)"},
    {"DXT2", "DirectX Compressed Texture (DXT2)"},
    {"DXT3", "DirectX Compressed Texture (4bit alpha)"},
    {"DXT4", "DirectX Compressed Texture (DXT4)"},
    {"DXT5", "DirectX Compressed Texture (3bit alpha interpolated)"},
    {"DXTC", "DirectX Texture Compression"},
    {"EKQ0", "Elsa graphics card quick codec"},
    {"ELK0", "Elsa graphics card codec"},
    {"EM2V", "Etymonix MPEG-2 I-frame"},
    {"ESCP", "Eidos Technologies Escape codec"},
    {"ETV1", "eTreppid Video codec 1"},
    {"ETV2", "eTreppid Video codec 2"},
    {"ETVC", "eTreppid Video codec"},
    {"FLJP", "Field Encoded Motion JPEG (Targa emulation)"},
    {"FRWA", "Darim Vision Forward Motion JPEG with Alpha-channel"},
    {"FRWD", "Darim Vision Forward Motion JPEG"},
    {"FRWT", "Darim Vision Forward Motion JPEG"},
    {"FRWU", "Darim Vision Forward Uncompressed"},
    {"FVF1", "Iterated Systems Fractal Video Frame"},
    {"FVFW", "ff MPEG-4 based on XviD codec"},
    {"GLZW", "Motion LZW by gabest"},
    {"GPEG", "Motion JPEG by gabest (with floating point)"},
    {"GWLT", "Microsoft Greyscale WLT DIB"},
    {"H260", "Intel ITU H.26x Conferencing"},
    {"H261", "Intel ITU H.261 Conferencing"},
    {"H262", "Intel ITU H.26x Conferencing"},
    {"H263", "Intel ITU H.263 Conferencing"},
    {"H264", "H.264/AVC1"},
    {"H265", "Intel ITU H.26x Conferencing"},
    {"H266", "Intel ITU H.26x Conferencing"},
    {"H267", "Intel ITU H.26x Conferencing"},
    {"H268", "Intel ITU H.26x Conferencing"},
    {"H269", "Intel ITU H.26x Conferencing"},
    {"HFYU", "Huffman Lossless codec"},
    {"HMCR", "Rendition Motion Compensation Format (HMCR)"},
    {"HMRR", "Rendition Motion Compensation Format (HMRR)"},
    {"I263", "Intel ITU H.263 Videoconferencing (i263)"},
    {"I420", "Intel Indeo 4 codec"},
    {"IAN ", "Intel RDX"},
    {"IAVS", "interleaved audio and video stream"},
    {"ICLB", "InSoft CellB Videoconferencing codec"},
    {"IGOR", "Power DVD"},
    {"IJPG", "Intergraph JPEG"},
    {"ILVC", "Intel Layered Video"},
    {"ILVR", "ITU-T H.263+"},
    {"IPDV", "I-O Data Device Giga AVI DV codec"},
    {"IR21", "Intel Indeo 2.1"},
    {"IRAW", "Intel YUV Uncompressed"},
    {"IUYV", "Interlaced version of UYVY (Leadtek)"},
    {"IV30", "Intel Indeo Video 3.0"},
    {"IV31", "Intel Indeo Video 3.1"},
    {"IV32", "Intel Indeo Video 3.2"},
    {"IV33", "Intel Indeo Video 3.3"},
    {"IV34", "Intel Indeo Video 3.4"},
    {"IV35", "Intel Indeo Video 3.5"},
    {"IV36", "Intel Indeo Video 3.6"},
    {"IV37", "Intel Indeo Video 3.7"},
    {"IV38", "Intel Indeo Video 3.8"},
    {"IV39", "Intel Indeo Video 3.9"},
    {"IV40", "Intel Indeo Video 4.0"},
    {"IV41", "Intel Indeo Video 4.1"},
    {"IV42", "Intel Indeo Video 4.2"},
    {"IV43", "Intel Indeo Video 4.3"},
    {"IV44", "Intel Indeo Video 4.4"},
    {"IV45", "Intel Indeo Video 4.5"},
    {"IV46", "Intel Indeo Video 4.6"},
    {"IV47", "Intel Indeo Video 4.7"},
    {"IV48", "Intel Indeo Video 4.8"},
    {"IV49", "Intel Indeo Video 4.9"},
    {"IV50", "Intel Indeo Video 5.0"},
    {"IY41", "Interlaced version of Y41P (Leadtek)"},
    {"IYU1", "12 bit format used in mode 2 of the IEEE 1394 Digital Camera 1.04 spec"},
    {"IYU2", "24 bit format used in mode 2 of the IEEE 1394 Digital Camera 1.04 spec"},
    {"IYUV", "Intel Indeo iYUV 4:2:0"},
    {"JPEG", "Still Image JPEG DIB"},
    {"JPGL", "DIVIO JPEG Light for WebCams"},
    {"KMVC", "Karl Morton Video codec"},
    {"LEAD", "LEAD Video codec"},
    {"LJPG", "LEAD Motion JPEG codec"},
    {"LSVM", "Vianet Lighting Strike Vmail (Streaming)"},
    {"M261", "Microsoft H.261"},
    {"M263", "Microsoft H.263"},
    {"M4S2", "Microsoft MPEG-4 (hacked MS MPEG-4)"},
    {"MC12", "ATI Motion Compensation Format (MC12)"},
    {"MCAM", "ATI Motion Compensation Format (MCAM)"},
    {"MDVD", "Alex MicroDVD Video (hacked MS MPEG-4)"},
    {"MJ2C", "Morgan Multimedia JPEG2000 Compression"},
    {"MJPA", "Pinnacle ReelTime MJPG hardware codec"},
    {"MJPB", "Motion JPEG codec"},
    {"MJPG", "Motion JPEG including Huffman Tables"},
    {"MMES", "Matrox MPEG-2 I-frame"},
    {"MP42", "Microsoft MPEG-4 V2"},
    {"MP43", "Microsoft MPEG-4 V3"},
    {"MP4S", "Microsoft MPEG-4 (Windows Media 7.0)"},
    {"MP4V", "Apple QuickTime MPEG-4 native"},
    {"MPEG", "MPEG-1 Video I-frame"},
    {"MPG1", "FFmpeg MPEG-1"},
    {"MPG2", "FFmpeg MPEG-2"},
    {"MPG3", "FFmpeg DivX 3 (MS MPEG-4 V3)"},
    {"MPG4", "Microsoft MPEG-4 V1"},
    {"MPGI", "Sigma Design MPEG-1 I-frame"},
    {"MPNG", "Motion PNG codec"},
    {"MRCA", "FAST Multimedia MR codec"},
    {"MRLE", "Microsoft Run Length Encoding"},
    {"MSS1", "Windows Screen Video"},
    {"MSVC", "Microsoft Video 1"},
    {"MSZH", "Lossless codec (ZIP compression)"},
    {"MTX1", "Matrox codec"},
    {"MTX2", "Matrox codec"},
    {"MTX3", "Matrox codec"},
    {"MTX4", "Matrox codec"},
    {"MTX5", "Matrox codec"},
    {"MTX6", "Matrox codec"},
    {"MTX7", "Matrox codec"},
    {"MTX8", "Matrox codec"},
    {"MTX9", "Matrox codec"},
    {"MWV1", "Aware Motion Wavelets"},
    {"NAVI", "nAVI video codec (hacked MS MPEG-4)"},
    {"NT00", "NewTek LigtWave HDTV YUV with Alpha-channel"},
    {"NTN1", "Nogatech Video Compression 1"},
    {"NUV1", "NuppelVideo"},
    {"PDVC", "I-O Data Device Digital Video Capture DV codec"},
    {"PGVV", "Radius Video Vision Telecast (adaptive JPEG)"},
    {"PHMO", "IBM Photomotion"},
    {"PIM1", "Pegasus Imaging MPEG-1 codec"},
    {"PIM2", "Pegasus Imaging codec"},
    {"PIMJ", "Pegasus Imaging Lossless JPEG"},
    {"PVEZ", "Horizons Technology PowerEZ codec"},
    {"PVMM", "PacketVideo Corporation MPEG-4"},
    {"PVW2", "Pegasus Imaging Wavelet 2000"},
    {"Q1.0", "Q-Team QPEG 1.0"},
    {"QPEG", "Q-Team QPEG 1.1"},
    {"QPEQ", "Q-Team QPEG 1.1"},
    {"RAW ", "Full Frames (Uncompressed)"},
    {"RGB ", "Full Frames (Uncompressed)"},
    {"RGBA", "Raw RGB with alpha"},
    {"RGBT", "Computer Concepts 32 bit support"},
    {"RLE ", "Run Length Encoder"},
    {"RLE4", "4bpp Run Length Encoder"},
    {"RLE8", "8bpp Run Length Encoder"},
    {"RMP4", "REALmagic MPEG-4 Video codec"},
    {"RPZA", "Apple Video 16 bit \"road pizza\""},
    {"RT21", "Intel Real Time Video 2.1"},
    {"RUD0", "Rududu video codec"},
    {"RV10", "RealVideo 1.0"},
    {"RV13", "RealVideo 1.3"},
    {"RV20", "RealVideo G2"},
    {"RV30", "RealVideo 8"},
    {"RVX ", "Intel RDX"},
    {"S422", "VideoCap C210 YUV codec"},
    {"SDCC", "Sun Digital Camera codec"},
    {"SFMC", "Crystal Net SFM codec"},
    {"SJPG", "CUseeMe Networks codec"},
    {"SMC ", "Apple Graphics (SMC) codec (256 color)"},
    {"SMSC", "Radius proprietary codec (SMSC)"},
    {"SMSD", "Radius proprietary codec (SMSD)"},
    {"SMSV", "WorldConnect Wavelet Streaming Video"},
    {"SPIG", "Radius Spigot"},
    {"SPLC", "Splash Studios ACM audio codec"},
    {"SQZ2", "Microsoft VXTreme Video codec V2"},
    {"STVA", "ST CMOS Imager Data (Bayer)"},
    {"STVB", "ST CMOS Imager Data (Nudged Bayer)"},
    {"STVC", "ST CMOS Imager Data (Bunched)"},
    {"STVX", "ST CMOS Imager Data (Extended CODEC Data Format)"},
    {"STVY", "ST CMOS Imager Data (Extended CODEC Data Format with Correction Data)"},
    {"SV10", "Sorenson Video R1"},
    {"SVQ1", "Sorenson Video"},
    {"SVQ3", "Sorenson Video 3"},
    {"T420", "Toshiba YUV 4:2:0"},
    {"TLMS", "TeraLogic Motion Intraframe codec (TLMS)"},
    {"TLST", "TeraLogic Motion Intraframe codec (TLST)"},
    {"TM20", "Duck TrueMotion 2.0"},
    {"TM2A", "Duck TrueMotion Archiver 2.0"},
    {"TM2X", "Duck TrueMotion 2X"},
    {"TMIC", "TeraLogic Motion Intraframe codec (TMIC)"},
    {"TMOT", "Horizons Technology TrueMotion S"},
    {"TR20", "Duck TrueMotion RealTime 2.0"},
    {"TSCC", "TechSmith Screen Capture codec"},
    {"TV10", "Tecomac Low-Bit Rate codec"},
    {"TVMJ", "Truevision Field Encoded Motion JPEG"},
    {"TY0N", "Trident Microsystems codec (TY0N)"},
    {"TY2C", "Trident Microsystems decompression driver (TY2C)"},
    {"TY2N", "Trident Microsystems codec (TY2N)"},
    {"U263", "UB Video StreamForce H.263"},
    {"UCOD", "eMajix.com ClearVideo"},
    {"ULTI", "IBM Ultimotion"},
    {"UYNV", "NVidia UYVY packed 4:2:2"},
    {"UYVP", "YCbCr 4:2:2 extended precision 10-bits per component"},
    {"UYVY", "Uncompressed YUV 4:2:2"},
    {"V261", "Lucent VX2000S"},
    {"V422", "Vitec Multimedia YUV 4:2:2 as for UYVY"},
    {"V655", "Vitec Multimedia 16 bit YUV 4:2:2 format"},
    {"VCR1", "ATI VCR 1.0"},
    {"VCR2", "ATI VCR 2.0"},
    {"VCR3", "ATI VCR 3.0"},
    {"VCR4", "ATI VCR 4.0"},
    {"VCR5", "ATI VCR 5.0"},
    {"VCR6", "ATI VCR 6.0"},
    {"VCR7", "ATI VCR 7.0"},
    {"VCR8", "ATI VCR 8.0"},
    {"VCR9", "ATI VCR 9.0"},
    {"VDCT", "Vitec Multimedia Video Maker Pro DIB"},
    {"VDOM", "VDOnet VDOWave"},
    {"VDOW", "VDOnet VDOLive (H.263)"},
    {"VDTZ", "Darim Vision VideoTizer YUV"},
    {"VGPX", "VGPixel codec"},
    {"VIDS", "Vitec Multimedia YUV 4:2:2 codec"},
    {"VIFP", "Virtual Frame API codec (VFAPI)"},
    {"VIV1", "Vivo H.263"},
    {"VIV2", "Vivo H.263"},
    {"VIVO", "Vivo H.263 v2.00"},
    {"VIXL", "Miro Video XL"},
    {"VLV1", "VideoLogic codec"},
    {"VP30", "On2 VP3.0"},
    {"VP31", "On2 VP3.1"},
    {"VX1K", "Lucent VX1000S Video codec"},
    {"VX2K", "Lucent VX2000S Video codec"},
    {"VXSP", "Lucent VX1000SP Video codec"},
    {"WBVC", "Winbond W9960 codec"},
    {"WHAM", "Microsoft Video 1 (WHAM)"},
    {"WINX", "Winnov Software Compression"},
    {"WJPG", "AverMedia Winbond JPEG"},
    {"WMV1", "Windows Media Video 7"},
    {"WMV2", "Windows Media Video 8"},
    {"WMV3", "Windows Media Video 9"},
    {"WNV1", "Winnov Hardware Compression"},
    {"X263", "Xirlink H.263"},
    {"XLV0", "NetXL Inc. XL Video Decoder"},
    {"XMPG", "XING MPEG (I-frame only)"},
    {"XVID", "XviD MPEG-4 codec"},
    {"Y211", "Packed YUV format with Y sampled at every second pixel across each line"},
    {"Y411", "YUV 4:1:1 packed"},
    {"Y41B", "YUV 4:1:1 planar"},
    {"Y41P", "Conexant 4:1:1 YUV packed"},
    {"Y41T", "Conexant 4:1:1 YUV packed with transparency"},
    {"Y422", "Conexant YUV 4:2:2 (UYVY)"},
    {"Y42B", "YUV 4:2:2 planar"},
    {"Y42T", "Conexant 4:2:2 YUV packed with transparency"},
    {"Y8  ", "Grayscale video"},
    {"Y800", "Simple grayscale video"},
    {"YC12", "Intel YUV12 codec"},
    {"YUNV", "NVidia YUY2 packed 4:2:2"},
    {"YUV8", "Winnov Caviar YUV8"},
    {"YUV9", "Intel YUV9"},
    {"YUVP", "YCbCr 4:2:2 extended precision 10-bits per component"},
    {"YUY2", "Uncompressed YUV 4:2:2"},
    {"YUYV", "Canopus YUV format"},
    {"YV12", "ATI YVU12 4:2:0 planar"},
    {"YVU9", "Intel YVU9 planar"},
    {"YVYU", "YUV 4:2:2 byte ordering"},
    {"ZLIB", "Lossless codec (ZIP compression)"},
    {"ZPEG", "Metheus Video Zipper"},
    {"NVS0", "Nvidia texture compression format"},
    {"NVS1", "Nvidia texture compression format"},
    {"NVS2", "Nvidia texture compression format"},
    {"NVS3", "Nvidia texture compression format"},
    {"NVS4", "Nvidia texture compression format"},
    {"NVS5", "Nvidia texture compression format"},
};
static_assert(std::size(kVideoNames) == 327);

uint32_t CodeOf(const VideoName& v)
{
    uint32_t code = 0;
    for (size_t i = 0; i < 4; ++i)
        code |= uint32_t(static_cast<unsigned char>(v.FourCC[i])) << (8 * i);
    return code;
}

const char* FindBuiltinAudio(uint32_t tag)
{
    const auto it = std::lower_bound(std::begin(kAudioNames), std::end(kAudioNames), tag,
                                     [](const AudioName& a, uint32_t t) { return a.Tag < t; });
    return it != std::end(kAudioNames) && it->Tag == tag ? it->Name : nullptr;
}

const char* FindBuiltinVideo(uint32_t code)
{
    for (const VideoName& v : kVideoNames)
        if (CodeOf(v) == code)
            return v.Name;
    return nullptr;
}

std::string UnknownVideo(uint32_t code)
{
    return "Unknown (" + FourCCToString(code) + ")";
}

// At least two upper-case hexadecimal digits.
std::string UnknownAudio(uint32_t tag)
{
    std::string hex = LumoIntToHex(tag);
    if (hex.size() < 2)
        hex.insert(0, 2 - hex.size(), '0');
    return "Unknown ($" + hex + ")";
}

std::string NameFrom(const TKFormatDatabase* db, uint32_t code, const TSubtypeName& subtypeName,
                     std::string (*unknown)(uint32_t))
{
    if (const TKFormatDBEntry* entry = db ? db->Find(code) : nullptr)
        return entry->Description;
    return subtypeName ? subtypeName() : unknown(code);
}

} // namespace

std::string VideoCodecName(uint32_t code, const TSubtypeName& subtypeName)
{
    return NameFrom(VideoFormatDB, code, subtypeName, UnknownVideo);
}

std::string AudioCodecName(uint32_t code, const TSubtypeName& subtypeName)
{
    return NameFrom(AudioFormatDB, code, subtypeName, UnknownAudio);
}

void SetDefaultAudioFormats(TKFormatDatabase& db)
{
    db.Clear();
    for (const AudioName& a : kAudioNames)
        db.Add({a.Tag, {}, a.Name});
}

void SetDefaultVideoFormats(TKFormatDatabase& db)
{
    db.Clear();
    for (const VideoName& v : kVideoNames)
        db.Add({CodeOf(v), {}, v.Name});
}

std::string BuiltinVideoCodecName(uint32_t code)
{
    const char* name = FindBuiltinVideo(code);
    return name ? name : UnknownVideo(code);
}

std::string BuiltinAudioCodecName(uint32_t tag)
{
    if (tag == 0)
        return "Unknown Wave";
    const char* name = FindBuiltinAudio(tag);
    return name ? name : UnknownAudio(tag);
}

} // namespace kolvarin
