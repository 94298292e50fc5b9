#pragma once
// Camera-sized JPEGs for the benchmarks, and the platform's plain decoder that their figures are
// measured against. The pictures are made once in the temporary folder and kept for later runs, so
// that every benchmark of a run (and the next run) decodes the same files.
#include <windows.h>
#include <string>
#include <vector>

// How many pictures of which size a benchmark works on.
struct CameraSetup {
    int pictures = 200;
    UINT width = 6000;
    UINT height = 4000;
};

// The setup from a benchmark's arguments [pictures [width height]], the defaults where missing.
CameraSetup CameraSetupFromArguments(int argc, wchar_t** argv);

// Gradients with a little grain: a JPEG that is neither trivial nor noise.
HRESULT WriteCameraJpeg(const std::wstring& path, UINT width, UINT height, int seed);

// IMG_0001.jpg ... in the folder of pictures of that size, made where missing (with the imaging
// factory, which stays); the folder in folderOut. Empty (and a message on stderr) on failure.
std::vector<std::wstring> CameraFolder(const CameraSetup& setup, std::wstring& folderOut);

// The platform's decoder alone, the whole picture into memory of its own format, or (convert)
// followed by the platform's converter to the display's 32-bit format. Needs the imaging factory.
bool DecodeWithPlatform(const std::wstring& path, bool convert);
