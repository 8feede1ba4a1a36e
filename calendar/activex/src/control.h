// SPDX-License-Identifier: MIT
#pragma once

// The Kalendo ActiveX control: one COM object serving the dispatch interface _Kalendo, the
// container protocol of an embeddable control and a window that paints the month with GDI.
// What it shows and how it moves through the months is the month view's; the colours and
// pictures are the appearance table's elements.

#include "com_ptr.h"
#include "element_colours.h"
#include "members.h"
#include "readback.h"

#include <array>
#include <kalendo/engine.h>
#include <kalendo/errors.h>
#include <map>
#include <month_view.h>
#include <ocidl.h>
#include <olectl.h>
#include <optional>
#include <windows.h>

namespace kalendo::activex {

class ConnectionPoint;

// Objects and locks alive in this module, for DllCanUnloadNow.
extern LONG g_moduleUsers;
extern HINSTANCE g_module;
// The full path of kalendo.ocx, however long.
std::wstring modulePath();

// Geometry: twips to pixels at 96 dots per inch, and the control's fixed size.
constexpr int px(int twips) {
    return (twips + 7) / 15;
}
constexpr int kWidthTwips = 8520;
constexpr int kHeightTwips = 5160;
constexpr int kWidth = px(kWidthTwips);   // 568
constexpr int kHeight = px(kHeightTwips); // 344
// HIMETRIC (0.01 mm) of the fixed size, as containers measure extents.
constexpr LONG kWidthHimetric = (kWidthTwips * 2540 + 720) / 1440;
constexpr LONG kHeightHimetric = (kHeightTwips * 2540 + 720) / 1440;

// Where the elements lie, in pixels of the control.
RECT dayCellRect(int cell);    // the whole cell: number and calendar line
RECT dayNumberRect(int cell);  // 阳历日(i)
RECT dayCaptionRect(int cell); // Label2(i)
RECT buttonRect(int button);
RECT listRect(int list);

class Control final : public IDispatch,
                      public IOleObject,
                      public IOleInPlaceObject,
                      public IOleInPlaceActiveObject,
                      public IViewObject2,
                      public IPersistStreamInit,
                      public IPersistPropertyBag,
                      public IOleControl,
                      public IConnectionPointContainer,
                      public IProvideClassInfo2,
                      public IQuickActivate,
                      public IKalendoReadback {
public:
    Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index,
                                     HWND parent, LPCRECT posRect) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT posRect, LPCRECT clipRect) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

    // IViewObject2
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo,
                                   DVTARGETDEVICE* target, HDC targetDc, HDC dc, LPCRECTL bounds,
                                   LPCRECTL windowBounds, BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR),
                                   ULONG_PTR contArg) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                          LOGPALETTE**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* target,
                                        LPSIZEL size) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override { return m_dirty ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL) override { return S_OK; }

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

    // IQuickActivate
    HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* container, QACONTROL* control) override;
    HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL size) override;

    // IKalendoReadback
    HRESULT STDMETHODCALLTYPE SetToday(DATE today) override;
    HRESULT STDMETHODCALLTYPE Cell(LONG cell, BSTR* day, BSTR* caption, DWORD* colour,
                                   BOOL* today) override;
    HRESULT STDMETHODCALLTYPE Text(LONG element, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE State(LONG* selected, LONG* enabledButtons, LONG* year,
                                    LONG* month) override;
    HRESULT STDMETHODCALLTYPE Place(LONG element, RECT* rect) override;

    // --- For the window ---
    LRESULT windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    // Paints the whole control into `dc` at (0, 0), 1:1; with `children` the lists and
    // buttons too (a window has real ones).
    void paint(HDC dc, bool children) const;

private:
    ~Control();

    // The failure of a member, property access or user action: the classic number and
    // message, and what failed.
    struct Failure {
        int number = 0;
        std::wstring message;
        std::wstring source;
    };
    // Runs `body`; an error it throws becomes a Failure. Nothing escapes.
    template <class F> std::optional<Failure> guard(std::wstring_view source, F&& body) noexcept;
    // A user action or host call on the month view, then the view shown again.
    template <class F> std::optional<Failure> act(std::wstring_view source, F&& body) noexcept;
    HRESULT report(const std::optional<Failure>& failure, EXCEPINFO* exception) const;

    void invokeMember(const DispMember& m, WORD flags, DISPPARAMS* params, VARIANT* result);
    void getProperty(const AppearanceProperty& p, VARIANT* result) const;
    void putProperty(const AppearanceProperty& p, const VARIANT& value);
    void changed(DISPID id); // notifies the property sinks and marks the control dirty
    void refresh();          // shows the view's state: lists, buttons, a repaint

    Com<IPictureDisp>* pictureAt(Slot s, Attribute a);
    const Com<IPictureDisp>* pictureAt(Slot s, Attribute a) const;
    void applyDefaults();
    // Applies a stored value (nullptr: none stored, the default) to the elements a load
    // sets, without a notification. Throws on a value of the wrong kind.
    void applyStored(const AppearanceProperty& p, const VARIANT* stored);
    // The value a save writes for a property, or VT_EMPTY when it writes none.
    void valueToSave(const AppearanceProperty& p, VARIANT* out) const;
    void loaded(); // after a load or InitNew: clean, and shown

    Date today() const;
    HRESULT activate(IOleClientSite* site, HWND parent, LPCRECT posRect, bool uiActivate);
    void createWindow(HWND parent, const RECT& pos);
    void destroyWindow();
    void drawButton(const DRAWITEMSTRUCT& item) const;
    void createFonts();

    LONG m_refs = 1;
    Engine m_engine;
    std::optional<Date> m_pinnedToday;
    MonthView m_view;
    ElementColours m_colours;
    Com<IPictureDisp> m_backgroundPicture;
    std::array<Com<IPictureDisp>, kButtons> m_buttonPictures, m_pressedPictures;
    bool m_dirty = false;
    Failure m_lastFailure;

    Com<IOleClientSite> m_site;
    Com<IOleInPlaceSite> m_inPlaceSite;
    Com<IOleAdviseHolder> m_adviseHolder;
    Com<IAdviseSink> m_viewSink;
    DWORD m_viewAspects = 0, m_viewFlags = 0;
    Com<ConnectionPoint> m_propertyPoint; // IPropertyNotifySink
    Com<ConnectionPoint> m_eventPoint;    // __Kalendo, which has no events
    bool m_inPlaceActive = false;
    bool m_uiActive = false;

    HWND m_hwnd = nullptr;
    std::array<HWND, 4> m_lists{};
    std::array<HWND, kButtons> m_buttons{};
    std::array<bool, 4> m_typed{}; // typed into since the text was last applied
    bool m_refreshing = false;     // the control itself sets the lists' texts
    HFONT m_defaultFont = nullptr, m_titleFont = nullptr, m_dayFont = nullptr;
    HFONT m_watermarkFont = nullptr, m_buttonFont = nullptr;
};

