#pragma once

#include <string>

// Error record shared by the streams and coders of this folder. A coder
// never ends the process: it records the first error it meets, refuses
// further work, and the caller reports Message() to the user.
class CCoderStatus {
public:
  bool Failed() const { return m_Failed; }
  const std::string& Message() const { return m_Message; }

  // Records `message` unless an earlier error is already recorded (the
  // first error is the one that explains the others). Always returns 0 so
  // that callers can write `return m_Status.Fail("...")`.
  int Fail(const std::string& message) {
    if (!m_Failed) {
      m_Failed = true;
      m_Message = message;
    }
    return 0;
  }

  void Clear() {
    m_Failed = false;
    m_Message.clear();
  }

private:
  bool m_Failed = false;
  std::string m_Message;
};
