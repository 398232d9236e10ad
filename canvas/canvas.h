#ifndef VANTREL_CANVAS_CANVAS_H
#define VANTREL_CANVAS_CANVAS_H

/// \file
/// The one header a Vantrel program includes: the canvas (window, frame loop,
/// drawing, text, images, sound, keyboard, mouse and time), the Color and
/// Direction value types, and the helpers for random numbers and hit tests.

/// \cond
// SDL.h brings in the compiler's SIMD intrinsics (immintrin.h and its kin,
// some 45,000 lines) for SDL_cpuinfo.h, which no Vantrel program needs. SDL's
// own switches leave them out, so a program including this header compiles
// in about half the time; every SDL call stays declared. The switches are
// taken back after SDL's headers, unless the program had set one itself.
#if !defined(SDL_DISABLE_IMMINTRIN_H) && !defined(SDL_DISABLE_MMINTRIN_H) &&                       \
    !defined(SDL_DISABLE_XMMINTRIN_H) && !defined(SDL_DISABLE_EMMINTRIN_H) &&                      \
    !defined(SDL_DISABLE_PMMINTRIN_H)
#define VANTREL_SDL_INTRINSICS_OFF
#define SDL_DISABLE_IMMINTRIN_H
#define SDL_DISABLE_MMINTRIN_H
#define SDL_DISABLE_XMMINTRIN_H
#define SDL_DISABLE_EMMINTRIN_H
#define SDL_DISABLE_PMMINTRIN_H
#endif
#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>
#ifdef VANTREL_SDL_INTRINSICS_OFF
#undef VANTREL_SDL_INTRINSICS_OFF
#undef SDL_DISABLE_IMMINTRIN_H
#undef SDL_DISABLE_MMINTRIN_H
#undef SDL_DISABLE_XMMINTRIN_H
#undef SDL_DISABLE_EMMINTRIN_H
#undef SDL_DISABLE_PMMINTRIN_H
#endif
/// \endcond

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "types/color.h"
#include "types/direction.h"
#include "types/geometry.h"
#include "types/random.h"

namespace vantrel {
namespace detail {
// A colour argument (a palette name or a Color): what the shape calls'
// guards against a missing geometry argument catch.
template <typename T>
using IfColorArgument =
    std::enable_if_t<std::is_same<T, PaletteName>::value || std::is_same<T, Color>::value>;
template <typename T> constexpr bool alwaysFalse = false;
// What the canvas keeps behind its API (canvas/state.h).
struct Image;
struct State;
} // namespace detail
} // namespace vantrel

/// Number of an open font: 1 is the first font opened (the default font),
/// 2 the next one loadFont opened, and so on; -1 means a load failed.
typedef int FontId;
/// Number of a loaded image: 1 is the first image loadImage loaded, 2 the
/// next, and so on; -1 means a load failed.
typedef int ImageId;
/// Number of a loaded sound effect: 1 is the first sound loadSound loaded,
/// 2 the next, and so on; -1 means a load failed.
typedef int SoundId;

/// Largest width and height of an image loadImage accepts, in pixels: more
/// than a lab machine should give one picture (8192 x 8192 take 256 MB).
constexpr int MAX_IMAGE_SIZE = 8192;
/// How drawImage mirrors an image: not at all, left-right, upside down, or
/// both (which looks the same as turning it by 180 degrees).
enum ImageFlip { NO_FLIP = 0, FLIP_HORIZONTAL = 1, FLIP_VERTICAL = 2, FLIP_BOTH = 3 };
/// How many sound effects can play at the same time (playEffect).
constexpr int MAX_EFFECTS_AT_ONCE = 16;
/// Longest sound loadSound accepts, in seconds (10 minutes): a loaded sound is
/// kept decoded, about 2.6 MB a minute; playMusic streams longer ones.
constexpr int MAX_SOUND_SECONDS = 600;

/// Path of the TrueType font the canvas opens at start-up as its default font.
/// On Linux this is DejaVu Sans (Debian package fonts-dejavu-core).
extern const std::string DEFAULT_FONT;
/// Size of the default font, in points.
constexpr int DEFAULT_FONT_SIZE = 35;
/// Frames per second the frame loop aims for unless told otherwise.
constexpr std::uint8_t DEFAULT_FPS = 60;
/// Window title used unless told otherwise.
constexpr const char* DEFAULT_TITLE = "Vantrel";
/// Background colour until you set one: opaque white.
inline constexpr Color DEFAULT_BACKGROUND(255, 255, 255, 255);
/// Foreground colour until you set one: black with alpha 0, invisible. Call
/// setForegroundColor (Color(BLACK), say) before drawing without a colour.
inline constexpr Color DEFAULT_FOREGROUND(0, 0, 0, 0);

