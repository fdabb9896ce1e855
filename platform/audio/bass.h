// The stream audio library the music player talks to: one output device, any number of decoded
// file streams mixed into it. Positions and lengths are 32-bit byte counts of decoded sample data
// in the stream's own format (16-bit, or 8-bit for 8-bit files, at the file's rate and channel
// count), so a caller can do its own byte arithmetic with them.
//
// Output goes through SDL2 audio at 44100 Hz, 16-bit stereo; decoding uses libsndfile (WAV, AIFF,
// FLAC, OGG/Vorbis, OGG/Opus, MP3 and the rest libsndfile reads). Files with another rate are
// resampled, mono is spread to both sides, files with more than two channels play their first two.
// Decoding, seeking and mixing happen on the audio thread (and, for files of float samples, one
// whole-file decoding on a thread of its own after opening, which keeps Ogg streams in memory for
// exact seeks; see DecodedStream.h); the calls below only hand over requests, so none of them
// waits for a decoder.
//
// Headless runs: SDL_AUDIODRIVER=disk (with SDL_DISKAUDIOFILE) writes what would be heard to a file,
// SDL_AUDIODRIVER=dummy discards it. The capture program instead switches on capture mode before
// BASS_Init: no device is opened and the mixed output is pulled with BASS_MixOutput.
//
// The state of the library (device, streams, last error) is process-wide. Every function is meant
// to be called from one application thread; sync procedures are called on the audio thread, while
// their stream is being decoded, and must not call back into the library.
#pragma once

#include "platform/win/WinTypes.h"

using HSTREAM = DWORD;
using HSYNC = DWORD;

// Sync procedure: sync handle, channel, data (0 for an end sync), user value given to SetSync.
using SYNCPROC = void(HSYNC handle, DWORD channel, DWORD data, DWORD user);

// Stream and channel flags.
constexpr DWORD BASS_SAMPLE_8BITS = 1;     // the stream's data is 8-bit
constexpr DWORD BASS_SAMPLE_MONO = 2;      // the stream's data is mono
constexpr DWORD BASS_SAMPLE_LOOP = 4;      // play from the beginning again after the end
constexpr DWORD BASS_MP3_SETPOS = 0x20000; // exact seeking in MPEG streams (always exact here)

// Sync types.
constexpr DWORD BASS_SYNC_END = 2;  // the stream reached its end (also each time it loops)

// Error codes kept for BASS_ErrorGetCode.
constexpr int BASS_OK = 0;
constexpr int BASS_ERROR_MEM = 1;       // out of memory
constexpr int BASS_ERROR_FILEOPEN = 2;  // the file could not be opened
constexpr int BASS_ERROR_DRIVER = 3;    // no output device could be opened
constexpr int BASS_ERROR_HANDLE = 5;    // not a valid stream handle
constexpr int BASS_ERROR_FORMAT = 6;    // the stream's format cannot be played
constexpr int BASS_ERROR_POSITION = 7;  // position beyond the end of the stream
constexpr int BASS_ERROR_INIT = 8;      // BASS_Init has not been called
constexpr int BASS_ERROR_ALREADY = 14;  // already initialised
constexpr int BASS_ERROR_ILLPARAM = 20; // a parameter is not supported
constexpr int BASS_ERROR_ILLTYPE = 19;  // unknown sync type
constexpr int BASS_ERROR_NOTAVAIL = 37; // needs a device but runs in capture mode, or the reverse

// Rate of the output device and of BASS_MixOutput's frames.
constexpr DWORD BASS_OUTPUT_RATE = 44100;

// Opens the output device. device -1 is the default device; freq must be 44100 (the mixer's rate);
// flags must be 0. The window handle is accepted for the caller's convenience and not needed by
// SDL. Output is paused until BASS_Start. Fails when already initialised or no device opens.
BOOL BASS_Init(int device, DWORD freq, DWORD flags, HWND window);

// Closes the device and frees every stream. Safe to call when not initialised.
void BASS_Free();

// Starts (or resumes) the output. Streams advance only while the output runs.
BOOL BASS_Start();

// Pauses the output; playing streams keep their place.
BOOL BASS_Pause();

// Opens a file stream. Only whole files are supported: mem must be FALSE, offset and length 0.
// file is a zero-terminated path. Returns 0 on failure (see BASS_ErrorGetCode).
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags);

// Frees one stream; it stops sounding at once.
BOOL BASS_StreamFree(HSTREAM handle);

// Length of the stream's decoded data in bytes (frames x channels x bytes per sample), or
// 0xFFFFFFFF for an invalid handle. Lengths above 4 GiB are cut to 0xFFFFFFFE.
DWORD BASS_StreamGetLength(HSTREAM handle);

// Plays the stream from its current position; flush TRUE starts from the beginning instead.
// flags may hold BASS_SAMPLE_LOOP.
BOOL BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD flags);

// Stops the stream where it is; BASS_StreamPlay without flush continues from there.
BOOL BASS_ChannelStop(DWORD handle);

// The stream's sample rate; volume (0 to 100, always 100) and pan (-100 to 100, always 0). Any
// pointer may be null.
BOOL BASS_ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan);

// The stream's BASS_SAMPLE_8BITS, BASS_SAMPLE_MONO and BASS_SAMPLE_LOOP flags; 0xFFFFFFFF for an
// invalid handle.
DWORD BASS_ChannelGetFlags(DWORD handle);

// Moves the stream to a byte position (rounded down to a whole frame). Positions beyond the length
// fail with BASS_ERROR_POSITION and leave the stream where it was. The move takes effect before the
// stream's next sample is mixed.
BOOL BASS_ChannelSetPosition(DWORD handle, DWORD position);

// The stream's position in bytes: the place the next mixed sample comes from. A requested position
// that the mixer has not taken up yet is reported as it was requested.
DWORD BASS_ChannelGetPosition(DWORD handle);

// Installs a sync procedure. Only BASS_SYNC_END is supported; param is unused. Returns 0 on failure.
HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, DWORD param, SYNCPROC* proc, DWORD user);

// The error of the last call that failed, or BASS_OK after one that succeeded.
int BASS_ErrorGetCode();

// Capture mode, for rendering the program's sound without an output device: set before BASS_Init,
// it makes BASS_Init open no device at all (whatever device is asked for), and the mixed output is
// then taken with BASS_MixOutput at the pace the caller chooses.
void BASS_SetCaptureMode(BOOL on);

// Mixes the next `frames` frames of every playing stream into `buffer` as interleaved 16-bit
// stereo at 44100 Hz (4 bytes per frame), advancing the streams as playback would. Silence while
// the output is paused. Only in capture mode; returns the number of frames written (0 on failure).
DWORD BASS_MixOutput(void* buffer, DWORD frames);
