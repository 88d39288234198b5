#include "session/session.h"

#include <unistd.h>

#include <iostream>

#include "game/keys.h"
#include "session/digest.h"
#include "session/headless_console.h"
#include "session/history.h"
#include "session/play_input.h"
#include "session/recording_reader.h"
#include "state/state.h"

namespace {

std::unique_ptr<Session> refuse(const std::string& why) {
  std::cerr << "skyhook: " << why << std::endl;
  return nullptr;
}

bool quits(const FrameInput& input) {
  for (const InputEvent& e : input.events)
    if (e.kind == InputEvent::Quit || e.symbol == key::ESCAPE) return true;
  return false;
}

}  // namespace

std::unique_ptr<Session> Session::open(const SessionOptions& options) {
  if (options.record && options.replay)
    return refuse("--record and --replay cannot be used together");
  if (options.headless && !options.replay)
    return refuse("--headless plays a recording: it needs --replay FILE");

  std::unique_ptr<Session> session(new Session(options));
  std::string error;
  if (options.replay) {
    session->recording_ = readRecording(*options.replay, error);
    if (!session->recording_) return refuse(error);
    if (!session->recording_->ended)
      std::cerr << "skyhook: " << *options.replay
                << ": no end line (the recorded session did not end"
                << " normally); it plays up to frame " << session->recording_->end << std::endl;
    session->replay_.emplace(*session->recording_);
  } else if (options.record) {
    if (!session->writer_.open(*options.record, error)) return refuse(error);
    session->recorder_.emplace(session->writer_);
  }
  return session;
}

bool Session::nextFrame(FrameInput& input) {
  if (replay_) return !quits(input) && replay_->next(input);
  if (recorder_) recorder_->beginFrame();
  return true;
}

void Session::framePlayed(const FrameInput& input) {
  if (recorder_) recorder_->endFrame(input);
}

int Session::finish(const State& state) {
  int status = 0;
  if (recorder_) {
    recorder_->finish();
    writer_.close();
    if (writer_.failed()) status = 1;
  }
  if (replay_ && replay_->departed()) {
    std::cerr << "skyhook: " << *options_.replay
              << ": the replay read the clock differently from the"
              << " recording; the world it played may differ from the recorded one" << std::endl;
    status = 1;
  }
  if (options_.digest) std::cerr << digestLine(worldDigest(*state.world)) << std::endl;
  return status;
}

int Session::playHeadless() {
  HeadlessConsole console(std::cout, STDOUT_FILENO);
  State state;
  startUpWithoutWindow(state);

  History history;
  FrameInput input;
  while (state.running && nextFrame(input)) {
    history.play(state, input);
    framePlayed(input);
  }
  const bool written = console.finish();
  const int status = finish(state);
  return written ? status : 1;
}
