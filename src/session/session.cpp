#include "session/session.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <iterator>
#include <sstream>
#include <utility>

#include "base/console_sink.h"
#include "base/random.h"
#include "game/body_walk.h"
#include "game/keys.h"
#include "game/mouse_drag.h"
#include "recording/digest.h"
#include "recording/recording_reader.h"
#include "session/headless_console.h"
#include "session/history.h"
#include "session/keyframe_file.h"
#include "session/play_input.h"
#include "session/saved_sessions.h"
#include "state/keyframe.h"
#include "state/snapshot.h"
#include "state/state.h"

namespace {

std::unique_ptr<Session> refuse(const std::string& why) {
  std::cerr << "skyhook: " << why << std::endl;
  return nullptr;
}

bool quits(const FrameInput& input) {
  for (const InputEvent& e : input.events)
    if (endsSession(e)) return true;
  return false;
}

// Frames as the time they take at 60 a second: "m:ss".
std::string clockText(long frames) {
  const long seconds = std::max(frames, 0L) / 60;
  std::ostringstream text;
  text << seconds / 60 << ':' << std::setw(2) << std::setfill('0') << seconds % 60;
  return text.str();
}

std::string fileName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// Whether the recording goes back in time itself: Backspace held at any
// frame, or a move along the bar, undo, redo or a branch.
bool goesBack(const Recording& recording) {
  return std::any_of(recording.keys.begin(), recording.keys.end(),
                     [](const KeyChange& k) { return k.symbol == key::BACKSPACE && k.down; }) ||
         std::any_of(recording.events.begin(), recording.events.end(),
                     [](const InputEvent& e) { return e.kind == InputEvent::Seek; });
}

// The recording's last frame that goes back in time (-1: none): one played
// with Backspace held or with a seek.
long lastFrameGoingBack(const Recording& recording) {
  long last = -1;
  bool held = false;
  for (std::size_t i = 1; i < recording.frames.size(); ++i) {
    const long frame = recording.frames[i].frame;
    if (held) last = frame - 1;
    for (const KeyChange& k : recording.keysOf(i))
      if (k.symbol == key::BACKSPACE) held = k.down;
    for (const InputEvent& e : recording.eventsOf(i))
      if (e.kind == InputEvent::Seek) last = frame;
    if (held) last = frame;
  }
  return held ? recording.end : last;
}

bool readWhole(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad() && in.is_open();
}

}  // namespace

std::unique_ptr<Session> Session::open(const SessionOptions& options) {
  if (options.record && options.replay)
    return refuse("--record and --replay cannot be used together");
  if (options.resume && options.replay)
    return refuse("--resume and --replay cannot be used together");
  if (options.headless && !options.replay)
    return refuse("--headless plays a recording: it needs --replay FILE");

  std::unique_ptr<Session> session(new Session(options));
  if (options.resume && (options.resume->empty() || *options.resume == "last")) {
    const std::string newest = newestSavedSession();
    if (newest.empty()) {
      // Asked for from the desktop too, where standard error goes unseen: the
      // window says it as well, and the sandbox opens as it would without.
      std::cerr << "skyhook: --resume: no saved session yet in "
                << (sessionsFolder().empty() ? std::string("the sessions folder")
                                             : sessionsFolder())
                << "; a new session begins" << std::endl;
      session->options_.resume.reset();
      session->pendingMessage_ = "no saved session yet: a new session begins";
    } else {
      session->options_.resume = newest;
    }
  }
  std::string error;
  if (session->options_.replay || session->options_.resume) {
    const std::string& path = session->source();
    session->recording_ = readRecording(path, error);
    if (!session->recording_) return refuse(error);
    if (!session->recording_->ended)
      std::cerr << "skyhook: " << path << ": no end line (the recorded session did not end"
                << " normally); it plays up to frame " << session->recording_->end << std::endl;
  }
  if (options.record && !session->writer_.open(*options.record, error)) return refuse(error);
  if (session->recording_) session->replay_.emplace(*session->recording_);
  else if (options.record) session->recorder_.emplace(session->writer_);
  else session->recorder_.emplace();
  // Over the session's clock, whichever it is: every frame goes through it.
  session->history_.emplace();
  // Headless, only the recording itself can go back: if it never does, no snapshot is of use.
  if (options.replay && options.headless && !goesBack(*session->recording_))
    session->history_->keepSnapshots(false);
  // Older recordings went on from wherever Backspace left them.
  if (session->recording_ && session->recording_->version < 3) session->history_->keepFuture(false);
  return session;
}

