// The online update exchange of the main window: the version check on
// sckUpdateCheck, then the detection feed on sckUpdates, each guarded by its
// timer, ending in sckUpdates_CloseSck, which makes the window ready once.
// When a publisher's key is set, the feed's signature follows on
// sckFeedSignature within the feed's time-out, and the feed adds nothing
// unless it holds. It runs once per program start. Handlers and routines keep the window's names;
// the window routes its two timers here and the sockets report here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "net/CEventSocket.h"
#include "quellix/engine/session/Session.h"
#include "quellix/update/DetectionFeed.h"
#include "quellix/update/ExchangeWindow.h"
#include "quellix/update/FeedSignature.h"
#include "quellix/update/UpdateTarget.h"
#include "quellix/update/VersionCheck.h"

namespace quellix::update {

// The status line's texts, English only.
constexpr const char* kStatusChecking = "Checking for Updates....";
constexpr const char* kStatusConnected = "Conected to server, requesting data...";
constexpr const char* kStatusNoUpdate = "Update Check Success - No Update Available.";
constexpr const char* kStatusUpdateAvailable = "Update Check Success - An Update is Available.";
constexpr const char* kStatusCheckFailed = "Checking for Update Failed";
constexpr const char* kStatusFeedStarted = "Checking for KESTREL updates...";
constexpr const char* kStatusFeedEmpty = "Success. No KESTREL detections available";
constexpr const char* kStatusFeedFailed = "Downloading KESTREL updates failed.";
constexpr const char* kStatusFeedRefused =
    "KESTREL updates refused: the feed is not signed by its publisher.";
// "Success. " + n + " KESTREL detections added!"
std::string FeedAddedStatus(std::size_t count);

class UpdateExchange {
 public:
  UpdateExchange(Session& session, ExchangeWindow& window, UpdateTarget target);
  ~UpdateExchange();
  UpdateExchange(const UpdateExchange&) = delete;
  UpdateExchange& operator=(const UpdateExchange&) = delete;

  // The end of start-up: the status line, both sockets, the check's connection.
  void Start();

  void Timer1_Timer();
  void Timer5_Timer();

  // Routines the exchange also calls itself.
  void Timer2_Timer();             // the version check failed
  void sckUpdateCheck_CloseSck();  // the feed starts
  void sckUpdates_CloseSck();      // the window becomes ready (once)

  std::uint8_t CheckTicks() const { return CheckTicks_; }

 private:
  class CheckEvents;
  class FeedEvents;
  class SignatureEvents;

  void sckUpdateCheck_Connect();
  void sckUpdateCheck_DataArrival(std::int32_t bytesTotal);
  // The host closed the check's connection: what came is judged, and
  // without anything the feed starts.
  void CheckClosedByHost();
  void sckUpdates_Connect();
  void sckUpdates_DataArrival(std::int32_t bytesTotal);
  void FeedClosedByHost();
  void sckFeedSignature_Connect();
  void sckFeedSignature_DataArrival(std::int32_t bytesTotal);
  void SignatureClosedByHost();
  // The feed's answer and, when required, its signature are in: the
  // digests are added, or the feed is refused.
  void TakeFeed();
  void RefuseFeed();
  // Reports the outcome, stops the feed's time-out and ends the exchange.
  void EndFeed(const std::string& status);

  void Judge(CheckVerdict verdict);
  void StartFeed();
  void Connect(net::CEventSocket* socket);
  void Send(net::CEventSocket* socket, const std::string& request);
  std::string TakeText(net::CEventSocket* socket);
  void Close(net::CEventSocket* socket);

  Session& session_;
  ExchangeWindow& window_;
  const UpdateTarget target_;
  std::uint8_t CheckTicks_ = 0;
  VersionCheckAnswer checkAnswer_;
  FeedAnswer feedAnswer_;
  AnswerBody signatureAnswer_{kMostSignatureBytes};
  bool feedEnded_ = false;

  // Last, so that they go first: no event reaches a half-destroyed exchange.
  std::unique_ptr<CheckEvents> checkEvents_;
  std::unique_ptr<FeedEvents> feedEvents_;
  std::unique_ptr<SignatureEvents> signatureEvents_;
  std::unique_ptr<net::CEventSocket> sckUpdateCheck;
  std::unique_ptr<net::CEventSocket> sckUpdates;
  std::unique_ptr<net::CEventSocket> sckFeedSignature;
};

}  // namespace quellix::update