/// The window you draw in, its frame loop, its fonts and its sound.
///
/// There is exactly one canvas; reach it with Canvas::getInstance(). A program
/// sets it up once with initWorld, then runs the frame loop:
///
///     canvas.start();
///     while (canvas.isRunning()) {   // waits for the next frame
///         canvas.clear();
///         ... draw ...
///         while (canvas.pollEvent(&event)) {     // every waiting event
///             if (event.type == SDL_QUIT) canvas.quit();
///         }
///         canvas.update();            // shows the frame
///     }
///
/// Coordinates are window pixels with (0, 0) at the top-left corner, x to the
/// right and y downwards. A relative file path (a font, an image, a sound) is
/// looked for in the working directory, then beside the program. Everything
/// is called from the main thread.
class Canvas {
public:
    /// The canvas, created (with the default font opened) on the first call.
    static Canvas& getInstance();

    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // ---- Set-up, frame loop and window --------------------------------------
    /// Opens the window at screen position (x, y), width x height pixels, and
    /// starts SDL, audio and the renderer. Call it exactly once.
    /// Prints "initWorld called" first. A fontName or fontSize other than the
    /// defaults opens that font and makes it the default font if it opens.
    /// Throws a message (const char*, or std::string for the audio failure)
    /// when anything cannot be set up; fps must be between 1 and 255.
    void initWorld(int x, int y, int width, int height, const char* title = DEFAULT_TITLE,
                   const std::string& fontName = DEFAULT_FONT, int fontSize = DEFAULT_FONT_SIZE,
                   const Color& background = DEFAULT_BACKGROUND,
                   const Color& foreground = DEFAULT_FOREGROUND, std::uint8_t fps = DEFAULT_FPS);
    /// Starts the frame loop: isRunning() returns true from now on.
    void start();
    /// Ends the frame loop: the next isRunning() returns false.
    void quit();
    /// Loop condition: sleeps out the frame (1000 / fps ms, rounded down; a
    /// late frame is not made up for), starts the next, says whether to go on.
    bool isRunning();
    /// Takes the next waiting event (key, mouse, window close...) into *event.
    /// Returns false when no event is waiting (or before initWorld).
    bool pollEvent(SDL_Event* event);
    /// Fills the whole window with the background colour.
    void clear();
    /// Shows everything drawn since the last clear() and sends drawing back to
    /// the window. Then the window's picture is undefined until clear(): clear
    /// every frame, and draw what must stay into an image (see createImage).
    void update();

    /// Window width in pixels; 0 before initWorld.
    int getWidth();
    /// Window height in pixels; 0 before initWorld.
    int getHeight();
    /// Target frames per second (1-255).
    int getFPS();
    /// Stores the mouse position relative to the window in *x and *y.
    void getMouseState(int* x, int* y);
    /// Brings the window to the front.
    void raiseWindow();
    /// Changes the window's title (UTF-8); nothing happens before initWorld.
    void setTitle(const std::string& title);
    /// Shows or hides the mouse pointer over the window (shown at the start);
    /// the mouse keeps working either way, as for a game's own cross-hairs.
    void showCursor(bool shown);
    /// Fills the whole screen with the window (true) or gives it back its
    /// size (false). The picture keeps its size and shape, scaled to fit
    /// with black bars beside it, so getWidth(), getHeight() and the mouse
    /// stay in the window's pixels. In a browser it starts at the next click
    /// or key, as browsers require; the recording mode keeps its window.
    void setFullscreen(bool on);
    /// True while the window fills the screen.
    bool isFullscreen();
    /// The SDL renderer that draws: "software", "opengl", "opengles2",
    /// "direct3d" and so on; empty before initWorld. Where OpenGL is only
    /// drawn by the processor (a machine without a graphics card), the
    /// canvas picks "software" unless SDL_RENDER_DRIVER names another.
    std::string getRendererName();

    // ---- Time, keyboard and mouse -------------------------------------------
    // Every answer describes the start of the current frame (the last
    // isRunning()) until the next one, whatever the program does with
    // pollEvent. A key pressed and released within one frame counts as both;
    // losing the keyboard focus releases every key and button held. Before
    // initWorld every answer is false, 0 or empty.

    /// Seconds from the previous frame's start to this one's (about 0.016 at
    /// 60 fps; 0 before the first frame after start()): multiply a speed in
    /// pixels per second by it to move alike whatever the frame rate.
    double getFrameTime();
    /// Seconds from the first start() to this frame's start; 0 before start().
    double getTime();
    /// Frames per second really achieved, averaged over about the last
    /// second; 0 until two frames have started. getFPS() gives the target.
    double getMeasuredFPS();

