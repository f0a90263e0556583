#include "quellix/update/UpdateExchange.h"

#include "net/SocketError.h"
#include "quellix/engine/run/ProductInfo.h"
#include "quellix/update/UpdateRequests.h"

namespace quellix::update {
namespace {

constexpr float kUpdateBox = 4;
constexpr std::int16_t kYesNo = 4;
constexpr std::int16_t kYes = 6;

OwnVersions OwnVersionsOf(Session& session) {
  return {kVersionMajor, kVersionMinor, DatabaseVersionFromCaption(session.host.WindowCaption())};
}

}  // namespace

std::string FeedAddedStatus(std::size_t count) {
  return "Success. " + std::to_string(count) + " KESTREL detections added!";
}

class UpdateExchange::CheckEvents final : public net::CEventSocketEvents {
 public:
  explicit CheckEvents(UpdateExchange& exchange) : exchange_(exchange) {}
  void Connect() override { exchange_.sckUpdateCheck_Connect(); }
  void DataArrival(std::int32_t bytesTotal) override {
    exchange_.sckUpdateCheck_DataArrival(bytesTotal);
  }
  void CloseSck() override { exchange_.CheckClosedByHost(); }

 private:
  UpdateExchange& exchange_;
};

class UpdateExchange::FeedEvents final : public net::CEventSocketEvents {
 public:
  explicit FeedEvents(UpdateExchange& exchange) : exchange_(exchange) {}
  void Connect() override { exchange_.sckUpdates_Connect(); }
  void DataArrival(std::int32_t bytesTotal) override {
    exchange_.sckUpdates_DataArrival(bytesTotal);
  }
  void CloseSck() override { exchange_.FeedClosedByHost(); }

