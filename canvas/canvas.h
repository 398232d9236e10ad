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
class Recorder;
} // namespace detail
} // namespace vantrel

/// Number of an open font: 1 is the first font opened (the default font),
/// 2 the next one loadFont opened, and so on; -1 means a load failed.
typedef int FontId;

/// Number of a loaded image: 1 is the first image loadImage loaded, 2 the
/// next, and so on; -1 means a load failed.
typedef int ImageId;

/// Largest width and largest height of an image loadImage accepts, in pixels.
/// A bigger image would take more memory than a lab machine should give one
/// picture (8192 x 8192 pixels already take 256 MB once decoded).
constexpr int MAX_IMAGE_SIZE = 8192;

/// Number of a loaded sound effect: 1 is the first sound loadSound loaded,
/// 2 the next, and so on; -1 means a load failed.
typedef int SoundId;

/// How many sound effects can play at the same time (playEffect).
constexpr int MAX_EFFECTS_AT_ONCE = 16;

/// Longest sound loadSound accepts, in seconds (10 minutes). A loaded sound
/// is kept decoded in memory, about 2.6 MB a minute; longer sounds belong in
/// playMusic, which streams them from the file as they play.
constexpr int MAX_SOUND_SECONDS = 600;

/// How drawImage mirrors an image: not at all, left-right, upside down, or
/// both (which looks the same as turning it by 180 degrees).
enum ImageFlip { NO_FLIP = 0, FLIP_HORIZONTAL = 1, FLIP_VERTICAL = 2, FLIP_BOTH = 3 };

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
/// Foreground colour until you set one: black with alpha 0, which is
/// invisible. Call setForegroundColor (for example Color(BLACK)) before
/// drawing shapes or text without a colour argument.
inline constexpr Color DEFAULT_FOREGROUND(0, 0, 0, 0);

namespace vantrel {
namespace detail {
// A colour argument (a palette name or a Color): what the shape calls'
// guards against a missing geometry argument catch.
template <typename T>
using IfColorArgument =
    std::enable_if_t<std::is_same<T, PaletteName>::value || std::is_same<T, Color>::value>;
template <typename T> constexpr bool alwaysFalse = false;
// value - by, kept within int: where a drawing call's coordinate lands once
// the camera has moved it.
inline int shiftedBy(int value, int by) {
    const long long moved = static_cast<long long>(value) - by;
    return moved < INT_MIN ? INT_MIN : moved > INT_MAX ? INT_MAX : static_cast<int>(moved);
}
} // namespace detail
} // namespace vantrel

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
/// right and y downwards. Everything is called from the main thread.
class Canvas {
public:
    /// The canvas, created (with the default font opened) on the first call.
    static Canvas& getInstance();

    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // ---- Set-up -----------------------------------------------------------

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

    // ---- Frame loop -------------------------------------------------------

    /// Starts the frame loop: isRunning() returns true from now on.
    void start();
    /// Ends the frame loop: the next isRunning() returns false.
    void quit();
    /// Loop condition: sleeps until the current frame's time (1000 / fps ms,
    /// rounded down) is up, starts the next frame, then says whether to go on.
    /// A frame that ran late is not made up for.
    bool isRunning();
    /// Takes the next waiting event (key, mouse, window close...) into *event.
    /// Returns false when no event is waiting (or before initWorld).
    bool pollEvent(SDL_Event* event);
    /// Fills the whole window with the background colour.
    void clear();
    /// Shows everything drawn since the last clear(), and sends drawing back
    /// to the window if it went into an image. What the window holds next
    /// is undefined until clear() (it may be the last frame, an older one or
    /// anything else): clear every frame, and draw what must stay into an
    /// image (see createImage).
    void update();

    // ---- Window and pointer -----------------------------------------------

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

    // ---- Keyboard, mouse and time -------------------------------------------
    // The answers describe the start of the current frame (the last
    // isRunning()) and stay the same until the next one, whatever the program
    // does with pollEvent: taking one event a frame, all of them or none gives
    // the same answers, and pollEvent still hands out every event. A key
    // pressed and released within one frame counts as pressed and as released.
    // Keys held down repeat, but a repeat is not a new press. When the window
    // loses the keyboard focus, every key and button held counts as released.
    // Before initWorld every answer is false, 0 or empty.

