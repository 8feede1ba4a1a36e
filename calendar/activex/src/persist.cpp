// SPDX-License-Identifier: MIT
// Persistence of the appearance properties: in a stream (IPersistStreamInit) and in a
// property bag (IPersistPropertyBag), each under the property's name.
#include "control.h"
#include "guids.h"
#include "variant.h"

#include <cstring>

namespace kalendo::activex {

namespace {

// The stream: a tag and a count, then the entries, each a name and a value. Loading reads
// every entry before it applies one, so that a damaged stream changes nothing.
constexpr DWORD kStreamTag = 0x31444C4B; // "KLD1"
constexpr BYTE kColourEntry = 1;
constexpr BYTE kPictureEntry = 2;
// Bounds that no stream this control writes comes near; anything beyond is damage.
constexpr DWORD kMaxEntries = 256;
constexpr WORD kMaxNameLength = 64;
constexpr DWORD kMaxPictureBytes = 64u << 20;

[[noreturn]] void damaged() {
    throw EngineError(Error::InvalidPropertyValue, "damaged property stream");
}

void readExactly(IStream* s, void* data, ULONG size) {
    ULONG read = 0;
    if (FAILED(s->Read(data, size, &read)) || read != size)
        damaged();
}

template <class T> T readValue(IStream* s) {
    T v{};
    readExactly(s, &v, sizeof v);
    return v;
}

void writeExactly(IStream* s, const void* data, ULONG size) {
    ULONG written = 0;
    if (FAILED(s->Write(data, size, &written)) || written != size)
        throw EngineError(Error::Internal, "the property stream could not be written");
}

template <class T> void writeValue(IStream* s, const T& v) {
    writeExactly(s, &v, sizeof v);
}

struct Variant {
    VARIANT v;
    Variant() { VariantInit(&v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&v); }
};

// Turns a failure into the result a persistence call gives its container.
HRESULT persistenceResult(int number) {
    return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number);
}

} // namespace

void Control::applyStored(const AppearanceProperty& p, const VARIANT* stored) {
    if (p.isColour()) {
        const OleColour c = stored ? colourFromVariant(*stored) : p.defaultColour;
        if (!isValidColour(c))
            throw EngineError(Error::InvalidPropertyValue);
        for (const Slot& s : p.loads)
            *m_colours.at(s, p.attribute) = c;
        return;
    }
    const Com<IPictureDisp> picture = stored ? pictureFromVariant(*stored) : Com<IPictureDisp>();
    for (const Slot& s : p.loads)
        *pictureAt(s, p.attribute) = picture;
}

void Control::valueToSave(const AppearanceProperty& p, VARIANT* out) const {
    VariantInit(out);
    if (p.isColour()) {
        out->vt = VT_I4;
        out->lVal = LONG(*const_cast<ElementColours&>(m_colours).at(p.savedFrom, p.attribute));
        return;
    }
    // A picture is saved only beside its element's normal picture.
    if (!*pictureAt(p.savedFrom, Attribute::Picture))
        return;
    IPictureDisp* picture = pictureAt(p.savedFrom, p.attribute)->get();
    if (!picture)
        return;
    out->vt = VT_DISPATCH;
    out->pdispVal = picture;
    picture->AddRef();
}

void Control::loaded() {
    m_dirty = false;
    if (m_viewSink)
        m_viewSink->OnViewChange(DVASPECT_CONTENT, -1);
    guard(L"UserControl_ReadProperties", [&] { refresh(); });
}

HRESULT Control::GetClassID(CLSID* clsid) {
    if (!clsid)
        return E_POINTER;
    *clsid = kClsid;
    return S_OK;
}

HRESULT Control::InitNew() {
    applyDefaults();
    loaded();
    return S_OK;
}

