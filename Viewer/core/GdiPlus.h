#pragma once
// GDI+ is started once for everyone who needs it and shut down when the last user lets go.
void GdiPlusAcquire() noexcept;
void GdiPlusRelease() noexcept;
// Users counted now; 0 when GDI+ is down.
int GdiPlusUserCount() noexcept;
