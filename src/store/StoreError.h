#pragma once

#include <stdexcept>
#include <string>

namespace veltro::store {

// Carries the engine's own error text, which the start-up shows to the user unchanged.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace veltro::store
