#include "Viewer/engine/DriveSlots.h"
#include "Framework/HResultError.h"
#include "Viewer/engine/ImageEntry.h"
#include <shlwapi.h>
#include <string>

namespace {
constexpr LONG RemovableReaders = 2;

UINT SystemDriveType(const wchar_t* root)
{
    return GetDriveTypeW(root);
}
}

DriveSlots::DriveSlots(DriveTypeQuery driveType)
    : m_driveType(driveType ? driveType : SystemDriveType),
      m_removable(CreateSemaphoreW(nullptr, RemovableReaders, RemovableReaders, nullptr))
{
    ThrowLastErrorIf(!m_removable);
}

DriveSlotTicket DriveSlots::Acquire(const wchar_t* path)
{
    if (!path || !*path) return 0;
    std::wstring root(path);
    root.resize(root.size() + 1);
    if (!PathStripToRootW(root.data())) return 0;
    switch (m_driveType(root.c_str())) {
    case DRIVE_CDROM:
        m_cdRom.Enter();
        return DRIVE_CDROM;
    case DRIVE_REMOVABLE:
        WaitForSingleObject(m_removable.Get(), INFINITE);
        return DRIVE_REMOVABLE;
    default:
        return 0;
    }
}

void DriveSlots::Release(DriveSlotTicket& ticket) noexcept
{
    if (ticket == DRIVE_CDROM) m_cdRom.Leave();
    if (ticket == DRIVE_REMOVABLE) ReleaseSemaphore(m_removable.Get(), 1, nullptr);
    ticket = 0;
}

DriveSlots& ProcessDriveSlots()
{
    static DriveSlots slots;
    return slots;
}

DriveSlotTicket AcquireDriveSlot(const CImageEntry& entry)
{
    return ProcessDriveSlots().Acquire(entry.GetBasePath().c_str());
}

void ReleaseDriveSlot(DriveSlotTicket& ticket) noexcept
{
    ProcessDriveSlots().Release(ticket);
}