 private:
  UpdateExchange& exchange_;
};

UpdateExchange::UpdateExchange(Session& session, ExchangeWindow& window, UpdateTarget target)
    : session_(session),
      window_(window),
      target_(std::move(target)),
      checkAnswer_(OwnVersionsOf(session)) {}

UpdateExchange::~UpdateExchange() = default;

void UpdateExchange::Start() {
  window_.SetStatus(kStatusChecking);
  checkEvents_ = std::make_unique<CheckEvents>(*this);
  feedEvents_ = std::make_unique<FeedEvents>(*this);
  sckUpdateCheck = std::make_unique<net::CEventSocket>(checkEvents_.get());
  sckUpdates = std::make_unique<net::CEventSocket>(feedEvents_.get());
  Connect(sckUpdateCheck.get());
}

void UpdateExchange::Timer1_Timer() {
  if (CheckTicks_ > 10) {
    window_.SetTimerEnabled(UpdateTimer::Timer1, false);
    Timer2_Timer();
    return;
  }
  session_.host.SetProg1(CheckTicks_ / 10.0 * 100.0);
  ++CheckTicks_;
}

void UpdateExchange::Timer2_Timer() {
  window_.SetTimerEnabled(UpdateTimer::Timer1, false);
  Close(sckUpdateCheck.get());
  window_.SetStatus(kStatusCheckFailed);
  StartFeed();
}

void UpdateExchange::sckUpdateCheck_CloseSck() {
  window_.SetTimerEnabled(UpdateTimer::Timer1, false);
  StartFeed();
}

void UpdateExchange::StartFeed() {
  window_.SetStatus(kStatusFeedStarted);
  session_.host.SetProg1(0);
  Connect(sckUpdates.get());
  window_.SetTimerEnabled(UpdateTimer::Timer5, true);
}

void UpdateExchange::sckUpdateCheck_Connect() {
  window_.SetStatus(kStatusConnected);
  Send(sckUpdateCheck.get(), VersionCheckRequest(target_.HostHeader()));
}

void UpdateExchange::sckUpdateCheck_DataArrival(std::int32_t /*bytesTotal*/) {
  const CheckVerdict verdict = checkAnswer_.Add(TakeText(sckUpdateCheck.get()));
  if (verdict != CheckVerdict::Incomplete) Judge(verdict);
}

void UpdateExchange::CheckClosedByHost() {
  Close(sckUpdateCheck.get());
  if (checkAnswer_.Empty()) {
    sckUpdateCheck_CloseSck();
  } else {
    Judge(checkAnswer_.Close());
  }
}

void UpdateExchange::Judge(CheckVerdict verdict) {
  switch (verdict) {
    case CheckVerdict::Incomplete:
    case CheckVerdict::Failed:
      Timer2_Timer();
      return;
    case CheckVerdict::NothingNewer:
      window_.SetTimerEnabled(UpdateTimer::Timer1, false);
      window_.SetStatus(kStatusNoUpdate);
      Close(sckUpdateCheck.get());
      sckUpdateCheck_CloseSck();
      return;
    case CheckVerdict::UpdateAvailable:
      window_.SetTimerEnabled(UpdateTimer::Timer1, false);
      Close(sckUpdateCheck.get());
      sckUpdateCheck_CloseSck();
      window_.SetStatus(kStatusUpdateAvailable);
      // The feed goes on while the box is open.
      if (session_.ShowMessageBox(kUpdateBox, kYesNo) == kYes) {
        session_.platform.ShellExecuteA(0, "open", target_.DownloadPage(), "", "",
                                        platform::kSwShowNormal);
      }
      return;
  }
}

void UpdateExchange::sckUpdates_Connect() {
  Send(sckUpdates.get(), FeedRequest(target_.HostHeader()));
}

void UpdateExchange::sckUpdates_DataArrival(std::int32_t /*bytesTotal*/) {
  // A broken or unfinished answer ends here without effect: the time-out
  // reports the failure.
  if (feedAnswer_.Add(TakeText(sckUpdates.get())) != FeedState::Complete) return;
  const FeedList& list = feedAnswer_.List();
  Close(sckUpdates.get());
  window_.SetTimerEnabled(UpdateTimer::Timer5, false);
  if (list.empty) {
    window_.SetStatus(kStatusFeedEmpty);
  } else {
    session_.KnownDigests.insert(session_.KnownDigests.end(), list.entries.begin(),
                                 list.entries.end());
    window_.SetStatus(FeedAddedStatus(list.entries.size()));
  }
  sckUpdates_CloseSck();
}

void UpdateExchange::FeedClosedByHost() {
  Close(sckUpdates.get());
  sckUpdates_CloseSck();
}

void UpdateExchange::Timer5_Timer() {
  Close(sckUpdates.get());
  window_.SetStatus(kStatusFeedFailed);
  window_.SetTimerEnabled(UpdateTimer::Timer5, false);
  sckUpdates_CloseSck();
}

void UpdateExchange::sckUpdates_CloseSck() {
  window_.EnableCommands();
  session_.host.SetTerm(true);
  session_.host.SetProg1(0);
  session_.host.EnableGUI();
}

// A socket call that fails is a failed connection, and every failed
// connection ends by its time-out, as one that never answers does.
void UpdateExchange::Connect(net::CEventSocket* socket) {
  if (socket == nullptr || target_.host.empty()) return;
  try {
    socket->Connect(net::Variant(target_.host), net::Variant(target_.port));
  } catch (const net::SocketError&) {
  }
}

void UpdateExchange::Send(net::CEventSocket* socket, const std::string& request) {
  try {
    socket->SendData(net::Variant(request));
  } catch (const net::SocketError&) {
  }
}

std::string UpdateExchange::TakeText(net::CEventSocket* socket) {
  net::Variant data{std::string()};
  try {
    socket->GetData(data);
  } catch (const net::SocketError&) {
    return std::string();
  }
  return data.Type() == net::vbString ? data.Get<std::string>() : std::string();
}

void UpdateExchange::Close(net::CEventSocket* socket) {
  if (socket == nullptr) return;
  try {
    socket->CloseSck();
  } catch (const net::SocketError&) {
  }
}

}  // namespace quellix::update
