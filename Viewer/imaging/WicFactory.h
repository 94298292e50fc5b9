#pragma once
// The process-wide imaging factory. Created by the main function, read without a lock by the decode
// workers, the metadata and colour code and the start-up warm-up; released at the end of Run and,
// if still set, by its static destructor at process exit.
#include "Framework/ComPtr.h"
#include <wincodec.h>

extern ComPtr<IWICImagingFactory> g_WicFactory;

// Replaces any factory already there with a new one; S_OK or the creation's HRESULT.
HRESULT CreateWicFactory() noexcept;
// For a decode worker that finds no factory: creates one unless another worker got there first, so
// that workers starting together make one factory and leak none. S_OK or the creation's HRESULT.
HRESULT CreateWicFactoryIfMissing() noexcept;
// Releases the factory when there is one; always S_OK.
HRESULT ReleaseWicFactory() noexcept;
