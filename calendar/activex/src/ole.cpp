// SPDX-License-Identifier: MIT
// The container protocol: embedding, in-place activation, drawing for the container,
// connection points, class information and quick activation.
#include "control.h"
#include "guids.h"

namespace kalendo::activex {

namespace {

// What containers read before they place the control: activate it as soon as it is seen,
// keep it the size it says, give it its site first.
constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                              OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                              OLEMISC_SETCLIENTSITEFIRST;

void fixedExtent(SIZEL* size) {
    size->cx = kWidthHimetric;
    size->cy = kHeightHimetric;
}

} // namespace

// --- IOleObject ---

HRESULT Control::SetClientSite(IOleClientSite* site) {
    m_site = site;
    return S_OK;
}

HRESULT Control::GetClientSite(IOleClientSite** site) {
    if (!site)
        return E_POINTER;
    *site = m_site.get();
    if (*site)
        (*site)->AddRef();
    return S_OK;
}

HRESULT Control::Close(DWORD) {
    InPlaceDeactivate();
    if (m_adviseHolder)
        m_adviseHolder->SendOnClose();
    return S_OK;
}

HRESULT Control::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                        LPCRECT posRect) {
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
        return activate(site, parent, posRect, false);
    case OLEIVERB_UIACTIVATE:
        return activate(site, parent, posRect, true);
    case OLEIVERB_HIDE:
        if (m_hwnd)
            ShowWindow(m_hwnd, SW_HIDE);
        return S_OK;
    default:
        return OLEOBJ_S_INVALIDVERB;
    }
}

HRESULT Control::activate(IOleClientSite* site, HWND parent, LPCRECT posRect, bool uiActivate) {
    if (!m_site && site)
        m_site = site;
    if (!m_inPlaceActive) {
        RECT pos = posRect ? *posRect : RECT{0, 0, kWidth, kHeight};
        if (m_site)
            m_inPlaceSite = m_site.as<IOleInPlaceSite>();
        if (m_inPlaceSite) {
            if (m_inPlaceSite->CanInPlaceActivate() != S_OK)
                return E_FAIL;
            m_inPlaceSite->OnInPlaceActivate();
            HWND siteWindow = nullptr;
            if (SUCCEEDED(m_inPlaceSite->GetWindow(&siteWindow)) && siteWindow)
                parent = siteWindow;
            Com<IOleInPlaceFrame> frame;
            Com<IOleInPlaceUIWindow> document;
            RECT sitePos{}, clip{};
            OLEINPLACEFRAMEINFO info{};
            info.cb = sizeof info;
            if (SUCCEEDED(m_inPlaceSite->GetWindowContext(frame.put(), document.put(), &sitePos,
                                                          &clip, &info)))
                pos = sitePos;
        }
        if (!parent)
            return E_INVALIDARG;
        createWindow(parent, pos);
        if (!m_hwnd)
            return E_FAIL;
        m_inPlaceActive = true;
    }
    ShowWindow(m_hwnd, SW_SHOWNA);
    if (uiActivate && !m_uiActive) {
        m_uiActive = true;
        if (m_inPlaceSite)
            m_inPlaceSite->OnUIActivate();
        SetFocus(m_hwnd);
    }
    return S_OK;
}

HRESULT Control::EnumVerbs(IEnumOLEVERB** verbs) {
    return OleRegEnumVerbs(kClsid, verbs);
}

HRESULT Control::GetUserClassID(CLSID* clsid) {
    return GetClassID(clsid);
}

HRESULT Control::GetUserType(DWORD form, LPOLESTR* type) {
    return OleRegGetUserType(kClsid, form, type);
}

HRESULT Control::SetExtent(DWORD aspect, SIZEL*) {
    // The control keeps its size whatever a container asks for: some pass extents in the
    // wrong unit, and the grid is drawn for this one size.
    return aspect == DVASPECT_CONTENT ? S_OK : E_FAIL;
}

