#ifndef VANTREL_EXAMPLES_BOUNCE_FIGURES_H
#define VANTREL_EXAMPLES_BOUNCE_FIGURES_H

// The moving figures of the bounce example and the rule that moves them.
// Nothing here opens a window, so the rule can be tried out (and tested)
// on its own.

#include "canvas/canvas.h"

/// What a figure looks like on screen.
enum class Shape { Disc, Box, Ring };

/// One figure that moves across the window.
///
/// (x, y) is the centre. The figure covers x - halfWidth ... x + halfWidth
/// across and y - halfHeight ... y + halfHeight down, both ends included;
/// a disc or ring of radius r has halfWidth = halfHeight = r.
struct Figure {
    Shape shape;
    int x;
    int y;
    int halfWidth;
    int halfHeight;
    /// Pixels moved per frame along each axis the direction moves on.
    int speed;
    Direction direction;
    Color color;
};

/// Moves the figure one frame: speed pixels along its direction's unit step.
/// When that brings the figure to an edge of a width x height window (or
/// past it) while heading toward that edge, the figure is put back against
/// the edge and its direction is reflected off it. Returns how many edges it
/// bounced off: 0, 1, or 2 in a corner.
///
/// The figure must fit inside the window: 2 * halfWidth < width and
/// 2 * halfHeight < height. A figure that starts partly outside is pulled
/// back in on its first step.
int stepFigure(Figure& figure, int width, int height);

#endif
