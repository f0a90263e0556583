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

class UpdateExchange::SignatureEvents final : public net::CEventSocketEvents {
 public:
  explicit SignatureEvents(UpdateExchange& exchange) : exchange_(exchange) {}
  void Connect() override { exchange_.sckFeedSignature_Connect(); }
  void DataArrival(std::int32_t bytesTotal) override {
    exchange_.sckFeedSignature_DataArrival(bytesTotal);
  }
  void CloseSck() override { exchange_.SignatureClosedByHost(); }

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
  signatureEvents_ = std::make_unique<SignatureEvents>(*this);
  sckUpdateCheck = std::make_unique<net::CEventSocket>(checkEvents_.get());
  sckUpdates = std::make_unique<net::CEventSocket>(feedEvents_.get());
  sckFeedSignature = std::make_unique<net::CEventSocket>(signatureEvents_.get());
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

// A host that closes before it answered has failed the check as surely as
// one that answered nonsense, and the status line says so.
void UpdateExchange::CheckClosedByHost() {
  Close(sckUpdateCheck.get());
  Judge(checkAnswer_.Close());
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
  const std::string piece = TakeText(sckUpdates.get());
  // A broken or unfinished answer ends here without effect: the time-out
  // reports it; segments after a complete answer are not read again.
  if (feedEnded_ || feedAnswer_.Add(piece) != FeedState::Complete) return;
  Close(sckUpdates.get());
  if (!target_.feedKey) {
    TakeFeed();
    return;
  }
  // Within the feed's time-out, which keeps running.
  Connect(sckFeedSignature.get());
}

// The host closed the feed before a complete answer: that is the feed's
// failure, reported now; the time-out has nothing left to do.
void UpdateExchange::FeedClosedByHost() {
  Close(sckUpdates.get());
  if (feedEnded_ || feedAnswer_.State() == FeedState::Complete) return;
  EndFeed(kStatusFeedFailed);
}

void UpdateExchange::sckFeedSignature_Connect() {
  Send(sckFeedSignature.get(), SignatureRequest(target_.HostHeader()));
}

void UpdateExchange::sckFeedSignature_DataArrival(std::int32_t /*bytesTotal*/) {
  const std::string piece = TakeText(sckFeedSignature.get());
  if (feedEnded_) return;
  switch (signatureAnswer_.Add(piece)) {
    case BodyState::Waiting:
    case BodyState::Ignored:
      return;
    case BodyState::Broken:
      RefuseFeed();
      return;
    case BodyState::Complete:
      Close(sckFeedSignature.get());
      TakeFeed();
      return;
  }
}

void UpdateExchange::SignatureClosedByHost() {
  Close(sckFeedSignature.get());
  if (!feedEnded_) RefuseFeed();
}

void UpdateExchange::TakeFeed() {
  if (target_.feedKey) {
    const auto signature = ReadSignatureText(signatureAnswer_.Body());
    if (!signature ||
        !FeedSignatureHolds(session_.platform, *target_.feedKey, feedAnswer_.Body(), *signature)) {
      RefuseFeed();
      return;
    }
  }
  std::optional<FeedList> list = ReadFeedList(feedAnswer_.Body());
  feedAnswer_.Release();
  if (!list) {
    EndFeed(kStatusFeedFailed);
  } else if (list->empty) {
    EndFeed(kStatusFeedEmpty);
  } else {
    EndFeed(FeedAddedStatus(AddFeedDigests(session_.KnownDigests, std::move(*list))));
  }
}

void UpdateExchange::RefuseFeed() {
  feedAnswer_.Release();
  EndFeed(kStatusFeedRefused);
}

void UpdateExchange::EndFeed(const std::string& status) {
  Close(sckUpdates.get());
  Close(sckFeedSignature.get());
  window_.SetTimerEnabled(UpdateTimer::Timer5, false);
  window_.SetStatus(status);
  sckUpdates_CloseSck();
}

void UpdateExchange::Timer5_Timer() {
  // Stopping a Windows timer leaves a tick already posted in the queue.
  if (feedEnded_) return;
  EndFeed(kStatusFeedFailed);
}

// Runs once: whatever event comes late, the window is made ready a single
// time, so nothing of it can reach into a run that started since.
void UpdateExchange::sckUpdates_CloseSck() {
  if (feedEnded_) return;
  feedEnded_ = true;
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
