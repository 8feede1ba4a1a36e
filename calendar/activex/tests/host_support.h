// SPDX-License-Identifier: MIT
#pragma once

// What the tests' hosts share: creating the control by its class name and calling its
// members by name as an Automation host does.

#include "com_ptr.h"

#include <oaidl.h>
#include <ocidl.h>
#include <string>
#include <vector>
#include <windows.h>

namespace kalendo::activex::test {

// A VARIANT that clears itself.
struct Var {
    VARIANT v;
    Var() { VariantInit(&v); }
    Var(const Var& o) {
        VariantInit(&v);
        VariantCopy(&v, const_cast<VARIANT*>(&o.v));
    }
    Var& operator=(const Var& o) {
        if (this != &o) {
            VariantClear(&v);
            VariantCopy(&v, const_cast<VARIANT*>(&o.v));
        }
        return *this;
    }
    ~Var() { VariantClear(&v); }
};

Var i2(SHORT n);
Var i4(LONG n);
Var text(const std::wstring& s);
Var date(int y, int m, int d);
Var object(IUnknown* p);
// A reference to a variable of the host's, as a script passes one.
Var refI2(SHORT* n);

// The outcome of a call: the result code, the result, and the error's number and text.
struct Call {
    HRESULT hr = E_FAIL;
    Var result;
    LONG errorCode = 0; // EXCEPINFO's scode
    std::wstring errorText;
};

// Calls a member by name (GetIDsOfNames, then Invoke); arguments in parameter order.
Call call(IDispatch* d, const std::wstring& name, std::vector<Var> args = {},
          WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET);
Call get(IDispatch* d, const std::wstring& name);
Call put(IDispatch* d, const std::wstring& name, Var value, bool byRef = false);

// A new Kalendo12.Kalendo, created by its class name.
Com<IDispatch> createControl();

// A small picture of one colour, made by the platform's picture object.
Com<IPictureDisp> solidPicture(COLORREF colour, int size = 8);

} // namespace kalendo::activex::test
