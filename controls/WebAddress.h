#pragma once
#include <string>
// The maker's web address. The program holds it only scrambled and unscrambles it each time
// it is asked for.
class WebAddress {
 public:
  // The address in plain text ("https://...").
  std::string address() const;
  // The More downloads button: the shell opens the address with its default action in a
  // normal window; the outcome is not reported.
  void openDownloads() const;
};
