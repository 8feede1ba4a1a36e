// SPDX-License-Identifier: MIT
#include "host_support.h"

#include <olectl.h>

namespace kalendo::activex::test {

Var i2(SHORT n) {
    Var r;
    r.v.vt = VT_I2;
    r.v.iVal = n;
    return r;
}

Var i4(LONG n) {
    Var r;
    r.v.vt = VT_I4;
    r.v.lVal = n;
    return r;
}

Var text(const std::wstring& s) {
    Var r;
    r.v.vt = VT_BSTR;
    r.v.bstrVal = SysAllocStringLen(s.data(), UINT(s.size()));
    return r;
}

Var date(int y, int m, int d) {
    SYSTEMTIME st{};
    st.wYear = WORD(y);
    st.wMonth = WORD(m);
    st.wDay = WORD(d);
    Var r;
    r.v.vt = VT_DATE;
    SystemTimeToVariantTime(&st, &r.v.date);
    return r;
}

Var object(IUnknown* p) {
    Var r;
    r.v.vt = VT_UNKNOWN;
    r.v.punkVal = p;
    if (p)
        p->AddRef();
    return r;
}

Var refI2(SHORT* n) {
    Var r;
    r.v.vt = VT_I2 | VT_BYREF;
    r.v.piVal = n;
    return r;
}

namespace {

Call invoke(IDispatch* d, const std::wstring& name, std::vector<Var>& args, WORD flags, bool put) {
    Call c;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    c.hr = d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(c.hr))
        return c;
    // Automation passes the arguments last first.
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        reversed.push_back(it->v);
    DISPID namedPut = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), put ? &namedPut : nullptr, UINT(reversed.size()),
                      put ? 1u : 0u};
    EXCEPINFO ex{};
    c.hr = d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, put ? nullptr : &c.result.v,
                     &ex, nullptr);
    if (c.hr == DISP_E_EXCEPTION) {
        c.errorCode = ex.scode;
        c.errorText = ex.bstrDescription ? ex.bstrDescription : L"";
        SysFreeString(ex.bstrSource);
        SysFreeString(ex.bstrDescription);
        SysFreeString(ex.bstrHelpFile);
    }
    return c;
}

} // namespace

Call call(IDispatch* d, const std::wstring& name, std::vector<Var> args, WORD flags) {
    return invoke(d, name, args, flags, false);
}

Call get(IDispatch* d, const std::wstring& name) {
    return call(d, name, {}, DISPATCH_PROPERTYGET);
}

Call put(IDispatch* d, const std::wstring& name, Var value, bool byRef) {
    std::vector<Var> args{value};
    return invoke(d, name, args, byRef ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT, true);
}

Com<IDispatch> createControl() {
    CLSID clsid{};
    Com<IDispatch> d;
    if (SUCCEEDED(CLSIDFromProgID(L"Kalendo12.Kalendo", &clsid)))
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                         reinterpret_cast<void**>(d.put()));
    return d;
}

Com<IPictureDisp> solidPicture(COLORREF colour, int size) {
    const HDC screen = GetDC(nullptr);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    const HDC dc = CreateCompatibleDC(screen);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    const HBRUSH brush = CreateSolidBrush(colour);
    RECT r{0, 0, size, size};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = bitmap;
    Com<IPictureDisp> picture;
    OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE,
                             reinterpret_cast<void**>(picture.put()));
    return picture;
}

} // namespace kalendo::activex::test
