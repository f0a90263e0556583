#include "tests/update/TestUpdateHost.h"

#include "net/SocketError.h"

namespace quellix::update::test {

using Clock = std::chrono::steady_clock;

std::string OkAnswer(const std::string& body) {
  return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\n\r\n" + body;
}

class TestUpdateHost::Listener final : public net::CEventSocketEvents {
 public:
  explicit Listener(TestUpdateHost& host) : host_(host) {}
  void ConnectionRequest(std::int32_t requestID) override { host_.Accept(requestID); }

 private:
  TestUpdateHost& host_;
};

class TestUpdateHost::Connection final : public net::CEventSocketEvents {
 public:
  explicit Connection(TestUpdateHost& host) : host_(host), socket(this) {}

  void DataArrival(std::int32_t /*bytesTotal*/) override {
    net::Variant data{std::string()};
    socket.GetData(data);
    request_ += data.Get<std::string>();
    if (request_.size() > kMostRequestBytes) {
      socket.CloseSck();
    } else if (!answering_ && request_.find("\r\n\r\n") != std::string::npos) {
      answering_ = true;
      host_.RequestComplete(*this, request_);
    }
  }
  void CloseSck() override { socket.CloseSck(); }
  void SendComplete() override {
    if (answer_.close && next_ == answer_.pieces.size()) socket.CloseSck();
  }

  void Answer(HostAnswer answer) {
    answer_ = std::move(answer);
    due_ = Clock::now();
    if (answer_.close && answer_.pieces.empty()) socket.CloseSck();
  }

  void Release() { answer_.held = false; }

  void Pump() {
    while (!answer_.held && next_ < answer_.pieces.size() && Clock::now() >= due_ &&
           socket.State() == net::StateConnected) {
      socket.SendData(net::Variant(answer_.pieces[next_++]));
      due_ = Clock::now() + answer_.pause;
      if (answer_.pause.count() > 0) return;
    }
  }

 private:
  TestUpdateHost& host_;
  std::string request_;
  bool answering_ = false;
  HostAnswer answer_;
  std::size_t next_ = 0;
  Clock::time_point due_;

 public:
  net::CEventSocket socket;
};

TestUpdateHost::TestUpdateHost()
    : listenerEvents_(std::make_unique<Listener>(*this)), listener_(listenerEvents_.get()) {
  listener_.Bind(0, "127.0.0.1");
  listener_.Listen();
}

TestUpdateHost::~TestUpdateHost() = default;

void TestUpdateHost::Accept(std::int32_t requestID) {
  // Past the bound the request is left unclaimed, which closes it.
  if (connections_.size() >= kMostConnections) return;
  connections_.push_back(std::make_unique<Connection>(*this));
  connections_.back()->socket.Accept(requestID);
}

void TestUpdateHost::RequestComplete(Connection& connection, const std::string& request) {
  requests_.push_back(request);
  const auto pathStart = request.find(' ');
  const auto pathEnd = request.find(' ', pathStart + 1);
  if (pathStart == std::string::npos || pathEnd == std::string::npos) return;
  const auto answer = answers_.find(request.substr(pathStart + 1, pathEnd - pathStart - 1));
  if (answer != answers_.end()) connection.Answer(answer->second);
}

void TestUpdateHost::ReleaseHeld() {
  for (auto& connection : connections_) connection->Release();
}

void TestUpdateHost::Pump() {
  for (auto& connection : connections_) connection->Pump();
}

}  // namespace quellix::update::test