void Session::tellMessagesTo(MessageSink sink) {
  tell_ = std::move(sink);
  if (!pendingMessage_.empty()) notify(std::exchange(pendingMessage_, {}));
}

bool Session::resume(State& state, const ResumeProgress& progress) {
  using Clock = std::chrono::steady_clock;
  // Cancelled, the resume leaves no recording of its own behind.
  auto cancel = [this] {
    writer_.discard();
    return false;
  };
  if (progress && !progress(0, recording_->end)) return cancel();
  if (!resumeFromKeyframe(state)) startUpWithoutWindow(state);
  const Clock::time_point start = Clock::now();
  Clock::time_point report = start + std::chrono::seconds(1);
  Clock::time_point shown = start;
  bool reported = false;
  // Reading ahead, snapshots serve only a recording that goes back itself;
  // from the live frames on the history keeps them again.
  history_->keepSnapshots(goesBack(*recording_));
  while (replay_->next(recorded_)) {
    // The quit that ended the recorded session does not end this one.
    auto& events = recorded_.events;
    events.erase(std::remove_if(events.begin(), events.end(), endsSession), events.end());
    playRecorded(state);
    keepMinuteKeyframe(state, replay_->frames());
    // Only the recording takes this history back: a live one begins afresh.
    forgetWhatNoneWillRestore();
    if (replay_->frames() % 64 == 0 && Clock::now() >= report) {
      std::cerr << "skyhook: resuming " << source() << ": frame " << replay_->frames() << " of "
                << recording_->end << " (" << 100 * replay_->frames() / recording_->end << " %)"
                << std::endl;
      report += std::chrono::seconds(1);
      reported = true;
    }
    if (progress && replay_->frames() % 64 == 0 && Clock::now() >= shown) {
      if (!progress(replay_->frames(), recording_->end)) return cancel();
      shown = Clock::now() + std::chrono::milliseconds(50);
    }
  }
  if (reported)
    std::cerr << "skyhook: resumed " << source() << " at frame " << replay_->frames() << " in "
              << std::fixed << std::setprecision(1)
              << std::chrono::duration<double>(Clock::now() - start).count() << " s"
              << std::defaultfloat << std::endl;
  notify("resumed " + fileName(source()) + ": " + clockText(replay_->frames()) + " of play");
  history_->keepSnapshots(true);
  goLive(state);
  return true;
}

