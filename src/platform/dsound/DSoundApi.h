#pragma once
// DirectSound 8 as the engine uses it: one device, a primary buffer that only takes a format, and
// secondary buffers that our own software mixer plays: byte rings with play and write cursors,
// volume, pan, frequency, position notifications and the echo, compressor and parametric
// equaliser effects. Output is an SDL audio device at 44,100 Hz, 16-bit stereo, or, headless
// (VESK_HEADLESS=1 or SDL_AUDIODRIVER=dummy), a null device that tests advance by hand.
// Every method may be called from any thread.

#include "platform/com/Unknown.h"
#include "platform/kernel/WinTypes.h"

// Wave formats. The structure is packed to its 18 bytes, as the engine copies it whole.
#pragma pack(push, 1)
struct WAVEFORMATEX
{
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);
using LPWAVEFORMATEX = WAVEFORMATEX*;
using LPCWAVEFORMATEX = const WAVEFORMATEX*;
inline constexpr WORD WAVE_FORMAT_PCM = 1;
inline constexpr WORD WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

// Result codes.
constexpr HRESULT MAKE_DSHRESULT(DWORD code)
{
    return static_cast<HRESULT>(0x88780000u | code);
}
inline constexpr HRESULT DS_OK = S_OK;
inline constexpr HRESULT DSERR_ALLOCATED = MAKE_DSHRESULT(10);
inline constexpr HRESULT DSERR_CONTROLUNAVAIL = MAKE_DSHRESULT(30);
inline constexpr HRESULT DSERR_INVALIDPARAM = E_INVALIDARG;
inline constexpr HRESULT DSERR_INVALIDCALL = MAKE_DSHRESULT(50);
inline constexpr HRESULT DSERR_GENERIC = E_FAIL;
inline constexpr HRESULT DSERR_PRIOLEVELNEEDED = MAKE_DSHRESULT(70);
inline constexpr HRESULT DSERR_OUTOFMEMORY = E_OUTOFMEMORY;
inline constexpr HRESULT DSERR_BADFORMAT = MAKE_DSHRESULT(100);
inline constexpr HRESULT DSERR_UNSUPPORTED = E_NOTIMPL;
inline constexpr HRESULT DSERR_NODRIVER = MAKE_DSHRESULT(120);
inline constexpr HRESULT DSERR_BUFFERLOST = MAKE_DSHRESULT(150);
inline constexpr HRESULT DSERR_BUFFERTOOSMALL = MAKE_DSHRESULT(180);
inline constexpr HRESULT DSERR_NOINTERFACE = E_NOINTERFACE;
inline constexpr HRESULT DSERR_FXUNAVAILABLE = MAKE_DSHRESULT(220);
inline constexpr HRESULT DSERR_OBJECTNOTFOUND = MAKE_DSHRESULT(4449);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110);

// Cooperative levels.
inline constexpr DWORD DSSCL_NORMAL = 0x1;
inline constexpr DWORD DSSCL_PRIORITY = 0x2;
inline constexpr DWORD DSSCL_EXCLUSIVE = 0x3;
inline constexpr DWORD DSSCL_WRITEPRIMARY = 0x4;

// Buffer capabilities.
inline constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x1;
inline constexpr DWORD DSBCAPS_STATIC = 0x2;
inline constexpr DWORD DSBCAPS_LOCHARDWARE = 0x4;
inline constexpr DWORD DSBCAPS_LOCSOFTWARE = 0x8;
inline constexpr DWORD DSBCAPS_CTRL3D = 0x10;
inline constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x20;
inline constexpr DWORD DSBCAPS_CTRLPAN = 0x40;
inline constexpr DWORD DSBCAPS_CTRLVOLUME = 0x80;
inline constexpr DWORD DSBCAPS_CTRLPOSITIONNOTIFY = 0x100;
inline constexpr DWORD DSBCAPS_CTRLFX = 0x200;
inline constexpr DWORD DSBCAPS_STICKYFOCUS = 0x4000;
inline constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x8000;
inline constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x10000;