    /// Whether the key is held down. Keys are SDL's key codes, the ones
    /// pollEvent hands out: SDLK_LEFT, SDLK_a, SDLK_SPACE, SDLK_RETURN...
    bool isKeyDown(SDL_Keycode key);
    /// Whether the key went down since the previous frame started.
    bool wasKeyPressed(SDL_Keycode key);
    /// Whether the key went up since the previous frame started.
    bool wasKeyReleased(SDL_Keycode key);

    // Typing, for a name, an answer or any text field: typeInto(name) does
    // it all (letters added, Backspace held down or not). getTypedText()
    // gives the characters typed, wasKeyTyped the keys that edit them
    // (Backspace, Delete, the arrows), once on the press and again on every
    // repeat while they are held.

    /// Types into text what was typed since the previous frame started, in
    /// the order it was typed: each character (as getTypedText gives them)
    /// added at the end, and the last character removed for each Backspace,
    /// its press and every repeat while it is held. A field in one call:
    /// canvas.typeInto(name);
    void typeInto(std::string& text) const;

    /// The text typed since the previous frame started, in UTF-8, as the
    /// keyboard layout made it: capitals with Shift, "é" from its own key, a
    /// dead key or AltGr, the characters an input method offers once one is
    /// chosen; "" when nothing was typed. Keys that type no character
    /// (Backspace, Enter, Tab, Escape, the arrows) add nothing to it: ask
    /// wasKeyTyped for them. Add it to a string of your own:
    /// name += canvas.getTypedText(); (the answer changes at the next
    /// isRunning(), so copy what you want to keep).
    const std::string& getTypedText() const;
    /// Whether the key went down, or repeated because it is held down, since
    /// the previous frame started: true on the press, then again each time
    /// the system repeats the key (after about half a second, then some 25
    /// to 30 times a second), so that holding Backspace deletes one
    /// character after another. wasKeyPressed stays true on the press only.
    bool wasKeyTyped(SDL_Keycode key);
    /// Removes the last character of text, all of its bytes (an "é" takes
    /// two in UTF-8, so text.pop_back() would leave half of it): what
    /// Backspace does at the end of a text field. Empty text stays empty.
    /// (Within one frame the text and the keys come apart: using it with
    /// wasKeyTyped and getTypedText, handle Backspace before adding the
    /// text; typeInto keeps their order.)
    static void removeLastCharacter(std::string& text);

    /// Mouse x in window pixels (0 is the left edge); the last position seen
    /// inside the window.
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

    /// Seconds between the starts of the previous and the current frame
    /// (about 0.016 at 60 fps): multiply a speed in pixels per second by it
    /// to move at the same speed whatever the frame rate. 0 before the first
    /// frame after start().
    double getFrameTime();
    /// Seconds from the first start() to the start of the current frame; 0
    /// before start(). Like every answer here it stays the same all frame.
    double getTime();
    /// Frames per second really achieved, averaged over about the last
    /// second; 0 until two frames have started. getFPS() gives the target.
    double getMeasuredFPS();

    // ---- Colours ----------------------------------------------------------

    /// Colour that clear() fills the window with.
    void setBackgroundColor(const Color& c);
    /// Colour of every drawing call made without a colour argument.
    void setForegroundColor(const Color& c);

    // ---- Fonts ------------------------------------------------------------

    /// Opens the TrueType font file at path in size points.
    /// Returns its FontId (2 for the first font you load), or -1 when the
    /// file cannot be opened as a font.
    FontId loadFont(std::string path, int size);

    // ---- Shapes -----------------------------------------------------------
    // Each shape comes in three colour forms with the same name:
    //   drawX(geometry...)                    in the foreground colour,
    //   drawX(geometry..., color)             in a Color,
    //   drawX(geometry..., red, green, blue, alpha)  in four channels 0-255.
    // None of them changes the foreground colour. Geometry is in pixels, any
    // int: a shape reaching far beyond the window (or the image drawn into)
    // draws just the part of it that shows there.

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

    /// A filled rectangle with corners (x1, y1) and (x2, y2), its corners
    /// rounded with the given radius.
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

