#pragma once
// Copying a picture's rows between two buffers whose pitches may differ: a surface made again after
// a device reset need not have the pitch of the one it replaces.
#include <cstddef>
#include <cstdint>

// rows rows from source (sourcePitch bytes apart) to target (targetPitch apart), each row cut to the
// smaller pitch; one block when the pitches are equal.
void CopySurfaceRows(uint8_t* target, size_t targetPitch, const uint8_t* source, size_t sourcePitch, size_t rows) noexcept;
