// Holds a COM interface and releases it on every way out.
#pragma once

namespace kavri::win32 {

template <class T>
struct ComPtr {
    T* p = nullptr;
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p) p->Release();
    }
};

}  // namespace kavri::win32
