// Stand-in until the declaration subsystem's ParamStoreText lands: "$" and the
// parameter text. Removed when that branch is merged.
#include "decl/declarations.h"

namespace stackcc {

FixedText<120> ParamStoreText(std::string_view param) {
  FixedText<120> text("$");
  text.append(param);
  return text;
}

}  // namespace stackcc