    /// Whether the key is held down. Keys are SDL's key codes, the ones
    /// pollEvent hands out: SDLK_LEFT, SDLK_a, SDLK_SPACE, SDLK_RETURN...
    bool isKeyDown(SDL_Keycode key);
    /// Whether the key went down since the previous frame started.
    bool wasKeyPressed(SDL_Keycode key);
    /// Whether the key went up since the previous frame started.
    bool wasKeyReleased(SDL_Keycode key);
    /// Whether the key went down or repeated (held down: after about half a
    /// second, then some 25 to 30 times a second) since the previous frame
    /// started, so that holding Backspace deletes one character after
    /// another. A repeat is no new press: wasKeyPressed ignores it.
    bool wasKeyTyped(SDL_Keycode key);
    /// Types into text, for a name or any text field, what was typed since
    /// the previous frame started, in order: each character (as getTypedText
    /// gives them) added at the end, the last character removed for each
    /// Backspace, press or repeat. A field in one call: canvas.typeInto(name);
    void typeInto(std::string& text) const;
    /// The text typed since the previous frame started, in UTF-8, as the
    /// keyboard layout made it (Shift, "é", dead keys, AltGr, input methods);
    /// "" when nothing was typed. Keys that type no character (Backspace,
    /// Enter, Tab, Escape, the arrows) add nothing: ask wasKeyTyped. It
    /// changes at the next isRunning(): keep it, name += canvas.getTypedText();
    const std::string& getTypedText() const;
    /// Removes the last character of text, all of its bytes (an "é" takes
    /// two in UTF-8, where text.pop_back() would leave half): what Backspace
    /// does in a text field; empty text stays empty. With wasKeyTyped and
    /// getTypedText, handle Backspace before adding the frame's text.
    static void removeLastCharacter(std::string& text);
    /// Mouse x in window pixels (0: the left edge), last seen inside the window.
    int getMouseX();
    /// Mouse y in window pixels (0 is the top edge, y grows downwards).
    int getMouseY();
    /// Whether the mouse button is held down: SDL_BUTTON_LEFT,
    /// SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT, SDL_BUTTON_X1 or SDL_BUTTON_X2.
    bool isMouseButtonDown(int button);
    /// Whether the mouse button went down since the previous frame started.
    bool wasMouseButtonPressed(int button);
    /// Whether the mouse button went up since the previous frame started.
    bool wasMouseButtonReleased(int button);
    /// Steps the mouse wheel turned since the previous frame started:
    /// positive away from you (scrolling up), negative towards you, 0 if none.
    int getMouseWheel();
    /// Game controllers connected now (at most 8), numbered from 0 in the
    /// order they connected; when one is unplugged the later ones move down.
    int getGamepadCount();
    /// Whether the pad's button is held down. Buttons are SDL's:
    /// SDL_CONTROLLER_BUTTON_A, ..._B, ..._START, ..._DPAD_UP...; a pad or
    /// button that is not there is never down.
    bool isGamepadButtonDown(int pad, int button);
    /// Whether the pad's button went down since the previous frame started.
    bool wasGamepadButtonPressed(int pad, int button);
    /// Whether the pad's button went up since the previous frame started.
    bool wasGamepadButtonReleased(int pad, int button);
    /// Where the pad's axis is, SDL_CONTROLLER_AXIS_LEFTX, ..._LEFTY (down
    /// is positive), ..._RIGHTX, ..._RIGHTY: -1 to 1, and 0 near the centre
    /// (a dead zone of about a quarter); the triggers, ..._TRIGGERLEFT and
    /// ..._TRIGGERRIGHT, read 0 to 1. A pad or axis that is not there reads 0.
    double getGamepadAxis(int pad, int axis);

    // ---- Colours ----------------------------------------------------------
    /// Colour that clear() fills the window with.
    void setBackgroundColor(const Color& c);
    /// Colour of every drawing call made without a colour argument.
    void setForegroundColor(const Color& c);

    // ---- Fonts and text -----------------------------------------------------
    // Text is drawn at its natural size with its top-left corner at (x, y),
    // up to its first NUL byte. Its bytes are read as UTF-8 when they are
    // valid UTF-8 with a character beyond ASCII ("Grüße" in a UTF-8 source
    // file), and as Latin-1 (or Windows-1252) otherwise. A font id that names
    // no open font throws std::out_of_range, and so do the forms without one
    // when the default font file is missing (the default font id is then -1).

    /// Opens the TrueType font file at path in size points: its FontId (2 for
    /// the first you load), or -1 when it cannot be opened as a font;
    /// getFontError() then says why.
    FontId loadFont(std::string path, int size);
    /// Why the last loadFont failed, naming the file (and where it was looked
    /// for); empty after one that worked.
    const std::string& getFontError() const;
    /// Text in the foreground colour and the default font.
    void drawText(int x, int y, std::string text);
    /// Text in color and the default font.
    void drawText(int x, int y, std::string text, Color color);
    /// Text in color and the font loadFont returned. Returns false, drawing
    /// nothing, when the text cannot be rendered (for example empty text).
    bool drawText(int x, int y, std::string text, Color color, FontId font);
    /// Width or height in pixels of what drawText draws for text: from its
    /// leftmost to its rightmost, or highest to lowest, coloured pixel. 0 for
    /// text that draws nothing.
    ///@{
    int getTextWidth(const std::string& text);
    int getTextWidth(const std::string& text, FontId font);
    int getTextHeight(const std::string& text);
    int getTextHeight(const std::string& text, FontId font);
    ///@}
    /// Text centred on (x, y): its coloured pixels (getTextWidth of them)
    /// start at column x - width / 2, and the middle of its line (the height
    /// of the font, from above its capitals to below its descenders) is on
    /// row y, so texts centred on one y in one font share a baseline.
    /// Handy for titles: drawTextCentered(canvas.getWidth() / 2, 30, "My house").
    ///@{
    void drawTextCentered(int x, int y, const std::string& text);
    void drawTextCentered(int x, int y, const std::string& text, Color color);
    ///@}
    /// Returns false, drawing nothing, when the text cannot be rendered.
    bool drawTextCentered(int x, int y, const std::string& text, Color color, FontId font);
    /// Text whose rightmost coloured pixel is in column x, with y as in
    /// drawText (the top of the line), so a right-aligned score sits level
    /// with text drawn by drawText at the same y.
    ///@{
    void drawTextRight(int x, int y, const std::string& text);
    void drawTextRight(int x, int y, const std::string& text, Color color);
    ///@}
    /// Returns false, drawing nothing, when the text cannot be rendered.
    bool drawTextRight(int x, int y, const std::string& text, Color color, FontId font);

