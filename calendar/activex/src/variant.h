// SPDX-License-Identifier: MIT
#pragma once

// Automation values and the engine's: arguments in, results and by-reference arguments out.

#include "com_ptr.h"

#include <kalendo/dispatch.h>
#include <kalendo/ole_colour_value.h>
#include <oaidl.h>
#include <ocidl.h>
#include <vector>
#include <windows.h>

namespace kalendo::activex {

// An argument as the engine takes it; a by-reference argument is read through. Throws
// TypeMismatchError for what no member takes (objects, arrays, Null).
Value fromVariant(const VARIANT& v);

// A result for the host: integers as 16-bit where they fit (the engine's integers), texts
// as BSTR, dates as DATE. `out` must be empty.
HRESULT toVariant(const Value& value, VARIANT* out);

// Gives a by-reference argument the value a member left in it, in the argument's own type.
void writeBack(VARIANT& arg, const Value& value);

DATE toOleDate(DateTime dt);
// Throws TypeMismatchError for a date outside years 1-9999 or no number.
DateTime fromOleDate(DATE d);

// A colour as hosts and stores hand it over: any integer or a decimal text. Throws
// TypeMismatchError or OverflowError; the colour itself is not checked here.
OleColour colourFromVariant(const VARIANT& v);

// A picture as hosts and stores hand it over: a picture object, picture data (bytes), or
// nothing (empty, Null, Nothing, an empty text), which clears. A file name is not taken:
// a page's parameters must not read the disk. Throws TypeMismatchError, or EngineError 481
// for data or an object that is no picture.
Com<IPictureDisp> pictureFromVariant(const VARIANT& v);
Com<IPictureDisp> pictureFromBytes(const void* data, std::size_t size);
// The picture's persisted form, which pictureFromBytes reads back.
std::vector<BYTE> pictureBytes(IUnknown* picture);

} // namespace kalendo::activex