inline constexpr DWORD DSBPLAY_LOOPING = 0x1;
inline constexpr DWORD DSBSTATUS_PLAYING = 0x1;
inline constexpr DWORD DSBSTATUS_BUFFERLOST = 0x2;
inline constexpr DWORD DSBSTATUS_LOOPING = 0x4;
inline constexpr DWORD DSBLOCK_FROMWRITECURSOR = 0x1;
inline constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x2;
inline constexpr DWORD DSBPN_OFFSETSTOP = 0xFFFFFFFF;

inline constexpr LONG DSBVOLUME_MIN = -10000;
inline constexpr LONG DSBVOLUME_MAX = 0;
inline constexpr LONG DSBPAN_LEFT = -10000;
inline constexpr LONG DSBPAN_CENTER = 0;
inline constexpr LONG DSBPAN_RIGHT = 10000;
inline constexpr DWORD DSBFREQUENCY_ORIGINAL = 0;
inline constexpr DWORD DSBFREQUENCY_MIN = 100;
inline constexpr DWORD DSBFREQUENCY_MAX = 200000;
inline constexpr DWORD DSBSIZE_MIN = 4;
inline constexpr DWORD DSBSIZE_MAX = 0x0FFFFFFF;
// A buffer that carries effects must hold at least this many milliseconds of sound.
inline constexpr DWORD DSBSIZE_FX_MIN = 150;

inline constexpr DWORD DSFX_LOCHARDWARE = 0x1;
inline constexpr DWORD DSFX_LOCSOFTWARE = 0x2;
inline constexpr DWORD DSFXR_PRESENT = 0;
inline constexpr DWORD DSFXR_LOCSOFTWARE = 2;
inline constexpr DWORD DSFXR_UNKNOWN = 5;

struct DSBUFFERDESC
{
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    LPWAVEFORMATEX lpwfxFormat;
    GUID guid3DAlgorithm;
};
using LPDSBUFFERDESC = DSBUFFERDESC*;
using LPCDSBUFFERDESC = const DSBUFFERDESC*;

struct DSBCAPS
{
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwUnlockTransferRate;
    DWORD dwPlayCpuOverhead;
};
using LPDSBCAPS = DSBCAPS*;

struct DSCAPS
{
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwMinSecondarySampleRate;
    DWORD dwMaxSecondarySampleRate;
    DWORD dwPrimaryBuffers;
    DWORD dwMaxHwMixingAllBuffers;
    DWORD dwMaxHwMixingStaticBuffers;
    DWORD dwMaxHwMixingStreamingBuffers;
    DWORD dwFreeHwMixingAllBuffers;
    DWORD dwFreeHwMixingStaticBuffers;
    DWORD dwFreeHwMixingStreamingBuffers;
    DWORD dwMaxHw3DAllBuffers;
    DWORD dwMaxHw3DStaticBuffers;
    DWORD dwMaxHw3DStreamingBuffers;
    DWORD dwFreeHw3DAllBuffers;
    DWORD dwFreeHw3DStaticBuffers;
    DWORD dwFreeHw3DStreamingBuffers;
    DWORD dwTotalHwMemBytes;
    DWORD dwFreeHwMemBytes;
    DWORD dwMaxContigFreeHwMemBytes;
    DWORD dwUnlockTransferRateHwBuffers;
    DWORD dwPlayCpuOverheadSwBuffers;
    DWORD dwReserved1;
    DWORD dwReserved2;
};
static_assert(sizeof(DSCAPS) == 96);
using LPDSCAPS = DSCAPS*;
inline constexpr DWORD DSCAPS_PRIMARYMONO = 0x1;
inline constexpr DWORD DSCAPS_PRIMARYSTEREO = 0x2;
inline constexpr DWORD DSCAPS_PRIMARY8BIT = 0x4;
inline constexpr DWORD DSCAPS_PRIMARY16BIT = 0x8;
inline constexpr DWORD DSCAPS_CONTINUOUSRATE = 0x10;
inline constexpr DWORD DSCAPS_EMULDRIVER = 0x20;
inline constexpr DWORD DSCAPS_SECONDARYMONO = 0x100;
inline constexpr DWORD DSCAPS_SECONDARYSTEREO = 0x200;
inline constexpr DWORD DSCAPS_SECONDARY8BIT = 0x400;
inline constexpr DWORD DSCAPS_SECONDARY16BIT = 0x800;

