#include "gorsel/Texts.h"

#include "gorsel/Publisher.h"

namespace gorsel::texts {

std::string WindowCaption() { return std::string("Gorsel v3 (") + kPublisherName + ")"; }

std::string FixButtonCaption() { return std::string("Remove ") + kWormName + " now!"; }

std::string Command1Caption() { return "Did it work? Let us know at THIS WEBSITE!"; }

std::string Command2Caption() { return std::string("Visit ") + kPublisherSite; }

std::string InstructionText() {
  return std::string("Press the button below to remove ") + kWormName +
         ". If it is still there afterwards, ask " + kHelpContact + " for help.";
}

std::string FinalMessage(const std::string& hostsNote, const std::string& backupNote) {
  std::string text =
      "Gorsel has just tried to kill the little monsters which are eating up your computer.\r\n"
      "\r\n"
      "Let's hope they died, okay?\r\n"
      "\r\n";
  text += std::string("If they did not, ask ") + kHelpContact + " for help.\r\n";
  // Broken by hand, so that the box never has to wrap it: wrapped at the
  // box's edge, its last word came out cut.
  text += std::string("If it worked, please visit ") + kPublisherSite + "\r\nand say thanks!";
  if (!hostsNote.empty()) text += "\r\n\r\n" + hostsNote;
  text += "\r\n\r\n" + backupNote;
  return text;
}

std::string HostNote(const std::string& program) {
  return "(" + program +
         " is a program of Windows or runs scripts for others: Gorsel ends none of its "
         "processes.)\r\n";
}

std::string BackupNote(const std::string& folder, int valuesNotSaved, int filesNotSaved) {
  std::string note =
      "Every file Gorsel removed was copied first, and every registry value saved "
      "first as a .reg file, in " +
      folder + " (open a .reg file to put its value back).";
  if (valuesNotSaved > 0) {
    note += " " + std::to_string(valuesNotSaved) +
            " value(s) could not be saved and were left in place.";
  }
  if (filesNotSaved > 0) {
    note += " " + std::to_string(filesNotSaved) +
            " file(s) could not be copied and were left in place.";
  }
  return note;
}

std::string RecordNote(const std::string& path, int removalsNotRecorded) {
  return std::to_string(removalsNotRecorded) + " removal(s) could not be written to " + path +
         ", so quellix-pass --restore cannot put them back.";
}

std::string UnloadMessage() {
  return std::string("If Gorsel helped you, please leave a comment at ") + kPublisherSite +
         ". Thank you!";
}

}  // namespace gorsel::texts
