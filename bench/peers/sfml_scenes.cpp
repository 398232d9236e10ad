// The six comparison scenes drawn with SFML 2.5, as a learner would write
// them from SFML's tutorials: a shape, text or sprite object set up once,
// then moved, coloured and drawn once per item; every frame cleared, drawn,
// its events taken and displayed. No frame-rate limit and no vertical sync
// (SFML's defaults).
//
//   vantrel-peer-sfml --sprite bench/peers/sprite.png --font DejaVuSans.ttf [--frames N]
//
// prints what vantrel-peer-scenes prints: the renderer, then per scene the
// mean wall and CPU milliseconds per frame.

#include <SFML/Graphics.hpp>
#include <SFML/OpenGL.hpp>

#include <chrono>
#include <ctime>
#include <functional>

#include "scenes.h"

namespace {

sf::Color colour(int i) {
    const peers::Rgb c = peers::PALETTE[i % 8];
    return sf::Color(c.r, c.g, c.b);
}

double cpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    const peers::Options options = peers::readOptions(argc, argv);
    sf::RenderWindow window(sf::VideoMode(peers::WIDTH, peers::HEIGHT), "SFML scenes");
    sf::Font font;
    sf::Texture texture;
    if (!font.loadFromFile(options.font) || !texture.loadFromFile(options.sprite)) {
        return 1;
    }
    window.setActive(true);
    const GLubyte* gl = glGetString(GL_RENDERER);
    std::printf("renderer OpenGL %s (%s)\n", reinterpret_cast<const char*>(glGetString(GL_VERSION)),
                gl != nullptr ? reinterpret_cast<const char*>(gl) : "unknown");

    const auto lines = peers::lines();
    const auto discs = peers::discs();
    const auto labels = peers::labels();
    const auto rectangles = peers::rectangles();
    const auto sprites = peers::sprites();

    sf::CircleShape disc(peers::DISC_RADIUS);
    sf::Text label("", font, peers::LABEL_SIZE);
    sf::RectangleShape rectangle(sf::Vector2f(peers::RECTANGLE_SIZE, peers::RECTANGLE_SIZE));
    sf::Sprite sprite(texture);
    sprite.setOrigin(peers::SPRITE_SIZE / 2.f, peers::SPRITE_SIZE / 2.f);

    const std::function<void()> scenes[] = {
        [&] {
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const peers::Line& l = lines[i];
                const sf::Color c = colour(static_cast<int>(i));
                const sf::Vertex line[] = {sf::Vertex(sf::Vector2f(l.x1, l.y1), c),
                                           sf::Vertex(sf::Vector2f(l.x2, l.y2), c)};
                window.draw(line, 2, sf::Lines);
            }
        },
        [&] {
            for (std::size_t i = 0; i < discs.size(); ++i) {
                disc.setPosition(discs[i].x - peers::DISC_RADIUS, discs[i].y - peers::DISC_RADIUS);
                disc.setFillColor(colour(static_cast<int>(i)));
                window.draw(disc);
            }
        },
        [&] {
            for (std::size_t i = 0; i < labels.size(); ++i) {
                const int n = static_cast<int>(i);
                label.setString(peers::labelText(n));
                label.setPosition(labels[i].x, labels[i].y);
                label.setFillColor(colour(n));
                window.draw(label);
            }
        },
        [&] {
            for (std::size_t i = 0; i < rectangles.size(); ++i) {
                rectangle.setPosition(rectangles[i].x, rectangles[i].y);
                rectangle.setFillColor(colour(static_cast<int>(i)));
                window.draw(rectangle);
            }
        },
        [&] {
            for (const peers::Sprite& s : sprites) {
                sprite.setPosition(s.x + peers::SPRITE_SIZE / 2.f, s.y + peers::SPRITE_SIZE / 2.f);
                sprite.setRotation(s.angle);
                window.draw(sprite);
            }
        },
        [] {},
    };

    const sf::Color background(peers::BACKGROUND.r, peers::BACKGROUND.g, peers::BACKGROUND.b);
    sf::Event event;
    for (int scene = 0; scene < 6; ++scene) {
        const auto frame = [&] {
            window.clear(background);
            scenes[scene]();
            while (window.pollEvent(event)) {
            }
            window.display();
        };
        for (int i = 0; i < peers::WARM_UP_FRAMES; ++i) {
            frame();
        }
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = cpuMilliseconds();
        for (int i = 0; i < options.frames; ++i) {
            frame();
        }
        const double wall =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        std::printf("scene %s %.3f %.3f\n", peers::NAMES[scene], wall / options.frames,
                    (cpuMilliseconds() - cpuStart) / options.frames);
        std::fflush(stdout);
    }
    return 0;
}