struct DSBPOSITIONNOTIFY
{
    DWORD dwOffset;
    HANDLE hEventNotify;
};
using LPDSBPOSITIONNOTIFY = DSBPOSITIONNOTIFY*;
using LPCDSBPOSITIONNOTIFY = const DSBPOSITIONNOTIFY*;

struct DSEFFECTDESC
{
    DWORD dwSize;
    DWORD dwFlags;
    GUID guidDSFXClass;
    DWORD_PTR dwReserved1;
    DWORD_PTR dwReserved2;
};
using LPDSEFFECTDESC = DSEFFECTDESC*;

// Effect parameters, with the ranges the setters accept and the defaults of a new effect.
struct DSFXEcho
{
    float fWetDryMix;  // 0..100 percent wet; default 50
    float fFeedback;   // 0..100 percent; default 50
    float fLeftDelay;  // 1..2000 ms; default 500
    float fRightDelay; // 1..2000 ms; default 500
    LONG lPanDelay;    // 0 or 1 (swap the delays on every echo); default 0
};
using LPDSFXEcho = DSFXEcho*;
using LPCDSFXEcho = const DSFXEcho*;

struct DSFXCompressor
{
    float fGain;      // -60..60 dB; default 0
    float fAttack;    // 0.01..500 ms; default 10
    float fRelease;   // 50..3000 ms; default 200
    float fThreshold; // -60..0 dB; default -20
    float fRatio;     // 1..100; default 3
    float fPredelay;  // 0..4 ms; default 4
};
using LPDSFXCompressor = DSFXCompressor*;
using LPCDSFXCompressor = const DSFXCompressor*;

struct DSFXParamEq
{
    float fCenter;    // 80..16000 Hz; default 8000
    float fBandwidth; // 1..36 semitones; default 12
    float fGain;      // -15..15 dB; default 0
};
using LPDSFXParamEq = DSFXParamEq*;
using LPCDSFXParamEq = const DSFXParamEq*;

// Interface and class identifiers.
inline constexpr IID IID_IDirectSound = {
    0x279AFA83, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr IID IID_IDirectSound8 = {
    0xC50A7E93, 0xF395, 0x4834, {0x9E, 0xF6, 0x7F, 0xA9, 0x9D, 0xE5, 0x09, 0x66}};
inline constexpr IID IID_IDirectSoundBuffer = {
    0x279AFA85, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr IID IID_IDirectSoundBuffer8 = {
    0x6825A449, 0x7524, 0x4D82, {0x92, 0x0F, 0x50, 0xE3, 0x6A, 0xB3, 0xAB, 0x1E}};
inline constexpr IID IID_IDirectSoundNotify = {
    0xB0210783, 0x89CD, 0x11D0, {0xAF, 0x08, 0x00, 0xA0, 0xC9, 0x25, 0xCD, 0x16}};
inline constexpr IID IID_IDirectSoundFXEcho8 = {
    0x8BD28EDF, 0x50DB, 0x4E92, {0xA2, 0xBD, 0x3B, 0x48, 0x8D, 0x6A, 0x1B, 0x2B}};
inline constexpr IID IID_IDirectSoundFXCompressor8 = {
    0x4BBD1154, 0x62F6, 0x4E2C, {0xA1, 0x5C, 0xD3, 0xB6, 0xC4, 0x17, 0xF7, 0xA0}};
inline constexpr IID IID_IDirectSoundFXParamEq8 = {
    0xC03CA9FE, 0xFE90, 0x4204, {0x80, 0x78, 0x82, 0x33, 0x4C, 0xD1, 0x77, 0xDA}};
inline constexpr GUID GUID_DSFX_STANDARD_ECHO = {
    0xEF3E932C, 0xD40B, 0x4F51, {0x8C, 0xCF, 0x3F, 0x98, 0xF1, 0xB2, 0x9D, 0x5D}};
inline constexpr GUID GUID_DSFX_STANDARD_COMPRESSOR = {
    0xEF011F79, 0x4000, 0x406D, {0x87, 0xAF, 0xBF, 0xFB, 0x3F, 0xC3, 0x9D, 0x57}};
inline constexpr GUID GUID_DSFX_STANDARD_PARAMEQ = {
    0x120CED89, 0x3BF4, 0x4173, {0xA1, 0x32, 0x3C, 0xB4, 0x06, 0xCF, 0x32, 0x31}};
inline constexpr GUID GUID_All_Objects = {
    0xAA114DE5, 0xC262, 0x4169, {0xA1, 0xC8, 0x23, 0xD6, 0x98, 0xCC, 0x73, 0xB5}};

struct IDirectSoundBuffer : IUnknown
{
    virtual HRESULT GetCaps(LPDSBCAPS caps) = 0;
    virtual HRESULT GetCurrentPosition(LPDWORD play_cursor, LPDWORD write_cursor) = 0;
    virtual HRESULT GetFormat(LPWAVEFORMATEX format, DWORD size_allocated, LPDWORD size_written) = 0;
    virtual HRESULT GetVolume(LPLONG volume) = 0;
    virtual HRESULT GetPan(LPLONG pan) = 0;
    virtual HRESULT GetFrequency(LPDWORD frequency) = 0;
    virtual HRESULT GetStatus(LPDWORD status) = 0;
    virtual HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2,
                         LPDWORD bytes2, DWORD flags) = 0;
    virtual HRESULT Play(DWORD reserved1, DWORD priority, DWORD flags) = 0;
    virtual HRESULT SetCurrentPosition(DWORD position) = 0;
    virtual HRESULT SetFormat(LPCWAVEFORMATEX format) = 0;
    virtual HRESULT SetVolume(LONG volume) = 0;
    virtual HRESULT SetPan(LONG pan) = 0;
    virtual HRESULT SetFrequency(DWORD frequency) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2) = 0;
    virtual HRESULT Restore() = 0;
};
using LPDIRECTSOUNDBUFFER = IDirectSoundBuffer*;

