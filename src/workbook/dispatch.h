#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string_view>

#include "workbook/variant.h"

namespace nuv::workbook {

// A member id of the spreadsheet's object model, fixed by its type library.
using DispId = std::int32_t;

// How a member is invoked (the automation interface's DISPATCH_* flags).
enum class InvokeKind : std::uint16_t { Method = 1, PropertyGet = 2, PropertyPut = 4 };

// An automation object: everything is reached through Invoke with a member
// id, never by name. Arguments come in the order the member declares them
// (first argument first). A failing call throws nuv::AutomationError with
// the server's description of the error.
class Dispatch {
 public:
  virtual ~Dispatch() = default;
  virtual Variant Invoke(DispId member, InvokeKind kind, std::span<const Variant> args) = 0;
};

// Holds one reference to an automation object and releases it when it is
// emptied, refilled or destroyed, so every object reference is owned by
// exactly one handle. Handles move but do not copy.
enum class CreateResult { kCreated, kNotCreated };

class DispatchDriver {
 public:
  DispatchDriver() = default;
  explicit DispatchDriver(DispatchRef object) : object_(std::move(object)) {}
  DispatchDriver(const DispatchDriver&) = delete;
  DispatchDriver& operator=(const DispatchDriver&) = delete;
  DispatchDriver(DispatchDriver&&) noexcept = default;
  DispatchDriver& operator=(DispatchDriver&&) noexcept = default;
  ~DispatchDriver() = default;

  // Creates a new instance of the server registered for prog_id and holds
  // it; kNotCreated, with the handle left empty, when there is none or it
  // refuses.
  [[nodiscard]] CreateResult CreateDispatch(std::string_view prog_id);
  // Holds object, releasing what was held before.
  void AttachDispatch(DispatchRef object) { object_ = std::move(object); }
  void ReleaseDispatch() { object_.reset(); }
  // Gives the reference away; the handle is empty afterwards.
  DispatchRef DetachDispatch() { return std::move(object_); }
  bool empty() const { return !object_; }
  const DispatchRef& object() const { return object_; }

  // Invokes a member and converts its result to result_type: VT_EMPTY
  // discards the result, VT_VARIANT keeps it as it came, VT_DISPATCH
  // requires an object. Calling through an empty handle raises
  // nuv::AutomationError.
  Variant InvokeHelper(DispId member, InvokeKind kind, VarType result_type,
                       std::span<const Variant> args = {}) const;
  Variant InvokeHelper(DispId member, InvokeKind kind, VarType result_type,
                       std::initializer_list<Variant> args) const {
    return InvokeHelper(member, kind, result_type,
                        std::span<const Variant>(args.begin(), args.size()));
  }

 protected:
  // The object returned by a property get or method, for the caller to
  // attach to a handle at once.
  DispatchRef GetObject(DispId member, InvokeKind kind, std::span<const Variant> args = {}) const;
  DispatchRef GetObject(DispId member, InvokeKind kind, std::initializer_list<Variant> args) const {
    return GetObject(member, kind, std::span<const Variant>(args.begin(), args.size()));
  }

 private:
  DispatchRef object_;
};

}  // namespace nuv::workbook
