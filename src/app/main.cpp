// Skyhook: a ship, a crane car and endless mountains on Box2D.

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/camera_control.h"
#include "app/console.h"
#include "app/events.h"
#include "app/frame_figures.h"
#include "app/init.h"
#include "app/options.h"
#include "app/pacer.h"
#include "app/screen.h"
#include "app/timeline_control.h"
#include "app/window.h"
#include "game/body_walk.h"
#include "game/world_setup.h"
#include "render/messages.h"
#include "render/overlays.h"
#include "render/progress_bar.h"
#include "render/renderer.h"
#include "session/session.h"
#include "state/state.h"

namespace {

// A launcher may start us with a standard descriptor closed: the X connection
// would then take it, console lines would go into the X protocol stream and the
// program would block for good. /dev/null takes the place instead.
void openClosedStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int opened = open("/dev/null", O_RDWR);
    if (opened >= 0 && opened != fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
}

// Each picture clears with the sky of the world it shows: N draws a new one,
// and F9 or going back in time may bring back an old one.
class SkyRenderer : public Renderer {
 public:
  explicit SkyRenderer(const State& state) : Renderer(state), state_(state) {}
  void beginFrame() override {
    glClearColor(state_.sky.r, state_.sky.g, state_.sky.b, 1);
    Renderer::beginFrame();
  }

 private:
  const State& state_;
};

// The window while a resume plays unseen: a bar that fills; Escape or the
// window's close cancels.
ResumeProgress showResumeProgress(const Session& session, Console& console) {
  const std::string file = session.resumingFrom().substr(session.resumingFrom().rfind('/') + 1);
  return [file, &console](long frame, long end) {
    drawProgressBar(
        end > 0 ? static_cast<double>(frame) / end : 1,
        "Resuming " + file + ": frame " + std::to_string(frame) + " of " + std::to_string(end));
    SDL_GL_SwapBuffers();
    console.drain();
    return !resumeCancelled();
  };
}

// The list of saved sessions chose one: the program starts again on it, with
// the options it had, and in the process it has (the same standard output).
int goTo(const Session::Leaving& leaving, Options options, const char* program) {
  SessionOptions& session = options.session;
  session.record.reset();  // its recording ended with the session left
  (leaving.replay ? session.replay : session.resume) = leaving.path;
  std::vector<std::string> args = argumentsFor(options);
  args.insert(args.begin(), program);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  execv("/proc/self/exe", argv.data());
  std::cerr << "skyhook: cannot start again on " << leaving.path << ": " << std::strerror(errno)
            << std::endl;
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  openClosedStandardDescriptors();
  // A reader that goes away (of the console, or of a recording sent to a pipe)
  // must not end the program: the write that fails says so instead.
  std::signal(SIGPIPE, SIG_IGN);
  const CommandLine command = readCommandLine(argc, argv);  // before SDL or freeglut see it
  if (command.action != CommandLine::Action::run) return answerCommandLine(command);
  // SDL and freeglut both open $DISPLAY.
  if (!command.options.display.empty()) setenv("DISPLAY", command.options.display.c_str(), 1);
  // Before the first draw: a recording keeps the clock's every second from the start.
  const std::unique_ptr<Session> session = Session::open(command.options.session);
  if (!session) return 2;
  // Headless, every console line is written however slow the reader: a replay
  // prints them all.
  if (session->headless()) return session->playHeadless();

  // Console lines must never stop the game, whoever reads them or not.
  Console console(STDOUT_FILENO);
  session->keepConsoleLines();  // for the keyframes of its saves
  State state;
  Messages messages;
  session->tellMessagesTo([&messages](const std::string& text) { messages.post(text); });
  if (!session->resuming()) drawLandscapeSeed(state);  // the first random draw of all

  Screen screen;
  if (!screen.open(command.options.fullscreen)) return 1;
  initText(argc, argv);
  if (session->resuming()) {
    // The window shows at once, with the resume's progress.
    if (!session->resume(state, showResumeProgress(*session, console))) {
      std::cerr << "skyhook: resume cancelled; nothing was written" << std::endl;
      SDL_Quit();
      return 0;
    }
    initView(state.sky);
  } else {
    state.running = true;
    init(state);
    announceLandscapeSeed(state);
  }

  SkyRenderer renderer(state);
  Overlays overlays;
  overlays.console = command.options.consoleInWindow;
  overlays.consoleLines = &console.recentLines();
  overlays.chosenUiScale = command.options.uiScale;
  FrameFigures figures;
  CameraControl camera;
  FramePacer pacer;
  TimelineControl timeline;
  FrameInput input;
  while (state.running) {
    console.drain();  // what waited goes out as the reader makes room
    readInput(input, screen, overlays, camera, *session, timeline);
    if (!screen.isOpen()) break;  // F11 found no mode to show
    camera.beforeFrame(state, renderer);
    screen.clearBorder();
    figures.start(overlays, state);
    if (overlays.sessionList.open) paintBodies(state, &renderer);  // time stands still
    else if (!session->play(state, input, &renderer)) break;
    overlays.replay = session->replaying();
    overlays.replayStopped = session->replayStopped();
    overlays.replayShift = session->replayShift();
    overlays.following = camera.following();
    timeline.show(overlays, screen, *session, input);
    overlays.uiScale = screen.overlayZoom(overlays.chosenUiScale);
    overlays.message = messages.shown();
    overlays.shown = drawOverlays(state, overlays, camera.camera());
    figures.end(overlays, state);
    SDL_GL_SwapBuffers();
    pacer.wait();
  }

  SDL_Quit();  // the window goes at once, before the automatic save
  const int status = session->finish(state);
  console.finish();  // what waits goes out, and standard output is as it was
  if (session->leaving()) return goTo(*session->leaving(), command.options, argv[0]);
  // The history and the world may hold hundreds of megabytes in many blocks:
  // the exit gives them back at once, where freeing them one by one takes a
  // while.
  std::_Exit(screen.isOpen() ? status : 1);
}
