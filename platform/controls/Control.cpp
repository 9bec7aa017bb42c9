#include "controls/Control.h"

namespace controls {

Control::~Control() = default;

}  // namespace controls