    /// A filled slice of the disc centred on (x, y), between its two radii at
    /// startDegrees and endDegrees. Equal angles draw the one radius; a
    /// negative radius draws nothing.
    ///@{
    void drawFilledPie(int x, int y, int radius, int startDegrees, int endDegrees);
    void drawFilledPie(int x, int y, int radius, int startDegrees, int endDegrees,
                       const Color& color);
    void drawFilledPie(int x, int y, int radius, int startDegrees, int endDegrees, std::uint8_t r,
                       std::uint8_t g, std::uint8_t b, std::uint8_t a);
    ///@}

    /// A line from (x1, y1) to (x2, y2), width pixels thick (1 to 255; wider
    /// is drawn 255 wide, 0 or less draws nothing). Its ends are square, cut
    /// across the line at the two points. Equal points draw a width x width
    /// square centred on them.
    ///@{
    void drawThickLine(int x1, int y1, int x2, int y2, int width);
    void drawThickLine(int x1, int y1, int x2, int y2, int width, const Color& color);
    void drawThickLine(int x1, int y1, int x2, int y2, int width, std::uint8_t r, std::uint8_t g,
                       std::uint8_t b, std::uint8_t a);
    ///@}

    // ---- Text -------------------------------------------------------------
    // Text is drawn at its natural size with its top-left corner at (x, y).
    // Its bytes are read as UTF-8 when they are valid UTF-8 with at least one
    // character beyond ASCII ("Grüße" typed in a UTF-8 source file), and as
    // Latin-1 otherwise (the same text saved as Latin-1 or Windows-1252).
    // Text ends at its first NUL byte. A font id that names no open font
    // throws std::out_of_range; when the default font file is missing, the
    // default font id is -1, so the forms without a font id throw.

    /// Text in the foreground colour and the default font.
    void drawText(int x, int y, std::string text);
    /// Text in color and the default font.
    void drawText(int x, int y, std::string text, Color color);
    /// Text in color and the font loadFont returned. Returns false, drawing
    /// nothing, when the text cannot be rendered (for example empty text).
    bool drawText(int x, int y, std::string text, Color color, FontId font);

    /// Width in pixels of what drawText draws for text: from its leftmost to
    /// its rightmost coloured pixel. 0 for text that draws nothing.
    ///@{
    int getTextWidth(const std::string& text);
    int getTextWidth(const std::string& text, FontId font);
    ///@}
    /// Height in pixels of what drawText draws for text: from its highest to
    /// its lowest coloured pixel. 0 for text that draws nothing.
    ///@{
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
    // ---- Images -----------------------------------------------------------
    // Load each image once, before the frame loop, and draw it every frame.
    // (x, y) is where the image's top-left corner goes, in window pixels.
    // Angles are in degrees, clockwise (y grows downwards), and turn the
    // image about its own centre. An id that names no loaded image (for
    // example -1 from a failed loadImage) throws std::out_of_range, and
    // drawing an image while drawing into it throws std::logic_error (see
    // drawInto); drawing before initWorld draws nothing, and so does a
    // turned or mirrored draw more than MAX_IMAGE_SIZE pixels wide or high.
    // Images stay loaded until the program ends.

    /// Loads the PNG, JPEG or BMP file at path (a relative path is looked for
    /// in the working directory, then beside the program). Returns its
    /// ImageId (1 for the first image), or -1 when the file is missing, is
    /// not such an image, is damaged, or is wider or higher than
    /// MAX_IMAGE_SIZE; getImageError() then says why. May be called before
    /// initWorld.
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
    /// The whole image scaled by scale (2.0 is twice as wide and high, 0.5
    /// half), turned by angleDegrees and mirrored by flip. A scale of 0 or
    /// less draws nothing.
    void drawImage(ImageId image, int x, int y, double scale, double angleDegrees = 0.0,
                   ImageFlip flip = NO_FLIP);
    /// The whole image stretched to width x height pixels, turned and mirrored.
    void drawImageSized(ImageId image, int x, int y, int width, int height,
                        double angleDegrees = 0.0, ImageFlip flip = NO_FLIP);
    /// One rectangle of the image (srcX, srcY, srcWidth x srcHeight, in the
    /// image's own pixels, for example one frame of a sprite sheet) drawn
    /// into width x height pixels at (x, y), turned and mirrored. The part
    /// of the rectangle outside the image is left out.
    void drawImagePart(ImageId image, int srcX, int srcY, int srcWidth, int srcHeight, int x, int y,
                       int width, int height, double angleDegrees = 0.0, ImageFlip flip = NO_FLIP);
    /// How opaque the image is drawn from now on: 255 (the start) as it is,
    /// 0 invisible, 128 half see-through, for fading. Values outside 0-255
    /// are taken as 0 or 255. Pixels the file makes transparent stay so.
    void setImageAlpha(ImageId image, int alpha);