struct IDirectSoundBuffer8 : IDirectSoundBuffer
{
    // Only while the buffer is stopped; 0 effects removes the chain. result_codes may be null.
    virtual HRESULT SetFX(DWORD effect_count, LPDSEFFECTDESC effects, LPDWORD result_codes) = 0;
    // object: an effect class (index counts the effects of that class) or GUID_All_Objects.
    virtual HRESULT GetObjectInPath(REFGUID object, DWORD index, REFGUID interface_id, LPVOID* result) = 0;
};
using LPDIRECTSOUNDBUFFER8 = IDirectSoundBuffer8*;

// Events at byte offsets of the ring, signalled each time the play cursor passes them, and at
// DSBPN_OFFSETSTOP when the buffer stops. Accepted only while the buffer is stopped.
struct IDirectSoundNotify : IUnknown
{
    virtual HRESULT SetNotificationPositions(DWORD count, LPCDSBPOSITIONNOTIFY positions) = 0;
};
using LPDIRECTSOUNDNOTIFY = IDirectSoundNotify*;

struct IDirectSoundFXEcho8 : IUnknown
{
    virtual HRESULT SetAllParameters(LPCDSFXEcho parameters) = 0;
    virtual HRESULT GetAllParameters(LPDSFXEcho parameters) = 0;
};
struct IDirectSoundFXCompressor8 : IUnknown
{
    virtual HRESULT SetAllParameters(LPCDSFXCompressor parameters) = 0;
    virtual HRESULT GetAllParameters(LPDSFXCompressor parameters) = 0;
};
struct IDirectSoundFXParamEq8 : IUnknown
{
    virtual HRESULT SetAllParameters(LPCDSFXParamEq parameters) = 0;
    virtual HRESULT GetAllParameters(LPDSFXParamEq parameters) = 0;
};

struct IDirectSound8 : IUnknown
{
    virtual HRESULT CreateSoundBuffer(LPCDSBUFFERDESC description, LPDIRECTSOUNDBUFFER* buffer,
                                      LPUNKNOWN outer) = 0;
    virtual HRESULT GetCaps(LPDSCAPS caps) = 0;
    // Any window is accepted: the output does not follow window focus.
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
};
using LPDIRECTSOUND8 = IDirectSound8*;

// device: null for the default output, the only one there is.
HRESULT DirectSoundCreate8(const GUID* device, LPDIRECTSOUND8* result, LPUNKNOWN outer);
