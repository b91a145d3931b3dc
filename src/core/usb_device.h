#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace vantorel {

// One attached USB device as read from the registry. Ids are kept as the full integers read,
// never narrowed to 16 bits.
class USBDevice {
 public:
  USBDevice(std::int64_t vendor, std::int64_t product, std::string name, std::string serial)
      : vendor_(vendor), product_(product), name_(std::move(name)), serial_(std::move(serial)) {}

  std::int64_t vendor() const { return vendor_; }
  std::int64_t product() const { return product_; }
  const std::string& name() const { return name_; }      // empty when the device reports none
  const std::string& serial() const { return serial_; }  // empty when the device reports none

 private:
  std::int64_t vendor_;
  std::int64_t product_;
  std::string name_;
  std::string serial_;
};

}  // namespace vantorel