    // ---- Sound ------------------------------------------------------------
    // One sample at a time. Files load whole into memory; WAV always works
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

    // ---- Sound effects and music --------------------------------------------
    // Effects are short sounds loaded once and played as often as you like,
    // several at once: a hit, a coin, a jump. Music is one long file at a
    // time, streamed from the disk as it plays instead of loaded whole. Both
    // take WAV, OGG (Vorbis), MP3 and FLAC files; a relative path is looked
    // for in the working directory, then beside the program. Volumes are
    // fractions from 0 (silent) to 1 (full, the start); values outside are
    // taken as 0 or 1.
    //
    // Where these meet the one-sample calls above: pauseSound and stopSound
    // act on every mixing channel, so pauseSound (when a sample is loaded)
    // pauses and resumes the effects playing too, and stopSound() stops them
    // (they stay loaded). The music is not a channel: both leave it playing.
    // The calls below leave the slot's sample alone.

    /// Loads the sound file at path whole, to be played with playEffect.
    /// Returns its SoundId (1 for the first sound), or -1 when the file is
    /// missing, is not a sound, is in a format this system does not play
    /// (MIDI, AIFF, Opus...), is damaged, or is longer than
    /// MAX_SOUND_SECONDS; getSoundError() then says why. May be called before
    /// initWorld: the file is then read and checked at once and decoded when
    /// initWorld opens the audio; one that fails to decode then plays
    /// nothing, and getSoundError() and standard error say why.
    SoundId loadSound(const std::string& path);
    /// Why the last loadSound or playMusic failed, for example "Couldn't load
    /// hit.ogg: it holds text, not sound"; empty after one that worked.
    std::string getSoundError();
    /// Starts the sound on a free effect channel and returns at once, so
    /// effects (the same one or others) overlap. Up to MAX_EFFECTS_AT_ONCE
    /// play at the same time; when all of them are busy, the effect that
    /// started longest ago stops to make room (the music is never stopped,
    /// and nothing is reported). Does nothing before initWorld. An id that
    /// names no loaded sound (for example -1 from a failed loadSound) throws
    /// std::out_of_range.
    void playEffect(SoundId sound);
    /// The same at volume, from 0 (silent) to 1 (full), times the volume
    /// setEffectsVolume set.
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
    /// Pauses (true) or resumes (false) the music, where it was; nothing
    /// else. Does nothing when no music was started.
    void pauseMusic(bool pause);
    /// Stops the music and closes its file.
    void stopMusic();
    /// Whether music is being heard: false before playMusic, while paused,
    /// after stopMusic, and once music played without loop has ended.
    bool isMusicPlaying();
    /// Volume of the music, now and for later playMusic calls: 0 (silent)
    /// to 1 (full, the start).
    void setMusicVolume(double volume);

    // ---- A palette name where a number belongs ------------------------------
    // A colour given one argument too early, as in drawRoundedBox(20, 20, 200,
    // 120, RED), would otherwise be taken for the last number (a radius of 5)
    // and drawn in the foreground colour. These forms stop the build with a
    // message that names the missing argument. (Left out of the reference:
    // nothing to call.)

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

    // ---- Images you draw into ---------------------------------------------
    // Drawing that stays: the window does not keep what a frame drew (after
    // update() its next picture starts out undefined: the last frame, an
    // older one or anything else, depending on the graphics driver), so a
    // program that skips clear() sees no reliable picture. Draw what must
    // stay (a painting, a trail) into an image instead, once, and draw that
    // image every frame after clear().
    //
    //     ImageId paper = canvas.createImage(640, 480);   // transparent
    //     canvas.drawInto(paper);          // every drawing call goes there...
    //     canvas.drawFilledCircle(x, y, 5, RED);
    //     canvas.drawIntoWindow();         // ...until this (or update())
    //     canvas.drawImage(paper, 0, 0);   // then draw it like any image
    //
    // While drawing into an image, coordinates are the image's own pixels
    // ((0, 0) is its top-left corner) and the camera does not apply; clear()
    // fills the image with the background colour. Translucent colours drawn
    // where the image is still transparent come out darker and more
    // see-through when the image is drawn; opaque ones come out exactly.

