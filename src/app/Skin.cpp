#include "app/Skin.h"

namespace Skin {

forms::Picture Panel() { return {}; }
forms::Picture PageButton(int, bool) { return {}; }
forms::Picture ModeButton(int, bool) { return {}; }
forms::Picture ActionButton(int, bool) { return {}; }

}  // namespace Skin
