#pragma once
// The floating shooting-data panel: the exposure values as a large heading and the other capture data,
// the picture's size, camera, lens and comment in smaller lines below.
#include "Viewer/core/NumberFormat.h"
#include "Viewer/ui/PanelWindow.h"

class CShootingDataWindow : public CPanelWindow {
public:
    CShootingDataWindow();
    ~CShootingDataWindow() override;

protected:
    void Paint(HDC dc, Gdiplus::Graphics& graphics, const RECT& client) override;

private:
    struct DrawingObjects;
    NumberFormatRecord m_numbers;
    std::unique_ptr<DrawingObjects> m_objects;  // made on the first paint, kept for the panel's life
};
