"""The six comparison scenes drawn with pygame 2, as a learner would write
them: one pygame.draw call, text render or rotated blit per item; every frame
the events taken, the window filled, drawn and flipped. No frame-rate limit.

    python3 pygame_scenes.py --sprite bench/peers/sprite.png --font DejaVuSans.ttf [--frames N]

prints what vantrel-peer-scenes prints: what it drew with, then per scene
the mean wall and CPU milliseconds per frame. The items are those of
scenes.h, made by the same generator."""

import os
import sys
import time

os.environ.setdefault("PYGAME_HIDE_SUPPORT_PROMPT", "1")
import pygame  # noqa: E402

WIDTH, HEIGHT = 800, 600
WARM_UP_FRAMES = 10
PALETTE = [(255, 80, 80), (80, 220, 80), (90, 140, 255), (255, 220, 60),
           (60, 220, 220), (230, 100, 230), (240, 240, 240), (255, 150, 40)]
BACKGROUND = (20, 24, 48)


class Numbers:
    """The generator of scenes.h, step for step."""

    def __init__(self, seed):
        self.state = seed

    def below(self, n):
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return (self.state >> 8) % n


def lines():
    n, out = Numbers(1), []
    for _ in range(2000):
        x, y = n.below(WIDTH), n.below(HEIGHT)
        out.append((x, y, x + n.below(81) - 40, y + n.below(81) - 40))
    return out


def spots(seed, count, right, bottom):
    n, out = Numbers(seed), []
    for _ in range(count):
        x = n.below(right)
        out.append((x, n.below(bottom)))
    return out


def sprites():
    n, out = Numbers(5), []
    for _ in range(1000):
        x, y = n.below(WIDTH - 32), n.below(HEIGHT - 32)
        out.append((x, y, n.below(360)))
    return out


def presented_how():
    """How SDL shows the window surface: on X11 it uploads it to an OpenGL
    texture when it can (then Mesa's driver is loaded), else it sends it to
    the X server as an image."""
    with open("/proc/self/maps") as maps:
        loaded = maps.read()
    for driver in ("swrast_dri", "llvmpipe", "iris_dri", "radeonsi_dri", "nouveau_dri"):
        if driver in loaded:
            return f"shown through an OpenGL texture ({driver.replace('_dri', '')})"
    return f"shown by the {pygame.display.get_driver()} video driver's own framebuffer"


def main():
    args = dict(zip(sys.argv[1::2], sys.argv[2::2]))
    frames = int(args.get("--frames", 60))
    pygame.init()
    screen = pygame.display.set_mode((WIDTH, HEIGHT))
    font = pygame.font.Font(args["--font"], 16)
    image = pygame.image.load(args["--sprite"]).convert_alpha()
    pygame.display.flip()
    print(f"renderer pygame {pygame.version.ver}: software drawing into SDL "
          f"{'.'.join(map(str, pygame.get_sdl_version()))}'s window surface, "
          f"{presented_how()}", flush=True)

    line_items = lines()
    disc_items = spots(2, 1000, WIDTH, HEIGHT)
    label_items = spots(3, 100, WIDTH - 100, HEIGHT - 20)
    rectangle_items = spots(4, 2000, WIDTH - 10, HEIGHT - 10)
    sprite_items = sprites()

    def draw_lines():
        for i, (x1, y1, x2, y2) in enumerate(line_items):
            pygame.draw.line(screen, PALETTE[i % 8], (x1, y1), (x2, y2))

    def draw_discs():
        for i, (x, y) in enumerate(disc_items):
            pygame.draw.circle(screen, PALETTE[i % 8], (x, y), 8)

    def draw_text():
        for i, (x, y) in enumerate(label_items):
            screen.blit(font.render(f"Label {i}", True, PALETTE[i % 8]), (x, y))

    def draw_rectangles():
        for i, (x, y) in enumerate(rectangle_items):
            pygame.draw.rect(screen, PALETTE[i % 8], (x, y, 10, 10))

    def draw_sprites():
        for x, y, angle in sprite_items:
            turned = pygame.transform.rotate(image, -angle)  # pygame turns anticlockwise
            screen.blit(turned, turned.get_rect(center=(x + 16, y + 16)))

    def draw_nothing():
        pass

    scenes = [("lines", draw_lines), ("discs", draw_discs), ("text", draw_text),
              ("rectangles", draw_rectangles), ("sprites", draw_sprites),
              ("empty", draw_nothing)]
    for name, draw in scenes:
        def frame():
            for _ in pygame.event.get():
                pass
            screen.fill(BACKGROUND)
            draw()
            pygame.display.flip()
        for _ in range(WARM_UP_FRAMES):
            frame()
        start, cpu_start = time.perf_counter(), time.process_time()
        for _ in range(frames):
            frame()
        wall = (time.perf_counter() - start) * 1000 / frames
        cpu = (time.process_time() - cpu_start) * 1000 / frames
        print(f"scene {name} {wall:.3f} {cpu:.3f}", flush=True)
    pygame.quit()


if __name__ == "__main__":
    main()
