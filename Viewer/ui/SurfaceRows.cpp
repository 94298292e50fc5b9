#include "Viewer/ui/SurfaceRows.h"
#include <algorithm>
#include <cstring>

void CopySurfaceRows(uint8_t* target, size_t targetPitch, const uint8_t* source, size_t sourcePitch, size_t rows) noexcept
{
    if (targetPitch == sourcePitch) {
        std::memcpy(target, source, targetPitch * rows);
        return;
    }
    const size_t rowBytes = std::min(targetPitch, sourcePitch);
    for (size_t row = 0; row < rows; ++row) std::memcpy(target + row * targetPitch, source + row * sourcePitch, rowBytes);
}
