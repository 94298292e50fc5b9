#include "Viewer/engine/DeviceRecord.h"
#include "Viewer/engine/DeviceEventCallbacks.h"

DeviceRecord::DeviceRecord(bool wia, std::wstring id) : wia(wia), id(std::move(id)) {}

DeviceRecord::~DeviceRecord()
{
    Disconnect();
}

bool DeviceRecord::Connected() const noexcept
{
    return wia ? static_cast<bool>(itemCreatedRegistration) : static_cast<bool>(wpdCallback);
}

void DeviceRecord::Disconnect() noexcept
{
    if (wiaCallback) wiaCallback->ClearTarget();
    if (wpdCallback) wpdCallback->ClearTarget();
    // Releasing a registration ends its events.
    itemCreatedRegistration = nullptr;
    disconnectedRegistration = nullptr;
    wiaCallback = nullptr;
    rootItem = nullptr;
    if (device && !cookie.empty()) device->Unadvise(cookie.c_str());
    cookie.clear();
    wpdCallback = nullptr;
    device = nullptr;
}
