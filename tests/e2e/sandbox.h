#pragma once
// Runs the real skyhook binary on the current X display (Xvfb in the test run),
// reads its standard output, presses keys with xdotool and reads its window back.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct Pixel {
  int r, g, b;
};

class Screenshot {
 public:
  Screenshot() = default;
  Screenshot(int width, int height, std::vector<Pixel> pixels)
      : width_(width), height_(height), pixels_(std::move(pixels)) {}
  int width() const { return width_; }
  int height() const { return height_; }
  const Pixel& at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  bool savePpm(const std::string& path) const;

 private:
  int width_ = 0, height_ = 0;
  std::vector<Pixel> pixels_;
};

// An X server of its own (Xvfb) with one screen of the given size, for a
// screen that the test run's display does not have.
class XServer {
 public:
  XServer(int width, int height);
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;
  const std::string& display() const { return display_; }  // ":N"; empty if it did not start

 private:
  pid_t pid_ = -1;
  std::string display_;
};

struct WindowGeometry {
  int x, y, width, height;
};

class Sandbox {
 public:
  using Seconds = std::chrono::duration<double>;

  // Starts the binary with extra environment entries (a value of "" unsets one),
  // with the given standard descriptors closed, as some launchers start
  // programs, and with the given arguments. The test looks at the display the
  // program opens: that of "-display NAME", else of DISPLAY. `descriptors` gives
  // the program some of the test's own: {0, fd} reads its standard input from fd.
  explicit Sandbox(const std::map<std::string, std::string>& env = {},
                   const std::vector<int>& closedDescriptors = {},
                   const std::vector<std::string>& args = {},
                   const std::map<int, int>& descriptors = {});
  ~Sandbox();  // kills the process if it still runs
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  // Waits for a standard-output line that equals text; false after the timeout.
  bool waitForLine(const std::string& text, Seconds timeout = Seconds(20));
  // Waits for a line starting with prefix; returns it.
  std::optional<std::string> waitForLineStartingWith(const std::string& prefix,
                                                     Seconds timeout = Seconds(20));
  // Waits until the window is mapped; false after the timeout.
  bool waitForWindow(Seconds timeout = Seconds(20));
  // The window's place on the screen and size, its title.
  WindowGeometry windowGeometry();
  std::string windowTitle();
  // The size of the window's icon, 0 x 0 without one.
  std::pair<int, int> iconSize();
  // Whether the window lets a window manager resize and maximise it: its size
  // hints do not pin the minimum and the maximum to one size.
  bool resizable();
  void resizeWindow(int width, int height);  // as a user's drag of its border would

  std::vector<std::string> lines();  // standard output so far
  std::string errors();              // standard error so far

  // A reader of standard output that stalls: the pipe stays open, unread, and
  // holds one page (682 lines of "TOTO2"), so that a few thousand lines fill it
  // however many key presses SDL's queue drops on a busy machine; or one that
  // has gone: the pipe is closed.
  void stallOutput();
  void closeOutput();

  // xdotool key names: "b", "Escape", "space", "KP_6", ...
  void key(const std::string& name);
  void keyAt(const std::string& name, int x, int y);  // with the pointer there, in the window
  // Many keys in one xdotool call, without its 12 ms pause between them.
  void keys(const std::vector<std::string>& names);
  void keyDown(const std::string& name);
  void keyUp(const std::string& name);
  void holdKey(const std::string& name, Seconds duration);
  void moveMouse(int x, int y);  // window pixels
  void mouseDown(int button);    // 1 is the left button
  void mouseUp(int button);
  void click(int button);   // 4 and 5 are the wheel's notches up and down
  void closeWindow();       // sends WM_DELETE_WINDOW
  void signal(int number);  // sends a signal to the process

  Screenshot screenshot();  // the screen where the window is, 1280 x 940 unless scaled

  // Waits for the process to end; its exit status, or nullopt after the timeout.
  std::optional<int> waitForExit(Seconds timeout = Seconds(20));

 private:
  void pump();
  void xdotool(const std::string& args);

  std::string display_;  // the program's X display
  std::string data_;     // its XDG_DATA_HOME unless the test sets one
  pid_t pid_ = -1;
  int outFd_ = -1, errFd_ = -1;
  std::string out_, err_;
  unsigned long window_ = 0;
  std::optional<int> status_;
  bool stalled_ = false;
};

// Polls until done holds; false after the timeout.
bool within(Sandbox::Seconds timeout, const std::function<bool()>& done);

// The "digest ..." that --digest prints on standard error; empty without one.
std::string digestOf(const std::string& errors);
