#pragma once

namespace kolvarin::shell {

// A service with a built-in implementation that a test may replace by its
// own (not owned). Main thread only.
template <typename Service>
class ServiceSlot {
public:
    explicit ServiceSlot(Service& builtIn) : builtIn_(builtIn) {}
    Service& current() const { return installed_ ? *installed_ : builtIn_; }
    // nullptr puts the built-in implementation back.
    void install(Service* service) { installed_ = service; }

private:
    Service& builtIn_;
    Service* installed_ = nullptr;
};

} // namespace kolvarin::shell
