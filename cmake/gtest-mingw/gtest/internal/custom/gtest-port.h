// GoogleTest's port customisation for the mingw-w64 win32 thread model, found before
// the package's empty one. GCC 12's libstdc++ of that model has no std::mutex or
// std::condition_variable, which GoogleTest 1.12 needs only for its Notification
// class (used by its own threading tests, never by ours). This stands in for it.
#ifndef KESTREL_GTEST_CUSTOM_PORT_H
#define KESTREL_GTEST_CUSTOM_PORT_H

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() : notified_(false) {}
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { __atomic_store_n(&notified_, true, __ATOMIC_RELEASE); }
  void WaitForNotification() {
    while (!__atomic_load_n(&notified_, __ATOMIC_ACQUIRE)) {
    }
  }

 private:
  bool notified_;
};

}  // namespace internal
}  // namespace testing

#endif  // KESTREL_GTEST_CUSTOM_PORT_H