bool Session::resumeFromKeyframe(State& state) {
  if (options_.noKeyframes) return false;
  std::string why;
  const std::optional<KeyframeFile> file =
      readKeyframes(keyframesPathFor(source()), buildIdentity(), why);
  auto refuse = [this](const std::string& reason) {
    std::cerr << "skyhook: " << source() << ": " << reason << "; re-playing it whole" << std::endl;
    return false;
  };
  if (!file) return why.empty() ? false : refuse(why);
  std::string text;
  if (!readWhole(source(), text) || recordingHash(text) != file->recording)
    return refuse("its keyframes belong to another recording");
  const Keyframe* k = nullptr;
  for (const Keyframe& each : file->frames)
    if (each.frame <= recording_->end) k = &each;
  if (!k) return refuse("none of its keyframes lies within it");
  const std::string at = "its keyframe at frame " + std::to_string(k->frame);
  const RandomState random = saveRandomState();
  if (!decodeMoment(state, k->moment, why)) return refuse(at + " cannot be restored: " + why);
  const std::uint64_t digest = worldDigest(*state.world);
  bool checked = digest == k->digest;
  for (const Checkpoint& c : recording_->checkpoints)
    if (c.frame == k->frame && recording_->physics == physicsIdentity())
      checked &= c.digest == static_cast<std::uint32_t>(digest);
  if (!checked) {
    abandonMoment(state);
    restoreRandomState(random);
    return refuse(at + " restores another world than its digest says");
  }
  state.running = true;
  for (std::size_t from = 0, to; from < k->console.size(); from = to + 1) {
    to = k->console.find('\n', from);
    if (to == std::string::npos) to = k->console.size();
    sayLine(k->console.substr(from, to - from));
  }
  // The start-up's clock readings were the keyframe's to take.
  replay_->frameTakenElsewhere();
  replay_->rewindTo(k->frame);
  history_->resumeAt(k->timeAt);
  fromKeyframe_ = true;
  // Its keyframes up to here are this session's too. At the recording's end
  // the history begins afresh at the next frame, whatever it held there.
  const bool atEnd = k->frame == recording_->end;
  for (const Keyframe& each : file->frames)
    if (console_ && each.frame <= k->frame) {
      Keyframe carried = each;
      carried.lineEnds |= &each == k && atEnd;
      minutes_.carry(std::move(carried), *console_);
    }
  return true;
}

void Session::keepConsoleLines() {
  if (console_) return;
  console_ = std::make_shared<std::string>();
  const ConsoleSink next = consoleSink();
  setConsoleSink([kept = std::weak_ptr<std::string>(console_), next](const std::string& line) {
    if (const std::shared_ptr<std::string> text = kept.lock()) *text += line + '\n';
    if (next) return next(line);
    const ConsoleSinkScope plain({});
    sayLine(line);
  });
}

void Session::keepKeyframe(const std::string& path, const std::string& text, const State& state) {
  // Only the whole story from frame 0 can be checked against a re-play: a
  // windowed replay's viewer may have steered it.
  if (!console_ || !recorder_ || options_.replay || !state.world) return;
  Keyframe k;
  k.frame = recorder_->frames();
  k.timeAt = history_->now();
  k.digest = worldDigest(*state.world);
  k.console = *console_;
  k.lineEnds = history_->now() == history_->end() && !history_->summary().held;
  std::string why;
  if (encodeMoment(state, k.moment, why)) {
    KeyframeFile file;
    file.identity = buildIdentity();
    file.recording = recordingHash(text);
    file.frames = minutes_.all(*console_);
    // The last moment in place of a minute's at its frame.
    while (!file.frames.empty() && file.frames.back().frame >= k.frame) file.frames.pop_back();
    file.frames.push_back(std::move(k));
    if (writeKeyframes(keyframesPathFor(path), file, why)) return;
  }
  std::cerr << "skyhook: no keyframe kept beside " << path << " (" << why
            << "); a resume of it re-plays it whole" << std::endl;
}

void Session::keepMinuteKeyframe(const State& state, long frame) {
  if (!console_ || options_.replay || frame % KeptKeyframes::kEvery != 0) return;
  const bool lineEnds = history_->now() == history_->end() && !history_->summary().held;
  minutes_.take(state, frame, history_->now(), lineEnds, console_->size());
}