    /// Makes a transparent image width x height pixels to draw into, with
    /// drawInto. Returns its ImageId (numbered with the loaded images), or
    /// -1 when a size is below 1 or above MAX_IMAGE_SIZE, before initWorld,
    /// or when the graphics driver cannot hold it; getImageError() then says
    /// why.
    ImageId createImage(int width, int height);
    /// Sends every drawing call (shapes, text, images, clear()) into the
    /// image until drawIntoWindow() or update(). A loaded image may be drawn
    /// into too. Returns false, and drawing stays where it was, before
    /// initWorld or when the graphics driver cannot draw into it
    /// (getImageError() says why). An id that names no image throws
    /// std::out_of_range. Drawing an image into itself throws
    /// std::logic_error.
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
    /// Writes the image, transparent pixels included, as a PNG file at path.
    /// Returns false when it cannot be written, or before initWorld;
    /// getImageError() then says why. The file is written whole or not at
    /// all: a save that fails (a full disk, say) leaves an earlier file at
    /// path as it was.
    bool saveImage(ImageId image, const std::string& path);

    // ---- Camera -----------------------------------------------------------
    // For a world bigger than the window: with the camera at (x, y), every
    // drawing call takes world coordinates, and the window shows the world
    // from (x, y) at its top-left corner. setCamera(0, 0) (the start) makes
    // coordinates window pixels again, for a score or a menu drawn over the
    // world. The camera moves every drawing call alike, by whole pixels; it
    // does not apply while drawing into an image, nor to clear(), nor to
    // the mouse calls above.

    /// Puts the camera's top-left corner at world point (x, y), from now on.
    void setCamera(int x, int y);
    /// The camera's x: the world x shown at the window's left edge.
    int getCameraX();
    /// The camera's y: the world y shown at the window's top edge.
    int getCameraY();
    /// Where the mouse is in the world: getMouseX() plus the camera's x.
    int getMouseWorldX();
    /// Where the mouse is in the world: getMouseY() plus the camera's y.
    int getMouseWorldY();

    // ---- Saving frames ----------------------------------------------------

    /// Saves what has been drawn since the last clear() as a PNG file at
    /// path (call it before update()). Returns false when the file cannot be
    /// written, or before initWorld; getSaveFrameError() then says why. As
    /// with saveImage, a save that fails leaves an earlier file at path as
    /// it was.
    ///
    /// A program can also be recorded without changing it: run it with
    /// vantrel-run (or VANTREL_RECORD=1 and the other VANTREL_* variables),
    /// and it runs headless on a fixed clock, takes scripted input and saves
    /// the frames asked for. See docs/grading.md.
    bool saveFrame(const std::string& path);
    /// Why the last saveFrame failed; empty after one that worked.
    const std::string& getSaveFrameError() const;

private:
    // One loaded image. Decoded before initWorld, it waits as a surface
    // until its first draw makes the texture.
    struct Image {
        SDL_Texture* texture;
        SDL_Surface* pending;
        int width;
        int height;
        std::uint8_t alpha;
        // The texture can be drawn into (made by createImage, or a loaded
        // image turned into one by drawInto).
        bool drawable;
        // What it held when drawing into it last ended, where the graphics
        // driver can lose that (Direct3D); else none.
        SDL_Surface* kept;
    };

    Canvas();
    ~Canvas();

    Image& imageFor(ImageId image);
    SDL_Texture* textureFor(ImageId image);
    void copyImage(SDL_Texture* texture, const SDL_Rect* source, const SDL_Rect& target,
                   double angleDegrees, ImageFlip flip);
    void freeImages();

    // One loaded sound effect. Loaded before initWorld, it waits as the
    // file's bytes until the audio opens and it can be decoded.
    struct Effect {
        Mix_Chunk* chunk;
        std::vector<std::uint8_t> pending;
        std::string path;
    };
    // Sound effects and music (canvas/effects.cpp, canvas/music.cpp).
    Effect& effectFor(SoundId sound);
    void openEffects();
    void closeEffectsAndMusic();
    int effectChannelVolume(double volume) const;

