#include "figures.h"

int stepFigure(Figure& figure, int width, int height) {
    Direction& direction = figure.direction;
    figure.x += figure.speed * direction.getDX();
    figure.y += figure.speed * direction.getDY();

    // The range the centre may take so that the whole figure stays on screen.
    const int minX = figure.halfWidth;
    const int maxX = width - 1 - figure.halfWidth;
    const int minY = figure.halfHeight;
    const int maxY = height - 1 - figure.halfHeight;

    // At or past an edge: put the figure back against it, and reflect the
    // direction only if it heads into that edge (a reflection off an edge
    // the figure is moving away from, or along, does not exist). Each
    // reflection keeps the other half of the step, so a figure that reaches
    // a corner bounces off both edges in the same frame.
    int bounces = 0;
    if (figure.x <= minX) {
        figure.x = minX;
        if (direction.getDX() < 0) {
            direction = direction.bounceLeft();
            ++bounces;
        }
    }
    if (figure.x >= maxX) {
        figure.x = maxX;
        if (direction.getDX() > 0) {
            direction = direction.bounceRight();
            ++bounces;
        }
    }
    if (figure.y <= minY) {
        figure.y = minY;
        if (direction.getDY() < 0) {
            direction = direction.bounceTop();
            ++bounces;
        }
    }
    if (figure.y >= maxY) {
        figure.y = maxY;
        if (direction.getDY() > 0) {
            direction = direction.bounceBottom();
            ++bounces;
        }
    }
    return bounces;
}
