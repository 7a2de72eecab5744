#pragma once
// The options that adding files reads (the window keeps them in step with its menu).

namespace pff {

struct EngineOptions {
  bool AlwaysOverwrite = false;  // replace a same-named entry without asking
  bool ReUseDeadSpaces = true;   // put new data into dead space where it fits
};

}  // namespace pff