bool Session::seekThroughKeyframe(State& state, long target) {
  if (options_.noKeyframes || !options_.replay || !console_ || departed_ || replay_->departed() ||
      replay_->departedAt() >= 0)
    return false;
  auto refuse = [this](const std::string& why) {
    std::cerr << "skyhook: " << source() << ": " << why << "; the seek plays every frame"
              << std::endl;
    return false;
  };
  if (!seekFramesRead_) {
    seekFramesRead_ = true;
    lastBack_ = lastFrameGoingBack(*recording_);
    std::string why, text;
    seekFrames_ = readKeyframes(keyframesPathFor(source()), buildIdentity(), why);
    if (!seekFrames_) return why.empty() ? false : refuse(why);
    if (!readWhole(source(), text) || recordingHash(text) != seekFrames_->recording) {
      seekFrames_.reset();
      return refuse("its keyframes belong to another recording");
    }
  }
  // Without going back after the frame played, the moments ahead follow the
  // frames one by one: none before the keyframe's reaches the target.
  if (!seekFrames_ || lastBack_ > replay_->frames()) return false;
  auto& frames = seekFrames_->frames;
  auto k = frames.end();
  for (auto each = frames.begin(); each != frames.end(); ++each)
    if (each->lineEnds && each->frame > replay_->frames() && each->frame <= recording_->end &&
        each->timeAt <= target && (k == frames.end() || each->timeAt >= k->timeAt))
      k = each;
  if (k == frames.end()) return false;
  const std::string at = "its keyframe at frame " + std::to_string(k->frame);
  const std::string& said = *console_;
  if (k->console.compare(0, said.size(), said) != 0) {
    frames.erase(k);
    return refuse(at + " holds other console lines than the replay said");
  }

  const Snapshot before = takeSnapshot(state);
  abandonMoment(state);
  std::string why;
  bool restored = decodeMoment(state, k->moment, why);
  if (restored) {
    const std::uint64_t digest = worldDigest(*state.world);
    restored = digest == k->digest;
    for (const Checkpoint& c : recording_->checkpoints)
      if (c.frame == k->frame && recording_->physics == physicsIdentity())
        restored &= c.digest == static_cast<std::uint32_t>(digest);
    if (!restored) abandonMoment(state), why = "it restores another world than its digest says";
  }
  if (!restored) {
    // Back as it stood: the region empty, its world counted again and copied in.
    state.world = adoptRegionWorld(before.world);
    restoreSnapshot(state, before);
    frames.erase(k);
    return refuse(at + " cannot be restored: " + why);
  }
  const std::string unsaid = k->console.substr(said.size());
  for (std::size_t from = 0, to; from < unsaid.size(); from = to + 1) {
    to = unsaid.find('\n', from);
    if (to == std::string::npos) to = unsaid.size();
    sayLine(unsaid.substr(from, to - from));
  }
  replay_->frameTakenElsewhere();
  replay_->rewindTo(k->frame);
  startHistoryAfresh();
  history_->resumeAt(k->timeAt);
  frontier_ = -1;
  frameAt_.resize(static_cast<std::size_t>(k->timeAt) + 1);
  frameAt_.back() = k->frame;
  jumped_ = true;
  return true;
}

void Session::goLive(State& state) {
  // Taken over at an earlier moment than the replay had played to: from there,
  // a move along the bar to the moment shown, recorded like any other, so that
  // the session's own recording plays to the same world.
  const long shown = history_->now();
  const bool shownPaused = state.paused;
  const bool behind = frontier_ >= 0;
  if (behind) catchUp(state);
  const long frame = replay_->frames();
  departed_ |= replay_->departed();
  missedCheck_ |= replay_->departedAt() >= 0;
  state.seedRepeatsWithinASecond = false;
  // After a seek through a keyframe, too: nothing before it can be gone back to.
  if (options_.resume || jumped_) startHistoryAfresh(), resumedHere_ = true;
  replay_.reset();  // the calendar clock again, before the recorder passes it on
  recorder_.emplace(*recording_, frame, options_.record ? &writer_ : nullptr);
  recording_.reset();  // the recorder holds what it needs of it
  history_->readThroughNewClock();
  history_->keepFuture(true);
  history_->mark(TimeMark::began);
  // A replay stopped by P goes on stopped; the game's own P says so in the recording.
  stayStopped_ = steering_.stopped() && !state.paused;
  if (behind) {
    FrameInput seek;
    seek.events.push_back({InputEvent::Seek, seekOnBar, static_cast<int>(shown), 0});
    playLive(state, seek, nullptr);
    // The seek holds time there; a replay that ran goes on, as P does after a seek.
    stayStopped_ = false;
    goesOn_ = !steering_.stopped() && !shownPaused;
  }
  handedOver_ = true;
}

