// SPDX-License-Identifier: MIT
// Hosts the registered control in ATL's control container, as a host application places it
// by its class name, and shows April 2008 with the 23rd selected (today pinned to that
// day). Then it writes what the control shows and where its parts are, and waits for the
// clicks of the test script on a day cell and on the next-month button.
//   atl_host OUTPUT_FOLDER
// Files in OUTPUT_FOLDER: cells.txt (the cells and titles as `kalendo month --cells` prints
// them), places.txt (screen points to click), result.txt (what the clicks did).
// Exit status 0 when both clicks did what they should.
#include "com_ptr.h"
#include "readback.h"

#include <cstdio>
#include <oleauto.h>
#include <string>
#include <windows.h>

using namespace kalendo::activex;

namespace {

std::wstring g_folder;

void writeFile(const wchar_t* name, const std::string& content) {
    const std::wstring path = g_folder + L"\\" + name;
    const HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(f, content.data(), DWORD(content.size()), &written, nullptr);
    CloseHandle(f);
}

std::string utf8(BSTR s) {
    if (!s)
        return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, s, int(SysStringLen(s)), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s, int(SysStringLen(s)), out.data(), n, nullptr, nullptr);
    return out;
}

HRESULT invoke(IDispatch* d, const wchar_t* name, WORD flags, VARIANT* args, UINT count) {
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = d->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    if (FAILED(hr))
        return hr;
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS p{args, flags == DISPATCH_PROPERTYPUT ? &put : nullptr, count,
                 flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
    VARIANT result;
    VariantInit(&result);
    hr = d->Invoke(id, IID_NULL, 0, flags, &p, &result, nullptr, nullptr);
    VariantClear(&result);
    return hr;
}

// Cells and titles in the command's --cells form.
std::string shownCells(IKalendoReadback* readback) {
    std::string out;
    LONG selected = -1;
    readback->State(&selected, nullptr, nullptr, nullptr);
    for (LONG i = 0; i < 39; ++i) {
        BSTR day = nullptr, caption = nullptr;
        DWORD colour = 0;
        BOOL today = FALSE;
        readback->Cell(i, &day, &caption, &colour, &today);
        char line[64];
        std::snprintf(line, sizeof line, "\t0x%06lX\t", static_cast<unsigned long>(colour));
        out += std::to_string(i) + "\t" + utf8(day) + "\t" + utf8(caption) + line +
               (today ? "1" : "0") + "\n";
        SysFreeString(day);
        SysFreeString(caption);
    }
    const std::pair<const char*, Shown> titles[] = {
        {"平润年", Shown::LeapYear},         {"生肖", Shown::YearName},
        {"星座C", Shown::StarSign},          {"背景年分", Shown::YearWatermark},
        {"背景月份", Shown::MonthWatermark}, {"农历年份", Shown::LunarYearList},
        {"农历月份", Shown::LunarMonthList},
    };
    for (const auto& [name, element] : titles) {
        BSTR text = nullptr;
        readback->Text(LONG(element), &text);
        out += std::string(name) + "\t" + utf8(text) + "\n";
        SysFreeString(text);
    }
    return out;
}

void pump(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    while (GetTickCount() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

// Pumps messages until the condition holds or the time is up.
template <class F> bool waitFor(F&& condition, DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    while (GetTickCount() < end) {
        pump(50);
        if (condition())
            return true;
    }
    return condition();
}

POINT centreOnScreen(HWND window, RECT r, bool lowerHalf) {
    POINT p{(r.left + r.right) / 2, lowerHalf ? r.bottom - 4 : (r.top + r.bottom) / 2};
    ClientToScreen(window, &p);
    return p;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: atl_host OUTPUT_FOLDER\n");
        return 2;
    }
    g_folder = argv[1];
    OleInitialize(nullptr);

    const HMODULE atl = LoadLibraryW(L"atl.dll");
    using Init = BOOL(WINAPI*)();
    using GetControl = HRESULT(WINAPI*)(HWND, IUnknown**);
    const auto init =
        atl ? reinterpret_cast<Init>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")))
            : nullptr;
    const auto getControl = atl ? reinterpret_cast<GetControl>(reinterpret_cast<void*>(
                                      GetProcAddress(atl, "AtlAxGetControl")))
                                : nullptr;
    if (!init || !getControl || !init()) {
        std::fprintf(stderr, "atl_host: no ATL container\n");
        return 1;
    }

    const HWND frame = CreateWindowExW(0, L"STATIC", L"Kalendo", WS_POPUP | WS_VISIBLE, 10, 10, 600,
                                       380, nullptr, nullptr, nullptr, nullptr);
    // The container creates the control from the class name in its window text.
    const HWND host = CreateWindowExW(0, L"AtlAxWin", L"Kalendo12.Kalendo", WS_CHILD | WS_VISIBLE,
                                      8, 8, 568, 344, frame, nullptr, nullptr, nullptr);
    Com<IUnknown> unknown;
    const HRESULT created = host ? getControl(host, unknown.put()) : E_FAIL;
    if (FAILED(created) || !unknown) {
        std::fprintf(stderr, "atl_host: the container did not create Kalendo12.Kalendo: 0x%08lx\n",
                     static_cast<unsigned long>(created));
        return 1;
    }
    const auto readback = unknown.as<IKalendoReadback>();
    const auto dispatch = unknown.as<IDispatch>();
    const auto inPlace = unknown.as<IOleInPlaceObject>();
    HWND control = nullptr;
    if (!readback || !dispatch || !inPlace || FAILED(inPlace->GetWindow(&control))) {
        std::fprintf(stderr, "atl_host: the control is not in place\n");
        return 1;
    }

    SYSTEMTIME day{};
    day.wYear = 2008;
    day.wMonth = 4;
    day.wDay = 23;
    DATE pinned = 0;
    SystemTimeToVariantTime(&day, &pinned);
    readback->SetToday(pinned);
    VARIANT args[2];
    args[1].vt = args[0].vt = VT_I2;
    args[1].iVal = 2008; // arguments go last first
    args[0].iVal = 4;
    VARIANT selected;
    selected.vt = VT_DATE;
    selected.date = pinned;
    if (FAILED(invoke(dispatch.get(), L"返回阳历控件", DISPATCH_METHOD, args, 2)) ||
        FAILED(invoke(dispatch.get(), L"中阳历", DISPATCH_PROPERTYPUT, &selected, 1))) {
        std::fprintf(stderr, "atl_host: the control refused April 2008\n");
        return 1;
    }
    pump(500);
    writeFile(L"cells.txt", shownCells(readback.get()));

    // The 8th of April (cell 9) by the line under its number; then the next-month button.
    RECT cell{}, button{}, window{};
    readback->Place(9, &cell);
    readback->Place(kFirstButtonPlace + 3, &button);
    GetWindowRect(control, &window);
    const POINT cellPoint = centreOnScreen(control, cell, true);
    const POINT buttonPoint = centreOnScreen(control, button, false);
    char places[160];
    std::snprintf(places, sizeof places, "control %ld %ld %ld %ld\ncell %ld %ld\nbutton %ld %ld\n",
                  window.left, window.top, window.right - window.left, window.bottom - window.top,
                  cellPoint.x, cellPoint.y, buttonPoint.x, buttonPoint.y);
    writeFile(L"places.txt", places);

    std::string result;
    const bool clickedDay = waitFor(
        [&] {
            LONG s = -1;
            readback->State(&s, nullptr, nullptr, nullptr);
            return s == 9;
        },
        60000);
    BSTR lunarMonth = nullptr;
    readback->Text(LONG(Shown::LunarMonthList), &lunarMonth);
    result += std::string("day ") + (clickedDay ? "selected" : "not selected") + " lunar month " +
              utf8(lunarMonth) + "\n";
    SysFreeString(lunarMonth);
    if (clickedDay)
        writeFile(L"selected.txt", "9\n");
    const bool moved = clickedDay && waitFor(
                                         [&] {
                                             LONG y = 0, m = 0;
                                             readback->State(nullptr, nullptr, &y, &m);
                                             return y == 2008 && m == 5;
                                         },
                                         60000);
    LONG y = 0, m = 0;
    readback->State(nullptr, nullptr, &y, &m);
    result += "month " + std::to_string(y) + "-" + std::to_string(m) + "\n";
    writeFile(L"result.txt", result);

    DestroyWindow(frame);
    unknown.reset();
    OleUninitialize();
    return clickedDay && moved ? 0 : 1;
}
