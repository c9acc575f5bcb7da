// The COM plumbing every object of ours shares: answering QueryInterface from the object's
// interface table, reference counting for objects on the heap (or none for objects their owner
// keeps), an IDispatch without type information, and an interface pointer that releases itself.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <unknwn.h>

#include <initializer_list>
#include <utility>

namespace base {

// One row of an interface table: asked for `iid`, the object answers with `answer`. A null
// answer leaves the row out (an interface the object offers only in some states).
struct InterfaceEntry {
  const IID& iid;
  IUnknown* answer;
};

// QueryInterface over `table`, searched in order. IID_IUnknown is answered by the first row, so
// that every query for the object's identity gives the same pointer.
inline HRESULT QueryInterfaceFrom(std::initializer_list<InterfaceEntry> table, REFIID riid,
                                  void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (table.size() == 0) return E_NOINTERFACE;
  IUnknown* found = nullptr;
  if (IsEqualIID(riid, IID_IUnknown)) {
    found = table.begin()->answer;
  } else {
    for (const InterfaceEntry& entry : table) {
      if (entry.answer && IsEqualIID(riid, entry.iid)) {
        found = entry.answer;
        break;
      }
    }
  }
  if (!found) return E_NOINTERFACE;
  found->AddRef();
  *object = found;
  return S_OK;
}

// A COM object on the heap serving `Interfaces`: it is born with one reference and deletes
// itself at the last Release. The object still answers QueryInterface itself, from its table.
template <class... Interfaces>
class ComObject : public Interfaces... {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  STDMETHODIMP_(ULONG) AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
  }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;

 private:
  LONG references_ = 1;
};

// A COM object whose lifetime its owner keeps (a static, a member, a test's local): references
// are not counted and Release never deletes it.
template <class... Interfaces>
class OwnedComObject : public Interfaces... {
 public:
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
};

// IDispatch (or an interface built on it) for an object that its callers reach only by DISPID
// or through the vtable: it offers no type information and leaves Invoke to the deriving object.
template <class Dispatch = IDispatch>
class UntypedDispatch : public Dispatch {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
};

// Holds one reference to an interface and releases it when replaced or destroyed.
template <class Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) Attach(std::exchange(other.pointer_, nullptr));
    return *this;
  }
  ~ComPtr() { Reset(); }

  Interface* Get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  // Takes over a reference the caller already holds.
  void Attach(Interface* pointer) {
    Interface* previous = std::exchange(pointer_, pointer);
    if (previous) previous->Release();
  }
  // Holds a reference of its own to `pointer`.
  void Assign(Interface* pointer) {
    if (pointer) pointer->AddRef();
    Attach(pointer);
  }
  void Reset() { Attach(nullptr); }
  // Hands the caller a reference of its own (null when nothing is held).
  void CopyTo(Interface** out) const {
    *out = pointer_;
    if (pointer_) pointer_->AddRef();
  }
  // For functions that hand out a new reference: releases the one held and gives the slot.
  Interface** Put() {
    Reset();
    return &pointer_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace base
