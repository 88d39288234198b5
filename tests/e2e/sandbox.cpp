#include "e2e/sandbox.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// A window can go between being listed and being asked about (a program that
// ends as the test looks): the request then fails, rather than Xlib's default
// handler ending the whole test process.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

struct DisplayHandle {
  explicit DisplayHandle(const std::string& name)
      : display(XOpenDisplay(name.empty() ? nullptr : name.c_str())) {
    XSetErrorHandler(ignoreXError);
  }
  ~DisplayHandle() {
    if (display) XCloseDisplay(display);
  }
  Display* display;
};

// The mapped top-level window: with no window manager, the sandbox's is the only one.
Window findSandboxWindow(Display* d) {
  Window root = DefaultRootWindow(d), parent = 0, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (!XQueryTree(d, root, &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    XWindowAttributes a;
    if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable &&
        !a.override_redirect)
      found = children[i];
  }
  if (children) XFree(children);
  return found;
}

}  // namespace

bool Screenshot::savePpm(const std::string& path) const {
  std::ofstream f(path, std::ios::binary);
  f << "P6\n" << width_ << " " << height_ << "\n255\n";
  for (const Pixel& p : pixels_) {
    const char rgb[3] = {static_cast<char>(p.r), static_cast<char>(p.g), static_cast<char>(p.b)};
    f.write(rgb, 3);
  }
  return static_cast<bool>(f);
}

