#include "quellix/engine/run/StartButton.h"

#include "quellix/engine/session/Session.h"
#include "quellix/engine/run/mdlMainCode.h"

namespace quellix {

void StartButtonRun(Session& session) {
  Host& host = session.host;
  host.DisableGUI();
  session.ShowMessageBox(2, 0);
  std::string backupDir = host.BrowseForFolder(kFolderDialogTitle);
  if (backupDir.empty()) {
    // The run falls back to the root of the temporary folder's drive.
    session.ShowMessageBox(3, 0);
  } else if (backupDir.back() != '\\') {
    backupDir += '\\';
  }
  session.run.BackupDir = backupDir;
  host.SetTerm(false);
  session.frmMain.lstKeys.clear();
  host.SetProg1(0);
  host.SetProg2(0);
  host.ClearDetails();
  session.WriteMessage(1);
  RunRemoval(session);
}

}  // namespace quellix
