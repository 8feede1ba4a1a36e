// SPDX-License-Identifier: MIT
// The in-process server: the class factory and the self-registration of kalendo.ocx.
#include "control.h"
#include "guids.h"

#include <new>
#include <string>

using namespace kalendo::activex;

namespace {

LONG g_locks = 0;

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory)
            return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    // One static factory: it lives as long as the module.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        Control* control = new (std::nothrow) Control();
        if (!control)
            return E_OUTOFMEMORY;
        const HRESULT hr = control->QueryInterface(iid, out);
        control->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            InterlockedIncrement(&g_locks);
        else
            InterlockedDecrement(&g_locks);
        return S_OK;
    }
};

Factory g_factory;

std::wstring guidText(const GUID& g) {
    wchar_t text[40] = {};
    StringFromGUID2(g, text, 40);
    return text;
}

// Sets `key`\`name` (nullptr: the default value) to a text under HKEY_CLASSES_ROOT.
bool setText(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY k = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LONG r = RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  DWORD((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(k);
    return r == ERROR_SUCCESS;
}

void deleteTree(const std::wstring& key) {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
}

// Containers read these: activate when visible, inside-out, keep the size, site first.
constexpr wchar_t kMiscStatus[] = L"131473";

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (clsid != kClsid)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow() {
    if (g_moduleUsers != 0 || g_locks != 0)
        return S_FALSE;
    releaseTypeLibrary();
    return S_OK;
}

STDAPI DllRegisterServer() {
    const std::wstring clsid = L"CLSID\\" + guidText(kClsid);
    const std::wstring libid = guidText(kLibid);
    const std::wstring version =
        std::to_wstring(kLibraryMajor) + L"." + std::to_wstring(kLibraryMinor);
    const bool ok = setText(clsid, nullptr, L"Kalendo Control") &&
                    setText(clsid + L"\\InprocServer32", nullptr, modulePath()) &&
                    setText(clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
                    setText(clsid + L"\\ProgID", nullptr, kProgId) &&
                    setText(clsid + L"\\Control", nullptr, L"") &&
                    setText(clsid + L"\\MiscStatus", nullptr, L"0") &&
                    setText(clsid + L"\\MiscStatus\\1", nullptr, kMiscStatus) &&
                    setText(clsid + L"\\TypeLib", nullptr, libid) &&
                    setText(clsid + L"\\Version", nullptr, version) &&
                    setText(clsid + L"\\Verb\\0", nullptr, L"&Properties...,0,2") &&
                    setText(kProgId, nullptr, L"Kalendo Control") &&
                    setText(std::wstring(kProgId) + L"\\CLSID", nullptr, guidText(kClsid));
    if (!ok) {
        DllUnregisterServer();
        return SELFREG_E_CLASS;
    }
    ITypeLib* lib = typeLibrary();
    std::wstring path = modulePath();
    if (!lib || FAILED(RegisterTypeLib(lib, path.data(), nullptr))) {
        DllUnregisterServer();
        return SELFREG_E_TYPELIB;
    }
    return S_OK;
}

STDAPI DllUnregisterServer() {
    UnRegisterTypeLib(kLibid, kLibraryMajor, kLibraryMinor, LOCALE_NEUTRAL, SYS_WIN64);
    deleteTree(L"CLSID\\" + guidText(kClsid));
    deleteTree(kProgId);
    return S_OK;
}