HRESULT Control::Load(LPSTREAM stream) {
    if (!stream)
        return E_POINTER;
    const auto failure = guard(L"UserControl_ReadProperties", [&] {
        if (readValue<DWORD>(stream) != kStreamTag)
            damaged();
        const DWORD count = readValue<DWORD>(stream);
        if (count > kMaxEntries)
            damaged();
        std::vector<std::pair<std::wstring, Variant>> entries(count);
        for (auto& [name, value] : entries) {
            const WORD length = readValue<WORD>(stream);
            if (length > kMaxNameLength)
                damaged();
            name.resize(length);
            readExactly(stream, name.data(), ULONG(length * sizeof(wchar_t)));
            const BYTE kind = readValue<BYTE>(stream);
            if (kind == kColourEntry) {
                value.v.vt = VT_I4;
                value.v.lVal = readValue<LONG>(stream);
            } else if (kind == kPictureEntry) {
                const DWORD size = readValue<DWORD>(stream);
                if (size > kMaxPictureBytes)
                    damaged();
                std::vector<BYTE> bytes(size);
                readExactly(stream, bytes.data(), size);
                value.v.vt = VT_DISPATCH;
                value.v.pdispVal = pictureFromBytes(bytes.data(), bytes.size()).detach();
            } else {
                damaged();
            }
        }
        // In the table's order; a key the stream lacks takes its default.
        for (const AppearanceProperty& p : appearanceProperties()) {
            const VARIANT* stored = nullptr;
            for (const auto& [name, value] : entries)
                if (name == wide(p.name))
                    stored = &value.v;
            applyStored(p, stored);
        }
    });
    loaded();
    return failure ? persistenceResult(failure->number) : S_OK;
}

HRESULT Control::Save(LPSTREAM stream, BOOL clearDirty) {
    if (!stream)
        return E_POINTER;
    const auto failure = guard(L"UserControl_WriteProperties", [&] {
        std::vector<std::pair<const AppearanceProperty*, Variant>> values(
            appearanceProperties().size());
        DWORD count = 0;
        for (std::size_t i = 0; i < values.size(); ++i) {
            values[i].first = &appearanceProperties()[i];
            valueToSave(*values[i].first, &values[i].second.v);
            count += values[i].second.v.vt != VT_EMPTY;
        }
        writeValue(stream, kStreamTag);
        writeValue(stream, count);
        for (const auto& [p, value] : values) {
            if (value.v.vt == VT_EMPTY)
                continue;
            const std::wstring name = wide(p->name);
            writeValue(stream, WORD(name.size()));
            writeExactly(stream, name.data(), ULONG(name.size() * sizeof(wchar_t)));
            if (value.v.vt == VT_I4) {
                writeValue(stream, kColourEntry);
                writeValue(stream, value.v.lVal);
            } else {
                const std::vector<BYTE> bytes = pictureBytes(value.v.pdispVal);
                writeValue(stream, kPictureEntry);
                writeValue(stream, DWORD(bytes.size()));
                writeExactly(stream, bytes.data(), ULONG(bytes.size()));
            }
        }
    });
    if (failure)
        return persistenceResult(failure->number);
    if (clearDirty)
        m_dirty = false;
    return S_OK;
}

HRESULT Control::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size)
        return E_POINTER;
    Com<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())))
        return E_OUTOFMEMORY;
    const bool dirty = m_dirty;
    const HRESULT hr = Save(stream.get(), FALSE);
    m_dirty = dirty;
    if (FAILED(hr))
        return hr;
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)))
        return E_FAIL;
    *size = stat.cbSize;
    return S_OK;
}

HRESULT Control::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag)
        return E_POINTER;
    const auto failure = guard(L"UserControl_ReadProperties", [&] {
        for (const AppearanceProperty& p : appearanceProperties()) {
            const std::wstring key = wide(p.name);
            Variant stored;
            // A key the bag does not hold takes its default.
            const bool found =
                SUCCEEDED(bag->Read(key.c_str(), &stored.v, log)) && stored.v.vt != VT_EMPTY;
            applyStored(p, found ? &stored.v : nullptr);
        }
    });
    loaded();
    return failure ? persistenceResult(failure->number) : S_OK;
}

HRESULT Control::Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) {
    if (!bag)
        return E_POINTER;
    const auto failure = guard(L"UserControl_WriteProperties", [&] {
        for (const AppearanceProperty& p : appearanceProperties()) {
            Variant value;
            valueToSave(p, &value.v);
            if (value.v.vt == VT_EMPTY)
                continue;
            // The bag may leave out what equals the default.
            if (!saveAll && value.v.vt == VT_I4 && OleColour(value.v.lVal) == p.defaultColour)
                continue;
            const std::wstring key = wide(p.name);
            if (FAILED(bag->Write(key.c_str(), &value.v)))
                throw EngineError(Error::Internal, "the property bag refused a value");
        }
    });
    if (failure)
        return persistenceResult(failure->number);
    if (clearDirty)
        m_dirty = false;
    return S_OK;
}

} // namespace kalendo::activex
