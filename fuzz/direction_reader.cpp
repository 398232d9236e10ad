// Fuzz target: reading Directions from arbitrary text, and building them from
// arbitrary indices.
//
// Input: bytes 0-3 are the starting index (any int, in or out of the tables);
// the rest is the text the directions are read from, word by word. Every read
// must either set exactly the named direction or leave the direction as it
// was; steps and reflections must come from the tables for indices 0-7 and be
// (0, 0) and NO_DIRECTION for any other index, never a read outside a table.

#include "types/direction.h"

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "check.h"

namespace {

bool inTables(int index) { return index >= 0 && index < DIRECTION_COUNT; }

void checkSteps(const Direction& direction) {
    const int index = direction.getIndex();
    if (inTables(index)) {
        FUZZ_CHECK(direction.getDX() == DIRECTION_STEPS[index][0]);
        FUZZ_CHECK(direction.getDY() == DIRECTION_STEPS[index][1]);
    } else {
        FUZZ_CHECK(direction.getDX() == 0 && direction.getDY() == 0);
    }
}

void checkBounces(const Direction& direction) {
    const int index = direction.getIndex();
    const Direction bounced[4] = {direction.bounceTop(), direction.bounceRight(),
                                  direction.bounceBottom(), direction.bounceLeft()};
    for (int edge = 0; edge < 4; ++edge) {
        const int expected = inTables(index) ? BOUNCE_TABLE[index][edge] : NO_DIRECTION;
        FUZZ_CHECK(bounced[edge].getIndex() == expected);
        checkSteps(bounced[edge]);
    }
    FUZZ_CHECK(direction.getIndex() == index); // reflecting changes nothing
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::int32_t start = 0;
    std::memcpy(&start, data, size < sizeof start ? size : sizeof start);
    const std::size_t skip = size < sizeof start ? size : sizeof start;
    const std::string text(reinterpret_cast<const char*>(data + skip), size - skip);

    Direction direction(start);
    FUZZ_CHECK(direction.getIndex() == start);
    checkSteps(direction);
    checkBounces(direction);

    std::istringstream in(text);
    std::istringstream words(text);
    for (int reads = 0; reads < 64; ++reads) {
        const int before = direction.getIndex();
        std::string word;
        const bool gotWord = static_cast<bool>(words >> word);
        in >> direction;
        FUZZ_CHECK(static_cast<bool>(in) == gotWord);
        int named = -1;
        for (int i = 0; i < DIRECTION_COUNT; ++i) {
            if (gotWord && word == DIRECTION_NAMES[i]) {
                named = i;
            }
        }
        FUZZ_CHECK(direction.getIndex() == (named >= 0 ? named : before));
        checkSteps(direction);
        checkBounces(direction);
        if (!gotWord) {
            break;
        }
    }

    // setFromName with the whole text, embedded NULs and all.
    Direction whole(start);
    whole.setFromName(text);
    int named = start;
    for (int i = 0; i < DIRECTION_COUNT; ++i) {
        if (text == DIRECTION_NAMES[i]) {
            named = i;
        }
    }
    FUZZ_CHECK(whole.getIndex() == named);
    checkSteps(whole);
    return 0;
}
