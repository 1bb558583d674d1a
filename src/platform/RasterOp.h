// How a transferred pixel combines with the pixel already on the target.
#pragma once

namespace plat {

enum class RasterOp {
    Copy, // destination := source
    And,  // destination := source AND destination (per colour bit)
    Or,   // destination := source OR destination
};

} // namespace plat
