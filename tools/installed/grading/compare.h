#ifndef VANTREL_GRADING_COMPARE_H
#define VANTREL_GRADING_COMPARE_H

// Comparing a submission's frame with the reference's, pixel by pixel, and
// drawing where they differ.

#include <string>

namespace grading {

/// What comparing two frames found.
struct Comparison {
    bool compared = false; ///< false: one of them could not be read (see problem)
    std::string problem;   ///< why not, e.g. "frame-20.png is not a PNG image"
    long differing = 0;    ///< pixels whose colours differ by more than the fuzz
    long total = 0;        ///< pixels compared: the larger width times the larger height
    int width = 0;         ///< the submission's frame
    int height = 0;
    int referenceWidth = 0;
    int referenceHeight = 0;
};

/// Largest frame side accepted, in pixels; a file that claims more is not read.
constexpr int MAX_FRAME_SIDE = 16384;

/// Compares two PNG files. A pixel differs when the root mean square of its
/// four channel differences is more than `fuzzPercent` of 255; where the
/// sizes differ, every pixel outside either image differs. When `difference`
/// is not empty, writes there a PNG of the reference, faded to light grey,
/// with every differing pixel red.
Comparison compareFrames(const std::string& reference, const std::string& submission,
                         double fuzzPercent, const std::string& difference);

} // namespace grading

#endif