void Session::catchUp(State& state) {
  if (history_->now() != frontier_ || frontierHeld_)
    history_->steerTo(state, frontier_, frontierHeld_);
  frontier_ = -1;
}

bool Session::play(State& state, FrameInput& input, BodyPainter* painter) {
  playing_ = &state;
  if (leaving_) return false;
  tellHowFarBack(input.held[key::BACKSPACE] != 0);
  const bool playing = playPicture(state, input, painter);
  stopped_ = state.paused || replayStopped();
  return playing;
}

bool Session::playPicture(State& state, FrameInput& input, BodyPainter* painter) {
  if (!replay_) {
    playLive(state, input, painter);
    return true;
  }
  if (quits(input)) return false;
  for (const InputEvent& e : input.events) {
    if (e.kind != InputEvent::KeyPress) continue;
    if (e.symbol == key::P) steering_.toggleStop();
    if (e.symbol == key::O) steering_.stepOne();
    if (e.symbol == key::LEFTBRACKET) steering_.slower();
    if (e.symbol == key::RIGHTBRACKET) steering_.faster();
  }
  if (takeOver_) {
    goLive(state);
    input.events.clear();  // what steered the replay does not play the game
    playLive(state, input, painter);
    return true;
  }
  if (input.held[key::BACKSPACE]) {
    runReplayBack(state, painter);
    return true;
  }
  const InputEvent* seek = nullptr;
  for (const InputEvent& e : input.events)
    if (e.kind == InputEvent::Seek) seek = &e;
  if (seek) {
    steerReplay(state, *seek, painter);
    return true;
  }
  const int frames = ended_ ? 0 : steering_.framesThisPicture();
  if (frames == 0) paintBodies(state, painter);
  // Only the picture's last frame is drawn; a recorded quit ends the picture too.
  for (int n = 1; n <= frames && state.running; ++n) {
    // Played on after going back: along the history's line to where the
    // replay had got, then the recording again.
    if (frontier_ >= 0 && history_->now() < frontier_) {
      history_->stepAlong(state, n == frames ? painter : nullptr);
      continue;
    }
    if (frontier_ >= 0) catchUp(state);
    if (!replay_->next(recorded_)) {
      if (!ended_) notify("end of the replay at " + clockText(replay_->frames()));
      if (options_.quitAtEnd) return false;
      ended_ = true;  // its last picture stays, for a look, a seek or T
      paintBodies(state, painter);
      break;
    }
    const long before = history_->now();
    const Snapshot* keptBefore = state.keptMoment.get();
    playRecorded(state, n == frames ? painter : nullptr);
    tellWhatWasDone(state, recorded_, before, keptBefore);
    frameAt_.resize(static_cast<size_t>(history_->now()) + 1);
    frameAt_.back() = replay_->frames();
  }
  return true;
}

void Session::steerReplay(State& state, const InputEvent& seek, BodyPainter* painter) {
  if (seek.symbol == seekBranch)
    return paintBodies(state, painter);  // a replay has no branch of its own
  const long target = seek.x;
  if (target < (frontier_ >= 0 ? frontier_ : history_->now())) {
    if (frontier_ < 0) frontier_ = history_->now(), frontierHeld_ = history_->summary().held;
    history_->steerTo(state, target);
    ended_ = false;
  } else {
    // From the last frame played on, unseen, as the headless replay plays them;
    // from the nearest keyframe on where one lies between.
    seekThroughKeyframe(state, target);
    if (frontier_ >= 0) catchUp(state);
    while (history_->now() < target && state.running && replay_->next(recorded_)) {
      playRecorded(state);
      frameAt_.resize(static_cast<size_t>(history_->now()) + 1);
      frameAt_.back() = replay_->frames();
    }
  }
  if (!steering_.stopped()) steering_.toggleStop();  // the picture stays where it went
  paintBodies(state, painter);
}

