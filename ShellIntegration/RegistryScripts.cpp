#include "ShellIntegration/RegistryScripts.h"

namespace {
constexpr auto ClassesRoot = RegistryHive::ClassesRoot;
constexpr auto LocalMachine = RegistryHive::LocalMachine;
constexpr auto DeleteKey = OnRemoval::DeleteKey;
constexpr auto DeleteValues = OnRemoval::DeleteValues;

constexpr wchar_t kAutoPlayText[] = L"Lumenfold's AutoPlay Handler";
constexpr wchar_t kAutoPlayClsid[] = L"{057C7771-F320-4C2A-A2EA-747945FA82F2}";
constexpr wchar_t kAutoPlayProgId[] = L"Brenholt.Lumenfold.AutoPlayHandler.1";
constexpr wchar_t kContextMenuClsid[] = L"{B4F3C99C-6099-4617-8052-82ABF04C2F6E}";
}

std::vector<RegistryEntry> ShellRegistryScript()
{
    return {
        // The AppID of the library.
        {ClassesRoot, L"AppID\\{10180562-7E73-4C55-A206-DA359CCEDFDF}",
         {{nullptr, L"Lumenfold Shell Integration Component"}}, DeleteKey},
        {ClassesRoot, L"AppID\\Lumenfold.dll", {{L"AppID", L"%APPID%"}}, DeleteKey},

        // The AutoPlay handler: its ProgIDs, its class, and the handler of the pictures event.
        {ClassesRoot, L"Brenholt.Lumenfold.AutoPlayHandler", {{nullptr, kAutoPlayText}}, DeleteKey},
        {ClassesRoot, L"Brenholt.Lumenfold.AutoPlayHandler\\CLSID", {{nullptr, kAutoPlayClsid}}, DeleteKey},
        {ClassesRoot, L"Brenholt.Lumenfold.AutoPlayHandler\\CurVer", {{nullptr, kAutoPlayProgId}}, DeleteKey},
        {ClassesRoot, L"Brenholt.Lumenfold.AutoPlayHandler.1", {{nullptr, kAutoPlayText}}, DeleteKey},
        {ClassesRoot, L"Brenholt.Lumenfold.AutoPlayHandler.1\\CLSID", {{nullptr, kAutoPlayClsid}}, DeleteKey},
        {ClassesRoot, L"Brenholt.Lumenfold.AutoPlayHandler.1\\shell\\open\\DropTarget", {{L"CLSID", kAutoPlayClsid}},
         DeleteKey},
        {ClassesRoot, L"CLSID\\{057C7771-F320-4C2A-A2EA-747945FA82F2}", {{nullptr, kAutoPlayText}}, DeleteKey},
        {ClassesRoot, L"CLSID\\{057C7771-F320-4C2A-A2EA-747945FA82F2}\\ProgID", {{nullptr, kAutoPlayProgId}},
         DeleteKey},
        {ClassesRoot, L"CLSID\\{057C7771-F320-4C2A-A2EA-747945FA82F2}\\VersionIndependentProgID",
         {{nullptr, L"Brenholt.Lumenfold.AutoPlayHandler"}}, DeleteKey},
        {ClassesRoot, L"CLSID\\{057C7771-F320-4C2A-A2EA-747945FA82F2}\\InprocServer32",
         {{nullptr, L"%MODULE%"}, {L"ThreadingModel", L"Apartment"}}, DeleteKey},
        {LocalMachine,
         L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoPlayHandlers\\Handlers\\"
         L"Brenholt.Lumenfold.ShowPicturesOnArrival",
         {{L"Provider", L"Lumenfold"},
          {L"Action", L"View pictures"},
          {L"DefaultIcon", L"%MODULE%"},
          {L"InvokeProgID", kAutoPlayProgId},
          {L"InvokeVerb", L"open"}},
         DeleteKey},
        {LocalMachine,
         L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoPlayHandlers\\EventHandlers\\"
         L"ShowPicturesOnArrival",
         {{L"Brenholt.Lumenfold.ShowPicturesOnArrival", L""}}, DeleteValues},

        // The context-menu handler: its class, the folder and drive menus and the approval.
        {ClassesRoot, L"CLSID\\{B4F3C99C-6099-4617-8052-82ABF04C2F6E}", {{nullptr, L"Lumenfold's Context Menu Handler"}},
         DeleteKey},
        {ClassesRoot, L"CLSID\\{B4F3C99C-6099-4617-8052-82ABF04C2F6E}\\ProgID",
         {{nullptr, L"Brenholt.Lumenfold.ContextMenuHandler.1"}}, DeleteKey},
        {ClassesRoot, L"CLSID\\{B4F3C99C-6099-4617-8052-82ABF04C2F6E}\\InprocServer32",
         {{nullptr, L"%MODULE%"}, {L"ThreadingModel", L"Apartment"}}, DeleteKey},
        {ClassesRoot, L"Directory\\shellex\\ContextMenuHandlers\\Brenholt.Lumenfold", {{nullptr, kContextMenuClsid}},
         DeleteKey},
        {ClassesRoot, L"Drive\\shellex\\ContextMenuHandlers\\Brenholt.Lumenfold", {{nullptr, kContextMenuClsid}},
         DeleteKey},
        {LocalMachine, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved",
         {{kContextMenuClsid, L"Brenholt.Lumenfold (Context Menu Extension)"}}, DeleteValues},
    };
}
