#pragma once
// The parts of the sandbox's state, each a plain aggregate of the fields that
// belong together, and StateFields, all of them at once. The state
// (state/state.h) is StateFields with the world beside it, so every field keeps
// its one name (`state.baseBras`); a function that reads one part takes only
// that part.
// Body and joint handles are non-owning: the world owns every body and joint,
// and the one destroy routine and the joint-handle listener (state/state.h)
// null a handle the moment its object dies.

#include <box2d/box2d.h>

#include <array>
#include <deque>
#include <unordered_map>
#include <vector>

#include "base/materials.h"

struct SkyColour {
  float r, g, b;
};

// Drawn at start-up and with every new world.
struct SkyPart {
  SkyColour sky{0, 0, 0};  // the window's background
  float GRAVITY = 9.81f;   // 2.07 under a blue-dominant sky
};

// The scrolling landscape: its noise row, its cursor and its debris.
struct TerrainPart {
  float coefMontagne = 0;                       // landscape seed: the noise row; drawLandscapeSeed
  int decalage = 200;                           // terrain offset in pixels
  float vitesseScrolling = 0.1f;                // metres the origin moves per scroll step
  float bordGaucheEcran = 0;                    // terrain cursor, pixels
  float VALEUR = 0;                             // height of the newest terrain column, pixels
  int limiteDeTrucsQuiTombentDesMontagnes = 0;  // debris counter, cycles 1 ... 299
  // The seed's first draw in its second, and how many worlds have been built
  // since from that same draw: N within one second goes on along the sequence.
  float firstDrawOfSecond = 0;
  int worldsFromSameDraw = 0;
  // Recordings older than the fix for that replay with the repeated seed.
  bool seedRepeatsWithinASecond = false;
};

struct ShipPart {
  b2Body* ship = nullptr;
  float vitesseShipHorizontale = 0;  // commanded ship velocity, m/s
  float vitesseShipVerticale = 0;
};

// The crane car on its cable, and the plain cars.
struct CarsPart {
  b2Body* car = nullptr;              // the crane car's chassis
  b2Joint* distanceJoint = nullptr;   // left cable
  b2Joint* distanceJoint2 = nullptr;  // right cable
  b2WheelJoint* wheel = nullptr;      // front wheel joint of the newest car
  b2WheelJoint* wheel12 = nullptr;    // rear wheel joint of the newest car
  b2Body* wheel1 = nullptr;           // +x wheel of the newest plain car
  b2Body* wheel2 = nullptr;           // -x wheel of the newest plain car
  float speed = 0;                    // common wheel motor speed, rad/s
  // The bodies of every live plain car (chassis and wheels), oldest first; a car
  // leaves the list with its last body, whoever destroys it.
  std::deque<std::vector<b2Body*>> plainCars;
  bool plainCarMadeThisFrame = false;  // a second C in one frame would land inside the first

  // The crane car hangs from the ship by at least one rod of the cable.
  bool craneCarHanging() const { return car && (distanceJoint || distanceJoint2); }
  // The crane car lives, free of the cable: J can pick it up again.
  bool craneCarDropped() const { return car && !distanceJoint && !distanceJoint2; }
  // Both rods of the cable hold (they die with the car, so the car lives too).
  bool cableWhole() const { return distanceJoint && distanceJoint2; }
};

// The crane on the crane car: its five bodies from the car outward, the
// arm's mount, and the five hinges between them.
struct CranePart {
  b2Body* baseBras = nullptr;  // arm, second arm, wrist, thumb, index
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

  // The five hinges from the car outward; a dead one reads null.
  std::array<b2RevoluteJoint*, 5> hinges() const {
    return {wheelBras, wheelSecondBras, wheelPoignet, wheelPouce, wheelIndex};
  }
};

struct WalkerPart {
  b2Body* randomWalker = nullptr;  // newest walker while it lives
  bool walkerCreated = false;      // a walker has been made: the terrain may make more
};

// The metals bodies are made of, and what the body factories mark and leave.
struct MetalsPart {
  float TABLEAU_DES_DENSITES[100] = {};  // metal densities, 13 used
  int ground = 0;                        // its address is the user data of circles and wheels
  float green = 0;                       // green and blue of every disc rim
  float blue = 0;
  int NB_VERTICES = 0;        // vertex count of the last test polygon
  std::vector<b2Body*> BODY;  // bodies that R switches to dynamic
};

// Where a body is drawn: its origin, its centre of mass and its angle.
struct BodyPose {
  b2Vec2 position, center;
  float angle;
};

// Stopped time, one frame at a time, and the speed of time.
struct TimePart {
  bool paused = false;   // P: time stands still
  int framesToStep = 0;  // O while paused: frames still to play
  // [ and ]: the world runs at 2 to this power, -3 (1/8) to 3 (x8), in whole
  // steps of the one step length: slow motion steps on fewer frames, fast
  // forward several times a frame.
  int speedShift = 0;
  int slowFrames = 0;  // frames played since the last step in slow motion
  // In slow motion, the bodies' poses before the last step, and how far the
  // picture is drawn from them towards the poses now (1: where they are).
  std::unordered_map<const b2Body*, BodyPose> posesBeforeStep;
  float blend = 1;
};

// The left button's pull on a body.
struct MousePart {
  b2MouseJoint* mouseJoint = nullptr;  // pulls the body under the left button
  b2Body* mouseGround = nullptr;       // the static body, without fixtures, it pulls from
  b2Vec2 mouseTarget{0, 0};            // the pointer while it holds a body, metres
};

// A body and its place in the order the world made it; 0 until the walk over
// the bodies has listed it.
struct MadeBody {
  b2Body* body;
  long long made;
};

// The world's bodies as the frame's walk keeps them, so that it need not visit
// the thousand-odd columns of the ground every frame: the terrain's columns in
// the order the terrain made them (they reach the left edge, and leave, from
// the front), and every other body, oldest first.
struct BodyListsPart {
  std::deque<MadeBody> columns;
  std::vector<MadeBody> others;
  b2Body* newestListed = nullptr;  // the world lists newer bodies before it
  long long bodiesMade = 0;
};

// What the left button does: today's drag, or one of the building tools.
enum class Tool : unsigned char { drag, box, ball, plank, rope, pin, eraser };

// Building with the mouse: the tool and metal chosen, the build the left
// button holds, and what has been built.
struct BuildPart {
  Tool tool = Tool::drag;
  int metal = kMetalCount;  // an entry of kMetals, or kMetalCount: drawn as the landscape's are
  bool building = false;    // the left button holds a box, ball, plank or rope
  b2Vec2 buildFrom{0, 0}, buildTo{0, 0};  // where it went down and where it is, metres
  std::deque<b2Body*> built;              // the bodies built, oldest first
  std::vector<b2Body*> pinAnchors;        // the world's end of each pin: static, no fixture
  int builtMark = 0;                      // its address is the user data of built bodies
};

// Every field that the frames change, apart from the world: a snapshot copies
// them whole, the world's memory beside them (state/snapshot.h).
struct StateFields : SkyPart,
                     TerrainPart,
                     ShipPart,
                     CarsPart,
                     CranePart,
                     WalkerPart,
                     MetalsPart,
                     TimePart,
                     MousePart,
                     BodyListsPart,
                     BuildPart {};
