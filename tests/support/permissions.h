// Making file permissions bind in a test even when it runs as root.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// For its lifetime the permission checks bind even for root: the capabilities that let root
// read and search every directory are lowered, and raised again at the end.
class PermissionsBind {
 public:
  PermissionsBind() {
    if (geteuid() != 0) {
      binding_ = true;
      return;
    }
    header_.version = _LINUX_CAPABILITY_VERSION_3;
    header_.pid = 0;
    if (syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
    lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    lowered_ = binding_ = syscall(SYS_capset, &header_, lowered) == 0;
  }
  ~PermissionsBind() {
    if (lowered_) syscall(SYS_capset, &header_, saved_);
  }
  bool binding() const { return binding_; }

 private:
  __user_cap_header_struct header_ = {};
  __user_cap_data_struct saved_[2] = {};
  bool lowered_ = false;
  bool binding_ = false;
};
