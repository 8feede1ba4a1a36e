// SPDX-License-Identifier: MIT
// Writes the type library of kalendo.ocx from the control's member list: the library
// Kalendo12 with the dispatch interface _Kalendo, the event interface __Kalendo (no
// events) and the class Kalendo. IDL compilers reject the Chinese member names, so the
// library is built through the type library creation interfaces instead.
//   make_typelib OUTPUT.tlb
#include "../src/com_ptr.h"
#include "../src/guids.h"
#include "../src/members.h"

#include <cstdio>
#include <oaidl.h>
#include <ocidl.h>
#include <olectl.h>
#include <vector>

using namespace kalendo::activex;

namespace {

// IDispatch, OLE_COLOR and IPictureDisp as the standard OLE library declares them.
constexpr GUID kStdOle = {0x00020430, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kOleColour = {
    0x66504301, 0xBE0F, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};

void check(HRESULT hr, const char* what) {
    if (FAILED(hr)) {
        std::fprintf(stderr, "make_typelib: %s failed: 0x%08lx\n", what,
                     static_cast<unsigned long>(hr));
        std::exit(1);
    }
}

struct Refs {
    HREFTYPE dispatch = 0;
    HREFTYPE oleColour = 0;
    HREFTYPE picture = 0;
    bool hasColour = false, hasPicture = false;
};

Refs referTo(ICreateTypeInfo* info, ITypeLib* stdole) {
    Refs r;
    Com<ITypeInfo> t;
    check(stdole->GetTypeInfoOfGuid(IID_IDispatch, t.put()), "IDispatch");
    check(info->AddRefTypeInfo(t.get(), &r.dispatch), "AddRefTypeInfo IDispatch");
    if (SUCCEEDED(stdole->GetTypeInfoOfGuid(kOleColour, t.put())))
        r.hasColour = SUCCEEDED(info->AddRefTypeInfo(t.get(), &r.oleColour));
    if (SUCCEEDED(stdole->GetTypeInfoOfGuid(IID_IPictureDisp, t.put())))
        r.hasPicture = SUCCEEDED(info->AddRefTypeInfo(t.get(), &r.picture));
    return r;
}

// Type descriptions live as long as the generator runs.
TYPEDESC* keep(TYPEDESC d) {
    static std::vector<TYPEDESC*> kept;
    kept.push_back(new TYPEDESC(d));
    return kept.back();
}

TYPEDESC describe(VARTYPE vt, const Refs& refs, bool byRef) {
    TYPEDESC d{};
    if (vt == VT_UI4 && refs.hasColour) {
        d.vt = VT_USERDEFINED;
        d.hreftype = refs.oleColour;
    } else if (vt == VT_DISPATCH && refs.hasPicture) {
        TYPEDESC inner{};
        inner.vt = VT_USERDEFINED;
        inner.hreftype = refs.picture;
        d.vt = VT_PTR;
        d.lptdesc = keep(inner);
    } else {
        d.vt = vt == VT_EMPTY ? VARTYPE(VT_VOID) : vt;
    }
    if (byRef) {
        TYPEDESC ref{};
        ref.vt = VT_PTR;
        ref.lptdesc = keep(d);
        return ref;
    }
    return d;
}

void addMembers(ICreateTypeInfo* info, const Refs& refs) {
    UINT funcIndex = 0, varIndex = 0;
    for (const DispMember& m : dispatchMembers()) {
        if (m.isProperty) {
            VARDESC v{};
            v.memid = m.id;
            v.varkind = VAR_DISPATCH;
            v.elemdescVar.tdesc = describe(m.type, refs, false);
            check(info->AddVarDesc(varIndex, &v), "AddVarDesc");
            check(info->SetVarName(varIndex, const_cast<LPOLESTR>(m.wideName.c_str())),
                  "SetVarName");
            ++varIndex;
            continue;
        }
        std::vector<ELEMDESC> params(m.params.size());
        std::vector<std::wstring> names{m.wideName};
        for (std::size_t i = 0; i < m.params.size(); ++i) {
            params[i].tdesc = describe(m.params[i].type, refs, m.params[i].byRef);
            params[i].paramdesc.wParamFlags =
                m.params[i].byRef ? PARAMFLAG_FIN | PARAMFLAG_FOUT : PARAMFLAG_FIN;
            names.push_back(wide(m.params[i].name));
        }
        FUNCDESC f{};
        f.memid = m.id;
        f.funckind = FUNC_DISPATCH;
        f.invkind = INVOKE_FUNC;
        f.callconv = CC_STDCALL;
        f.cParams = SHORT(params.size());
        f.lprgelemdescParam = params.empty() ? nullptr : params.data();
        f.elemdescFunc.tdesc = describe(m.type, refs, false);
        check(info->AddFuncDesc(funcIndex, &f), "AddFuncDesc");
        std::vector<LPOLESTR> raw;
        for (std::wstring& n : names)
            raw.push_back(n.data());
        check(info->SetFuncAndParamNames(funcIndex, raw.data(), UINT(raw.size())),
              "SetFuncAndParamNames");
        ++funcIndex;
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_typelib OUTPUT.tlb\n");
        return 2;
    }
    check(CoInitialize(nullptr), "CoInitialize");
    Com<ITypeLib> stdole;
    check(LoadRegTypeLib(kStdOle, 2, 0, 0, stdole.put()), "LoadRegTypeLib stdole2");

    Com<ICreateTypeLib2> lib;
    check(CreateTypeLib2(SYS_WIN64, argv[1], lib.put()), "CreateTypeLib2");
    check(lib->SetGuid(kLibid), "SetGuid");
    check(lib->SetName(const_cast<LPOLESTR>(kLibraryName)), "SetName");
    check(lib->SetVersion(kLibraryMajor, kLibraryMinor), "SetVersion");
    check(lib->SetLcid(LOCALE_NEUTRAL), "SetLcid");
    check(lib->SetDocString(const_cast<LPOLESTR>(L"Kalendo 12 calendar control")), "SetDocString");

    Com<ICreateTypeInfo> dispatch;
    check(lib->CreateTypeInfo(const_cast<LPOLESTR>(L"_Kalendo"), TKIND_DISPATCH, dispatch.put()),
          "CreateTypeInfo _Kalendo");
    check(dispatch->SetGuid(kDiidKalendo), "SetGuid _Kalendo");
    check(dispatch->SetTypeFlags(TYPEFLAG_FDISPATCHABLE | TYPEFLAG_FHIDDEN), "SetTypeFlags");
    const Refs refs = referTo(dispatch.get(), stdole.get());
    check(dispatch->AddImplType(0, refs.dispatch), "AddImplType _Kalendo");
    addMembers(dispatch.get(), refs);
    check(dispatch->LayOut(), "LayOut _Kalendo");

    Com<ICreateTypeInfo> events;
    check(lib->CreateTypeInfo(const_cast<LPOLESTR>(L"__Kalendo"), TKIND_DISPATCH, events.put()),
          "CreateTypeInfo __Kalendo");
    check(events->SetGuid(kDiidEvents), "SetGuid __Kalendo");
    check(events->SetTypeFlags(TYPEFLAG_FDISPATCHABLE | TYPEFLAG_FHIDDEN), "SetTypeFlags");
    {
        const Refs eventRefs = referTo(events.get(), stdole.get());
        check(events->AddImplType(0, eventRefs.dispatch), "AddImplType __Kalendo");
    }
    check(events->LayOut(), "LayOut __Kalendo");

    Com<ICreateTypeInfo> coclass;
    check(lib->CreateTypeInfo(const_cast<LPOLESTR>(L"Kalendo"), TKIND_COCLASS, coclass.put()),
          "CreateTypeInfo Kalendo");
    check(coclass->SetGuid(kClsid), "SetGuid Kalendo");
    check(coclass->SetTypeFlags(TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL), "SetTypeFlags");
    HREFTYPE hDispatch = 0, hEvents = 0;
    check(coclass->AddRefTypeInfo(dispatch.as<ITypeInfo>().get(), &hDispatch), "ref _Kalendo");
    check(coclass->AddRefTypeInfo(events.as<ITypeInfo>().get(), &hEvents), "ref __Kalendo");
    check(coclass->AddImplType(0, hDispatch), "AddImplType 0");
    check(coclass->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT), "SetImplTypeFlags 0");
    check(coclass->AddImplType(1, hEvents), "AddImplType 1");
    check(coclass->SetImplTypeFlags(1, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE),
          "SetImplTypeFlags 1");
    check(coclass->LayOut(), "LayOut Kalendo");

    check(lib->SaveAllChanges(), "SaveAllChanges");
    CoUninitialize();
    return 0;
}
