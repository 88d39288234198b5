#include "e2e/sandbox.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct DisplayHandle {
  Display* display = XOpenDisplay(nullptr);
  ~DisplayHandle() {
    if (display) XCloseDisplay(display);
  }
};

// The mapped top-level window of the sandbox's size.
Window findSandboxWindow(Display* d) {
  Window root = DefaultRootWindow(d), parent = 0, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (!XQueryTree(d, root, &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    XWindowAttributes a;
    if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable &&
        a.width == 1280 && a.height == 940)
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

Sandbox::Sandbox(const std::map<std::string, std::string>& env,
                 const std::vector<int>& closedDescriptors, const std::vector<std::string>& args) {
  std::vector<char*> argv{const_cast<char*>(SKYHOOK_BINARY)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
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
    // A crash that a test provokes leaves no core file behind.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    for (const auto& [name, value] : env) {
      if (value.empty()) unsetenv(name.c_str());
      else setenv(name.c_str(), value.c_str(), 1);
    }
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
}

void Sandbox::pump() {
  char buffer[4096];
  for (auto [fd, text] : {std::pair<int, std::string*>{outFd_, &out_}, {errFd_, &err_}}) {
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
  DisplayHandle x;
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

void Sandbox::xdotool(const std::string& args) {
  const std::string command = "xdotool " + args + " >/dev/null 2>&1";
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

void Sandbox::closeWindow() {
  if (!window_) waitForWindow();
  DisplayHandle x;
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
  if (!window_ && !waitForWindow()) throw std::runtime_error("no sandbox window");
  DisplayHandle x;
  if (!x.display) throw std::runtime_error("no X display");
  XImage* image = XGetImage(x.display, window_, 0, 0, 1280, 940, AllPlanes, ZPixmap);
  if (!image) throw std::runtime_error("XGetImage failed");
  std::vector<Pixel> pixels;
  pixels.reserve(1280 * 940);
  for (int y = 0; y < 940; ++y)
    for (int xx = 0; xx < 1280; ++xx) {
      const unsigned long p = XGetPixel(image, xx, y);
      pixels.push_back({static_cast<int>((p & image->red_mask) >> 16),
                        static_cast<int>((p & image->green_mask) >> 8),
                        static_cast<int>(p & image->blue_mask)});
    }
  XDestroyImage(image);
  return Screenshot(1280, 940, std::move(pixels));
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