// The one connection point kind the control needs: a list of sinks of one interface.
class ConnectionPoint final : public IConnectionPoint {
public:
    ConnectionPoint(IConnectionPointContainer* owner, const IID& iid)
        : m_owner(owner)
        , m_iid(iid) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** c) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** e) override;

    const std::map<DWORD, Com<IUnknown>>& sinks() const { return m_sinks; }
    void detach() { m_owner = nullptr; } // the control is gone

private:
    LONG m_refs = 1;
    IConnectionPointContainer* m_owner; // not owned: the control owns this point
    IID m_iid;
    std::map<DWORD, Com<IUnknown>> m_sinks;
    DWORD m_nextCookie = 1;
};

// The type library embedded in kalendo.ocx, loaded once, and let go when the module may
// unload.
ITypeLib* typeLibrary();
void releaseTypeLibrary();

template <class F>
std::optional<Control::Failure> Control::guard(std::wstring_view source, F&& body) noexcept {
    try {
        body();
        return std::nullopt;
    } catch (const EngineError& e) {
        m_lastFailure = {e.number(), wide(e.what()), std::wstring(source)};
    } catch (const std::bad_alloc&) {
        m_lastFailure = {int(Error::OutOfMemory), wide(defaultMessage(Error::OutOfMemory)),
                         std::wstring(source)};
    } catch (const std::exception& e) {
        m_lastFailure = {int(Error::Internal), wide(e.what()), std::wstring(source)};
    } catch (...) {
        m_lastFailure = {int(Error::Internal), wide(defaultMessage(Error::Internal)),
                         std::wstring(source)};
    }
    return m_lastFailure;
}

template <class F>
std::optional<Control::Failure> Control::act(std::wstring_view source, F&& body) noexcept {
    const auto failure = guard(source, std::forward<F>(body));
    // A failed action has put the view back; either way the control shows the view.
    const auto shown = guard(source, [&] { refresh(); });
    return failure ? failure : shown;
}

} // namespace kalendo::activex
