// SPDX-License-Identifier: MIT
#pragma once

#include <objbase.h>
#include <string>
#include <string_view>
#include <utility>
#include <windows.h>

namespace kalendo::activex {

// An owning COM interface pointer: releases what it holds, adds a reference when copied.
template <class T> class Com {
public:
    Com() = default;
    Com(T* p) // takes a new reference of its own
        : m_p(p) {
        if (m_p)
            m_p->AddRef();
    }
    Com(const Com& o)
        : Com(o.m_p) {}
    Com(Com&& o) noexcept
        : m_p(std::exchange(o.m_p, nullptr)) {}
    Com& operator=(Com o) noexcept {
        std::swap(m_p, o.m_p);
        return *this;
    }
    ~Com() { reset(); }

    void reset() {
        if (m_p)
            std::exchange(m_p, nullptr)->Release();
    }
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out parameters: releases what is held and hands the slot over.
    T** put() {
        reset();
        return &m_p;
    }
    // Hands the reference to the caller.
    T* detach() { return std::exchange(m_p, nullptr); }
    template <class U> Com<U> as() const {
        Com<U> u;
        if (m_p)
            m_p->QueryInterface(__uuidof(U), reinterpret_cast<void**>(u.put()));
        return u;
    }

private:
    T* m_p = nullptr;
};

// Takes over a reference the caller holds (a new object's first).
template <class T> Com<T> adopt(T* p) {
    Com<T> c;
    *c.put() = p;
    return c;
}

// UTF-8 (the engine's texts) and UTF-16 (COM's).
std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view wide);
std::string utf8(const wchar_t* wide, std::size_t length);

// A BSTR owned until it is handed over.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view s)
        : m_s(SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(m_s); }
    BSTR get() const { return m_s; }
    BSTR* put() {
        SysFreeString(m_s);
        m_s = nullptr;
        return &m_s;
    }
    BSTR detach() { return std::exchange(m_s, nullptr); }
    std::wstring_view view() const { return {m_s ? m_s : L"", m_s ? SysStringLen(m_s) : 0}; }

private:
    BSTR m_s = nullptr;
};

} // namespace kalendo::activex
