#pragma once

// Owners of the automation interface's resources: each frees what it holds
// when it is destroyed, so no path through a call (an error included) leaks
// a string, a value, an array or an object reference.

// The tool's names for automation values come first: <windows.h> defines
// macros (DISP_E_PARAMNOTFOUND, GetObject) that clash with them, and a
// header read after it could not declare them.
#include "workbook/dispatch.h"
#include "workbook/variant.h"

#include <windows.h>

#include <oleauto.h>

#include <string_view>
#include <utility>

namespace nuv::workbook::com {

// Joins the calling thread to a single-threaded apartment for as long as it
// lives. Every holder of a COM object keeps one, so the apartment outlives
// the objects of this thread.
class Apartment {
 public:
  Apartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~Apartment() {
    if (SUCCEEDED(result_))
      CoUninitialize();
  }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;
  // False when the thread already belongs to a multithreaded apartment;
  // COM works there as well.
  bool joined() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};

// One reference to a COM object.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller owns.
  static ComPtr Adopt(Interface* object) {
    ComPtr ptr;
    ptr.object_ = object;
    return ptr;
  }
  // Adds a reference of its own.
  static ComPtr Share(Interface* object) {
    if (object != nullptr)
      object->AddRef();
    return Adopt(object);
  }
  ComPtr(const ComPtr& other) : object_(other.object_) {
    if (object_ != nullptr)
      object_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~ComPtr() {
    if (object_ != nullptr)
      object_->Release();
  }

  Interface* get() const { return object_; }
  Interface* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  // For a call that hands out a new reference; drops the one held.
  Interface** Receive() {
    *this = ComPtr();
    return &object_;
  }
  // Gives the reference away.
  Interface* Detach() { return std::exchange(object_, nullptr); }

 private:
  Interface* object_ = nullptr;
};

// An automation string (BSTR).
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::wstring_view text)
      : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  // Takes over a string the caller owns.
  static Bstr Adopt(BSTR text) {
    Bstr out;
    out.text_ = text;
    return out;
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    std::swap(text_, other.text_);
    return *this;
  }
  ~Bstr() { SysFreeString(text_); }

  BSTR get() const { return text_; }
  BSTR Detach() { return std::exchange(text_, nullptr); }
  // A null BSTR is the empty text.
  std::wstring_view view() const { return View(text_); }
  static std::wstring_view View(BSTR text) {
    return text == nullptr ? std::wstring_view() : std::wstring_view(text, SysStringLen(text));
  }

 private:
  BSTR text_ = nullptr;
};

// A VARIANT that clears itself (its string, array or object reference).
class ComVariant {
 public:
  ComVariant() { VariantInit(&value_); }
  ComVariant(const ComVariant&) = delete;
  ComVariant& operator=(const ComVariant&) = delete;
  ComVariant(ComVariant&& other) noexcept : ComVariant() { std::swap(value_, other.value_); }
  ComVariant& operator=(ComVariant&& other) noexcept {
    std::swap(value_, other.value_);
    return *this;
  }
  ~ComVariant() { VariantClear(&value_); }

  VARIANT& get() { return value_; }
  const VARIANT& get() const { return value_; }
  VARIANT* Receive() {
    VariantClear(&value_);
    return &value_;
  }
  // Gives the value away, leaving VT_EMPTY.
  VARIANT Detach() {
    VARIANT out = value_;
    VariantInit(&value_);
    return out;
  }

 private:
  VARIANT value_;
};

// A SAFEARRAY that is destroyed with its elements.
class SafeArray {
 public:
  SafeArray() = default;
  explicit SafeArray(SAFEARRAY* array) : array_(array) {}
  SafeArray(const SafeArray&) = delete;
  SafeArray& operator=(const SafeArray&) = delete;
  SafeArray(SafeArray&& other) noexcept : array_(std::exchange(other.array_, nullptr)) {}
  SafeArray& operator=(SafeArray&& other) noexcept {
    std::swap(array_, other.array_);
    return *this;
  }
  ~SafeArray() {
    if (array_ != nullptr)
      SafeArrayDestroy(array_);
  }
  SAFEARRAY* get() const { return array_; }
  SAFEARRAY* Detach() { return std::exchange(array_, nullptr); }

 private:
  SAFEARRAY* array_ = nullptr;
};

// Holds a SAFEARRAY's lock, so that pointers to its elements stay valid.
class ArrayLock {
 public:
  explicit ArrayLock(SAFEARRAY* array) : array_(array), locked_(SUCCEEDED(SafeArrayLock(array))) {}
  ~ArrayLock() {
    if (locked_)
      SafeArrayUnlock(array_);
  }
  ArrayLock(const ArrayLock&) = delete;
  ArrayLock& operator=(const ArrayLock&) = delete;
  bool locked() const { return locked_; }

 private:
  SAFEARRAY* array_;
  bool locked_;
};

}  // namespace nuv::workbook::com
