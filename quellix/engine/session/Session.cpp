#include "quellix/engine/session/Session.h"

#include "quellix/lang/Language.h"

namespace quellix {

Session::Session(platform::Platform& platform, Host& host, lang::Language& language,
                 RemovalPhases& phases)
    : nativeFiles_(platform),
      platform(nativeFiles_),
      host(host),
      language(language),
      phases(phases),
      systemFiles(this->platform, run),
      removalRecord(nativeFiles_),
      ansiCase_(platform) {
  frmMain = FrmMain::Shipped();
  auto arrays = BuildSignatureArrays(frmMain);
  InfectionNames = std::move(arrays.InfectionNames);
  KnownDigests = std::move(arrays.KnownDigests);
}

void Session::WriteMessage(float number, const std::string& argument) {
  language.WriteMessage(number, argument);
}

std::int16_t Session::ShowMessageBox(float number, std::int16_t style) {
  return language.ShowMessageBox(number, style);
}

}  // namespace quellix
