// Numbers written as the automation layer writes them when it turns a Double into a String.
#pragma once

#include <string>

namespace tarvik::platform {

// Up to 15 significant digits, without trailing zeros: "0", "0.1", "1234567.5", "4294967296",
// "1E+20", "1.5E-07". Whole numbers below 1E+15 come out as plain digits.
std::string DoubleToText(double value);

}  // namespace tarvik::platform
