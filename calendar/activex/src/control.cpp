// SPDX-License-Identifier: MIT
// The control object: its identity, the dispatch interface _Kalendo and the read-back
// interface.
#include "control.h"

#include "guids.h"
#include "variant.h"

#include <kalendo/errors.h>

namespace kalendo::activex {

LONG g_moduleUsers = 0;
HINSTANCE g_module = nullptr;

std::wstring modulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(g_module, path.data(), DWORD(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

namespace {

ITypeLib* g_typeLibrary = nullptr;

// The arguments of a call in parameter order; named arguments go to their parameter.
std::vector<VARIANT*> positional(DISPPARAMS* p, bool put) {
    const UINT count = p->cArgs;
    std::vector<VARIANT*> args(count, nullptr);
    UINT named = p->cNamedArgs;
    if (put) {
        if (count != 1 || named > 1 ||
            (named == 1 && p->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
            throw EngineError(Error::WrongArgumentCount);
        args[0] = &p->rgvarg[0];
        return args;
    }
    for (UINT k = 0; k < named; ++k) {
        const DISPID at = p->rgdispidNamedArgs[k];
        if (at < 0 || UINT(at) >= count || args[std::size_t(at)])
            throw EngineError(Error::WrongArgumentCount);
        args[std::size_t(at)] = &p->rgvarg[k];
    }
    // The positional ones follow the named ones, last argument first.
    for (UINT i = 0; i < count - named; ++i) {
        if (args[i])
            throw EngineError(Error::WrongArgumentCount);
        args[i] = &p->rgvarg[count - 1 - i];
    }
    return args;
}

Int16 int16Argument(const VARIANT* v) {
    return toInt16(fromVariant(*v));
}

HRESULT copyText(const std::string& text, BSTR* out) {
    if (!out)
        return E_POINTER;
    const std::wstring w = wide(text);
    *out = SysAllocStringLen(w.data(), UINT(w.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

} // namespace

ITypeLib* typeLibrary() {
    if (!g_typeLibrary)
        LoadTypeLibEx(modulePath().c_str(), REGKIND_NONE, &g_typeLibrary);
    return g_typeLibrary;
}

void releaseTypeLibrary() {
    if (g_typeLibrary)
        std::exchange(g_typeLibrary, nullptr)->Release();
}

Control::Control()
    : m_view(m_engine, [this] { return today(); })
    , m_colours(ElementColours::initial()) {
    InterlockedIncrement(&g_moduleUsers);
    m_propertyPoint = adopt(new ConnectionPoint(this, IID_IPropertyNotifySink));
    m_eventPoint = adopt(new ConnectionPoint(this, kDiidEvents));
    CreateOleAdviseHolder(m_adviseHolder.put());
    createFonts();
    // A clock outside the lists' years leaves the control without a month; it still works.
    act(L"UserControl_Initialize", [&] { m_view.create(); });
}

Control::~Control() {
    destroyWindow();
    m_propertyPoint->detach();
    m_eventPoint->detach();
    for (HFONT f : {m_defaultFont, m_titleFont, m_dayFont, m_watermarkFont, m_buttonFont})
        if (f)
            DeleteObject(f);
    InterlockedDecrement(&g_moduleUsers);
}

HRESULT Control::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    void* p = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kDiidKalendo)
        p = static_cast<IDispatch*>(this);
    else if (iid == IID_IOleObject)
        p = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
        p = static_cast<IOleInPlaceObject*>(this);
    else if (iid == IID_IOleInPlaceActiveObject)
        p = static_cast<IOleInPlaceActiveObject*>(this);
    else if (iid == IID_IViewObject || iid == IID_IViewObject2)
        p = static_cast<IViewObject2*>(this);
    // IPersistStream's methods are the first ones of IPersistStreamInit.
    else if (iid == IID_IPersist || iid == IID_IPersistStreamInit || iid == IID_IPersistStream)
        p = static_cast<IPersistStreamInit*>(this);
    else if (iid == IID_IPersistPropertyBag)
        p = static_cast<IPersistPropertyBag*>(this);
    else if (iid == IID_IOleControl)
        p = static_cast<IOleControl*>(this);
    else if (iid == IID_IConnectionPointContainer)
        p = static_cast<IConnectionPointContainer*>(this);
    else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
        p = static_cast<IProvideClassInfo2*>(this);
    else if (iid == IID_IQuickActivate)
        p = static_cast<IQuickActivate*>(this);
    else if (iid == __uuidof(IKalendoReadback))
        p = static_cast<IKalendoReadback*>(this);
    *out = p;
    if (!p)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG Control::AddRef() {
    return ULONG(InterlockedIncrement(&m_refs));
}

ULONG Control::Release() {
    const LONG n = InterlockedDecrement(&m_refs);
    if (n == 0)
        delete this;
    return ULONG(n);
}

HRESULT Control::report(const std::optional<Failure>& failure, EXCEPINFO* exception) const {
    if (!failure)
        return S_OK;
    // Automation hosts read the classic number from a control error code (0x800A0000 + n).
    const HRESULT code = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, failure->number);
    if (!exception)
        return code;
    *exception = {};
    exception->bstrSource = SysAllocString(kProgId);
    exception->bstrDescription =
        SysAllocStringLen(failure->message.data(), UINT(failure->message.size()));
    exception->scode = code;
    return DISP_E_EXCEPTION;
}

// --- IDispatch ---

HRESULT Control::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = typeLibrary() ? 1 : 0;
    return S_OK;
}

HRESULT Control::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info)
        return E_POINTER;
    *info = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    ITypeLib* lib = typeLibrary();
    return lib ? lib->GetTypeInfoOfGuid(kDiidKalendo, info) : TYPE_E_CANTLOADLIBRARY;
}

HRESULT Control::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0)
        return E_INVALIDARG;
    const DispMember* m = memberByName(names[0]);
    ids[0] = m ? m->id : DISPID_UNKNOWN;
    HRESULT hr = m ? S_OK : DISP_E_UNKNOWNNAME;
    for (UINT i = 1; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        if (m)
            for (std::size_t k = 0; k < m->params.size(); ++k)
                if (CompareStringOrdinal(wide(m->params[k].name).c_str(), -1, names[i], -1, TRUE) ==
                    CSTR_EQUAL)
                    ids[i] = DISPID(k);
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT Control::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT*) {
    const DispMember* m = memberById(id);
    if (!m)
        return DISP_E_MEMBERNOTFOUND;
    DISPPARAMS none{};
    if (!params)
        params = &none;
    if (result)
        VariantInit(result);
    const std::wstring& source = m->wideName;
    const bool viewChanges = m->kind == MemberKind::FillMonth ||
                             m->kind == MemberKind::ShowRecord ||
                             (m->kind == MemberKind::DateProperty &&
                              (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)));
    const auto failure = viewChanges
                             ? act(source, [&] { invokeMember(*m, flags, params, result); })
                             : guard(source, [&] { invokeMember(*m, flags, params, result); });
    return report(failure, exception);
}

void Control::invokeMember(const DispMember& m, WORD flags, DISPPARAMS* p, VARIANT* result) {
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    if (put && !m.isProperty)
        throw EngineError(Error::NoSuchMember);
    const std::vector<VARIANT*> args = positional(p, put);
    const auto wanted = [&](std::size_t n) {
        if (args.size() != n)
            throw EngineError(Error::WrongArgumentCount);
    };

    switch (m.kind) {
    case MemberKind::Engine: {
        std::vector<Value> values;
        values.reserve(args.size());
        for (VARIANT* a : args)
            values.push_back(fromVariant(*a));
        const std::vector<Value> before = values;
        // Changed by-reference arguments go back to the caller even when the member fails.
        struct WriteBack {
            const std::vector<VARIANT*>& args;
            const std::vector<Value>& before;
            const std::vector<Value>& after;
            ~WriteBack() {
                for (std::size_t i = 0; i < args.size(); ++i)
                    if (!(after[i] == before[i]))
                        try {
                            writeBack(*args[i], after[i]);
                        } catch (const EngineError&) {
                            // A variable too small for the value keeps its own.
                        }
            }
        } writeBackOnExit{args, before, values};
        const Value value = callEngineMember(m_engine, m.name, values);
        if (result && FAILED(toVariant(value, result)))
            throw EngineError(Error::OutOfMemory);
        return;
    }
    case MemberKind::FillMonth:
        wanted(2);
        m_view.showMonth(int16Argument(args[0]), int16Argument(args[1]));
        return;
    case MemberKind::ShowRecord:
        wanted(1);
        m_view.showRecord(int16Argument(args[0]));
        return;
    case MemberKind::Appearance: {
        const AppearanceProperty& property = appearanceProperties()[std::size_t(m.index)];
        if (put) {
            putProperty(property, *args[0]);
            changed(m.id);
        } else {
            wanted(0);
            if (result)
                getProperty(property, result);
        }
        return;
    }
    case MemberKind::DateProperty:
        if (put) {
            // Both date properties select a day: the control keeps no date of its own.
            m_view.selectDate(toDateTime(fromVariant(*args[0])).date);
            changed(m.id);
        } else {
            wanted(0);
            if (result) {
                result->vt = VT_DATE;
                result->date = toOleDate(DateTime(m_view.selectedDate()));
            }
        }
        return;
    }
}

// --- Appearance ---

Com<IPictureDisp>* Control::pictureAt(Slot s, Attribute a) {
    if (s.element == Element::BackgroundPicture)
        return &m_backgroundPicture;
    if (s.element != Element::Button)
        return nullptr;
    auto& pictures = a == Attribute::PressedPicture ? m_pressedPictures : m_buttonPictures;
    return &pictures.at(std::size_t(s.index));
}

const Com<IPictureDisp>* Control::pictureAt(Slot s, Attribute a) const {
    return const_cast<Control*>(this)->pictureAt(s, a);
}

void Control::getProperty(const AppearanceProperty& p, VARIANT* result) const {
    const Slot first = p.writes.front();
    if (p.isColour()) {
        result->vt = VT_I4; // hosts without unsigned integers read colours too
        result->lVal = LONG(*const_cast<ElementColours&>(m_colours).at(first, p.attribute));
        return;
    }
    const Com<IPictureDisp>& picture = *pictureAt(first, p.attribute);
    result->vt = VT_DISPATCH;
    result->pdispVal = picture.get();
    if (result->pdispVal)
        result->pdispVal->AddRef();
}

void Control::putProperty(const AppearanceProperty& p, const VARIANT& value) {
    if (p.isColour()) {
        const OleColour c = colourFromVariant(value);
        if (!isValidColour(c))
            throw EngineError(Error::InvalidPropertyValue);
        for (const Slot& s : p.writes)
            *m_colours.at(s, p.attribute) = c;
    } else {
        const Com<IPictureDisp> picture = pictureFromVariant(value);
        for (const Slot& s : p.writes)
            *pictureAt(s, p.attribute) = picture;
    }
}

void Control::applyDefaults() {
    m_colours = ElementColours::initial();
    m_backgroundPicture.reset();
    for (int b = 0; b < kButtons; ++b) {
        m_buttonPictures[std::size_t(b)].reset();
        m_pressedPictures[std::size_t(b)].reset();
    }
}

void Control::changed(DISPID id) {
    m_dirty = true;
    // Copied: a sink may unadvise while it is told.
    const auto sinks = m_propertyPoint->sinks();
    for (const auto& [cookie, sink] : sinks)
        if (const auto notify = sink.as<IPropertyNotifySink>())
            notify->OnChanged(id);
    if (m_viewSink)
        m_viewSink->OnViewChange(DVASPECT_CONTENT, -1);
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
    for (HWND b : m_buttons)
        if (b)
            InvalidateRect(b, nullptr, FALSE);
}

Date Control::today() const {
    if (m_pinnedToday)
        return *m_pinnedToday;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return Date::fromYmd(now.wYear, now.wMonth, now.wDay);
}

// --- IKalendoReadback ---

HRESULT Control::SetToday(DATE day) {
    if (day == 0) {
        m_pinnedToday.reset();
        return S_OK;
    }
    const auto failure = guard(L"SetToday", [&] { m_pinnedToday = fromOleDate(day).date; });
    return failure ? E_INVALIDARG : S_OK;
}

HRESULT Control::Cell(LONG cell, BSTR* day, BSTR* caption, DWORD* colour, BOOL* today) {
    if (cell < 0 || cell >= kCells)
        return E_INVALIDARG;
    const GridCell& c = m_view.grid().cells[std::size_t(cell)];
    if (colour)
        *colour = c.colour;
    if (today)
        *today = c.today;
    HRESULT hr = day ? copyText(c.day, day) : S_OK;
    if (SUCCEEDED(hr) && caption)
        hr = copyText(c.caption, caption);
    return hr;
}

HRESULT Control::Text(LONG element, BSTR* text) {
    const MonthGrid& g = m_view.grid();
    using L = MonthView::List;
    switch (Shown(element)) {
    case Shown::SolarYearList:
        return copyText(m_view.text(L::SolarYear), text);
    case Shown::SolarMonthList:
        return copyText(m_view.text(L::SolarMonth), text);
    case Shown::LunarYearList:
        return copyText(m_view.text(L::LunarYear), text);
    case Shown::LunarMonthList:
        return copyText(m_view.text(L::LunarMonth), text);
    case Shown::LeapYear:
        return copyText(g.leapYearText, text);
    case Shown::YearName:
        return copyText(g.yearName, text);
    case Shown::StarSign:
        return copyText(g.starSign, text);
    case Shown::YearWatermark:
        return copyText(g.yearWatermark, text);
    case Shown::MonthWatermark:
        return copyText(g.monthWatermark, text);
    }
    return E_INVALIDARG;
}

HRESULT Control::State(LONG* selected, LONG* enabledButtons, LONG* year, LONG* month) {
    if (selected)
        *selected = m_view.selectedCell();
    if (enabledButtons) {
        *enabledButtons = 0;
        for (int b = 0; b < kButtons; ++b)
            if (m_view.isEnabled(MonthView::Button(b)))
                *enabledButtons |= 1 << b;
    }
    if (year)
        *year = m_view.hasMonth() ? m_view.year() : 0;
    if (month)
        *month = m_view.hasMonth() ? m_view.month() : 0;
    return S_OK;
}

HRESULT Control::Place(LONG element, RECT* rect) {
    if (!rect)
        return E_POINTER;
    if (element >= 0 && element < kCells)
        *rect = dayCellRect(int(element));
    else if (element >= kFirstButtonPlace && element < kFirstButtonPlace + kButtons)
        *rect = buttonRect(int(element - kFirstButtonPlace));
    else
        return E_INVALIDARG;
    return S_OK;
}

// --- ConnectionPoint ---

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IConnectionPoint)
        return E_NOINTERFACE;
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

ULONG ConnectionPoint::Release() {
    const LONG n = InterlockedDecrement(&m_refs);
    if (n == 0)
        delete this;
    return ULONG(n);
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid)
        return E_POINTER;
    *iid = m_iid;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** c) {
    if (!c)
        return E_POINTER;
    *c = m_owner;
    if (!m_owner)
        return E_UNEXPECTED;
    m_owner->AddRef();
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie)
        return E_POINTER;
    Com<IUnknown> typed;
    if (FAILED(sink->QueryInterface(m_iid, reinterpret_cast<void**>(typed.put()))))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = m_nextCookie++;
    m_sinks[*cookie] = typed;
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
    return m_sinks.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** e) {
    if (e)
        *e = nullptr;
    return E_NOTIMPL;
}

} // namespace kalendo::activex