HRESULT Control::GetExtent(DWORD aspect, SIZEL* size) {
    if (!size)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return E_FAIL;
    fixedExtent(size);
    return S_OK;
}

HRESULT Control::Advise(IAdviseSink* sink, DWORD* cookie) {
    return m_adviseHolder ? m_adviseHolder->Advise(sink, cookie) : E_OUTOFMEMORY;
}

HRESULT Control::Unadvise(DWORD cookie) {
    return m_adviseHolder ? m_adviseHolder->Unadvise(cookie) : E_OUTOFMEMORY;
}

HRESULT Control::EnumAdvise(IEnumSTATDATA** advise) {
    return m_adviseHolder ? m_adviseHolder->EnumAdvise(advise) : E_OUTOFMEMORY;
}

HRESULT Control::GetMiscStatus(DWORD, DWORD* status) {
    if (!status)
        return E_POINTER;
    *status = kMiscStatus;
    return S_OK;
}

// --- IOleInPlaceObject ---

HRESULT Control::GetWindow(HWND* window) {
    if (!window)
        return E_POINTER;
    *window = m_hwnd;
    return m_hwnd ? S_OK : E_FAIL;
}

HRESULT Control::InPlaceDeactivate() {
    if (!m_inPlaceActive)
        return S_OK;
    UIDeactivate();
    m_inPlaceActive = false;
    destroyWindow();
    if (m_inPlaceSite) {
        m_inPlaceSite->OnInPlaceDeactivate();
        m_inPlaceSite.reset();
    }
    return S_OK;
}

HRESULT Control::UIDeactivate() {
    if (!m_uiActive)
        return S_OK;
    m_uiActive = false;
    if (m_inPlaceSite)
        m_inPlaceSite->OnUIDeactivate(FALSE);
    return S_OK;
}

HRESULT Control::SetObjectRects(LPCRECT posRect, LPCRECT) {
    if (!posRect)
        return E_POINTER;
    // Placed where the container says, at its own size.
    if (m_hwnd)
        SetWindowPos(m_hwnd, nullptr, posRect->left, posRect->top, kWidth, kHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
}

// --- IViewObject2 ---

HRESULT Control::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                      LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!dc || !bounds)
        return E_INVALIDARG;
    // Drawn 1:1 into a bitmap, then onto the container's rectangle at whatever scale it has.
    const HDC memory = CreateCompatibleDC(dc);
    const HBITMAP bitmap = CreateCompatibleBitmap(dc, kWidth, kHeight);
    if (!memory || !bitmap) {
        if (bitmap)
            DeleteObject(bitmap);
        if (memory)
            DeleteDC(memory);
        return E_OUTOFMEMORY;
    }
    const HGDIOBJ old = SelectObject(memory, bitmap);
    paint(memory, true);
    const int w = int(bounds->right - bounds->left), h = int(bounds->bottom - bounds->top);
    BOOL ok = FALSE;
    if (w == kWidth && h == kHeight) {
        ok = BitBlt(dc, bounds->left, bounds->top, w, h, memory, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dc, HALFTONE);
        ok =
            StretchBlt(dc, bounds->left, bounds->top, w, h, memory, 0, 0, kWidth, kHeight, SRCCOPY);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return ok ? S_OK : E_FAIL;
}

HRESULT Control::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    m_viewAspects = aspects;
    m_viewFlags = flags;
    m_viewSink = sink;
    return S_OK;
}

HRESULT Control::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects)
        *aspects = m_viewAspects;
    if (flags)
        *flags = m_viewFlags;
    if (sink) {
        *sink = m_viewSink.get();
        if (*sink)
            (*sink)->AddRef();
    }
    return S_OK;
}

HRESULT Control::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

// --- IOleControl ---

