#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace varrow::testing {

// While it lives, the calling thread has none of the powers that let root
// past file permissions and owners (read, write and list anything, own and
// give away anything): it meets permissions as an ordinary user would, with
// its own user ID. Nothing changes for a user without those powers.
class WithoutRootPowers {
 public:
  WithoutRootPowers() {
    if (::syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
    lowered[0].effective &= ~kPowers;
    changed_ = ::syscall(SYS_capset, &header_, lowered) == 0;
  }
  ~WithoutRootPowers() {
    if (changed_) ::syscall(SYS_capset, &header_, saved_);
  }
  WithoutRootPowers(const WithoutRootPowers&) = delete;
  WithoutRootPowers& operator=(const WithoutRootPowers&) = delete;

 private:
  static constexpr __u32 kPowers = 1u << CAP_CHOWN | 1u << CAP_DAC_OVERRIDE |
                                   1u << CAP_DAC_READ_SEARCH | 1u << CAP_FOWNER;
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2]{};
  bool changed_ = false;
};

}  // namespace varrow::testing
