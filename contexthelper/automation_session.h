// The client side of tessaprint's automation class for one run: an instance
// is created once, takes one command per file, and is released at the end.
#pragma once

#include <cstdint>
#include <string>

namespace tessa::ferrowick {

class AutomationSession {
 public:
  virtual ~AutomationSession() = default;

  // Creates the instance. 0, or the error number: 429 when the service
  // cannot be reached, 438 when it lacks the method.
  virtual int Create() = 0;

  // Runs command on the instance and puts DoCommandLine's result code in
  // result. 0, or the error number as for Create.
  virtual int DoCommandLine(const std::string& command, int32_t& result) = 0;

  // Ends the instance (nothing when there is none).
  virtual void Release() = 0;
};

}  // namespace tessa::ferrowick
