#ifndef HELPER_H
#define HELPER_H

double half(double value);

#endif
