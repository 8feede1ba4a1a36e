// SPDX-License-Identifier: MIT
#include "variant.h"

#include "com_ptr.h"

#include <cmath>
#include <cstring>
#include <kalendo/errors.h>
#include <kalendo/text.h>
#include <limits>
#include <olectl.h>

namespace kalendo::activex {

namespace {

// DATE 0 is 1899-12-30.
constexpr std::int32_t kOleEpoch = Date::fromYmd(1899, 12, 30).serial();

const VARIANT& deref(const VARIANT& v) {
    if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal)
        return deref(*v.pvarVal);
    return v;
}

} // namespace

DATE toOleDate(DateTime dt) {
    const double days = dt.date.serial() - kOleEpoch;
    const double fraction = dt.seconds / 86400.0;
    // Before the epoch the fraction still counts forward from the day's midnight.
    return days >= 0 ? days + fraction : days - fraction;
}

DateTime fromOleDate(DATE d) {
    if (!std::isfinite(d) || d < -657434.0 || d >= 2958466.0) // years 100-9999
        throw TypeMismatchError();
    double whole = std::trunc(d);
    double fraction = std::fabs(d - whole);
    auto seconds = static_cast<std::int32_t>(std::llround(fraction * 86400.0));
    if (seconds >= 86400) {
        seconds = 0;
        whole += d < 0 ? -1 : 1;
    }
    const Date date(static_cast<std::int32_t>(whole) + kOleEpoch);
    if (date.year() < Date::kFirstYear || date.year() > Date::kLastYear)
        throw TypeMismatchError();
    return DateTime(date, seconds);
}

Value fromVariant(const VARIANT& in) {
    VARIANT v;
    VariantInit(&v);
    // Reads through a reference and takes every number kind the way hosts pass them.
    if (FAILED(VariantCopyInd(&v, const_cast<VARIANT*>(&deref(in)))))
        throw TypeMismatchError();
    struct Clear {
        VARIANT& v;
        ~Clear() { VariantClear(&v); }
    } clear{v};
    switch (v.vt) {
    case VT_EMPTY:
        return std::monostate{};
    case VT_BOOL:
        return static_cast<long long>(v.boolVal ? -1 : 0); // True is -1 to Automation
    case VT_I1:
        return static_cast<long long>(v.cVal);
    case VT_UI1:
        return static_cast<long long>(v.bVal);
    case VT_I2:
        return static_cast<long long>(v.iVal);
    case VT_UI2:
        return static_cast<long long>(v.uiVal);
    case VT_I4:
    case VT_INT:
        return static_cast<long long>(v.lVal);
    case VT_UI4:
    case VT_UINT:
        return static_cast<long long>(v.ulVal);
    case VT_I8:
        return static_cast<long long>(v.llVal);
    case VT_UI8:
        return static_cast<double>(v.ullVal);
    case VT_R4:
        return static_cast<double>(v.fltVal);
    case VT_R8:
        return v.dblVal;
    case VT_CY:
    case VT_DECIMAL: {
        double d = 0;
        VARIANT r;
        VariantInit(&r);
        if (FAILED(VariantChangeType(&r, &v, 0, VT_R8)))
            throw OverflowError();
        d = r.dblVal;
        return d;
    }
    case VT_BSTR:
        return utf8(v.bstrVal ? v.bstrVal : L"", v.bstrVal ? SysStringLen(v.bstrVal) : 0);
    case VT_DATE:
        return fromOleDate(v.date);
    default:
        throw TypeMismatchError();
    }
}

HRESULT toVariant(const Value& value, VARIANT* out) {
    VariantInit(out);
    if (const auto* i = std::get_if<long long>(&value)) {
        if (*i >= std::numeric_limits<SHORT>::min() && *i <= std::numeric_limits<SHORT>::max()) {
            out->vt = VT_I2;
            out->iVal = static_cast<SHORT>(*i);
        } else if (*i >= std::numeric_limits<LONG>::min() &&
                   *i <= std::numeric_limits<LONG>::max()) {
            out->vt = VT_I4;
            out->lVal = static_cast<LONG>(*i);
        } else {
            out->vt = VT_R8;
            out->dblVal = static_cast<double>(*i);
        }
    } else if (const auto* d = std::get_if<double>(&value)) {
        out->vt = VT_R8;
        out->dblVal = *d;
    } else if (const auto* s = std::get_if<std::string>(&value)) {
        const std::wstring w = wide(*s);
        out->bstrVal = SysAllocStringLen(w.data(), UINT(w.size()));
        if (!out->bstrVal)
            return E_OUTOFMEMORY;
        out->vt = VT_BSTR;
    } else if (const auto* dt = std::get_if<DateTime>(&value)) {
        out->vt = VT_DATE;
        out->date = toOleDate(*dt);
    }
    return S_OK;
}

