// Includes a file from the teacher's home (path filled in by the test), which
// would make it draw the house.
#include "@HOME@/secret.h"

int main(int, char*[]) { return SECRET_DRAWING(); }
