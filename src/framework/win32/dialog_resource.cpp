#include "framework/win32/dialog_resource.h"

#include <cstring>
#include <vector>

namespace nuv::fw::win32 {
namespace {

// A DIALOGEX template starts with its version (1) and the signature 0xFFFF,
// then the help id and the extended style, then the style; a DIALOG template
// starts with its style.
constexpr size_t kExtendedStyleOffset = 12;
constexpr WORD kExtendedSignature = 0xFFFF;
// Far more than a template of the tool takes; a resource larger than this
// is not a dialog template.
constexpr DWORD kLargestTemplate = 1 << 20;

}  // namespace

HWND CreateDialogFromResource(HINSTANCE module, uint32_t id, HWND parent, DLGPROC procedure) {
  if (module == nullptr)
    return nullptr;
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
  HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  const DWORD size = resource != nullptr ? SizeofResource(module, resource) : 0;
  if (data == nullptr || size < kExtendedStyleOffset + sizeof(DWORD) || size > kLargestTemplate)
    return nullptr;
  // A copy, DWORD-aligned as the system wants templates, whose style loses
  // WS_VISIBLE.
  std::vector<DWORD> copy((size + sizeof(DWORD) - 1) / sizeof(DWORD));
  std::memcpy(copy.data(), data, size);
  WORD signature = 0;
  std::memcpy(&signature, reinterpret_cast<const char*>(copy.data()) + sizeof(WORD),
              sizeof(signature));
  const size_t style_offset = signature == kExtendedSignature ? kExtendedStyleOffset : 0;
  DWORD style = 0;
  char* bytes = reinterpret_cast<char*>(copy.data());
  std::memcpy(&style, bytes + style_offset, sizeof(style));
  style &= ~static_cast<DWORD>(WS_VISIBLE);
  std::memcpy(bytes + style_offset, &style, sizeof(style));
  return CreateDialogIndirectParamW(module, reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()), parent,
                                    procedure, 0);
}

}  // namespace nuv::fw::win32
