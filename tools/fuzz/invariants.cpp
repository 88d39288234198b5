#include "tools/fuzz/invariants.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "base/materials.h"
#include "state/state.h"
#include "support/handle_check.h"

namespace {

bool isWholeNumber(const std::string& s, int low, int high) {
  if (s.empty() || s.size() > 3 || !std::all_of(s.begin(), s.end(), ::isdigit)) return false;
  const int value = std::stoi(s);
  return value >= low && value <= high && std::to_string(value) == s;
}

std::string where(const b2Body* body) {
  std::ostringstream text;
  const b2Vec2 p = body->GetPosition();
  text << "a body of type " << body->GetType() << " at (" << p.x << ", " << p.y << ") m";
  return text.str();
}

}  // namespace

bool knownConsoleLine(const std::string& line) {
  static const char* const kFixed[] = {"ATMOSPHERE A COULEUR DOMINANTE ROUGE",
                                       "ATMOSPHERE A COULEUR DOMINANTE VERTE",
                                       "ATMOSPHERE A COULEUR DOMINANTE BLEUE",
                                       "TOTO ",
                                       "TOTO1",
                                       "TOTO2",
                                       "TOTO",
                                       "DESTROY wheel1 = OK",
                                       "DESTROY CAR = EN COURS",
                                       "0.95",
                                       "built bodies: 500 at most, the oldest goes",
                                       kWalkerName,
                                       kTestMaterialName};
  for (const char* fixed : kFixed)
    if (line == fixed) return true;
  for (const Metal& m : kMetals)
    if (line == m.name) return true;
  // A box's metal draw, 0 to 100; the test polygon's vertex indices fall inside it.
  if (isWholeNumber(line, 0, 100)) return true;
  if (line.rfind("SEED = ", 0) == 0) {
    std::istringstream seed(line.substr(7));
    float value = -1;
    seed >> value;
    return seed.eof() && !seed.fail() && value >= 0 && value <= 2147.4837f;
  }
  return false;
}

void Invariants::beginFrame() {
  far_.clear();
  walkFault_.clear();
  RemovalRule rule(state_);
  for (const b2Body* b = state_.world->GetBodyList(); b; b = b->GetNext())
    if (rule.removes(b)) far_.push_back(b);
}

// Bodies are not made during the walk, so a pointer noted before it that is
// still in the world names the same body. While time is stopped nothing is
// removed (a single step is not told apart from a stopped frame here), nor
// in slow motion's frames between two steps.
void Invariants::endFrame() {
  if (state_.paused || state_.blend < 1 || !walks_) return;
  RemovalRule rule(state_);
  for (const b2Body* b = state_.world->GetBodyList(); b; b = b->GetNext())
    if (std::find(far_.begin(), far_.end(), b) != far_.end() && rule.removes(b))
      walkFault_ += where(b) + " lies where the walk removes it and outlived the walk; ";
}

std::string Invariants::check(const std::vector<std::string>& consoleLines) {
  std::string faults = handleFaults(state_) + walkFault_;
  for (const b2Body* b = state_.world->GetBodyList(); b; b = b->GetNext()) {
    const b2Vec2 p = b->GetPosition(), v = b->GetLinearVelocity();
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(b->GetAngle()) ||
        !std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(b->GetAngularVelocity()))
      faults += "a body of type " + std::to_string(b->GetType()) +
                " has a position or velocity that is not finite; ";
  }
  for (const std::string& line : consoleLines)
    if (!knownConsoleLine(line)) faults += "an unknown console line \"" + line + "\"; ";
  if (faults.size() >= 2) faults.resize(faults.size() - 2);  // the last "; "
  return faults;
}