    void waitForFrame();
    void markFrameStart();

    // Keyboard and mouse (canvas/input.cpp).
    static int SDLCALL watchInput(void* canvas, SDL_Event* event);
    void startInput();
    void stopInput();
    void rollInput();
    std::uint8_t buttonState(int button);
    // Time (canvas/clock.cpp).
    double clockSeconds();
    void startClock();
    void tickClock();

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

    // Keyboard and mouse state. The event watch writes the live fields as
    // events enter SDL's queue; rollInput() copies them into the frame's
    // fields at the start of each frame. Fixed arrays and two text buffers
    // that keep their room: a frame allocates nothing.
    struct InputState {
        // Mouse buttons 1-15 are kept; SDL numbers the usual five 1-5.
        static constexpr int BUTTONS = 16;
        // Per key (by scancode) and per button: bits HELD (down now),
        // PRESSED, RELEASED and, for keys, TYPED (since the last roll).
        std::uint8_t keys[SDL_NUM_SCANCODES];
        std::uint8_t frameKeys[SDL_NUM_SCANCODES];
        std::uint8_t buttons[BUTTONS];
        std::uint8_t frameButtons[BUTTONS];
        int mouseX, mouseY, wheel;
        int frameMouseX, frameMouseY, frameWheel;
        bool keysChanged;       // a key event arrived since the last roll
        bool frameKeyEdges;     // frameKeys holds presses or releases
        bool watching;          // the event watch is installed
        std::string text;       // typed since the last roll, UTF-8
        std::string frameText;  // typed before the frame started
        std::string edits;      // text, and '\b' for each Backspace typed
        std::string frameEdits; // edits before the frame started
    };
    InputState input;

    // Frame times. Every reading of the clock goes through clockSeconds().
    struct FrameClock {
        // Frame starts of about the last second; 334 frames a second is the
        // most a 3 ms period allows.
        static constexpr int STAMPS = 512;
        double stamps[STAMPS];
        int newest;       // index of the latest frame start in stamps
        int count;        // frame starts kept, at most STAMPS
        double origin;    // clock reading when start() was first called
        double frameTime; // seconds between the last two frame starts
        bool started;     // start() has been called
        Uint64 base;      // performance counter at the first reading
        bool based;
    };
    FrameClock frameClock;

    std::vector<Image> images;
    std::string imageError;
    // The recording mode, when VANTREL_RECORD=1 asked for it; else none.
    std::unique_ptr<vantrel::detail::Recorder> recorder;
    std::string saveFrameError;

    // Effects and music. The effect channels come after the mixer's usual
    // eight, which the slot keeps to.
    std::vector<Effect> effects;
    std::string soundError;
    // Why the last loadSound failed, kept apart from the music's failures:
    // what playEffect(-1) names.
    std::string effectLoadError;
    Mix_Music* music = nullptr;
    double effectsVolume = 1.0;
    double musicVolume = 1.0;
    // The volume each effect channel's effect was started at (0-1), by
    // channel from the first effect channel.
    double effectVolumes[MAX_EFFECTS_AT_ONCE] = {};
    bool effectsOpen = false; // the mixer is open and the channels set up
    // Images you draw into (canvas/targets.cpp) and the camera
    // (canvas/camera.cpp). Every drawing call takes its coordinates through
    // viewX and viewY, which subtract the offset of what is drawn into now:
    // the camera's for the window, none for an image.
    struct Offset {
        int x;
        int y;
    };
    static int SDLCALL watchTargets(void* canvas, SDL_Event* event);
    bool makeDrawable(ImageId id);
    bool pointRendererAt(SDL_Texture* texture);
    SDL_Texture* targetNow();
    void keepCopy(Image& image);
    void restoreLostImages();
    void fillImage(ImageId id, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
    int viewX(int x) const { return vantrel::detail::shiftedBy(x, view.x); }
    int viewY(int y) const { return vantrel::detail::shiftedBy(y, view.y); }

    Offset camera = {0, 0};
    Offset view = {0, 0};
    ImageId drawingInto = 0; // 0: the window
    bool watchingTargets = false;
    // Set by the event watch when the graphics driver lost what its render
    // targets held, or all its textures; mended at the next image call.
    bool targetsLost = false;
    bool texturesLost = false;
};

#endif
