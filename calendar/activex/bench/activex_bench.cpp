// SPDX-License-Identifier: MIT
// Benchmarks of kalendo.ocx under Wine: a call of 阳历返回农 by its dispatch identifier and
// by name, and creating the control and painting a month. Google Benchmark has no MinGW
// build on Debian, so this is a small harness of the same kind: each case runs in batches
// until a batch takes a quarter of a second, and the median of five batches is reported.
// The control must be registered (regsvr32 kalendo.ocx).
#include "com_ptr.h"
#include "host_support.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <ocidl.h>
#include <vector>
#include <windows.h>

using namespace kalendo::activex;

namespace {

double seconds() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) / frequency;
}

void run(const char* name, const std::function<void()>& body) {
    long long iterations = 1;
    for (;;) { // the batch size that takes a quarter of a second
        const double start = seconds();
        for (long long i = 0; i < iterations; ++i)
            body();
        if (seconds() - start > 0.25 || iterations > (1LL << 30))
            break;
        iterations *= 2;
    }
    std::vector<double> perCall;
    for (int batch = 0; batch < 5; ++batch) {
        const double start = seconds();
        for (long long i = 0; i < iterations; ++i)
            body();
        perCall.push_back((seconds() - start) / double(iterations));
    }
    std::sort(perCall.begin(), perCall.end());
    const double median = perCall[2];
    if (median >= 1e-3)
        std::printf("%-44s %12.3f ms %12lld\n", name, median * 1e3, iterations);
    else
        std::printf("%-44s %12.0f ns %12lld\n", name, median * 1e9, iterations);
}

} // namespace

int main() {
    CoInitialize(nullptr);
    const Com<IDispatch> control = test::createControl();
    if (!control) {
        std::fprintf(stderr, "Kalendo12.Kalendo is not registered: regsvr32 kalendo.ocx\n");
        return 1;
    }
    std::printf("%-44s %15s %12s\n", "Benchmark", "Time", "Iterations");

    LPOLESTR name[] = {const_cast<LPOLESTR>(L"阳历返回农")};
    DISPID id = 0;
    control->GetIDsOfNames(IID_NULL, name, 1, LOCALE_USER_DEFAULT, &id);
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_DATE;
    arg.date = 39987.0; // 2009-06-23
    DISPPARAMS params{&arg, nullptr, 1, 0};
    const auto invoke = [&] {
        VARIANT result;
        VariantInit(&result);
        control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                        nullptr, nullptr);
        VariantClear(&result);
    };
    run("Invoke 阳历返回农 by DISPID", invoke);
    run("GetIDsOfNames + Invoke 阳历返回农", [&] {
        DISPID each = 0;
        control->GetIDsOfNames(IID_NULL, name, 1, LOCALE_USER_DEFAULT, &each);
        invoke();
    });

    // A parent window as a container gives one; the control paints in its own.
    const HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400,
                                        nullptr, nullptr, nullptr, nullptr);
    run("Create, show and paint a month", [&] {
        const Com<IDispatch> c = test::createControl();
        const auto object = c.as<IOleObject>();
        RECT r{0, 0, 568, 344};
        object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, parent, &r);
        HWND window = nullptr;
        c.as<IOleInPlaceObject>()->GetWindow(&window);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        object->Close(OLECLOSE_NOSAVE);
    });
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 568, 344);
    SelectObject(memory, bitmap);
    run("Create and draw a month (IViewObject::Draw)", [&] {
        const Com<IDispatch> c = test::createControl();
        RECTL bounds{0, 0, 568, 344};
        c.as<IViewObject2>()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &bounds,
                                   nullptr, nullptr, 0);
    });
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    DestroyWindow(parent);
    CoUninitialize();
    return 0;
}
