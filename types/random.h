#ifndef VANTREL_TYPES_RANDOM_H
#define VANTREL_TYPES_RANDOM_H

// Random whole numbers from one generator shared by the whole program.

/// A random whole number from low to high, both included: randomInt(1, 6)
/// rolls a die. The two ends may come in either order. Every value of the
/// range is equally likely.
int randomInt(int low, int high);

/// Restarts the generator from seed, so that the numbers randomInt gives from
/// here on are the same on every run (and on every platform). Without it,
/// each run of the program gets different numbers.
void setRandomSeed(unsigned int seed);

#endif
