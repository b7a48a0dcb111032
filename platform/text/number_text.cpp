#include "platform/text/number_text.h"

#include <cstdio>

namespace tarvik::platform {

std::string DoubleToText(double value) {
  if (value == 0) return "0";  // also -0
  char text[32];
  std::snprintf(text, sizeof text, "%.15G", value);
  return text;
}

}  // namespace tarvik::platform
