#pragma once
// Shooting data, colour profile, rating words, histogram and decoded geometry of one decoded file or page.
// A plain value record: filled on the decode worker, copied with its entry, read by the panels.
#include "Framework/Bstr.h"
#include <windows.h>
#include <cstdint>

// Histogram of the decoded pixels, filled as one block.
struct HistogramData {
    uint32_t red[256];
    uint32_t green[256];
    uint32_t blue[256];
    uint32_t redMax;
    uint32_t greenMax;
    uint32_t blueMax;
};
static_assert(sizeof(HistogramData) == 3084);

// The four rating words, handed as one unit to the sidecar reader; -1 means none.
struct RatingWords {
    int16_t ratingPercent;  // 0..99
    int16_t rating;         // stars 0..5
    int16_t label;          // colour label number
    int16_t urgency;        // 1..9
};

// Presence bits of ImageInfo::flags.
enum ImageInfoFlag : uint32_t {
    ImageInfoDateTaken = 0x1,
    ImageInfoExposureBias = 0x2,
    ImageInfoExposureTime = 0x4,
    ImageInfoFlash = 0x8,
    ImageInfoFNumber = 0x10,
    ImageInfoFocalLength = 0x20,
    ImageInfoFocalLength35mm = 0x40,
    ImageInfoIsoSpeed = 0x80,
    ImageInfoMeteringMode = 0x100,
    ImageInfoOrientation = 0x200,
    ImageInfoExposureProgram = 0x400,
    ImageInfoSubjectDistance = 0x800,
    ImageInfoWhiteBalance = 0x1000,
    ImageInfoLightSource = 0x2000,
    ImageInfoProfileName = 0x4000,
    ImageInfoHistogram = 0x8000,
    ImageInfoRatingWords = 0x10000,
    ImageInfoCameraModel = 0x20000,
    ImageInfoLensModel = 0x40000,
    ImageInfoComment = 0x80000,
};

// Copying duplicates the strings; when one cannot be allocated the copy throws E_OUTOFMEMORY
// and the strings it had already duplicated are freed again.
struct ImageInfo {
    uint32_t flags = 0;
    FILETIME dateTaken = {};  // local camera time as read, no zone conversion
    double exposureBias = 0;  // EV
    double exposureTime = 0;  // seconds
    int32_t exposureNumerator = 0;
    int32_t exposureDenominator = 0;
    uint16_t flash = 0;
    double fNumber = 0;
    double focalLength = 0;  // mm
    uint16_t focalLength35mm = 0;
    int32_t isoSpeed = 0;
    uint16_t meteringMode = 0;
    uint16_t orientation = 0;
    uint16_t exposureProgram = 0;
    double subjectDistance = 0;  // m
    uint16_t whiteBalance = 0;
    uint16_t lightSource = 0;
    Bstr profileName;
    HistogramData histogram = {};
    // Geometry: valid once the decode succeeded.
    uint32_t width = 0;  // decoded, after rotation and downscaling
    uint32_t sourceWidth = 0;
    uint32_t height = 0;
    uint32_t sourceHeight = 0;
    uint32_t bitsPerPixel = 0;  // of the frame's own pixel format
    GUID pixelFormat = {};      // the frame's own pixel format
    uint8_t rotated = 0;
    RatingWords ratingWords = {};
    Bstr cameraModel;  // trimmed, never empty
    Bstr lensModel;
    Bstr comment;
    uint8_t downscaled = 0;
};