XServer::XServer(int width, int height) {
  int number[2];
  if (pipe(number) != 0) throw std::runtime_error("pipe failed");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    close(number[0]);
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    const std::string fd = std::to_string(number[1]);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    // -displayfd: the server picks a free display and writes its number there.
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-noreset",
           "-nolisten", "tcp", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(number[1]);
  std::string text;
  char buffer[32];
  ssize_t n;
  while (text.find('\n') == std::string::npos && (n = read(number[0], buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<size_t>(n));
  close(number[0]);
  if (text.find('\n') != std::string::npos) display_ = ":" + text.substr(0, text.find('\n'));
}

XServer::~XServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

Sandbox::Sandbox(const std::map<std::string, std::string>& env,
                 const std::vector<int>& closedDescriptors, const std::vector<std::string>& args,
                 const std::map<int, int>& descriptors) {
  // The display the program opens: its -display option, its DISPLAY, or ours.
  const auto display = env.find("DISPLAY");
  const auto option = std::find(args.begin(), args.end(), "-display");
  if (option != args.end() && option + 1 != args.end()) display_ = *(option + 1);
  else if (display != env.end()) display_ = display->second;
  else if (const char* current = std::getenv("DISPLAY")) display_ = current;
  // Saves, automatic ones too, go to a folder of the sandbox's own unless the
  // test names one: nothing lands in the real home.
  char data[] = "/tmp/skyhook-e2e-data-XXXXXX";
  if (!mkdtemp(data)) throw std::runtime_error("mkdtemp failed");
  data_ = data;
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe failed");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    close(out[0]);
    close(err[0]);
    for (int fd : closedDescriptors) close(fd);
    for (const auto& [fd, from] : descriptors) dup2(from, fd);
    // A crash that a test provokes leaves no core file behind.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("XDG_DATA_HOME", data_.c_str(), 1);
    for (const auto& [name, value] : env) {
      if (value.empty()) unsetenv(name.c_str());
      else setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<char*> argv{const_cast<char*>(SKYHOOK_BINARY)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(SKYHOOK_BINARY, argv.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  outFd_ = out[0];
  errFd_ = err[0];
  fcntl(outFd_, F_SETFL, O_NONBLOCK);
  fcntl(errFd_, F_SETFL, O_NONBLOCK);
}

Sandbox::~Sandbox() {
  if (!status_ && pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (outFd_ >= 0) close(outFd_);
  if (errFd_ >= 0) close(errFd_);
  std::error_code ignored;
  std::filesystem::remove_all(data_, ignored);
}

void Sandbox::pump() {
  char buffer[4096];
  for (auto [fd, text] : {std::pair<int, std::string*>{outFd_, &out_}, {errFd_, &err_}}) {
    if (fd < 0 || (fd == outFd_ && stalled_)) continue;
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) text->append(buffer, static_cast<size_t>(n));
  }
  if (!status_) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_)
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
}

std::vector<std::string> Sandbox::lines() {
  pump();
  std::vector<std::string> result;
  std::istringstream in(out_);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

std::string Sandbox::errors() {
  pump();
  return err_;
}

bool Sandbox::waitForLine(const std::string& text, Seconds timeout) {
  const auto end = Clock::now() + timeout;
  do {
    for (const std::string& line : lines())
      if (line == text) return true;
    if (status_) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (Clock::now() < end);
  return false;
}

std::optional<std::string> Sandbox::waitForLineStartingWith(const std::string& prefix,
                                                            Seconds timeout) {
  const auto end = Clock::now() + timeout;
  do {
    for (const std::string& line : lines())
      if (line.rfind(prefix, 0) == 0) return line;
    if (status_) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (Clock::now() < end);
  return std::nullopt;
}

bool Sandbox::waitForWindow(Seconds timeout) {
  DisplayHandle x(display_);
  if (!x.display) return false;
  const auto end = Clock::now() + timeout;
  do {
    window_ = findSandboxWindow(x.display);
    if (window_) return true;
    pump();
    if (status_) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (Clock::now() < end);
  return false;
}

WindowGeometry Sandbox::windowGeometry() {
  if (!window_ && !waitForWindow()) throw std::runtime_error("no sandbox window");
  DisplayHandle x(display_);
  XWindowAttributes a;
  if (!x.display || !XGetWindowAttributes(x.display, window_, &a))
    throw std::runtime_error("no window attributes");
  return {a.x, a.y, a.width, a.height};
}

std::string Sandbox::windowTitle() {
  if (!window_ && !waitForWindow()) throw std::runtime_error("no sandbox window");
  DisplayHandle x(display_);
  char* name = nullptr;
  if (!x.display || !XFetchName(x.display, window_, &name) || !name) return "";
  const std::string title = name;
  XFree(name);
  return title;
}

std::pair<int, int> Sandbox::iconSize() {
  if (!window_ && !waitForWindow()) throw std::runtime_error("no sandbox window");
  DisplayHandle x(display_);
  XWMHints* hints = x.display ? XGetWMHints(x.display, window_) : nullptr;
  std::pair<int, int> size{0, 0};
  if (hints && (hints->flags & IconPixmapHint)) {
    Window root;
    int px, py;
    unsigned width, height, border, depth;
    if (XGetGeometry(x.display, hints->icon_pixmap, &root, &px, &py, &width, &height, &border,
                     &depth))
      size = {static_cast<int>(width), static_cast<int>(height)};
  }
  if (hints) XFree(hints);
  return size;
}

void Sandbox::xdotool(const std::string& args) {
  const std::string command = (display_.empty() ? "" : "DISPLAY=" + display_ + " ") + "xdotool " +
                              args + " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

// With no window manager, keyboard focus follows the pointer: keep it inside the window.
void Sandbox::key(const std::string& name) {
  moveMouse(640, 470);
  xdotool("key " + name);
}

void Sandbox::keyAt(const std::string& name, int x, int y) {
  moveMouse(x, y);
  xdotool("key " + name);
}

void Sandbox::keys(const std::vector<std::string>& names) {
  std::string sequence;
  for (const std::string& name : names) sequence += " " + name;
  moveMouse(640, 470);
  xdotool("key --delay 0" + sequence);
}

void Sandbox::stallOutput() {
  stalled_ = true;
  fcntl(outFd_, F_SETPIPE_SZ, 4096);  // where the pipe holds more, the test needs more presses
}

void Sandbox::closeOutput() {
  if (outFd_ >= 0) close(outFd_);
  outFd_ = -1;
}

void Sandbox::keyDown(const std::string& name) {
  moveMouse(640, 470);
  xdotool("keydown " + name);
}

void Sandbox::keyUp(const std::string& name) { xdotool("keyup " + name); }

void Sandbox::holdKey(const std::string& name, Seconds duration) {
  keyDown(name);
  std::this_thread::sleep_for(duration);
  keyUp(name);
}

void Sandbox::moveMouse(int x, int y) {
  if (!window_) waitForWindow();
  xdotool("mousemove --window " + std::to_string(window_) + " " + std::to_string(x) + " " +
          std::to_string(y));
}

void Sandbox::mouseDown(int button) { xdotool("mousedown " + std::to_string(button)); }

void Sandbox::mouseUp(int button) { xdotool("mouseup " + std::to_string(button)); }

void Sandbox::click(int button) { xdotool("click " + std::to_string(button)); }

bool Sandbox::resizable() {
  if (!window_ && !waitForWindow()) throw std::runtime_error("no sandbox window");
  DisplayHandle x(display_);
  XSizeHints hints{};
  long supplied = 0;
  if (!x.display || !XGetWMNormalHints(x.display, window_, &hints, &supplied)) return true;
  const bool pinned = (hints.flags & PMinSize) && (hints.flags & PMaxSize) &&
                      hints.min_width == hints.max_width && hints.min_height == hints.max_height;
  return !pinned;
}

void Sandbox::resizeWindow(int width, int height) {
  if (!window_) waitForWindow();
  xdotool("windowsize " + std::to_string(window_) + " " + std::to_string(width) + " " +
          std::to_string(height));
}

void Sandbox::closeWindow() {
  if (!window_) waitForWindow();
  DisplayHandle x(display_);
  if (!x.display) throw std::runtime_error("no X display");
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window_;
  event.xclient.message_type = XInternAtom(x.display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(x.display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(x.display, window_, False, NoEventMask, &event);
  XFlush(x.display);
}

void Sandbox::signal(int number) {
  if (!status_ && pid_ > 0) kill(pid_, number);
}

Screenshot Sandbox::screenshot() {
  const WindowGeometry g = windowGeometry();
  DisplayHandle x(display_);
  if (!x.display) throw std::runtime_error("no X display");
  // What the screen shows there: in the full screen SDL draws into a window of
  // its own over the sandbox's.
  XImage* image = XGetImage(x.display, DefaultRootWindow(x.display), g.x, g.y, g.width, g.height,
                            AllPlanes, ZPixmap);
  if (!image) throw std::runtime_error("XGetImage failed");
  std::vector<Pixel> pixels;
  pixels.reserve(static_cast<size_t>(g.width) * g.height);
  for (int y = 0; y < g.height; ++y)
    for (int xx = 0; xx < g.width; ++xx) {
      const unsigned long p = XGetPixel(image, xx, y);
      pixels.push_back({static_cast<int>((p & image->red_mask) >> 16),
                        static_cast<int>((p & image->green_mask) >> 8),
                        static_cast<int>(p & image->blue_mask)});
    }
  XDestroyImage(image);
  return Screenshot(g.width, g.height, std::move(pixels));
}

std::optional<int> Sandbox::waitForExit(Seconds timeout) {
  const auto end = Clock::now() + timeout;
  do {
    pump();
    if (status_) return status_;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (Clock::now() < end);
  return std::nullopt;
}

bool within(Sandbox::Seconds timeout, const std::function<bool()>& done) {
  for (const auto end = Clock::now() + timeout; Clock::now() < end;
       std::this_thread::sleep_for(std::chrono::milliseconds(50)))
    if (done()) return true;
  return done();
}

std::string digestOf(const std::string& errors) {
  const size_t at = errors.find("digest ");
  return at == std::string::npos ? "" : errors.substr(at, 23);
}
