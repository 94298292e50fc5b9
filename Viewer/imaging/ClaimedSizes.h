#pragma once
// The sizes a bitmap or icon file claims in its headers, checked before the platform's codec reads
// them: codecs compute their own buffers from these in 32 bits, and a claim that wraps around makes
// them write past those buffers while the frame is still being opened.
#include <windows.h>
#include <wincodec.h>

// S_OK for a container other than BMP or ICO, and for one whose every image claims a size whose
// rows and whole picture fit 32-bit sizes even widened to 32 bits per pixel;
// HRESULT_FROM_WIN32(ERROR_ARITHMETIC_OVERFLOW) for a claim that does not; the HRESULT of seeking
// in the stream. Parts of the file too short to hold a header are left to the codec. The
// stream is the decoder's own: its position is the same afterwards.
HRESULT CheckClaimedSizes(IStream* stream, REFGUID container) noexcept;
