#pragma once
// The sandbox's whole shared state, one object created by main (tests make
// their own). Members carry the names the rest of the program knows them by.
// Body and joint handles are non-owning: the world owns every body and joint,
// and destroyBody / the joint-handle listener below null a handle the moment
// its object dies.

#include <box2d/box2d.h>

#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

#include "base/materials.h"
#include "base/region.h"

struct State;
struct Snapshot;

// Nulls the shared joint handles of joints that Box2D destroys along with a body.
class JointHandleListener : public b2DestructionListener {
 public:
  explicit JointHandleListener(State& state) : state_(state) {}
  void SayGoodbye(b2Joint* joint) override;
  void SayGoodbye(b2Fixture*) override {}

 private:
  State& state_;
};

constexpr int WIDTH = 1280;
constexpr int HEIGHT = 940;
constexpr float M2P = 10.0f;  // pixels per metre
constexpr float P2M = 0.1f;   // metres per pixel

struct SkyColour {
  float r, g, b;
};

// Where a body is drawn: its origin, its centre of mass and its angle.
struct BodyPose {
  b2Vec2 position, center;
  float angle;
};

// Every field that the frames change, apart from the world: a snapshot copies
// them whole, the world's memory beside them (state/snapshot.h).
struct StateFields {
  std::vector<b2Body*> BODY;           // bodies that R switches to dynamic

  SkyColour sky{0, 0, 0};              // drawn at start-up: the window's background
  float GRAVITY = 9.81f;               // 2.07 under a blue-dominant sky
  float coefMontagne = 0;              // landscape seed: the noise row; drawLandscapeSeed
  int decalage = 200;                  // terrain offset in pixels
  float vitesseScrolling = 0.1f;       // metres the origin moves per scroll step
  float bordGaucheEcran = 0;           // terrain cursor, pixels
  float VALEUR = 0;                    // height of the newest terrain column, pixels
  int limiteDeTrucsQuiTombentDesMontagnes = 0;  // debris counter, cycles 1 ... 299

  b2Body* ship = nullptr;
  float vitesseShipHorizontale = 0;    // commanded ship velocity, m/s
  float vitesseShipVerticale = 0;

  b2Body* car = nullptr;               // the crane car's chassis
  b2Joint* distanceJoint = nullptr;    // left cable
  b2Joint* distanceJoint2 = nullptr;   // right cable
  b2WheelJoint* wheel = nullptr;       // front wheel joint of the newest car
  b2WheelJoint* wheel12 = nullptr;     // rear wheel joint of the newest car
  b2Body* wheel1 = nullptr;            // +x wheel of the newest plain car
  b2Body* wheel2 = nullptr;            // -x wheel of the newest plain car
  float speed = 0;                     // common wheel motor speed, rad/s
  // The bodies of every live plain car (chassis and wheels), oldest first; a car
  // leaves the list with its last body, whoever destroys it.
  std::deque<std::vector<b2Body*>> plainCars;
  bool plainCarMadeThisFrame = false;  // a second C in one frame would land inside the first

  b2Body* baseBras = nullptr;          // crane: arm, second arm, wrist, thumb, index
  b2Body* secondBras = nullptr;
  b2Body* poignet = nullptr;
  b2Body* pouce = nullptr;
  b2Body* Index = nullptr;
  b2Body* brasGrue = nullptr;
  b2RevoluteJoint* wheelBras = nullptr;
  b2RevoluteJoint* wheelSecondBras = nullptr;
  b2RevoluteJoint* wheelPoignet = nullptr;
  b2RevoluteJoint* wheelPouce = nullptr;
  b2RevoluteJoint* wheelIndex = nullptr;

  b2Body* randomWalker = nullptr;      // newest walker while it lives
  bool walkerCreated = false;          // a walker has been made: the terrain may make more

  float TABLEAU_DES_DENSITES[100] = {};  // metal densities, 13 used
  int ground = 0;                      // its address is the user data of circles and wheels
  float green = 0;                     // green and blue of every disc rim
  float blue = 0;
  int NB_VERTICES = 0;                 // vertex count of the last test polygon

  bool paused = false;                 // P: time stands still
  int framesToStep = 0;                // O while paused: frames still to play
  // [ and ]: the world runs at 2 to this power, -3 (1/8) to 3 (x8), in whole
  // steps of the one step length: slow motion steps on fewer frames, fast
  // forward several times a frame.
  int speedShift = 0;
  int slowFrames = 0;                  // frames played since the last step in slow motion
  // In slow motion, the bodies' poses before the last step, and how far the
  // picture is drawn from them towards the poses now (1: where they are).
  std::unordered_map<const b2Body*, BodyPose> posesBeforeStep;
  float blend = 1;

  b2MouseJoint* mouseJoint = nullptr;  // pulls the body under the left button
  b2Body* mouseGround = nullptr;       // the static body, without fixtures, it pulls from
  b2Vec2 mouseTarget{0, 0};            // the pointer while it holds a body, metres
};

struct State : StateFields {
  State();
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  ~State();

  myContactListener listener;          // prints the material the ship touches
  JointHandleListener jointListener{*this};

  bool running = false;                // the frame loop's flag

  // F5's moment, which F9 returns to: outside the frames' own fields, so that
  // returning to a moment, or going back in time, keeps it.
  std::shared_ptr<const Snapshot> keptMoment;

  // Declared last so it is destroyed first, while the listeners it points at
  // live. Built in Box2D's memory region, where a snapshot finds it.
  WorldPtr world;
};

// The one way the program destroys a body: every handle naming it, or a joint
// that dies with it, reads null afterwards.
void destroyBody(State& state, b2Body* body);

// Destroys a joint and nulls every handle naming it.
void destroyJoint(State& state, b2Joint* joint);
