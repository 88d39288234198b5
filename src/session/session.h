#pragma once
// What a run of the program records or replays, and the frame loop's side of
// it: the live loop and the windowed replay hand it each picture's input to
// play, the headless replay runs the whole recording here without a window.
// Every session keeps its own recording in memory as it goes, so that S can
// save the session so far.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "recording/frame_input.h"
#include "recording/recording.h"
#include "recording/recording_writer.h"
#include "session/history.h"
#include "session/kept_keyframes.h"
#include "session/keyframe_file.h"
#include "session/recorder.h"
#include "session/replay.h"
#include "session/replay_steering.h"

struct State;
class BodyPainter;

struct SessionOptions {
  std::optional<std::string> record;  // --record FILE: write the session's input to FILE
  std::optional<std::string> replay;  // --replay FILE: play FILE instead of the keyboard
  std::optional<std::string> resume;  // --resume FILE: play FILE unseen, then go on live;
                                      // "" or "last": the newest saved session
  bool headless = false;              // --headless: replay without a window, unpaced
  bool quitAtEnd = false;             // --quit-at-end: a windowed replay closes at its end
  bool digest = false;                // --digest: print the world's digest at exit
  bool noAutosave = false;            // --no-autosave: keep nothing at quit
  bool noKeyframes = false;           // --no-keyframes: a resume re-plays the whole recording
};

// Takes a short line naming what the session just did, for the window's messages.
using MessageSink = std::function<void(const std::string& text)>;
// How far a resume has played; false cancels it.
using ResumeProgress = std::function<bool(long frame, long end)>;

// Frames of live play after which a session is kept at its end: 10 s.
constexpr long kAutosaveFrames = 600;

class Session {
 public:
  // Opens what the options ask for, before anything plays: the file to record
  // to, or the recording to replay or resume, read and checked in full. A
  // replay's clock takes the random clock's place at once, else the session's
  // own recorder does. On failure prints one line on standard error and
  // returns nullptr (the program then exits with status 2).
  static std::unique_ptr<Session> open(const SessionOptions& options);

  bool headless() const { return options_.headless; }
  bool resuming() const { return options_.resume.has_value(); }
  // The recording a resume plays (the newest saved session's for "last").
  const std::string& resumingFrom() const { return *options_.resume; }

  // --resume, in place of the start-up: the start-up and every frame of the
  // recording, unpaced and undrawn (its quit left out), with progress on
  // standard error once it takes more than a second, and to `progress` about
  // twenty times a second; from there the session is live. False when
  // `progress` cancelled it: then nothing is written, and finish() must not run.
  bool resume(State& state, const ResumeProgress& progress = {});
  // ... and it restored the keyframe beside the recording instead.
  bool resumedFromKeyframe() const { return fromKeyframe_; }

  // From now on every console line said is kept too (through the sink in
  // place, which it wraps): saves then carry a keyframe of their last moment,
  // which a resume restores in place of the re-play, saying these lines again.
  void keepConsoleLines();

  // Where the window's messages go; none by default.
  void tellMessagesTo(MessageSink sink);

  // The list of saved sessions chose another: play() ends this session, which
  // finish() keeps (as an automatic save) before the program goes there.
  struct Leaving {
    std::string path;
    bool replay;  // replay it in the window, else resume it
  };
  void leaveFor(const std::string& path, bool replay) { leaving_ = Leaving{path, replay}; }
  const std::optional<Leaving>& leaving() const { return leaving_; }

  // One picture's frames, with the input read live for it. Live: that input is
  // played and recorded. In a windowed replay the live keys steer (P stops and
  // restarts, O plays one frame while stopped, [ and ] halve and double its
  // speed, Backspace held runs it back) and the recording's frames are played
  // in their place; while none is, the painter is handed the world as it
  // stands. Every frame goes through the game's history. False when the
  // session is over: the replay ended, or the live input quit it.
  bool play(State& state, FrameInput& input, BodyPainter* painter);

  // S: writes the session so far to a new file in sessionsFolder() and names
  // it on standard error and in a message, or says there why it could not;
  // the game goes on.
  void save();
  // What S saves: the session's recording up to the last frame played.
  std::string textSoFar() const;
  // T: from the next frame the keyboard and mouse play the game; the
  // recording's end no longer ends the session. Only a windowed replay has it.
  void takeOver();

  // A replay that the keyboard has not taken over.
  bool replaying() const { return replay_.has_value(); }
  // ... stopped by P.
  bool replayStopped() const { return replay_ && steering_.stopped(); }
  // ... at its own speed, as a power of two.
  int replayShift() const { return replay_ ? steering_.shift() : 0; }
  // ... and has played its last frame: it holds its last picture.
  bool replayEnded() const { return replay_ && ended_; }

  // The session's time, for the bar: the history's, over a replay's whole
  // recording (`total`, in the history's frames, as far as it can tell).
  TimelineSummary timeline(long& total) const;
  // Time stands still after the last picture: `,` and `.` step through it.
  bool timeStopped() const { return stopped_; }
  // Where Ctrl+Z and Ctrl+Y go (-1: nowhere).
  long undoTarget() const { return history_->undoTarget(); }
  long redoTarget() const { return history_->redoTarget(); }

