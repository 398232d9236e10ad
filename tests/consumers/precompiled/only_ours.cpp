// Nothing but Vantrel's header: SDL's events, keys and buttons come with it.
#include "canvas/canvas.h"

int main(int, char*[]) {
    SDL_Event event;
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = SDLK_LEFT;
    const bool left = event.key.keysym.sym == SDLK_LEFT && SDL_BUTTON_LEFT == 1;
    const Color colour = RED;
    return left && colour.getRed() == 255 && SDL_GetTicks() < 0xFFFFFFFFu ? 0 : 1;
}
