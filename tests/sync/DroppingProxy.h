#pragma once

#include <QTcpServer>

namespace veltro::testing {

// Passes connections on to a server on loopback until the given number of PUT requests went
// through; the next one and every later connection are cut off, as by a lost network.
class DroppingProxy : public QTcpServer {
public:
    DroppingProxy(int upstreamPort, int putsLetThrough);

    [[nodiscard]] bool dropped() const { return dropped_; }

private:
    void pass();

    int upstreamPort_;
    int putsLeft_;
    bool dropped_ = false;
};

}  // namespace veltro::testing
