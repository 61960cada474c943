#include "toolcfg/tool_config.h"

namespace nuv::toolcfg {

void ClearToolConfig(ToolConfig& model) {
  for (ToolConfigSheet* sheet : {&model.sheet2, &model.sheet3, &model.sheet4})
    *sheet = {};
}

}  // namespace nuv::toolcfg
