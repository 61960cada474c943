#pragma once

#include <cstdint>

namespace nuv::fw {
class Window;
}

namespace nuv::plugin {

class NuvDialog;

// The single form instance: the form that dll_init made, while its window
// exists (and while it is being made); null before, and again once the
// host has destroyed the page with it.
NuvDialog* TheForm();

// The work of dll_init: makes the form as a child of `parent` (style
// WS_CHILD | WS_VISIBLE | WS_BORDER, an empty rectangle, the id of the
// frame's first pane) and hands it to the parent, which keeps it for as
// long as its window exists. kFormExists also when it existed before: no
// second form is made. kNoForm when its window could not be made; nothing
// is kept then, so a later call may try again.
enum class InitResult { kFormExists, kNoForm };
[[nodiscard]] InitResult InitPlugin(fw::Window* parent);

}  // namespace nuv::plugin