  // After the last frame: keeps a session of kAutosaveFrames or more live
  // frames as an automatic save (unless --no-autosave), closes the recording,
  // prints the digest when asked. The exit status: 1 when the recording or
  // the automatic save could not be written in full or the replay departed
  // from the recording, else 0.
  int finish(const State& state);

  // The whole replay without a window or pacing; the exit status, 1 also when
  // console lines could not be written.
  int playHeadless();

 private:
  explicit Session(const SessionOptions& options) : options_(options) {}

  bool playPicture(State& state, FrameInput& input, BodyPainter* painter);
  void playLive(State& state, FrameInput& input, BodyPainter* painter);
  void runReplayBack(State& state, BodyPainter* painter);
  // The replay's next frame, played as the recording's version played it and
  // checked against its checkpoint.
  void playRecorded(State& state, BodyPainter* painter = nullptr);
  // A seek in a windowed replay: within what has played through the history,
  // or on through the recording, unseen, to the moment.
  void steerReplay(State& state, const InputEvent& seek, BodyPainter* painter);
  // Ends the replay after the frames it has played; the recorder goes on from there.
  void goLive(State& state);
  // Unwatched, only the recording takes the history back: what it can no
  // longer reach, the history gives back (History::forgetBelow).
  void forgetWhatNoneWillRestore();
  // A resume's history keeps nothing from before it, live and in every replay
  // of what it records, so that going back reaches the same moments in both.
  void startHistoryAfresh();
  // A resume's shortcut: the last keyframe beside the recording, restored and
  // proved by its digest, and the replay and history moved to its frame.
  // False, with one line on standard error saying why when there was one,
  // leaving the state untouched for the full re-play.
  bool resumeFromKeyframe(State& state);
  // Writes the session's last moment beside the recording saved at `path` with
  // `text`, after the minute keyframes kept so far.
  void keepKeyframe(const std::string& path, const std::string& text, const State& state);
  // After the recording's frame `frame`: a minute's keyframe, for the saves.
  void keepMinuteKeyframe(const State& state, long frame);
  // A windowed replay's seek ahead of what it has played: the nearest keyframe
  // beside the recording at or before the moment, restored, proved by its
  // digest, and the replay and a history begun afresh moved to its frame, with
  // the console lines up to it said. False, changing nothing, where that is
  // not sound: the replay then plays every frame to the moment.
  bool seekThroughKeyframe(State& state, long target);
  // Back at the moment where the replay had played to, exactly as it stood there.
  void catchUp(State& state);
  void notify(const std::string& text) const {
    if (tell_) tell_(text);
  }
  // Messages for what the picture's frames did: F5, F9, N, and going back.
  void tellWhatWasDone(const State& state, const FrameInput& input, long before,
                       const Snapshot* keptBefore);
  void tellHowFarBack(bool goingBack);
  const std::string& source() const {
    return options_.replay ? *options_.replay : *options_.resume;
  }

  SessionOptions options_;
  std::optional<Recording> recording_;
  std::optional<Replay> replay_;
  RecordingWriter writer_;
  std::optional<Recorder> recorder_;
  FrameInput recorded_;       // a replayed frame's input
  ReplaySteering steering_;   // of a windowed replay
  bool takeOver_ = false;     // T was pressed: live from the next frame
  bool handedOver_ = false;   // the first live frame after a replay is still to come
  bool resumedHere_ = false;  // ... after a resume: the recording marks it
  bool fromKeyframe_ = false;
  bool stayStopped_ = false;  // ... and the replay was stopped when T came
  bool goesOn_ = false;       // ... or T came at an earlier moment and the replay ran
  bool departed_ = false;     // a replay ended departed from its recording
  bool missedCheck_ = false;  // ... and a checkpoint said where
  bool ended_ = false;        // a windowed replay played its last frame
  bool stopped_ = false;      // time stood still in the last picture
  // After the replay's clock or the recorder: the history reads through them,
  // and every frame, replayed or live, goes through it.
  std::optional<History> history_;
  // The replay's frame after which the history stood at each of its moments.
  std::vector<long> frameAt_{0};
  // While a windowed replay shows an earlier moment than it has played to: the
  // history's moment there, and whether time stood still there after a seek.
  // Played on, it goes along the history's line to there before the
  // recording's next frame, so the history stays as the recording made it.
  long frontier_ = -1;
  bool frontierHeld_ = false;

  MessageSink tell_;
  std::string pendingMessage_;  // said before anyone listened: told to the first sink
  std::optional<Leaving> leaving_;
  long liveFrames_ = 0;  // played from the keyboard in this process
  // Each kept moment's frame, for F9's message; the moment itself may come
  // back by going back in time.
  std::vector<std::pair<std::weak_ptr<const Snapshot>, long>> keptAt_;
  long backFrom_ = -1;  // the frame Backspace started from while it is held

  // Every console line said, when kept; the sink that keeps them holds it
  // weakly, and passes lines on alone once the session is gone.
  std::shared_ptr<std::string> console_;
  const State* playing_ = nullptr;  // the state the last picture played, for S
  KeptKeyframes minutes_;           // when console lines are kept
  // A windowed replay's keyframes, read at its first seek ahead; the
  // recording's last frame that goes back in time (-1: none).
  std::optional<KeyframeFile> seekFrames_;
  bool seekFramesRead_ = false;
  long lastBack_ = -1;
  bool jumped_ = false;  // a seek went through a keyframe: the history began afresh there
};