TimelineSummary Session::timeline(long& total) const {
  TimelineSummary t = history_->summary();
  total = t.end;
  // A replay's frames still to come, one moment each as far as it can tell.
  if (replay_)
    total = std::max(total,
                     static_cast<long>(frameAt_.size()) - 1 + (recording_->end - frameAt_.back()));
  return t;
}

// One picture back through the game's own history. The replay stays at the
// frame it had played to: replaying its frames from an earlier one would find
// the history holding their future, and take other ways than the recording.
void Session::runReplayBack(State& state, BodyPainter* painter) {
  ended_ = false;
  if (frontier_ < 0) frontier_ = history_->now(), frontierHeld_ = history_->summary().held;
  FrameInput back;
  back.held[key::BACKSPACE] = 1;
  history_->play(state, back, painter);
}

void Session::startHistoryAfresh() {
  // The new history reads through the clock that the old one passed on.
  const long moment = history_->now();
  const bool snapshots = history_->keepsSnapshots(), future = history_->keepsFuture();
  history_.reset();
  history_.emplace();
  history_->resumeAt(moment);
  history_->keepSnapshots(snapshots);
  history_->keepFuture(future);
}

void Session::playRecorded(State& state, BodyPainter* painter) {
  state.seedRepeatsWithinASecond = recording_->version < 3;
  const auto& events = recorded_.events;
  if (std::any_of(events.begin(), events.end(),
                  [](const InputEvent& e) { return e.kind == InputEvent::Resumed; }))
    startHistoryAfresh();
  history_->play(state, recorded_, painter);
  if (history_->followedFuture()) replay_->frameTakenElsewhere();
  if (!replay_->check(*state.world)) return;
  const std::string departs = "departs from the recording at frame " +
                              std::to_string(replay_->departedAt()) + " (" +
                              clockText(replay_->departedAt()) + ")";
  std::cerr << "skyhook: " << source() << ": " << departs << std::endl;
  notify("the replay " + departs);
}

void Session::forgetWhatNoneWillRestore() {
  const long lowest = replay_->lowestReachable(history_->now());
  history_->forgetBelow(lowest);
  // Nothing goes back any more: nothing the history keeps from here on can be of use.
  if (lowest == Replay::kNowhere) history_->keepSnapshots(false);
}

void Session::playLive(State& state, FrameInput& input, BodyPainter* painter) {
  if (handedOver_) {
    // The keyboard and mouse take over as they are: a drag that the recording
    // left holding is let go, and a stopped replay stays stopped.
    if (grabbing(state)) input.events.insert(input.events.begin(), {InputEvent::ButtonUp});
    if (stayStopped_ || goesOn_)
      input.events.insert(input.events.begin(), {InputEvent::KeyPress, key::P});
    if (resumedHere_) input.events.insert(input.events.begin(), {InputEvent::Resumed});
    handedOver_ = stayStopped_ = goesOn_ = resumedHere_ = false;
  }
  recorder_->beginFrame();
  const long before = history_->now();
  const Snapshot* keptBefore = state.keptMoment.get();
  history_->play(state, input, painter);
  recorder_->endFrame(input, *state.world);
  keepMinuteKeyframe(state, recorder_->frames());
  tellWhatWasDone(state, input, before, keptBefore);
  ++liveFrames_;
}