HRESULT Control::GetControlInfo(CONTROLINFO* info) {
    if (!info)
        return E_POINTER;
    info->cb = sizeof *info;
    info->hAccel = nullptr; // no mnemonics
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

// --- IConnectionPointContainer ---

namespace {

// Enumerates the two connection points.
class PointEnum final : public IEnumConnectionPoints {
public:
    PointEnum(std::vector<Com<IConnectionPoint>> points, std::size_t at = 0)
        : m_points(std::move(points))
        , m_at(at) {
        InterlockedIncrement(&g_moduleUsers);
    }
    ~PointEnum() { InterlockedDecrement(&g_moduleUsers); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IEnumConnectionPoints)
            return E_NOINTERFACE;
        *out = static_cast<IEnumConnectionPoints*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG n = InterlockedDecrement(&m_refs);
        if (n == 0)
            delete this;
        return ULONG(n);
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, IConnectionPoint** out, ULONG* fetched) override {
        if (!out)
            return E_POINTER;
        ULONG n = 0;
        for (; n < count && m_at < m_points.size(); ++n, ++m_at) {
            out[n] = m_points[m_at].get();
            out[n]->AddRef();
        }
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        m_at = std::min(m_points.size(), m_at + count);
        return m_at < m_points.size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        m_at = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** out) override {
        if (!out)
            return E_POINTER;
        *out = new (std::nothrow) PointEnum(m_points, m_at);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

private:
    LONG m_refs = 1;
    std::vector<Com<IConnectionPoint>> m_points;
    std::size_t m_at;
};

} // namespace

HRESULT Control::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (!points)
        return E_POINTER;
    *points = new (std::nothrow) PointEnum(
        {Com<IConnectionPoint>(m_propertyPoint.get()), Com<IConnectionPoint>(m_eventPoint.get())});
    return *points ? S_OK : E_OUTOFMEMORY;
}

HRESULT Control::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point)
        return E_POINTER;
    *point = nullptr;
    if (iid == IID_IPropertyNotifySink)
        *point = m_propertyPoint.get();
    else if (iid == kDiidEvents || iid == IID_IDispatch)
        *point = m_eventPoint.get();
    if (!*point)
        return CONNECT_E_NOCONNECTION;
    (*point)->AddRef();
    return S_OK;
}

// --- IProvideClassInfo2 ---

HRESULT Control::GetClassInfo(ITypeInfo** info) {
    if (!info)
        return E_POINTER;
    *info = nullptr;
    ITypeLib* lib = typeLibrary();
    return lib ? lib->GetTypeInfoOfGuid(kClsid, info) : TYPE_E_CANTLOADLIBRARY;
}

HRESULT Control::GetGUID(DWORD kind, GUID* guid) {
    if (!guid)
        return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID)
        return E_INVALIDARG;
    *guid = kDiidEvents;
    return S_OK;
}

// --- IQuickActivate ---

HRESULT Control::QuickActivate(QACONTAINER* container, QACONTROL* control) {
    if (!container || !control || container->cbSize < sizeof(QACONTAINER) ||
        control->cbSize < sizeof(QACONTROL))
        return E_INVALIDARG;
    SetClientSite(container->pClientSite);
    if (container->pAdviseSink)
        SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
    control->dwMiscStatus = kMiscStatus;
    control->dwViewStatus = VIEWSTATUS_OPAQUE;
    control->dwEventCookie = 0;
    control->dwPropNotifyCookie = 0;
    control->dwPointerActivationPolicy = 0;
    if (container->pUnkEventSink)
        m_eventPoint->Advise(container->pUnkEventSink, &control->dwEventCookie);
    if (container->pPropertyNotifySink)
        m_propertyPoint->Advise(container->pPropertyNotifySink, &control->dwPropNotifyCookie);
    return S_OK;
}

HRESULT Control::GetContentExtent(LPSIZEL size) {
    if (!size)
        return E_POINTER;
    fixedExtent(size);
    return S_OK;
}

} // namespace kalendo::activex
