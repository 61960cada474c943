#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "framework/constants.h"

namespace nuv::fw {

class Window;

// One route: a notification from a control id, or from any id of a range,
// to a member function of the window class.
struct MessageMapEntry {
  uint32_t code = BN_CLICKED;
  uint32_t first_id = 0;
  uint32_t last_id = 0;
  std::function<void(Window&, uint32_t id)> handler;
};

// The routes of a window class, declared in one place, followed by those of
// its base class. The first entry that matches wins; a notification that no
// entry matches does nothing.
//
//   const MessageMap& MyDialog::GetMessageMap() const {
//     static const MessageMap map(&Dialog::ClassMessageMap(), {
//         OnClicked(2019, &MyDialog::Browse),
//         OnClickedRange(20000, 20030, &MyDialog::OpenBlock),  // gets the id
//         OnSelChange(2060, &MyDialog::SelectBlock),
//     });
//     return map;
//   }
class MessageMap {
 public:
  MessageMap(const MessageMap* base, std::initializer_list<MessageMapEntry> entries);

  const MessageMapEntry* Find(uint32_t id, uint32_t code) const;

 private:
  const MessageMap* base_;
  std::vector<MessageMapEntry> entries_;
};

namespace detail {

template <class D>
std::function<void(Window&, uint32_t)> Bind(void (D::*fn)()) {
  return [fn](Window& window, uint32_t) {
    if (auto* target = dynamic_cast<D*>(&window))
      (target->*fn)();
  };
}

template <class D>
std::function<void(Window&, uint32_t)> Bind(void (D::*fn)(uint32_t)) {
  return [fn](Window& window, uint32_t id) {
    if (auto* target = dynamic_cast<D*>(&window))
      (target->*fn)(id);
  };
}

}  // namespace detail

// A route for notification `code` from the ids first..last; the handler takes
// no argument or the id of the control.
template <class Fn>
MessageMapEntry OnNotify(uint32_t code, uint32_t first_id, uint32_t last_id, Fn fn) {
  return MessageMapEntry{code, first_id, last_id, detail::Bind(fn)};
}

template <class Fn>
MessageMapEntry OnClicked(uint32_t id, Fn fn) {
  return OnNotify(BN_CLICKED, id, id, fn);
}
template <class Fn>
MessageMapEntry OnClickedRange(uint32_t first_id, uint32_t last_id, Fn fn) {
  return OnNotify(BN_CLICKED, first_id, last_id, fn);
}
template <class Fn>
MessageMapEntry OnChange(uint32_t id, Fn fn) {
  return OnNotify(EN_CHANGE, id, id, fn);
}
template <class Fn>
MessageMapEntry OnChangeRange(uint32_t first_id, uint32_t last_id, Fn fn) {
  return OnNotify(EN_CHANGE, first_id, last_id, fn);
}
template <class Fn>
MessageMapEntry OnSelChange(uint32_t id, Fn fn) {
  return OnNotify(CBN_SELCHANGE, id, id, fn);
}

}  // namespace nuv::fw