void Session::tellWhatWasDone(const State& state, const FrameInput& input, long before,
                              const Snapshot* keptBefore) {
  if (input.held[key::BACKSPACE]) return;  // a picture back: its presses do nothing
  for (const InputEvent& e : input.events) {
    if (e.kind != InputEvent::KeyPress) continue;
    if (e.symbol == key::F5 && state.keptMoment) {
      keptAt_.erase(std::remove_if(keptAt_.begin(), keptAt_.end(),
                                   [](const auto& kept) { return kept.first.expired(); }),
                    keptAt_.end());
      keptAt_.emplace_back(state.keptMoment, before);
      notify("moment kept at " + clockText(before) + " (F9 returns to it)");
    } else if (e.symbol == key::F9 && !keptBefore) {
      notify("no moment kept yet: F5 keeps one");
    } else if (e.symbol == key::F9) {
      long at = -1;
      for (const auto& [moment, frame] : keptAt_)
        if (moment.lock().get() == keptBefore) at = frame;
      notify(at < 0 ? std::string("back to the moment kept")
                    : "back to the moment kept at " + clockText(at));
    } else if (e.symbol == key::N) {
      std::ostringstream seed;
      seed << state.coefMontagne;
      notify("a new world: seed " + seed.str());
    }
  }
}

// Once Backspace is let go: how far it went back.
void Session::tellHowFarBack(bool goingBack) {
  if (goingBack && backFrom_ < 0) backFrom_ = history_->now();
  if (goingBack || backFrom_ < 0) return;
  const long back = backFrom_ - history_->now();
  backFrom_ = -1;
  if (back <= 0) return;
  std::ostringstream text;
  text << "went back ";
  if (back < 3600) text << std::fixed << std::setprecision(1) << back / 60.0 << " s";
  else text << clockText(back);
  notify(text.str() + " in time, to " + clockText(history_->now()));
}

void Session::takeOver() {
  if (!replay_ || headless()) return;
  takeOver_ = true;
  notify("the keyboard has taken over the replay at " + clockText(replay_->frames()));
}

std::string Session::textSoFar() const {
  return recorder_ ? recorder_->textSoFar() : textUpTo(*recording_, replay_->frames());
}

void Session::save() {
  std::string error;
  const std::string text = textSoFar();
  if (const std::optional<std::string> path = saveSession(text, std::time(nullptr), error)) {
    history_->mark(TimeMark::saved);
    std::cerr << "skyhook: saved the session so far to " << *path << std::endl;
    if (playing_) keepKeyframe(*path, text, *playing_);
    notify("saved " + fileName(*path));
  } else {
    std::cerr << "skyhook: " << error << "; the game goes on" << std::endl;
    notify(error);
  }
}

int Session::finish(const State& state) {
  int status = 0;
  if (recorder_ && !options_.noAutosave && liveFrames_ >= kAutosaveFrames) {
    std::string error;
    const std::string text = textSoFar();
    if (const std::optional<std::string> path =
            saveSession(text, std::time(nullptr), error, true)) {
      std::cerr << "skyhook: kept the session in " << *path << " (automatic save)" << std::endl;
      keepKeyframe(*path, text, state);
      pruneAutomaticSaves();
    } else {
      std::cerr << "skyhook: " << error << " (automatic save)" << std::endl;
      notify(error);
      status = 1;
    }
  }
  if (recorder_) {
    recorder_->finish();
    writer_.close();
    if (writer_.failed()) status = 1;
    std::string text;
    if (options_.record) {
      // A keyframe of another session beside it would only be refused.
      std::remove(keyframesPathFor(*options_.record).c_str());
      if (!writer_.failed() && readWhole(*options_.record, text))
        keepKeyframe(*options_.record, text, state);
    }
  }
  if (replay_) departed_ |= replay_->departed();
  if (replay_) missedCheck_ |= replay_->departedAt() >= 0;
  if (missedCheck_) status = 1;
  if (departed_) {
    std::cerr << "skyhook: " << source() << ": the replay read the clock differently from the"
              << " recording; the world it played may differ from the recorded one" << std::endl;
    status = 1;
  }
  if (options_.digest) std::cerr << digestLine(worldDigest(*state.world)) << std::endl;
  return status;
}

int Session::playHeadless() {
  HeadlessConsole console(STDOUT_FILENO);
  State state;
  startUpWithoutWindow(state);
  while (state.running && replay_->next(recorded_)) {
    playRecorded(state);
    forgetWhatNoneWillRestore();
  }
  const bool written = console.finish();
  const int status = finish(state);
  return written ? status : 1;
}