    // ---- Shapes -----------------------------------------------------------
    // Each shape comes in three colour forms with the same name:
    //   drawX(geometry...)                    in the foreground colour,
    //   drawX(geometry..., color)             in a Color,
    //   drawX(geometry..., red, green, blue, alpha)  in four channels 0-255.
    // None changes the foreground colour. Geometry is in pixels, any int: of a
    // shape reaching far beyond the window (or image) just what shows is drawn.

    /// One pixel at (x, y).
    ///@{
    void drawPixel(int x, int y);
    void drawPixel(int x, int y, const Color& color);
    void drawPixel(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
    ///@}
    /// A straight line from (x1, y1) to (x2, y2), both ends included.
    ///@{
    void drawLine(int x1, int y1, int x2, int y2);
    void drawLine(int x1, int y1, int x2, int y2, const Color& color);
    void drawLine(int x1, int y1, int x2, int y2, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                  std::uint8_t a);
    ///@}
    /// The outline of the rectangle with opposite corners (x1, y1) and (x2, y2).
    ///@{
    void drawRectangle(int x1, int y1, int x2, int y2);
    void drawRectangle(int x1, int y1, int x2, int y2, const Color& color);
    void drawRectangle(int x1, int y1, int x2, int y2, std::uint8_t r, std::uint8_t g,
                       std::uint8_t b, std::uint8_t a);
    ///@}
    /// A filled rectangle with corners (x1, y1) and (x2, y2), rounded by radius.
    ///@{
    void drawRoundedBox(int x1, int y1, int x2, int y2, int radius);
    void drawRoundedBox(int x1, int y1, int x2, int y2, int radius, const Color& color);
    void drawRoundedBox(int x1, int y1, int x2, int y2, int radius, std::uint8_t r, std::uint8_t g,
                        std::uint8_t b, std::uint8_t a);
    ///@}
    /// The outline of a circle centred on (x, y).
    ///@{
    void drawCircle(int x, int y, int radius);
    void drawCircle(int x, int y, int radius, const Color& color);
    void drawCircle(int x, int y, int radius, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                    std::uint8_t a);
    ///@}
    /// A filled disc centred on (x, y).
    ///@{
    void drawFilledCircle(int x, int y, int radius);
    void drawFilledCircle(int x, int y, int radius, const Color& color);
    void drawFilledCircle(int x, int y, int radius, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                          std::uint8_t a);
    ///@}
    /// A filled rectangle with opposite corners (x1, y1) and (x2, y2), both
    /// corners included, given in any order (like drawRectangle, filled).
    ///@{
    void drawFilledRectangle(int x1, int y1, int x2, int y2);
    void drawFilledRectangle(int x1, int y1, int x2, int y2, const Color& color);
    void drawFilledRectangle(int x1, int y1, int x2, int y2, std::uint8_t r, std::uint8_t g,
                             std::uint8_t b, std::uint8_t a);
    ///@}
    /// The outline of the triangle with corners (x1, y1), (x2, y2), (x3, y3).
    ///@{
    void drawTriangle(int x1, int y1, int x2, int y2, int x3, int y3);
    void drawTriangle(int x1, int y1, int x2, int y2, int x3, int y3, const Color& color);
    void drawTriangle(int x1, int y1, int x2, int y2, int x3, int y3, std::uint8_t r,
                      std::uint8_t g, std::uint8_t b, std::uint8_t a);
    ///@}
    /// A filled triangle with corners (x1, y1), (x2, y2), (x3, y3), corners
    /// included. Three corners on one line draw that line.
    ///@{
    void drawFilledTriangle(int x1, int y1, int x2, int y2, int x3, int y3);
    void drawFilledTriangle(int x1, int y1, int x2, int y2, int x3, int y3, const Color& color);
    void drawFilledTriangle(int x1, int y1, int x2, int y2, int x3, int y3, std::uint8_t r,
                            std::uint8_t g, std::uint8_t b, std::uint8_t a);
    ///@}
    /// The closed outline through the corners in order, last back to first:
    /// either a list of points, drawPolygon({{10, 10}, {90, 10}, {50, 60}}),
    /// or a list of x and a list of y (extra entries in the longer one are
    /// ignored). Fewer than three corners draw nothing.
    ///@{
    void drawPolygon(const std::vector<SDL_Point>& points);
    void drawPolygon(const std::vector<SDL_Point>& points, const Color& color);
    void drawPolygon(const std::vector<SDL_Point>& points, std::uint8_t r, std::uint8_t g,
                     std::uint8_t b, std::uint8_t a);
    void drawPolygon(const std::vector<int>& xs, const std::vector<int>& ys);
    void drawPolygon(const std::vector<int>& xs, const std::vector<int>& ys, const Color& color);
    void drawPolygon(const std::vector<int>& xs, const std::vector<int>& ys, std::uint8_t r,
                     std::uint8_t g, std::uint8_t b, std::uint8_t a);
    ///@}
    /// The polygon of drawPolygon, filled, corners included. Fewer than three
    /// corners draw nothing; corners all on one line draw that line.
    ///@{
    void drawFilledPolygon(const std::vector<SDL_Point>& points);
    void drawFilledPolygon(const std::vector<SDL_Point>& points, const Color& color);
    void drawFilledPolygon(const std::vector<SDL_Point>& points, std::uint8_t r, std::uint8_t g,
                           std::uint8_t b, std::uint8_t a);
    void drawFilledPolygon(const std::vector<int>& xs, const std::vector<int>& ys);
    void drawFilledPolygon(const std::vector<int>& xs, const std::vector<int>& ys,
                           const Color& color);
    void drawFilledPolygon(const std::vector<int>& xs, const std::vector<int>& ys, std::uint8_t r,
                           std::uint8_t g, std::uint8_t b, std::uint8_t a);
    ///@}
    /// The outline of an ellipse centred on (x, y), reaching radiusX pixels
    /// left and right and radiusY up and down. A radius of 0 draws a line; a
    /// negative radius draws nothing.
    ///@{
    void drawEllipse(int x, int y, int radiusX, int radiusY);
    void drawEllipse(int x, int y, int radiusX, int radiusY, const Color& color);
    void drawEllipse(int x, int y, int radiusX, int radiusY, std::uint8_t r, std::uint8_t g,
                     std::uint8_t b, std::uint8_t a);
    ///@}
    /// The ellipse of drawEllipse, filled.
    ///@{
    void drawFilledEllipse(int x, int y, int radiusX, int radiusY);
    void drawFilledEllipse(int x, int y, int radiusX, int radiusY, const Color& color);
    void drawFilledEllipse(int x, int y, int radiusX, int radiusY, std::uint8_t r, std::uint8_t g,
                           std::uint8_t b, std::uint8_t a);
    ///@}

    // Angles, for arcs and pies, are in degrees: 0 points right, 90 down,
    // 180 left, 270 up (they grow clockwise on the screen). The curve runs
    // clockwise from startDegrees to endDegrees, past 0 if endDegrees is the
    // smaller: (0, 90) is the bottom-right quarter, (270, 360) and (-90, 0)
    // the top-right one. A span of 360 degrees or more is the whole circle.

    /// Part of the outline of the circle centred on (x, y), both ends included.
    /// Equal angles draw nothing; a negative radius draws nothing.
    ///@{
    void drawArc(int x, int y, int radius, int startDegrees, int endDegrees);
    void drawArc(int x, int y, int radius, int startDegrees, int endDegrees, const Color& color);
    void drawArc(int x, int y, int radius, int startDegrees, int endDegrees, std::uint8_t r,
                 std::uint8_t g, std::uint8_t b, std::uint8_t a);
    ///@}
    /// A filled slice of the disc centred on (x, y), between the radii at both
    /// angles. Equal angles draw the one radius; a negative radius draws nothing.
    ///@{
    void drawFilledPie(int x, int y, int radius, int startDegrees, int endDegrees);
    void drawFilledPie(int x, int y, int radius, int startDegrees, int endDegrees,
                       const Color& color);
    void drawFilledPie(int x, int y, int radius, int startDegrees, int endDegrees, std::uint8_t r,
                       std::uint8_t g, std::uint8_t b, std::uint8_t a);
    ///@}

    /// A line from (x1, y1) to (x2, y2), width pixels thick (1 to 255; wider
    /// is drawn 255 wide, 0 or less draws nothing), its ends cut square across
    /// it at the two points. Equal points draw a width x width square on them.
    ///@{
    void drawThickLine(int x1, int y1, int x2, int y2, int width);
    void drawThickLine(int x1, int y1, int x2, int y2, int width, const Color& color);
    void drawThickLine(int x1, int y1, int x2, int y2, int width, std::uint8_t r, std::uint8_t g,
                       std::uint8_t b, std::uint8_t a);
    ///@}

    // ---- A palette name where a number belongs ------------------------------
    // drawRoundedBox(20, 20, 200, 120, RED) would take RED for the radius (5)
    // and draw in the foreground colour: these forms stop the build instead,
    // with a message that names the missing argument. (Left out of the
    // reference: nothing to call.)

    /// \cond
    template <typename C, typename = vantrel::detail::IfColorArgument<C>>
    void drawPixel(int, const C&) {
        static_assert(vantrel::detail::alwaysFalse<C>,
                      "drawPixel needs x and y before the colour: drawPixel(x, y, color)");
    }
    template <typename C, typename = vantrel::detail::IfColorArgument<C>>
    void drawLine(int, int, int, const C&) {
        static_assert(vantrel::detail::alwaysFalse<C>,
                      "drawLine needs four coordinates before the colour: "
                      "drawLine(x1, y1, x2, y2, color)");
    }
    template <typename C, typename = vantrel::detail::IfColorArgument<C>>
    void drawRectangle(int, int, int, const C&) {
        static_assert(vantrel::detail::alwaysFalse<C>,
                      "drawRectangle needs four coordinates before the colour: "
                      "drawRectangle(x1, y1, x2, y2, color)");
    }
    template <typename C, typename = vantrel::detail::IfColorArgument<C>>
    void drawRoundedBox(int, int, int, int, const C&) {
        static_assert(vantrel::detail::alwaysFalse<C>,
                      "drawRoundedBox needs a corner radius before the colour: "
                      "drawRoundedBox(x1, y1, x2, y2, radius, color)");
    }
    template <typename C, typename = vantrel::detail::IfColorArgument<C>>
    void drawCircle(int, int, const C&) {
        static_assert(
            vantrel::detail::alwaysFalse<C>,
            "drawCircle needs a radius before the colour: drawCircle(x, y, radius, color)");
    }
    template <typename C, typename = vantrel::detail::IfColorArgument<C>>
    void drawFilledCircle(int, int, const C&) {
        static_assert(vantrel::detail::alwaysFalse<C>,
                      "drawFilledCircle needs a radius before the colour: "
                      "drawFilledCircle(x, y, radius, color)");
    }
    /// \endcond

    // ---- Images -----------------------------------------------------------
    // Load each image once, before the frame loop, and draw it every frame
    // with its top-left corner at (x, y). Angles are in degrees, clockwise,
    // about the image's centre. An id that names no image (-1 from a failed
    // loadImage, say) throws std::out_of_range, and drawing an image while
    // drawing into it std::logic_error. Before initWorld nothing is drawn,
    // nor is a turned or mirrored draw over MAX_IMAGE_SIZE pixels wide or
    // high. Images stay loaded until the program ends.

    /// Loads the PNG, JPEG or BMP file at path. Returns its ImageId (1 for
    /// the first image), or -1 when the file is missing, is not such an
    /// image, is damaged, or is wider or higher than MAX_IMAGE_SIZE;
    /// getImageError() then says why. May be called before initWorld.
    ImageId loadImage(const std::string& path);
    /// Why the last loadImage failed, for example "Couldn't load hero.png:
    /// it is not a PNG, JPEG or BMP image"; empty after a load that worked.
    /// createImage, drawInto and saveImage report here too.
    std::string getImageError();
    /// The image's natural width in pixels.
    int getImageWidth(ImageId image);
    /// The image's natural height in pixels.
    int getImageHeight(ImageId image);
    /// The whole image at its natural size.
    void drawImage(ImageId image, int x, int y);
    /// The whole image scaled by scale (2.0 twice as wide and high, 0.5 half;
    /// 0 or less draws nothing), turned by angleDegrees and mirrored by flip.
    void drawImage(ImageId image, int x, int y, double scale, double angleDegrees = 0.0,
                   ImageFlip flip = NO_FLIP);
    /// The whole image stretched to width x height pixels, turned and mirrored.
    void drawImageSized(ImageId image, int x, int y, int width, int height,
                        double angleDegrees = 0.0, ImageFlip flip = NO_FLIP);
    /// One rectangle of the image (srcX, srcY, srcWidth x srcHeight in its own
    /// pixels, one frame of a sprite sheet, say) drawn into width x height at
    /// (x, y), turned and mirrored; what lies outside the image is left out.
    void drawImagePart(ImageId image, int srcX, int srcY, int srcWidth, int srcHeight, int x, int y,
                       int width, int height, double angleDegrees = 0.0, ImageFlip flip = NO_FLIP);
    /// How opaque the image is drawn from now on: 255 (the start) as it is,
    /// 0 invisible, 128 half see-through, for fading. Values outside 0-255
    /// are taken as 0 or 255. Pixels the file makes transparent stay so.
    void setImageAlpha(ImageId image, int alpha);

    // ---- Images you draw into ---------------------------------------------
    // Drawing that stays: the window's picture is undefined after update()
    // (the last frame, an older one or anything else, by graphics driver), so
    // draw what must stay (a painting, a trail) into an image instead, once,
    // and draw that image every frame:
    //
    //     ImageId paper = canvas.createImage(640, 480);   // transparent
    //     canvas.drawInto(paper);          // every drawing call goes there...
    //     canvas.drawFilledCircle(x, y, 5, RED);
    //     canvas.drawIntoWindow();         // ...until this (or update())
    //     canvas.drawImage(paper, 0, 0);   // then draw it like any image
    //
    // While drawing into an image, coordinates are its own pixels and the
    // camera does not apply; clear() fills it with the background colour.
    // Translucent colours drawn where it is still transparent come out darker
    // and more see-through when it is drawn; opaque ones come out exactly.

    /// Makes a transparent image width x height pixels to draw into. Returns
    /// its ImageId (numbered with the loaded images), or -1 when a size is
    /// below 1 or above MAX_IMAGE_SIZE, before initWorld, or when the graphics
    /// driver cannot hold it; getImageError() then says why.
    ImageId createImage(int width, int height);
    /// Sends every drawing call (shapes, text, images, clear()) into the image,
    /// a loaded one too, until drawIntoWindow() or update(). Returns false,
    /// drawing staying where it was, before initWorld or when the graphics
    /// driver cannot draw into it (getImageError() says why). An unknown id
    /// throws std::out_of_range; drawing an image into itself std::logic_error.
    bool drawInto(ImageId image);
    /// Sends drawing back to the window (update() does this too).
    void drawIntoWindow();
    /// Makes every pixel of the image transparent again, or fills it with a
    /// colour (a Color or four channels 0-255), whatever is being drawn into.
    ///@{
    void clearImage(ImageId image);
    void clearImage(ImageId image, const Color& color);
    void clearImage(ImageId image, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
    ///@}
    /// Writes the image, transparent pixels included, as a PNG file at path,
    /// whole or not at all (a failed save leaves an earlier file as it was).
    /// Returns false, getImageError() saying why, if it fails or before initWorld.
    bool saveImage(ImageId image, const std::string& path);

    // ---- Camera -----------------------------------------------------------
    // For a world bigger than the window: with the camera at (x, y), drawing
    // calls take world coordinates and the window shows the world from (x, y)
    // on; setCamera(0, 0) (the start) goes back to window pixels, for a score
    // or a menu. The camera moves every drawing call by whole pixels, but not
    // drawing into an image, nor clear(), nor the mouse calls above.

    /// Puts the camera's top-left corner at world point (x, y), from now on.
    void setCamera(int x, int y);
    /// The camera's x: the world x shown at the window's left edge.
    int getCameraX();
    /// The camera's y: the world y shown at the window's top edge.
    int getCameraY();
    /// Where the mouse is in the world: the camera's x plus getMouseX()
    /// divided by the zoom.
    int getMouseWorldX();
    /// Where the mouse is in the world: the camera's y plus getMouseY()
    /// divided by the zoom.
    int getMouseWorldY();
    /// Scales everything drawn into the window about the camera's corner
    /// from now on: 2 shows the world twice as big, 0.5 half as big, 1 (the
    /// start) not at all. Kept within 0.01-100, said once on standard error.
    /// The world mouse calls follow it; the window mouse calls do not.
    /// Whole numbers keep pixels square everywhere; in between, SDL's
    /// software renderer may leave thin gaps in filled shapes.
    void setCameraZoom(double zoom);
    /// The camera's zoom (1: none).
    double getCameraZoom();

    // ---- Buttons, sliders and check boxes -----------------------------------
    // Called every frame they are shown: each draws itself and answers the
    // left mouse button at once, and the program keeps the value. They are
    // drawn in window pixels, whatever the camera and its zoom, in a dark
    // face with light and black edges that reads on any background, lighter
    // under the mouse and darker while pressed.

    /// A button at (x, y), width by height pixels, with label centred on it;
    /// true in the frame a click that began on it ends on it.
    bool drawButton(int x, int y, int width, int height, const std::string& label);
    /// A slider 20 pixels high at (x, y), width wide, showing value between
    /// low (left) and high (right); returns the value after this frame's
    /// click or drag on it, kept within low-high.
    double drawSlider(int x, int y, int width, double value, double low, double high);
    /// A 20-pixel box at (x, y), ticked when checked, with label to its
    /// right; returns checked, flipped in the frame a click on it ends.
    bool drawCheckBox(int x, int y, const std::string& label, bool checked);

    // ---- Sound, sound effects and music -------------------------------------
    // The sample: one at a time, loaded whole into memory; WAV always works
    // (plus whatever else SDL_mixer reads without optional decoders).

    /// True while a sample is loaded, even after it has finished playing.
    bool hasSound();
    /// Stops and replaces the current sample with the file at path, then
    /// plays it once (loop false) or over and over (loop true).
    /// Throws std::string "Unable to open audio with error<reason>" when the
    /// file cannot be read or decoded; the slot is then empty.
    void playSound(const std::string& path, bool loop);
    /// Pauses (true) or resumes (false) every playing channel, when a sample
    /// is loaded; does nothing otherwise.
    void pauseSound(bool pause);
    /// Halts every channel and unloads the sample.
    void stopSound();

    // Effects are short sounds loaded once and played as often as you like,
    // several at once: a hit, a coin, a jump. Music is one long file at a
    // time, streamed from the disk as it plays. Both take WAV, OGG (Vorbis),
    // MP3 and FLAC files. Volumes run from 0 (silent) to 1 (full, the start);
    // values outside are taken as 0 or 1. pauseSound and stopSound (above) act
    // on every mixing channel: pauseSound (with a sample loaded) pauses and
    // resumes the effects too, stopSound() stops them (they stay loaded), and
    // both leave the music playing. The calls below leave the sample alone.

    /// Loads the sound file at path whole, to be played with playEffect.
    /// Returns its SoundId (1 for the first sound), or -1 when the file is
    /// missing, is not a sound, is in a format this system does not play
    /// (MIDI, AIFF, Opus...), is damaged, or is longer than MAX_SOUND_SECONDS;
    /// getSoundError() then says why. Before initWorld the file is read and
    /// checked at once and decoded when initWorld opens the audio (one that
    /// fails then plays nothing; getSoundError() and standard error say why).
    SoundId loadSound(const std::string& path);
    /// Plays a sine tone of frequency hertz for seconds on an effect channel,
    /// at volume 0-1 (times the effects volume), with no sound file: tones
    /// overlap like effects and fade in and out over 5 ms, so they start and
    /// end without a click. Frequency is held to 20-20,000 Hz and length to
    /// 10 s (said once on standard error); a length of 0 or less plays
    /// nothing, and so does any call before initWorld.
    void playTone(double frequency, double seconds, double volume = 1.0);
    /// Why the last loadSound or playMusic failed, for example "Couldn't load
    /// hit.ogg: it holds text, not sound"; empty after one that worked.
    std::string getSoundError();
    /// Starts the sound on a free effect channel and returns at once, so
    /// effects (the same one or others) overlap. Up to MAX_EFFECTS_AT_ONCE
    /// play at the same time; beyond, the effect that started longest ago
    /// stops to make room (never the music; nothing is reported). Does nothing
    /// before initWorld. An id that names no loaded sound (-1 from a failed
    /// loadSound, say) throws std::out_of_range.
    void playEffect(SoundId sound);
    /// The same at volume, 0 (silent) to 1 (full), times setEffectsVolume's.
    void playEffect(SoundId sound, double volume);
    /// Stops every effect playing. The sounds stay loaded; the music and the
    /// slot's sample play on.
    void stopEffects();
    /// Volume of every effect from now on, those playing included: 0
    /// (silent) to 1 (full, the start).
    void setEffectsVolume(double volume);
    /// Streams the music file at path, once (loop false) or over and over
    /// (loop true), replacing the music that was playing: that music stops
    /// whether or not the new file plays. Returns false when the file is
    /// missing, is not a sound, is in a format this system does not play or
    /// is damaged, or before initWorld; getSoundError() then says why.
    bool playMusic(const std::string& path, bool loop);
    /// Pauses (true) or resumes (false) the music alone, where it was, if started.
    void pauseMusic(bool pause);
    /// Stops the music and closes its file.
    void stopMusic();
    /// Whether music is being heard: false before playMusic, while paused,
    /// after stopMusic, and once music played without loop has ended.
    bool isMusicPlaying();
    /// Volume of the music, now and for later playMusic calls: 0 (silent)
    /// to 1 (full, the start).
    void setMusicVolume(double volume);

    // ---- Saving frames ----------------------------------------------------
    /// Saves what has been drawn since the last clear() as a PNG file at
    /// path (call it before update()). Returns false when the file cannot be
    /// written, or before initWorld; getSaveFrameError() then says why. As
    /// with saveImage, a failed save leaves an earlier file at path as it was.
    /// vantrel-run or VANTREL_RECORD=1 (see docs/grading.md) records a program
    /// unchanged: headless, on a fixed clock, with scripted input, saving frames.
    bool saveFrame(const std::string& path);
    /// Why the last saveFrame failed; empty after one that worked.
    const std::string& getSaveFrameError() const;

    // ---- Saved data -------------------------------------------------------
    // Numbers and text kept between runs by key (any UTF-8 text), in one
    // small file for the program in a per-user folder (getSaveFolder), written
    // whole at every save. In the recording mode, and so under vantrel-grade,
    // the file is saved.txt in the working folder. A damaged file counts as
    // nothing saved, with one line on standard error.

    /// Keeps value under key, replacing what was saved there.
    void saveNumber(const std::string& key, double value);
    /// The number saved under key, or otherwise when there is none.
    double loadNumber(const std::string& key, double otherwise);
    /// Keeps text under key (numbers and texts have keys of their own).
    void saveText(const std::string& key, const std::string& text);
    /// The text saved under key, or otherwise when there is none.
    std::string loadText(const std::string& key, const std::string& otherwise);
    /// The folder the saved data goes to, ending in a slash ("./" in the
    /// recording mode).
    std::string getSaveFolder();

private:
    Canvas();
    ~Canvas();

    // The frame loop's pacing (canvas/canvas.cpp).
    void waitForFrame();
    void markFrameStart();
    // Images and images drawn into (canvas/images.cpp, canvas/targets.cpp).
    // Every drawing call takes its coordinates through viewX and viewY.
    vantrel::detail::Image& imageFor(ImageId image);
    SDL_Texture* textureFor(ImageId image);
    void copyImage(SDL_Texture* texture, const SDL_Rect* source, const SDL_Rect& target,
                   double angleDegrees, ImageFlip flip);
    void freeImages();
    static int SDLCALL watchTargets(void* canvas, SDL_Event* event);
    bool makeDrawable(ImageId id);
    void restoreLostImages();
    void fillImage(ImageId id, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
    int viewX(int x) const;
    int viewY(int y) const;
    // The camera's zoom as the renderer's scale (canvas/camera.cpp).
    void applyZoom(double zoom);
    // Widgets (canvas/widgets.cpp): camera and zoom off while they draw,
    // the mouse's answer for one, and their face and label.
    void useWindowPixels(bool on);
    bool widgetInput(long long key, int x, int y, int width, int height, bool* held);
    void drawWidgetFace(int x, int y, int width, int height, const Color& face);
    void drawWidgetLabel(int x, int y, const std::string& label);
    // Sound effects and music (canvas/effects.cpp, canvas/music.cpp).
    void openEffects();
    void closeEffectsAndMusic();

    SDL_Window* window;
    SDL_Renderer* renderer;
    Uint32 frameStart;
    std::uint8_t fps;
    std::vector<TTF_Font*> fonts;
    Color background;
    Color foreground;
    Mix_Chunk* sound;
    bool initialized;
    bool running;
    FontId defaultFont;
    // Everything else the canvas keeps (canvas/state.h).
    std::unique_ptr<vantrel::detail::State> state;
};

#endif
