// A file of the program that does not include Vantrel's header.
#include <cmath>

#include "helper.h"

double half(double value) { return std::fabs(value) / 2; }
