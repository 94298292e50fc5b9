#pragma once
// The per-drive read throttle of the decode workers: one reader of a CD-ROM drive at a time, two
// readers of removable drives; fixed and network drives are not throttled. A ticket names what was
// taken, so that releasing it gives back exactly that.
#include "Framework/CriticalSection.h"
#include "Framework/UniqueHandle.h"
#include <windows.h>
#include <cstdint>

class CImageEntry;

using DriveSlotTicket = uint32_t;  // DRIVE_CDROM, DRIVE_REMOVABLE, or 0 for nothing taken

class DriveSlots {
public:
    // The type of the drive whose root is given, as GetDriveTypeW answers.
    using DriveTypeQuery = UINT (*)(const wchar_t* root);

    // Throws the system's error when the semaphore cannot be created.
    explicit DriveSlots(DriveTypeQuery driveType = nullptr);
    DriveSlots(const DriveSlots&) = delete;
    DriveSlots& operator=(const DriveSlots&) = delete;

    // Waits for the slot of the drive that holds the path; 0 for a path without a root.
    DriveSlotTicket Acquire(const wchar_t* path);
    // Gives the slot back and sets the ticket to 0; a ticket of 0 does nothing.
    void Release(DriveSlotTicket& ticket) noexcept;

private:
    DriveTypeQuery m_driveType;
    CriticalSection m_cdRom;
    UniqueHandle m_removable;
};

// The process-wide throttle that every decode worker shares.
DriveSlots& ProcessDriveSlots();
DriveSlotTicket AcquireDriveSlot(const CImageEntry& entry);
void ReleaseDriveSlot(DriveSlotTicket& ticket) noexcept;