void writeBack(VARIANT& arg, const Value& value) {
    if (!(arg.vt & VT_BYREF))
        return;
    VARIANT v;
    if (FAILED(toVariant(value, &v)))
        throw EngineError(Error::OutOfMemory);
    struct Clear {
        VARIANT& v;
        ~Clear() { VariantClear(&v); }
    } clear{v};
    const VARTYPE target = arg.vt & ~VT_BYREF;
    if (target == VT_VARIANT) {
        if (arg.pvarVal) {
            VariantClear(arg.pvarVal);
            VariantCopy(arg.pvarVal, &v);
        }
        return;
    }
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, &v, 0, target)))
        throw OverflowError();
    switch (target) {
    case VT_I2:
        *arg.piVal = converted.iVal;
        break;
    case VT_I4:
        *arg.plVal = converted.lVal;
        break;
    case VT_R8:
        *arg.pdblVal = converted.dblVal;
        break;
    case VT_BSTR:
        SysFreeString(*arg.pbstrVal);
        *arg.pbstrVal = converted.bstrVal; // handed over
        converted.vt = VT_EMPTY;
        break;
    default:
        break; // a reference of another kind keeps its value
    }
    VariantClear(&converted);
}

OleColour colourFromVariant(const VARIANT& in) {
    const VARIANT& v = deref(in);
    long long n = 0;
    switch (v.vt & ~VT_BYREF) {
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
    case VT_R4:
    case VT_R8:
    case VT_BOOL: {
        VARIANT r;
        VariantInit(&r);
        if (FAILED(VariantChangeType(&r, const_cast<VARIANT*>(&v), 0, VT_R8)))
            throw OverflowError();
        if (!(r.dblVal >= -2147483648.0 && r.dblVal <= 4294967295.0))
            throw OverflowError();
        n = std::llround(r.dblVal);
        break;
    }
    case VT_BSTR: {
        const BSTR s = (v.vt & VT_BYREF) ? *v.pbstrVal : v.bstrVal;
        // Text stores (a page's parameters) give numbers back as text.
        n = text::parseInteger(utf8(s ? s : L"", s ? SysStringLen(s) : 0), -2147483648LL,
                               0xFFFFFFFFLL);
        break;
    }
    default:
        throw TypeMismatchError();
    }
    // Signed 32-bit values are the same colours as their unsigned bit patterns.
    return static_cast<OleColour>(static_cast<std::uint32_t>(n));
}

Com<IPictureDisp> pictureFromBytes(const void* data, std::size_t size) {
    if (size == 0)
        return {};
    if (size > 0x7FFFFFFF)
        throw EngineError(Error::InvalidPicture);
    Com<IStream> stream;
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory)
        throw EngineError(Error::OutOfMemory);
    std::memcpy(GlobalLock(memory), data, size);
    GlobalUnlock(memory);
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.put()))) {
        GlobalFree(memory);
        throw EngineError(Error::OutOfMemory);
    }
    Com<IPictureDisp> picture;
    if (FAILED(OleLoadPicture(stream.get(), LONG(size), FALSE, IID_IPictureDisp,
                              reinterpret_cast<void**>(picture.put()))) ||
        !picture)
        throw EngineError(Error::InvalidPicture);
    return picture;
}

Com<IPictureDisp> pictureFromVariant(const VARIANT& in) {
    const VARIANT& v = deref(in);
    IUnknown* object = nullptr;
    switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL:
        return {};
    case VT_DISPATCH:
        object = v.pdispVal;
        break;
    case VT_UNKNOWN:
        object = v.punkVal;
        break;
    case VT_DISPATCH | VT_BYREF:
        object = v.ppdispVal ? *v.ppdispVal : nullptr;
        break;
    case VT_UNKNOWN | VT_BYREF:
        object = v.ppunkVal ? *v.ppunkVal : nullptr;
        break;
    case VT_ARRAY | VT_UI1: {
        SAFEARRAY* a = v.parray;
        if (!a || SafeArrayGetDim(a) != 1)
            throw TypeMismatchError();
        void* bytes = nullptr;
        if (FAILED(SafeArrayAccessData(a, &bytes)))
            throw TypeMismatchError();
        struct Unaccess {
            SAFEARRAY* a;
            ~Unaccess() { SafeArrayUnaccessData(a); }
        } unaccess{a};
        return pictureFromBytes(bytes, a->rgsabound[0].cElements);
    }
    case VT_BSTR:
        if (!v.bstrVal || SysStringLen(v.bstrVal) == 0)
            return {};
        throw TypeMismatchError();
    default:
        throw TypeMismatchError();
    }
    if (!object)
        return {}; // Nothing clears the picture
    Com<IPictureDisp> picture;
    if (FAILED(object->QueryInterface(IID_IPictureDisp, reinterpret_cast<void**>(picture.put()))))
        throw EngineError(Error::InvalidPicture);
    return picture;
}

std::vector<BYTE> pictureBytes(IUnknown* picture) {
    Com<IPersistStream> persist;
    if (!picture || FAILED(picture->QueryInterface(IID_IPersistStream,
                                                   reinterpret_cast<void**>(persist.put()))))
        throw EngineError(Error::InvalidPicture);
    Com<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())))
        throw EngineError(Error::OutOfMemory);
    if (FAILED(persist->Save(stream.get(), TRUE)))
        throw EngineError(Error::InvalidPicture);
    HGLOBAL memory = nullptr;
    STATSTG stat{};
    if (FAILED(GetHGlobalFromStream(stream.get(), &memory)) ||
        FAILED(stream->Stat(&stat, STATFLAG_NONAME)))
        throw EngineError(Error::InvalidPicture);
    std::vector<BYTE> bytes(std::size_t(stat.cbSize.QuadPart));
    if (!bytes.empty()) {
        std::memcpy(bytes.data(), GlobalLock(memory), bytes.size());
        GlobalUnlock(memory);
    }
    return bytes;
}

} // namespace kalendo::activex
