// An update host of our own for the answers no well-behaved web server
// gives: it listens on 127.0.0.1 only, records every request whole, and
// answers each path as told: in chosen pieces with pauses between them,
// closing early, or never. It runs on the test's own event pump (the same
// socket object as the program, so it works on both backends), accepts a
// bounded number of connections and request bytes, and stops with its owner.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "net/CEventSocket.h"

namespace quellix::update::test {

struct HostAnswer {
  std::vector<std::string> pieces;  // sent one after the other; none: never answered
  std::chrono::milliseconds pause{0};
  bool close = false;  // close the connection after the last piece
  bool held = false;   // nothing is sent before the test calls ReleaseHeld
};

// "HTTP/1.1 200 OK" with a Content-Length line and the body, in one piece.
std::string OkAnswer(const std::string& body);

class TestUpdateHost {
 public:
  static constexpr int kMostConnections = 8;
  static constexpr std::size_t kMostRequestBytes = 8 * 1024;

  TestUpdateHost();
  ~TestUpdateHost();
  TestUpdateHost(const TestUpdateHost&) = delete;
  TestUpdateHost& operator=(const TestUpdateHost&) = delete;

  std::int32_t Port() const { return listener_.LocalPort(); }
  // How requests for this path are answered; a path without an answer never is.
  void Serve(const std::string& path, HostAnswer answer) { answers_[path] = std::move(answer); }
  // Every request received, whole, in order.
  const std::vector<std::string>& Requests() const { return requests_; }
  // Lets the held answers go.
  void ReleaseHeld();
  // Sends the pieces that are due; the test's pump calls it.
  void Pump();

 private:
  class Listener;
  class Connection;

  void Accept(std::int32_t requestID);
  void RequestComplete(Connection& connection, const std::string& request);

  std::map<std::string, HostAnswer> answers_;
  std::vector<std::string> requests_;
  std::unique_ptr<Listener> listenerEvents_;
  std::vector<std::unique_ptr<Connection>> connections_;
  net::CEventSocket listener_;
};

}  // namespace quellix::update::test
