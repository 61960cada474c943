#include "toolcfg/new_format_dialog.h"

#include "framework/data_exchange.h"
#include "resource.h"

namespace nuv::toolcfg {

constinit const fw::RuntimeClass nuvnewfmtdlg::kClass{"nuvnewfmtdlg",
                                                      &fw::CreateInstance<nuvnewfmtdlg>};

nuvnewfmtdlg::nuvnewfmtdlg()
    : fw::Dialog(IDD_NEW_FORMAT), runner_(std::make_unique<CommandRunner>()) {}

nuvnewfmtdlg::~nuvnewfmtdlg() {
  // The window goes first, while the members its handlers use still exist;
  // the runner's Stop then ends a program that may still be running.
  DestroyWindow();
  runner_.reset();
}

const fw::RuntimeClass& nuvnewfmtdlg::GetRuntimeClass() const {
  return kClass;
}

void nuvnewfmtdlg::DoDataExchange(fw::DataExchange& dx) {
  fw::DDX_Text(dx, IDC_NEW_OUTPUT_PATH, output_flash_path_);
  fw::DDX_Text(dx, IDC_NEW_SAVE_BLOCK_ID, save_block_id_text_);
  fw::DDX_Text(dx, IDC_NEW_SAVE_BLOCK_PATH, save_block_path_);
  fw::DDX_Text(dx, IDC_NEW_LOAD_BLOCK_ID, load_block_id_text_);
  fw::DDX_Text(dx, IDC_NEW_LOAD_BLOCK_PATH, load_block_path_);
}

PrepareResult nuvnewfmtdlg::PrepareToolConfig(const image::FlashImage& image,
                                              const ToolConfigSource& source, Messages& messages) {
  return toolcfg::PrepareToolConfig(model_, image, source, *runner_, messages);
}

}  // namespace nuv::toolcfg
