#pragma once

#include <string>

#include "platform/surface565.h"

namespace tumu {

bool WritePng(const std::string& path, const Surface565& frame, std::string* error);

}  // namespace tumu
