// The lights never go on: frame 40 differs.
#include "house.h"

int main(int, char*[]) { return drawHouse(HouseFault::LightsNeverOn); }
