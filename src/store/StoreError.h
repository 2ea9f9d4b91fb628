#pragma once

#include <stdexcept>
#include <string>

namespace veltro::store {

// Carries the engine's own error text, or a German text naming what the store lacks; the
// start-up shows it to the user unchanged.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace veltro::store
